// Key-value storage form of a subtree.
#include "framework/velaobject.h"
#include "platform/Storage.h"

namespace vela {

QString TVelaObject::XmlPath() { return QString::number(Objtype()) + '#' + QString::number(OwnerIndex()); }

void TVelaObject::StoreToXml(TVelaStorage& Storage) {
  const QString saved = Storage.CurrentPath();
  const QString path = TVelaStorage::JoinPath(saved, XmlPath());
  Storage.DeleteFolder(path);
  Storage.SetCurrentPath(path);
  StoreDataToXml(Storage);
  for (int i = 0; i < Subcount(); ++i)
    if (TVelaObject* s = Sub(i)) s->StoreToXml(Storage);
  Storage.SetCurrentPath(saved);
}

void TVelaObject::StoreDataToXml(TVelaStorage& Storage) {
  Storage.WriteInteger(QStringLiteral("SClass"), static_cast<int>(Objtype()));
  if (NameAssigned())
    Storage.WriteString(QStringLiteral("Name"), fName);
  else
    Storage.DeleteValue(QStringLiteral("Name"));
}

void TVelaObject::LoadDataFromXml(TVelaStorage& Storage) {
  if (Storage.ValueExists(QStringLiteral("Name"))) SetName(Storage.ReadString(QStringLiteral("Name"), QString()));
}

void TVelaObject::LoadFromXml(TVelaStorage& Storage, bool LoadSubs, bool Recursive) {
  LoadDataFromXml(Storage);
  if (LoadSubs) LoadSubsFromXml(Storage, Recursive);
}

void TVelaObject::LoadSubsFromXml(TVelaStorage& Storage, bool Recursive) {
  const QString saved = Storage.CurrentPath();
  if (!Storage.FolderExists(saved)) return;
  for (const QString& folder : Storage.SubFolders(saved)) {
    const QString path = TVelaStorage::JoinPath(saved, folder);
    const int sclass = Storage.ReadInteger(path, QStringLiteral("SClass"), 0);
    TVelaObject* obj = XmlCreateOfType(static_cast<uint32_t>(sclass));
    if (!obj) continue;
    Storage.SetCurrentPath(path);
    try {
      obj->LoadFromXml(Storage, Recursive, Recursive);
    } catch (...) {
      Storage.SetCurrentPath(saved);
      FreeObj(obj);
      throw;
    }
    Storage.SetCurrentPath(saved);
    if (!SilentSimpleInsert(obj, -1) || !fSubs || fSubs->ScanIndexOf(obj) < 0) FreeObj(obj);
  }
}

bool& XmlCreatePending() {
  thread_local bool pending = false;
  return pending;
}

TVelaObject* XmlCreateOfType(uint32_t id) {
  TSobjectClass cls = GetClassOfType(id);
  if (!cls || !cls->Create || !cls->InheritsFrom(TVelaObject::StaticClass())) return nullptr;
  // The first object constructed from here on is marked VS_XmlCreating for
  // the duration of its construction.
  XmlCreatePending() = true;
  TSobject* obj = cls->Create();
  XmlCreatePending() = false;
  auto* vobj = static_cast<TVelaObject*>(obj);
  if (vobj) vobj->SetStatusFlags(vobj->StatusFlags() - VS_XmlCreating);
  return vobj;
}


}  // namespace vela
