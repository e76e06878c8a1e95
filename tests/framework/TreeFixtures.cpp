#include "TreeFixtures.h"

namespace vela::testing {

VELA_CLASS_IMPL(TNode, TVelaObject)
VELA_CLASS_IMPL(TUniqueNode, TNode)
VELA_CLASS_IMPL(TSortedNode, TNode)

void RegisterTestTypes() {
  RegisterObjType(60101, TNode::StaticClass());
  RegisterObjType(60102, TUniqueNode::StaticClass());
  RegisterObjType(60103, TSortedNode::StaticClass(), "Sorted node");
}

}  // namespace vela::testing
