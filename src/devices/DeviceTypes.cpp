#include "devices/DeviceTypes.h"

#include "devices/DMX.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "devices/DmxSources.h"
#include "devices/TyxBox.h"
#include "devices/TyxBoxes.h"
#include "devices/VelanetObject.h"
#include "framework/sobjects.h"

namespace vela {

void RegisterDeviceTypes() {
  RegisterObjType(kVelanetObjectType, TVelanetObject::StaticClass());
  RegisterObjType(kDmxBlockType, TDmxBlock::StaticClass(), QStringLiteral("DMX Block"));
  RegisterObjType(kDmxAreaType, TDmxArea::StaticClass());
  RegisterObjType(kAcnDevsType, TAcnDevs::StaticClass());
  RegisterObjType(kDeviceRefType, TDeviceRef::StaticClass());
  RegisterObjType(kTyxBoxType, TTyxBox::StaticClass());
  RegisterObjType(kTyxBoxesType, TTyxBoxes::StaticClass());
}

}  // namespace vela
