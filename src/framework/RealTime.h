#pragma once
// Real-time objects: tree objects that change on their own (a box going on
// line, a port seeing traffic). Each carries 32 status bits and remembers
// which status bits and which of 32 status-data bits changed since the views
// last looked; every change marks the object's listeners in the status list
// (StatusList.h), whose next pass tells them.
#include <cstdint>

#include "framework/VelaTypes.h"
#include "framework/velaobject.h"

namespace vela {

class TRealTime : public TVelaObject {
  VELA_CLASS(TRealTime, TVelaObject)

  TRealTime() = default;
  ~TRealTime() override;

  // ---- reading the status
  TStBits Status() const { return fStatus; }
  // Some bit of Smask is set.
  bool GetStatus(TStBits Smask) const { return fStatus.HasAny(Smask); }
  bool GetStatus(TStBit Bit) const { return fStatus.Has(Bit); }
  // Every bit of Smask is set.
  bool GetStatusAll(TStBits Smask) const { return fStatus.HasAll(Smask); }

  // ---- changing the status
  // Adds (Enable) or removes the bits; the bits that flip count as changed:
  // they go into the dirty status, the object becomes VS_SelfDirty and the
  // listeners that want them are marked.
  void SetStatus(TStBits SMask, bool Enable);
  void SetStatus(TStBit Bit, bool Enable) { SetStatus(TStBits{Bit}, Enable); }
  // The status becomes exactly Value; every bit that flips counts as changed.
  void SetStatusWord(TStBits Value);
  void SetStatusWord(uint32_t Value) { SetStatusWord(TStBits::FromBits(Value)); }

  // ---- dirty bits
  TStBits DirtyStatus() const { return fDirtyStatus; }
  TDtBits DirtyStatusData() const { return fDirtyStatusData; }
  uint16_t SkipServerCount() const { return SkipServer; }
  bool IsStatusDirty(TStBits Smask) const { return fDirtyStatus.HasAny(Smask); }
  void ClearStatusDirty1(TStBits Smask) { fDirtyStatus -= Smask; }
  void SetStatusDataDirty(TDtBits SMask);
  void SetStatusDataDirty(TDtBit Bit) { SetStatusDataDirty(TDtBits{Bit}); }
  bool IsStatusDataDirty(TDtBits Smask) const { return fDirtyStatusData.HasAny(Smask); }
  void ClearStatusDataDirty(TDtBits Smask) { fDirtyStatusData -= Smask; }
  // Marks the listeners only; the object's own bits stay as they are.
  void SetSemaDirty(TStBits Smask, TDtBits Dmask);

  // ---- overrides
  // SOM_StatusChanged and VS_SelfDirty, then the status-data bit DT_32.
  void SetStatusChanged() override;
  // (FK_Status, 1) sets the bits in Data (a TStBits), (FK_Status, 0) clears them.
  void SetFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data, bool AsIncrement) override;
  TVelaObject* GetSRtl() override { return this; }
  // The status block: fStatus and fDirtyStatusData, 32 bits each.
  void StoreStatus(TSWriter& Writer) override;
  void LoadStatus(TSReader& Reader) override;
  // The name, then the status block when the stream carries no net ids
  // (with net ids the content writes the block itself).
  void Storedata(TSWriter& Writer) override;
  void Loaddata(TSReader& Reader) override;
  void AfterLoadNetStatus() override;
  // Writes one status record when this object's status changed, then walks
  // the subs.
  void StoreNetStatus(TSWriter& Writer) override;
  // The status list learns that the source goes before anything is freed.
  void BeforeDestruction() override;

 protected:
  TStBits fStatus;
  uint16_t SkipServer = 0;
  TStBits fDirtyStatus;
  TDtBits fDirtyStatusData;

 private:
  void ReportGone();
  bool fGoneReported = false;
};

}  // namespace vela
