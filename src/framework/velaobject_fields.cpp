// Field access of TVelaObject: lookup, reading, formatting, writing,
// increments, parameter definitions, selection lists and capability queries.
#include <QDate>
#include <QLocale>
#include <cmath>
#include <cstring>

#include "framework/FieldValues.h"
#include "framework/FrameworkHooks.h"
#include "framework/TreeLock.h"
#include "framework/velaobject.h"

namespace vela {

const void*& DefaultPropertyFrameClass() {
  static const void* cls = nullptr;
  return cls;
}

// ---------------------------------------------------------------------------
// Lookup and reading

bool TVelaObject::GetFieldPointer(TSFieldKind FieldKind, uint32_t FieldId, void*& Ptr) {
  if (FieldKind == FK_Text && FieldId == 0) {
    Ptr = &fName;
    return true;
  }
  if (FieldKind == FK_Special && FieldId == 1104) {
    if (fOwner) return fOwner->GetFieldPointer(FieldKind, FieldId, Ptr);
    Ptr = nullptr;
    return false;
  }
  if (FieldKind == FK_Subobject) {
    Ptr = FieldId >= 65535 ? static_cast<void*>(this) : static_cast<void*>(Sub(static_cast<int>(FieldId)));
    return true;
  }
  return false;
}

void* TVelaObject::DirectFieldPointer(TSFieldKind aFieldKind, uint32_t aFieldid) {
  void* ptr = nullptr;
  return GetFieldPointer(aFieldKind, aFieldid, ptr) ? ptr : nullptr;
}

uint16_t TVelaObject::WordId() { return static_cast<uint16_t>(FN(FK_Word, 0)); }

void TVelaObject::SetWordId(uint16_t value) { SetFieldValue(FK_Word, 0, &value, false); }

int32_t TVelaObject::FN(TSFieldKind AFkind, uint32_t AFid, int, int) {
  if (AFkind == FK_Integer && AFid == 0) return OwnerIndex();
  if (AFkind == FK_FieldImage) return -1;
  void* ptr = nullptr;
  if (!GetFieldPointer(AFkind, AFid, ptr) || !ptr) return 0;
  return FieldNumber(AFkind, ptr);
}

double TVelaObject::FNtime(uint32_t AFid, int, int) {
  void* ptr = nullptr;
  if (!GetFieldPointer(FK_TimeDate, AFid, ptr) || !ptr) return 0.0;
  return *static_cast<const double*>(ptr);
}

double TVelaObject::FNDate(uint32_t AFid, int, int) {
  void* ptr = nullptr;
  if (!GetFieldPointer(FK_Date, AFid, ptr) || !ptr) return 0.0;
  return *static_cast<const double*>(ptr);
}

TVelaObject* TVelaObject::FNObject(TSFieldKind AFkind, uint32_t AFid, int, int) {
  if (AFkind != FK_Graphic) return nullptr;
  void* ptr = nullptr;
  if (!GetFieldPointer(AFkind, AFid, ptr) || !ptr) return nullptr;
  return *static_cast<TVelaObject* const*>(ptr);
}

QString TVelaObject::FF(TSFieldKind AFkind, uint32_t AFid, int Param1, int Param2) {
  if (AFkind == FK_Integer && AFid == 0) return QString::number(OwnerIndex() + 1);
  if (AFkind == FK_Integer && AFid == 1001) return QString::number(RQ(RQ_NumRefs, this, Param1, Param2));
  if (AFkind == FK_Special) {
    switch (AFid) {
      case 1101:
      case 1107: return GetNodetext();
      case 1102: return fOwner ? fOwner->FF(FK_Special, 1102, Param1, Param2) : QString();
      case 1105: return ObjTypeHumanName(Objtype());
      case 1106:
        return ObjTypeHumanName(Objtype()) + ' ' + QString::number(Param1) + QStringLiteral(", ") + GetName();
      default: break;
    }
  }
  void* ptr = nullptr;
  if (GetFieldPointer(AFkind, AFid, ptr) && ptr) {
    switch (AFkind) {
      case FK_Text:
        if (AFid == 0) return fName.isEmpty() ? GetNodetext() : fName;
        return FormatFieldValue(ptr, AFkind, Param1);
      case FK_WordKind:
      case FK_ByteKind:
      case FK_IntegerKind: {
        int32_t value = FieldNumber(AFkind, ptr);
        return FC(AFkind, AFid, -1, value);
      }
      case FK_UniqueId: {
        const auto* id = static_cast<const TUniqueId*>(ptr);
        if (TVelaObject* ref = GetObjByUniqueId(*id); ref && id->ClassId != 0)
          return ref->FF(FK_Special, 1106, id->ObjectId);
        if (id->ClassId != 0) return ObjTypeHumanName(id->ClassId) + ' ' + QString::number(id->ObjectId);
        return QString();
      }
      default: return FormatFieldValue(ptr, AFkind, Param1);
    }
  }
  switch (AFkind) {
    case FK_Byte:
    case FK_Word:
    case FK_SmallInt:
    case FK_Integer:
    case FK_LongWord:
    case FK_ShortInt: return QString::number(FN(AFkind, AFid, Param1, Param2));
    default: return QStringLiteral("??");
  }
}

QString TVelaObject::FFProps(const TLParam& Props, const TParamsOpt*) {
  return FF(Props.DisplayFk, Props.DisplayId, Props.BitOffset, static_cast<int>(Props.Param2 & 0xFFFF));
}

QString TVelaObject::FC(TSFieldKind, uint32_t, int, int32_t&) { return QString(); }

QString TVelaObject::SFName(TSFieldKind AFkind, uint32_t AFid) {
  if (AFkind == FK_Text && AFid == 0) return QStringLiteral("Name");
  if (AFkind == FK_Word && AFid == 0) return QStringLiteral("ID");
  return QString();
}

TVelaObject* TVelaObject::RefByFieldId(TSFieldKind aFk, uint32_t aFid, int) {
  if (aFk != FK_UniqueId) return this;
  void* ptr = nullptr;
  if (!GetFieldPointer(aFk, aFid, ptr) || !ptr) return nullptr;
  const auto* id = static_cast<const TUniqueId*>(ptr);
  return id->ClassId == 0 ? nullptr : GetObjByUniqueId(*id);
}

int TVelaObject::ImageIndexByFieldId(TSFieldKind aFk, uint32_t aFid, int Param) {
  TVelaObject* self = MySelf();
  TVelaObject* ref = self ? self->RefByFieldId(aFk, aFid, Param) : nullptr;
  return (ref && ref != self) ? ref->GetImageindex(false) : -1;
}

bool TVelaObject::PaintImage(QPainter* Canvas, const QRect& Bounds, TSFieldKind AFkind, uint32_t AFid, int Index,
                             const void*) {
  TVelaObject* ref = RefByFieldId(AFkind, AFid, Index);
  if (ref && ref != this) return ref->PaintImage(Canvas, Bounds, FK_Graphic, 0, 0, nullptr);
  if (AFkind == FK_Graphic && AFid == 0) {
    auto& hook = FrameworkHooks().Picture;
    return hook ? hook(this, Canvas, Bounds) : false;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Writing

bool TVelaObject::DoSetField(bool Validate, TSFieldKind aFieldKind, uint32_t aFieldId, const void* Data, int, int) {
  if (Validate && (!EditingEnabled() || !ValidateField(false, aFieldKind, aFieldId, Data))) return false;
  if (!Sendtoserver(4107, this, static_cast<int>(aFieldId), Data)) ApplyFieldValue(aFieldKind, aFieldId, Data);
  return true;
}

bool TVelaObject::DoSetField(bool Validate, TSFieldKind aFieldKind, uint32_t aFieldId) {
  const uint8_t zeros[kMaxFieldData] = {};
  return DoSetField(Validate, aFieldKind, aFieldId, zeros);
}

bool TVelaObject::ToggleBool(bool Validate, uint32_t aFieldid) {
  const bool value = FN(FK_Bool, aFieldid) == 0;
  return DoSetField(Validate, FK_Bool, aFieldid, &value);
}

bool TVelaObject::ToggleBit(bool Validate, TSFieldKind FieldKind, uint32_t aFieldid, int aBit) {
  if (aBit < 1 || aBit > 32) return false;
  const uint32_t value = static_cast<uint32_t>(FN(FieldKind, aFieldid)) ^ (1u << (aBit - 1));
  uint8_t data[kMaxFieldData] = {};
  PutFieldNumber(FieldKind, data, value);
  return DoSetField(Validate, FieldKind, aFieldid, data);
}

void TVelaObject::ApplyFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data) {
  SetFieldValue(FieldKind, FieldId, Data, false);
}

void TVelaObject::SetFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data, bool AsIncrement) {
  void* ptr = nullptr;
  const bool found = GetFieldPointer(FieldKind, FieldId, ptr) && ptr && Data;
  if (found) {
    if (FieldKind == FK_Text) {
      const auto& text = *static_cast<const QString*>(Data);
      if (FieldId == 0) return SetName(text);
      auto& stored = *static_cast<QString*>(ptr);
      if (stored == text) return;
      stored = text;
    } else if (FieldKind == FK_Word || FieldKind == FK_WordKind) {
      uint16_t value = 0;
      std::memcpy(&value, Data, 2);
      auto* stored = static_cast<uint16_t*>(ptr);
      if (*stored == value) return;
      auto* sorted = (FieldId == 0 && fOwner && fOwner->fSubs && fOwner->fSubs->Sorted())
                         ? static_cast<TSortedCollection*>(fOwner->fSubs)
                         : nullptr;
      if (sorted && sorted->KeyOf(this) == ptr) {
        {
          TTreeLock lock;
          sorted->Delete(this);
          *stored = value;
          sorted->Insert(this);
          // Without duplicates an equal key would drop the object from its
          // owner; it stays, in front of its equal.
          if (sorted->ScanIndexOf(this) < 0) sorted->AtInsert(sorted->IndexOfKey(ptr), this);
        }
        AddDataFlags({S_SortDirty}, true);
        SetSubsChanged(true, false, false);
      } else {
        *stored = value;
      }
    } else if (!StoreFieldValue(FieldKind, Data, ptr)) {
      return;
    }
  }
  if (AsIncrement) Notify(SOM_DataInc, MySelf(), FieldKind, static_cast<int32_t>(FieldId));
  SetFieldChanged(FieldKind, FieldId, false);
}

bool TVelaObject::ValidateField(bool ISINC, TSFieldKind& aFieldKind, uint32_t& aFieldId, const void* AVALUE) {
  if (ISINC) return true;
  if (aFieldKind == FK_Word && aFieldId == 0 && fOwner && fOwner->RQ(RQ_UniqueSubsWordId, this) != 0 && AVALUE) {
    uint16_t value = 0;
    std::memcpy(&value, AVALUE, 2);
    for (int i = 0; i < fOwner->Subcount(); ++i) {
      TVelaObject* s = fOwner->Sub(i);
      if (s && s != this && s->Objtype() == Objtype() && s->WordId() == value) return false;
    }
  }
  if ((aFieldKind == FK_Byte || aFieldKind == FK_Word) && fOwner && fOwner->fSubs && fOwner->fSubs->Sorted()) {
    auto* sorted = static_cast<TSortedCollection*>(fOwner->fSubs);
    if (!sorted->Duplicates && sorted->KeyOf(this) == DirectFieldPointer(aFieldKind, aFieldId) &&
        sorted->KeyOf(this) != nullptr)
      return false;
  }
  return true;
}

bool TVelaObject::CanIncField(TSFieldKind FieldKind, uint32_t, int) {
  switch (FieldKind) {
    case FK_Byte:
    case FK_Word:
    case FK_SmallInt:
    case FK_Integer:
    case FK_LongWord:
    case FK_TimeDate:
    case FK_Single:
    case FK_Pros1000:
    case FK_ProsWord:
    case FK_ShortInt: return true;
    default: return false;
  }
}

bool TVelaObject::DoIncField(bool DoValidate, TSFieldKind aFieldKind, uint32_t aFieldId, int, int IncY) {
  if (IncY == 0) return false;
  if (DoValidate && !ValidateField(true, aFieldKind, aFieldId, nullptr)) return false;
  if (Sendtoserver(4108, this, static_cast<int>(aFieldId), &IncY)) return true;
  if (!EditingEnabled() || !CanIncField(aFieldKind, aFieldId, IncY)) return false;
  void* ptr = nullptr;
  const bool found = GetFieldPointer(aFieldKind, aFieldId, ptr) && ptr;
  uint8_t current[kMaxFieldData] = {};
  if (found) std::memcpy(current, ptr, FieldStorageSize(aFieldKind));
  // Byte, word and long word start from FN so that computed fields increment too.
  if (aFieldKind == FK_Word || aFieldKind == FK_LongWord || aFieldKind == FK_Byte)
    PutFieldNumber(aFieldKind, current, static_cast<uint32_t>(FN(aFieldKind, aFieldId)));
  else if (!found)
    return false;
  uint8_t next[kMaxFieldData] = {};
  if (!IncrementFieldValue(aFieldKind, current, IncY, next)) return false;
  SetFieldValue(aFieldKind, aFieldId, next, true);
  return true;
}

void TVelaObject::_SetField(bool, int, const void*) {}

// ---------------------------------------------------------------------------
// Definitions

uint16_t TVelaObject::DefaultPDef(TLParamDef& Arr, TParamsOpt&) {
  Arr.clear();
  SetArrData(Arr, 0, FK_Text, 0, QStringLiteral("Name"), 120, {}, {}, {}, nullptr);
  return 1;
}

void TVelaObject::SetArrData(TLParamDef& Arr, int Index, TSFieldKind aFK, uint32_t aID, const QString& aHead,
                             int aSizeX, TLpEditModes aLPEditMode, TStBits aDStat, TDtBits aDDStat,
                             TVelaObject* aPart) {
  if (Index < 0) return;
  if (Index >= static_cast<int>(Arr.size())) Arr.resize(Index + 1);
  TLParam& p = Arr[Index];
  p = TLParam{};
  p.FK = p.DisplayFk = aFK;
  p.ID = p.DisplayId = aID;
  p.Head = p.FullHeader = aHead;
  p.SizeX = aSizeX + (Index == 0 ? 16 : 0);
  p.LPEditMode = aLPEditMode;
  p.DStat = aDStat;
  p.DDStat = aDDStat;
  p.Part = aPart ? aPart : this;
  p.Alignment = aFK == FK_Text ? taLeftJustify : taCenter;
}

void TVelaObject::AddArrData(TLParamDef& Arr, int& Index, TSFieldKind aFK, uint32_t aID, const QString& aHead,
                             int aSizeX, TLpEditModes aLPEditMode, TStBits aDStat, TDtBits aDDStat,
                             TVelaObject* aPart) {
  ++Index;
  SetArrData(Arr, Index, aFK, aID, aHead, aSizeX, aLPEditMode, aDStat, aDDStat, aPart);
}

void TVelaObject::AddPDef(int&, TLParamDef&, TParamsOpt&) {}

// ---------------------------------------------------------------------------
// Lists and comparison

TSelectionList TVelaObject::GetSelectionList(TSFieldKind AFkind, uint32_t AFid, TParamsOpt& Opt, int, int) {
  if (AFkind == FK_Integer && AFid == 1002) return SubList(FK_Word, 0, false, false, false, false);
  TSelectionList list;
  // A choice list that never ends is cut off rather than looping forever.
  for (int i = 0; i < 65536; ++i) {
    int32_t value = 0;
    const QString text = FC(AFkind, AFid, i, value);
    if (text.isEmpty()) break;
    list.push_back({text, value});
  }
  InitParamsOpt(Opt);
  return list;
}

TSelectionList TVelaObject::SubList(TSFieldKind aFieldKind, uint32_t aFieldId, bool DisplayId, bool AddEmpty,
                                    bool IncId, bool SubAsObj) {
  TSelectionList list;
  if (AddEmpty) list.push_back({QStringLiteral("----"), 0});
  for (int i = 0; i < Subcount(); ++i) {
    TVelaObject* s = Sub(i);
    if (!s) continue;
    QString text = s->FF(FK_Text, 0);
    if (DisplayId) text = s->FF(aFieldKind, aFieldId) + ' ' + text;
    const intptr_t value = SubAsObj ? reinterpret_cast<intptr_t>(s) : s->FN(aFieldKind, aFieldId) + (IncId ? 1 : 0);
    list.push_back({text, value});
  }
  return list;
}

TSelectionList TVelaObject::CreateSubList(int RefKind, uint32_t RefId, bool IdAsIndex, TSFieldKind aFieldKind,
                                          uint32_t aFieldId, bool DisplayId, bool AddEmpty, bool IncId) {
  TVelaObject* ref = GetRefId(RefKind, RefId, IdAsIndex);
  return ref ? ref->SubList(aFieldKind, aFieldId, DisplayId, AddEmpty, IncId, false) : TSelectionList{};
}

int TVelaObject::SortCompare(TVelaObject* S, TSFieldKind AFkind, uint32_t AFid) {
  if (!S) return 0;
  switch (AFkind) {
    case FK_Text: return FF(FK_Text, AFid).compare(S->FF(FK_Text, AFid), Qt::CaseInsensitive);
    case FK_Byte:
    case FK_Word:
    case FK_SmallInt:
    case FK_Integer:
    case FK_LongWord:
    case FK_ShortInt: {
      const int64_t a = FN(AFkind, AFid);
      const int64_t b = S->FN(AFkind, AFid);
      return a < b ? -1 : (a > b ? 1 : 0);
    }
    case FK_TimeDate:
    case FK_Date: {
      const double a = FNtime(AFid);
      const double b = S->FNtime(AFid);
      return a < b ? -1 : (a > b ? 1 : 0);
    }
    default: return 0;
  }
}

int32_t TVelaObject::RQ(TRQ ARQ, TVelaObject*, int Param1, int) {
  switch (ARQ) {
    case RQ_DeleteDenied: return EditingEnabled() ? 0 : 1;
    case RQ_FirstSubId: return 1;
    case RQ_DefaultDoubleEditor: {
      const void* cls = ParamEditorClass();
      if (cls && cls != DefaultPropertyFrameClass()) return 1;
      if (Param1 > 1 || Subcount() <= 0) return 0;
      TVelaObject* first = Sub(0);
      return (first && first->RQ(RQ_DefaultDoubleEditor, nullptr, Param1 + 1, 0) > 0) ? 1 : 0;
    }
    default: return 0;
  }
}

const void* TVelaObject::ParamEditorClass() {
  TVelaObject* self = MySelf();
  return (self && self != this) ? self->ParamEditorClass() : nullptr;
}

QObject* TVelaObject::ParamEditor(QObject* AOwner, const void* aClassType) {
  if (!aClassType) return nullptr;
  auto& hook = FrameworkHooks().CreateParamEditor;
  return hook ? hook(aClassType, AOwner) : nullptr;
}

QObject* TVelaObject::DoEditorWindow(QObject* Caller) {
  auto& hook = FrameworkHooks().ObjectWindow;
  if (!hook) return nullptr;
  return hook(this, Caller, RQ(RQ_DefaultDoubleEditor) >= 1 ? 2 : 0);
}

}  // namespace vela
