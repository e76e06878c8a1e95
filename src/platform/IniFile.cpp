#include "platform/IniFile.h"

#include <QFile>
#include <QSaveFile>

#include "platform/CodePages.h"

namespace vela {

namespace {
bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }
}  // namespace

TIniFile::TIniFile(QString fileName) : fFileName(std::move(fileName)) {}

bool TIniFile::Load() {
  fLeadingLines.clear();
  fSections.clear();
  QFile file(fFileName);
  if (!file.exists()) return true;
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  const QString text = bytes.startsWith("\xEF\xBB\xBF") ? QString::fromUtf8(bytes.mid(3)) : AnsiToString(bytes);

  QStringList lines = text.split(QLatin1Char('\n'));
  // A final line end leaves one empty piece behind it.
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  for (QString line : lines) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
      fSections.push_back({trimmed.mid(1, trimmed.size() - 2).trimmed(), {}});
      continue;
    }
    if (fSections.empty()) {
      // Lines before the first section belong to no section; they are kept, not read.
      fLeadingLines << line;
      continue;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals > 0 && !trimmed.startsWith(QLatin1Char(';')))
      fSections.back().Entries.push_back({true, line.left(equals).trimmed(), line.mid(equals + 1).trimmed()});
    else
      fSections.back().Entries.push_back({false, line, {}});
  }
  return true;
}

bool TIniFile::Save() const {
  QString text;
  const QString crlf = QStringLiteral("\r\n");
  for (const QString& line : fLeadingLines) text += line + crlf;
  for (const TSection& section : fSections) {
    text += QLatin1Char('[') + section.Name + QLatin1Char(']') + crlf;
    for (const TEntry& entry : section.Entries)
      text += entry.IsEntry ? entry.Key + QLatin1Char('=') + entry.Value + crlf : entry.Key + crlf;
  }
  QSaveFile file(fFileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = StringToAnsi(text);
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

const TIniFile::TSection* TIniFile::FindSection(const QString& section) const {
  for (const TSection& s : fSections)
    if (SameName(s.Name, section)) return &s;
  return nullptr;
}

TIniFile::TSection* TIniFile::FindSection(const QString& section) {
  return const_cast<TSection*>(static_cast<const TIniFile*>(this)->FindSection(section));
}

const TIniFile::TEntry* TIniFile::FindEntry(const TSection& section, const QString& key) {
  for (const TEntry& e : section.Entries)
    if (e.IsEntry && SameName(e.Key, key)) return &e;
  return nullptr;
}

QStringList TIniFile::Sections() const {
  QStringList names;
  for (const TSection& s : fSections)
    if (!names.contains(s.Name, Qt::CaseInsensitive)) names << s.Name;
  return names;
}

bool TIniFile::SectionExists(const QString& section) const { return FindSection(section) != nullptr; }

QStringList TIniFile::Keys(const QString& section) const {
  QStringList keys;
  // A section that appears twice reads as one.
  for (const TSection& s : fSections) {
    if (!SameName(s.Name, section)) continue;
    for (const TEntry& e : s.Entries)
      if (e.IsEntry && !keys.contains(e.Key, Qt::CaseInsensitive)) keys << e.Key;
  }
  return keys;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const {
  for (const TSection& s : fSections)
    if (SameName(s.Name, section) && FindEntry(s, key)) return true;
  return false;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
  for (const TSection& s : fSections) {
    if (!SameName(s.Name, section)) continue;
    if (const TEntry* e = FindEntry(s, key)) return e->Value;
  }
  return defaultValue;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
  bool ok = false;
  const int value = ReadString(section, key, QString()).trimmed().toInt(&ok, 10);
  return ok ? value : defaultValue;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  TSection* s = FindSection(section);
  if (!s) {
    fSections.push_back({section, {}});
    s = &fSections.back();
  }
  for (TEntry& e : s->Entries) {
    if (e.IsEntry && SameName(e.Key, key)) {
      e.Value = value;
      return;
    }
  }
  s->Entries.push_back({true, key, value});
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
  WriteString(section, key, QString::number(value));
}

void TIniFile::EraseSection(const QString& section) {
  std::erase_if(fSections, [&](const TSection& s) { return SameName(s.Name, section); });
}

}  // namespace vela
