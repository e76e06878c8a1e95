#pragma once
// Hierarchical key-value storage: folders addressed by "\"-separated paths,
// holding integer and string values. The object tree stores subtrees in it;
// connection objects keep a few settings in it.
#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

namespace vela {

class TVelaStorage {
 public:
  virtual ~TVelaStorage();

  // The folder that relative operations work in ("" is the root).
  const QString& CurrentPath() const { return fPath; }
  void SetCurrentPath(const QString& path) { fPath = path; }

  virtual bool FolderExists(const QString& path) = 0;
  virtual void DeleteFolder(const QString& path) = 0;
  // Direct sub-folder names of path, in the storage's order.
  virtual QStringList SubFolders(const QString& path) = 0;
  virtual bool ValueExists(const QString& path, const QString& name) = 0;
  virtual void DeleteValue(const QString& path, const QString& name) = 0;
  virtual void WriteInteger(const QString& path, const QString& name, int value) = 0;
  virtual int ReadInteger(const QString& path, const QString& name, int defaultValue) = 0;
  virtual void WriteString(const QString& path, const QString& name, const QString& value) = 0;
  virtual QString ReadString(const QString& path, const QString& name, const QString& defaultValue) = 0;

  // The same operations on the current folder.
  bool ValueExists(const QString& name) { return ValueExists(fPath, name); }
  void DeleteValue(const QString& name) { DeleteValue(fPath, name); }
  void WriteInteger(const QString& name, int value) { WriteInteger(fPath, name, value); }
  int ReadInteger(const QString& name, int defaultValue) { return ReadInteger(fPath, name, defaultValue); }
  void WriteString(const QString& name, const QString& value) { WriteString(fPath, name, value); }
  QString ReadString(const QString& name, const QString& defaultValue) { return ReadString(fPath, name, defaultValue); }

  static QString JoinPath(const QString& path, const QString& name);

 private:
  QString fPath;
};

// Storage over QSettings: the registry on Windows, an INI file elsewhere.
class TSettingsStorage : public TVelaStorage {
 public:
  explicit TSettingsStorage(std::unique_ptr<QSettings> settings);
  // An INI file at fileName.
  static std::unique_ptr<TSettingsStorage> OpenIni(const QString& fileName);
  ~TSettingsStorage() override;

  QSettings& Settings() { return *fSettings; }

  bool FolderExists(const QString& path) override;
  void DeleteFolder(const QString& path) override;
  QStringList SubFolders(const QString& path) override;
  bool ValueExists(const QString& path, const QString& name) override;
  void DeleteValue(const QString& path, const QString& name) override;
  void WriteInteger(const QString& path, const QString& name, int value) override;
  int ReadInteger(const QString& path, const QString& name, int defaultValue) override;
  void WriteString(const QString& path, const QString& name, const QString& value) override;
  QString ReadString(const QString& path, const QString& name, const QString& defaultValue) override;
  using TVelaStorage::DeleteValue;
  using TVelaStorage::ReadInteger;
  using TVelaStorage::ReadString;
  using TVelaStorage::ValueExists;
  using TVelaStorage::WriteInteger;
  using TVelaStorage::WriteString;

 private:
  std::unique_ptr<QSettings> fSettings;
};

}  // namespace vela
