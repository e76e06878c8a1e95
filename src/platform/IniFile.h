#pragma once
// A plain INI file as Windows programs write them: "[section]" lines and
// "key=value" lines, in ANSI (Windows-1252), lines ended by CR LF. Section
// and key names compare case-insensitively; sections and keys keep their
// file order; the first of repeated keys counts. Lines that are neither are
// kept where they stand; keys before the first section are ignored.
#include <QString>
#include <QStringList>
#include <vector>

namespace vela {

class TIniFile {
 public:
  explicit TIniFile(QString fileName);

  const QString& FileName() const { return fFileName; }
  // Reads the file; a missing file reads as empty. False when it exists but
  // cannot be read.
  bool Load();
  // Writes the file. False when it cannot be written.
  bool Save() const;

  QStringList Sections() const;
  bool SectionExists(const QString& section) const;
  // The keys of a section in file order (repeated keys once).
  QStringList Keys(const QString& section) const;
  bool ValueExists(const QString& section, const QString& key) const;
  QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
  // The value as a decimal number (surrounding blanks allowed); the default
  // when missing or not a number.
  int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
  // Replaces the first value of key, or appends it (and the section).
  void WriteString(const QString& section, const QString& key, const QString& value);
  void WriteInteger(const QString& section, const QString& key, int value);
  void EraseSection(const QString& section);

 private:
  // A key line, or (IsEntry false) a comment or blank line kept as Text.
  struct TEntry {
    bool IsEntry = true;
    QString Key;
    QString Value;
  };
  struct TSection {
    QString Name;
    std::vector<TEntry> Entries;
  };
  const TSection* FindSection(const QString& section) const;
  TSection* FindSection(const QString& section);
  static const TEntry* FindEntry(const TSection& section, const QString& key);

  QString fFileName;
  QStringList fLeadingLines;
  std::vector<TSection> fSections;
};

}  // namespace vela
