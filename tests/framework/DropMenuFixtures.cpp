#include "DropMenuFixtures.h"

namespace vela::testing {

VELA_CLASS_IMPL(TMenuNode, TNode)
VELA_CLASS_IMPL(TSortedMenuNode, TMenuNode)
VELA_CLASS_IMPL(TLeafA, TNode)
VELA_CLASS_IMPL(TLeafB, TNode)
VELA_CLASS_IMPL(TBlockLike, TNode)
VELA_CLASS_IMPL(TWordNode, TNode)
VELA_CLASS_IMPL(TDropFolder, TMenuNode)
VELA_CLASS_IMPL(TSortedDropFolder, TDropFolder)

void RegisterDropMenuTypes() {
  RegisterObjType(60201, TMenuNode::StaticClass(), "Menu node");
  RegisterObjType(60202, TSortedMenuNode::StaticClass(), "Sorted menu node");
  RegisterObjType(60203, TLeafA::StaticClass(), "Leaf A");
  RegisterObjType(60204, TLeafB::StaticClass());
  RegisterObjType(60205, TBlockLike::StaticClass(), "DMX Block");
  RegisterObjType(60206, TWordNode::StaticClass(), "Word node");
  RegisterObjType(60207, TDropFolder::StaticClass(), "Folder");
  RegisterObjType(60208, TSortedDropFolder::StaticClass(), "Sorted folder");
}

std::vector<QString> SubNames(TVelaObject* obj) {
  std::vector<QString> out;
  for (int i = 0; i < obj->Subcount(); ++i) out.push_back(obj->Sub(i)->NameIfName());
  return out;
}

std::vector<QString> Captions(const TVelaMenuItem& level) {
  std::vector<QString> out;
  for (int i = 0; i < level.Count(); ++i) out.push_back(level.Items(i)->text());
  return out;
}

std::vector<uint16_t> Commands(const TVelaMenuItem& level) {
  std::vector<uint16_t> out;
  for (int i = 0; i < level.Count(); ++i) {
    TVelaMenuItem* item = AsVelaMenuItem(level.Items(i));
    out.push_back(item ? item->VelaCommand : 0xFFFF);
  }
  return out;
}

QString Join(const std::vector<QString>& texts) {
  QStringList list(texts.begin(), texts.end());
  return list.join(QStringLiteral(" | "));
}

}  // namespace vela::testing
