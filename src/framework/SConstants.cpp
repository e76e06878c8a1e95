#include "framework/SConstants.h"

#include "framework/sobjects.h"
#include "platform/Assertion.h"

namespace vela {

void DispatchObjectMessage(TSobject* Target, uint32_t Msg, int32_t Value, uint16_t Command, uint16_t Kind) {
  VelaAssert(Target != nullptr, QStringLiteral("DispatchObjectMessage without target"),
             QStringLiteral("velaobject/SConstants"));
  TObjectMessage m;
  m.Msg = Msg;
  m.Kind = Kind;
  m.Command = Command;
  m.Value = Value;
  Target->DispatchObject(m);
}

}  // namespace vela
