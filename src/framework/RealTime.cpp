#include "framework/RealTime.h"

#include <cstring>

#include "framework/NetStreams.h"
#include "framework/StatusList.h"
#include "framework/sstreams.h"

namespace vela {

VELA_CLASS_IMPL(TRealTime, TVelaObject)

TRealTime::~TRealTime() {
  // Deleted without FreeObj: the list must still forget this source.
  ReportGone();
}

void TRealTime::ReportGone() {
  if (fGoneReported) return;
  fGoneReported = true;
  if (TStatuslist* list = TheStatusList()) list->SourceDeleted(this);
}

void TRealTime::BeforeDestruction() {
  ReportGone();
  TVelaObject::BeforeDestruction();
}

void TRealTime::SetStatus(TStBits SMask, bool Enable) {
  TStBits changed;
  if (Enable) {
    changed = SMask - fStatus;
    fStatus += SMask;
  } else {
    changed = SMask * fStatus;
    fStatus -= SMask;
  }
  if (changed.Empty()) return;
  fDirtyStatus += changed;
  SetStatusFlags(StatusFlags() + VS_SelfDirty);
  if (TStatuslist* list = TheStatusList()) list->StatusDirty(this, changed);
}

void TRealTime::SetStatusWord(TStBits Value) {
  ++SkipServer;
  SetStatus(Value, true);
  SetStatus(~Value, false);
  --SkipServer;
}

void TRealTime::SetStatusDataDirty(TDtBits SMask) {
  fDirtyStatusData += SMask;
  if (!fDirtyStatusData.Empty()) SetStatusFlags(StatusFlags() + VS_SelfDirty);
  if (SMask.Empty()) return;
  if (TStatuslist* list = TheStatusList()) list->StatusDataDirty(this, SMask);
}

void TRealTime::SetSemaDirty(TStBits Smask, TDtBits Dmask) {
  TStatuslist* list = TheStatusList();
  if (!list) return;
  if (!Dmask.Empty()) list->StatusDataDirty(this, Dmask);
  if (!Smask.Empty()) list->StatusDirty(this, Smask);
}

void TRealTime::SetStatusChanged() {
  TVelaObject::SetStatusChanged();
  SetStatusDataDirty(DT_32);
}

void TRealTime::SetFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data, bool AsIncrement) {
  if (FieldKind == FK_Status && (FieldId == 0 || FieldId == 1)) {
    if (!Data) return;
    uint32_t bits = 0;
    std::memcpy(&bits, Data, sizeof bits);
    SetStatus(TStBits::FromBits(bits), FieldId == 1);
    return;
  }
  TVelaObject::SetFieldValue(FieldKind, FieldId, Data, AsIncrement);
}

void TRealTime::StoreStatus(TSWriter& Writer) {
  TVelaObject::StoreStatus(Writer);
  Writer.WriteDWord(fStatus.ToBits());
  Writer.WriteDWord(fDirtyStatusData.ToBits());
}

void TRealTime::LoadStatus(TSReader& Reader) {
  TVelaObject::LoadStatus(Reader);
  SetStatusWord(Reader.ReadDWord());
  fDirtyStatusData = TDtBits::FromBits(Reader.ReadDWord());
}

void TRealTime::Storedata(TSWriter& Writer) {
  TVelaObject::Storedata(Writer);
  if (!Writer.UseNetid) StoreStatus(Writer);
}

void TRealTime::Loaddata(TSReader& Reader) {
  TVelaObject::Loaddata(Reader);
  if (Reader.UseNetid) return;  // LoadContent reads the block after the data
  LoadStatus(Reader);
  SetStatusDataDirty(fDirtyStatusData);
}

void TRealTime::AfterLoadNetStatus() {
  SetStatusDataDirty(fDirtyStatusData);
  fDirtyStatusData = {};
}

void TRealTime::StoreNetStatus(TSWriter& Writer) {
  if (fStatusFlags.Has(VS_SelfDirty)) {
    fStatusFlags -= VS_SelfDirty;
    if (!fDirtyStatus.Empty() || !fDirtyStatusData.Empty()) WriteNetStatusRecord(Writer, *this);
    fDirtyStatus = {};
    fDirtyStatusData = {};
  }
  TVelaObject::StoreNetStatus(Writer);
}

}  // namespace vela
