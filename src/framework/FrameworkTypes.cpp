// Registration of the framework's streamable classes.
#include "framework/RealTime.h"
#include "framework/sobjects.h"
#include "framework/velaobject.h"

namespace vela {

void RegisterFrameworkTypes() {
  RegisterObjType(1, TSobject::StaticClass());
  RegisterObjType(2, TSCollection::StaticClass());
  RegisterObjType(3, TSortedCollection::StaticClass());
  RegisterObjType(4, TWordIdColl::StaticClass());
  RegisterObjType(5, TTempSortedCollection::StaticClass());
  RegisterObjType(101, TVelaObject::StaticClass());
  RegisterObjType(103, TRealTime::StaticClass());
}

}  // namespace vela
