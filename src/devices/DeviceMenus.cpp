// Object menu entries of connections and blocks: the output map window on a
// connection's areas or on one block, opened through the application's hook.
#include "devices/Connection.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "framework/FrameworkHooks.h"
#include "framework/ObjectMenus.h"

namespace vela {

namespace {
QObject* OpenOutputMap(TVelaObject* Source, QObject* Caller, bool AsOutput) {
  auto& open = FrameworkHooks().OutputMap;
  return (Source && open) ? open(Source, Caller, AsOutput) : nullptr;
}
}  // namespace

void TConnection::AddMenuItems(QObject* Caller, TPopMenuKind Kind, TVelaMenuItem* Menu, TSFieldKind AFkind,
                               uint32_t AFid, TVelaObject* Initiator, int ParentLevel, const TDropParams& DropParams,
                               TVelaObject* ParamObj) {
  // Only the connection that was clicked offers its areas: an owner's entries
  // would read the same and show another device.
  if (Menu && ParentLevel == 0 && (Kind == Pop_Click || Kind == Pop_ChannelMenu)) {
    const TMenuClick click(this, &TConnection::ShowAreaClick);
    if (fCInBlocks) {
      TVelaMenuItem* item = CreateMenuItem(Caller, Menu, 0, QStringLiteral("Show Output"), Menu, nullptr, click);
      item->RefVelaObject = fCInBlocks;
      item->Param1 = 1;
    }
    if (fCOutBlocks) {
      TVelaMenuItem* item = CreateMenuItem(Caller, Menu, 0, QStringLiteral("Show Input"), Menu, nullptr, click);
      item->RefVelaObject = fCOutBlocks;
      item->Param1 = 0;
    }
  }
  TVelanetObject::AddMenuItems(Caller, Kind, Menu, AFkind, AFid, Initiator, ParentLevel, DropParams, ParamObj);
}

void TConnection::ShowAreaClick(TVelaMenuItem* Sender) {
  if (!Sender) return;
  // The area is taken at the click: the one the menu saw may have been replaced.
  const bool in = Sender->Param1 == 1;
  OpenOutputMap(in ? fCInBlocks : fCOutBlocks, Sender->Caller, in);
}

void TDmxBlock::AddMenuItems(QObject* Caller, TPopMenuKind Kind, TVelaMenuItem* Menu, TSFieldKind AFkind, uint32_t AFid,
                             TVelaObject* Initiator, int ParentLevel, const TDropParams& DropParams,
                             TVelaObject* ParamObj) {
  if (Menu && ParentLevel == 0 && (Kind == Pop_Click || Kind == Pop_LocalMenu)) {
    TVelaMenuItem* item = CreateMenuItem(Caller, Menu, 0, QStringLiteral("Show Block content"), Menu, nullptr,
                                         TMenuClick(this, &TDmxBlock::ShowContentClick));
    item->RefVelaObject = this;
  }
  TVelanetObject::AddMenuItems(Caller, Kind, Menu, AFkind, AFid, Initiator, ParentLevel, DropParams, ParamObj);
}

void TDmxBlock::ShowContentClick(TVelaMenuItem* Sender) {
  if (Sender) OpenOutputMap(this, Sender->Caller, BlockIsOutput());
}

}  // namespace vela
