#include "platform/Storage.h"

#include <QSettings>

namespace vela {

namespace {

// "a\b" -> "a/b", without leading or trailing separators.
QString SettingsKey(const QString& path) {
  QString key = path;
  key.replace('\\', '/');
  while (key.startsWith('/')) key.remove(0, 1);
  while (key.endsWith('/')) key.chop(1);
  return key;
}

QString ValueKey(const QString& path, const QString& name) {
  const QString folder = SettingsKey(path);
  return folder.isEmpty() ? name : folder + '/' + name;
}

}  // namespace

TVelaStorage::~TVelaStorage() = default;

QString TVelaStorage::JoinPath(const QString& path, const QString& name) {
  return path.isEmpty() ? name : path + '\\' + name;
}

TSettingsStorage::TSettingsStorage(std::unique_ptr<QSettings> settings) : fSettings(std::move(settings)) {}

std::unique_ptr<TSettingsStorage> TSettingsStorage::OpenIni(const QString& fileName) {
  return std::make_unique<TSettingsStorage>(std::make_unique<QSettings>(fileName, QSettings::IniFormat));
}

TSettingsStorage::~TSettingsStorage() { fSettings->sync(); }

bool TSettingsStorage::FolderExists(const QString& path) {
  const QString key = SettingsKey(path);
  if (key.isEmpty()) return true;
  fSettings->beginGroup(key);
  const bool exists = !fSettings->childKeys().isEmpty() || !fSettings->childGroups().isEmpty();
  fSettings->endGroup();
  return exists;
}

void TSettingsStorage::DeleteFolder(const QString& path) {
  const QString key = SettingsKey(path);
  if (!key.isEmpty()) fSettings->remove(key);
}

QStringList TSettingsStorage::SubFolders(const QString& path) {
  const QString key = SettingsKey(path);
  if (!key.isEmpty()) fSettings->beginGroup(key);
  QStringList groups = fSettings->childGroups();
  if (!key.isEmpty()) fSettings->endGroup();
  return groups;
}

bool TSettingsStorage::ValueExists(const QString& path, const QString& name) {
  return fSettings->contains(ValueKey(path, name));
}

void TSettingsStorage::DeleteValue(const QString& path, const QString& name) {
  fSettings->remove(ValueKey(path, name));
}

void TSettingsStorage::WriteInteger(const QString& path, const QString& name, int value) {
  fSettings->setValue(ValueKey(path, name), value);
}

int TSettingsStorage::ReadInteger(const QString& path, const QString& name, int defaultValue) {
  bool ok = false;
  const int v = fSettings->value(ValueKey(path, name), defaultValue).toInt(&ok);
  return ok ? v : defaultValue;
}

void TSettingsStorage::WriteString(const QString& path, const QString& name, const QString& value) {
  fSettings->setValue(ValueKey(path, name), value);
}

QString TSettingsStorage::ReadString(const QString& path, const QString& name, const QString& defaultValue) {
  return fSettings->value(ValueKey(path, name), defaultValue).toString();
}

}  // namespace vela
