#include "devices/DmxAdapter.h"

#include "devices/DeviceClock.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "framework/FrameworkHooks.h"

namespace vela {

VELA_CLASS_IMPL(TDmxAdapter, TConnection)

TDmxAdapter::~TDmxAdapter() = default;

int TDmxAdapter::GetStateindex() {
  if (!IsDetected()) return 4;
  if (FIoStatus != 0) return FIoStatus;
  if (FActive) return 3;
  if (fAlive) return 2;
  return 1;
}

QString TDmxAdapter::GetNodetext() {
  return TConnection::GetNodetext() + (IsDetected() ? QStringLiteral(", Detected!") : QStringLiteral(", Not detected"));
}

void TDmxAdapter::AliveCheck() {
  TConnection::AliveCheck();
  if (FNoAliveOnInput) return;
  const TDateTime now = DeviceNow();
  if (fCOutBlocks)
    for (int i = 0; i < fCOutBlocks->Numblocks(); ++i)
      if (TDmxBlock* block = fCOutBlocks->Block(i)) block->DoSimulate1(now);
  // The state image of (in-area state, out-area state); without the image
  // table nothing overrides the icon.
  const int type = DmxAreaIconState(fCInBlocks);
  const int kind = DmxAreaIconState(fCOutBlocks);
  auto& table = FrameworkHooks().StateImageByTypeKind;
  SetIoStatus(static_cast<uint8_t>(table ? table(type, kind, 0) : 0));
}

}  // namespace vela
