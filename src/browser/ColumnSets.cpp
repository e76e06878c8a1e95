#include "browser/ColumnSets.h"

#include <algorithm>
#include <stdexcept>

#include "framework/velaobject.h"

namespace vela {

// ---------------------------------------------------------------------------
// TColumndefs

TColumndefs::TColumndefs(TColumnColl* Coll) : TSCollection(8, 8), MyColl(Coll) {}

void TColumndefs::Refreshit(TVelaObject*, const TLParamDef& Arr, int Max) {
  try {
    Max = std::clamp(Max, 0, static_cast<int>(Arr.size()));
    while (Count() < Max) {
      auto* def = new TColumnDef;
      def->ReadParams(Arr[Count()]);
      Insert(def);
    }
    while (Count() > Max) AtFree(Count() - 1);
    for (int i = 0; i < Count(); ++i) {
      TColumnDef* def = Def(i);
      const int32_t width = def->CProps.SizeX;  // the width stays the set's own
      def->CProps = Arr[i];
      def->CProps.SizeX = width;
      def->NotVisible = false;
    }
    UpdatePosX();
  } catch (...) {
  }
}

void TColumndefs::UpdatePosX() {
  int32_t running = 0;
  for (int i = 0; i < Count(); ++i) {
    TColumnDef* def = Def(i);
    def->PosX = running;
    if (!def->NotVisible) running += def->CProps.SizeX;
  }
}

int TColumndefs::TotalWidth() const {
  int total = 0;
  for (int i = 0; i < Count(); ++i)
    if (!Def(i)->NotVisible) total += Def(i)->CProps.SizeX;
  return total;
}

bool TColumndefs::IsSortColumn(int Column) const {
  return std::find(ValidSortColumns.begin(), ValidSortColumns.end(), Column) != ValidSortColumns.end();
}

int TColumndefs::NextVisible(int Column) const {
  for (int i = std::max(Column + 1, 0); i < Count(); ++i)
    if (!Def(i)->NotVisible) return i;
  return -1;
}

int TColumndefs::LastVisible() const {
  for (int i = Count() - 1; i >= 0; --i)
    if (!Def(i)->NotVisible) return i;
  return -1;
}

// ---------------------------------------------------------------------------
// TColumnColl

TColumnColl::TColumnColl() : TSortedCollection(16, 16) {}

uintptr_t TColumnColl::ClassKey(const TVelaObject* Obj) {
  return Obj ? reinterpret_cast<uintptr_t>(Obj->ClassType()) : 0;
}

const void* TColumnColl::KeyOf(const void* Item) const { return &static_cast<const TColumndefs*>(Item)->RefRec; }

int TColumnColl::Compare(const void* Key1, const void* Key2) const {
  const auto& a = *static_cast<const TColSort*>(Key1);
  const auto& b = *static_cast<const TColSort*>(Key2);
  if (a.RefClass != b.RefClass) return a.RefClass < b.RefClass ? -1 : 1;
  if (a.DiffId != b.DiffId) return a.DiffId < b.DiffId ? -1 : 1;
  if (a.Num != b.Num) return a.Num < b.Num ? -1 : 1;
  return 0;
}

void TColumnColl::SetOnGetPDef(TGetPdef Value) {
  FOnGetPDef = std::move(Value);
  for (int i = 0; i < Count(); ++i) Set(i)->FOnGetPDef = FOnGetPDef;
  ForgetObjects();
}

void TColumnColl::ForgetObjects() {
  LastRef = nullptr;
  LastRefresh = nullptr;
  LastCDefs = nullptr;
}

uint16_t TColumnColl::FetchDefs(TVelaObject* Obj, TLParamDef& Arr, TParamsOpt& Opt, uint32_t NodeIndex) {
  InitParamsOpt(Opt);
  if (PrepareOpt) PrepareOpt(Opt);
  bool doDefault = true;
  uint16_t count = 0;
  if (FOnGetPDef) count = FOnGetPDef(Obj, Arr, Opt, doDefault, NodeIndex);
  if (doDefault) count = Obj->DefaultPDef(Arr, Opt);
  // A count beyond the definitions handed back cannot be shown.
  return static_cast<uint16_t>(std::min<size_t>(count, Arr.size()));
}

TColumndefs* TColumnColl::Refresh(uint32_t NodeIndex, TVelaObject* aObjRef, bool Force) {
  if (!Force && aObjRef == LastRefresh) return LastCDefs;
  LastRefresh = aObjRef;
  LastCDefs = nullptr;
  if (!aObjRef) return nullptr;
  try {
    TLParamDef arr;
    TParamsOpt opt;
    const uint16_t count = FetchDefs(aObjRef, arr, opt, NodeIndex);
    TColumndefs* set = GetDefsOld(aObjRef, count, NodeIndex, opt.DiffId);
    if (!set) return nullptr;
    // Re-filling may change heads and fields; the widths stay as they are.
    set->Refreshit(aObjRef, arr, count);
    LastCDefs = set;
  } catch (...) {
    LastCDefs = nullptr;
  }
  return LastCDefs;
}

TColumnDef* TColumnColl::ColumnDef(uint32_t NodeIndex, TVelaObject* aObjRef, bool Force, int Index) {
  TColumndefs* set =
      (!Force && aObjRef == LastRef && aObjRef == LastRefresh) ? LastCDefs : Refresh(NodeIndex, aObjRef, Force);
  LastRef = aObjRef;
  return set ? set->Def(Index) : nullptr;
}

TColumndefs* TColumnColl::GetDefsOld(TVelaObject* aObjRef, uint16_t aNum, uint32_t NodeIndex, uint16_t aDiff) {
  if (!aObjRef) return nullptr;
  if (aNum == 0) throw std::runtime_error("a column set without columns");
  TColSort key{ClassKey(aObjRef), aNum, aDiff};
  int index = 0;
  if (Search(&key, index)) return Set(index);

  auto* set = new TColumndefs(this);
  set->FOnGetPDef = FOnGetPDef;
  TLParamDef arr;
  TParamsOpt opt;
  uint16_t count = 0;
  try {
    count = FetchDefs(aObjRef, arr, opt, NodeIndex);
    for (uint16_t i = 0; i < count; ++i) {
      auto* def = new TColumnDef;
      def->ReadParams(arr[i]);
      set->Insert(def);
    }
  } catch (...) {
    FreeObj(set);
    throw;
  }
  set->ValidSortColumns = opt.ValidSortColumns;
  set->UpdatePosX();
  // The key comes from this fetch; should it differ from the first one the
  // set still lands at its own sorted place.
  set->RefRec = TColSort{key.RefClass, count, opt.DiffId};
  if (count == 0 || Search(&set->RefRec, index)) {
    TColumndefs* existing = count == 0 ? nullptr : Set(index);
    FreeObj(set);
    if (!existing) throw std::runtime_error("a column set without columns");
    return existing;
  }
  set->CurrentSortColumn = AdoptSortColumn(key.RefClass, opt.CurrentSortColumn);
  AtInsert(index, set);
  LayoutChanged();
  if (OnSetCreated) OnSetCreated(set);
  return set;
}

int TColumnColl::AdoptSortColumn(uintptr_t RefClass, int Default) {
  TColSort first{RefClass, 0, 0};
  int index = 0;
  Search(&first, index);
  bool found = false;
  int value = Default;
  for (; index < Count() && Set(index)->RefRec.RefClass == RefClass; ++index) {
    if (!found) {
      value = Set(index)->CurrentSortColumn;
      found = true;
    } else {
      Set(index)->CurrentSortColumn = value;
    }
  }
  return value;
}

void TColumnColl::SetClassSortColumn(uintptr_t RefClass, int Column) {
  for (int i = 0; i < Count(); ++i)
    if (Set(i)->RefRec.RefClass == RefClass) Set(i)->CurrentSortColumn = Column;
}

void TColumnColl::ResizeColumn(TColumndefs* Target, int Column, int SizeX) {
  TColumnDef* def = Target ? Target->Def(Column) : nullptr;
  if (!def) return;
  def->CProps.SizeX = SizeX;
  const TSFieldKind fk = def->CProps.FK;
  const uint32_t id = def->CProps.ID;
  for (int i = 0; i < Count(); ++i) {
    TColumndefs* set = Set(i);
    if (set == Target || (Column != 0 && set->RefRec.RefClass != Target->RefRec.RefClass)) continue;
    TColumnDef* other = set->Def(Column);
    if (other && other->CProps.FK == fk && other->CProps.ID == id && other->CProps.SizeX != SizeX) {
      other->CProps.SizeX = SizeX;
      set->UpdatePosX();
    }
  }
  Target->UpdatePosX();
  LayoutChanged();
}

int TColumnColl::MaxColumns() const {
  int most = 0;
  for (int i = 0; i < Count(); ++i) most = std::max(most, Set(i)->Count());
  return most;
}

}  // namespace vela
