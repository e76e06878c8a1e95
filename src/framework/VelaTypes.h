#pragma once
// Types shared by the object tree, its fields and its views.
#include <QString>
#include <cstdint>
#include <vector>

#include "platform/SmallSet.h"

namespace vela {

class TVelaObject;

// State flags of an object.
enum TDS_FLAG : uint8_t {
  VS_ChildrenDataDirty = 0,
  VS_PChildrenStatusDirty = 1,
  VS_SelfDirty = 2,
  VS_Destroying = 3,
  VS_Creating = 4,
  VS_Temporary = 5,
  VS_XmlCreating = 6,
  VS_UpdatingSubs = 7,
};
using TSD_FLAGS = TSmallSet<TDS_FLAG, uint8_t>;

// Change flags of an object; bits 0..5 are the transient ones.
enum TD_FLAG : uint8_t {
  S_SomethingDirty = 0,
  S_SortDirty = 1,
  S_SubsSortDirty = 2,
  S_SubsChanged = 3,
  S_SilentDirty = 4,
  S_NameDirty = 5,
  S_NotSaved = 6,
  S_RootNotSaved = 7,
};
using TD_FLAGS = TSmallSet<TD_FLAG, uint8_t>;
constexpr TD_FLAGS kTransientDataFlags = TD_FLAGS::FromBits(0x3F);

enum TSFieldKind : uint8_t {
  FK_Text = 0,
  FK_Byte = 1,
  FK_Bool = 2,
  FK_Word = 3,
  FK_SmallInt = 4,
  FK_Integer = 5,
  FK_LongWord = 6,
  FK_TimeDate = 7,
  FK_WordKind = 8,
  FK_ByteKind = 9,
  FK_IntegerKind = 10,
  Fk_LongBits = 11,
  FK_Special = 12,
  FK_Command = 13,
  FK_Calculated = 14,
  FK_Status = 15,
  FK_Single = 16,
  FK_ByteBits = 17,
  FK_Date = 18,
  FK_WordBits = 19,
  FK_Pros1000 = 20,
  FK_ProsWord = 21,
  FK_Subobject = 22,
  FK_ChanLevel = 23,
  FK_ChanLevelEx = 24,
  FK_Color = 25,
  FK_Graphic = 26,
  FK_CalibrateValue = 27,
  FK_FieldImage = 28,
  FK_Int64 = 29,
  FK_CommandText = 30,
  FK_Guid = 31,
  FK_ShortInt = 32,
  FK_DoubleWordCommand = 33,
  FK_UniqueId = 34,
  FK_Parameter = 35,
  FK_PackedPalettes = 36,
  FK_Undefined = 37,
};
constexpr int kFieldKindCount = 38;

// Capability queries.
enum TRQ : uint8_t {
  RQ_UniqueSubNames = 0,
  RQ_UniqueSubsWordId = 1,
  RQ_DeleteDenied = 2,
  RQ_NumRefs = 3,
  RQ_DragDenied = 4,
  RQ_Referenced = 5,
  RQ_Am_I_Referencing = 6,
  RQ_BrowseEditDenied = 7,
  RQ_FirstSubId = 8,
  RQ_DefaultDoubleEditor = 9,
  RQ_InsertDenied = 10,
  RQ_CanDirectSelectPanel = 11,
  RQ_SetRefIfReferencing = 12,
  RQ_SetRawIfReferencing = 13,
  RQ_DefaultPropLevel = 14,
  RQ_DefaultPropDTDirty = 15,
};

// Levels of a tree walk.
enum TSl : uint8_t { SLev_0 = 0, SLev_1 = 1, Slev_all = 2 };
using TSlSet = TSmallSet<TSl, uint8_t>;

enum TEQOption : uint8_t { EQ_CheckName = 0, EQ_CheckSubs = 1 };
using TEQOptions = TSmallSet<TEQOption, uint8_t>;

enum TKeaRole : uint8_t { er_offline = 0, er_alone = 1, er_client = 2, er_backup = 3, er_server = 4 };
// The display text of a role; other values leave Text unchanged.
void RoleString(TKeaRole role, QString& Text);

struct TUniqueId {
  uint16_t ClassId = 0;
  uint16_t SubId = 0;
  uint16_t ObjectId = 0;
  uint16_t Dummy = 0;
  bool operator==(const TUniqueId&) const = default;
};

// Status bits and status-data bits of real-time objects.
enum TStBit : uint8_t {};
enum TDtBit : uint8_t {};
using TStBits = TSmallSet<TStBit, uint32_t>;
using TDtBits = TSmallSet<TDtBit, uint32_t>;
constexpr TStBit ST(int n) { return static_cast<TStBit>(n - 1); }  // ST(1) is ST_1
constexpr TDtBit DT(int n) { return static_cast<TDtBit>(n - 1); }  // DT(1) is DT_1
constexpr TDtBit DT_32 = DT(32);

// How a field is edited and shown.
enum TLpEditMode : uint8_t {
  LPE_Edit = 0,
  LPE_Inc,
  LPE_Pick,
  LPE_ShowBar,
  LPE_Prs10,
  LPE_Pros,
  LPE_CheckBox,
  LPE_InpBox,
  LPE_Graphic,
  LPE_Primary,
  LE_RunningStatus,
  LE_NoHeaderIcon,
  LE_DirectInput,
  LE_GraphicAnyway,
  LE_DMX,
  LPE_UserSet,
  LPE_CheckBoxHint,
  LPE_SortAlphabetical,
};
using TLpEditModes = TSmallSet<TLpEditMode, uint32_t>;

enum TAlignment : uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// One column of a list view or one line of a property frame.
struct TLParam {
  int32_t SizeX = 0;
  QString Head;
  QString FullHeader;
  TSFieldKind FK = FK_Text;
  TSFieldKind DisplayFk = FK_Text;
  uint32_t ID = 0;
  uint32_t DisplayId = 0;
  uint32_t Param2 = 0;
  TLpEditModes LPEditMode;
  TStBits DStat;
  TDtBits DDStat;
  TVelaObject* Part = nullptr;
  TVelaObject* RefPart = nullptr;
  uint8_t BitOffset = 0;
  bool ZeroAsOne = false;
  bool IsHistorical = false;
  bool Tracking = false;
  TAlignment Alignment = taCenter;
};
using TLParamDef = std::vector<TLParam>;
using PLparam = TLParam*;

enum TPDisplayValue : uint8_t { DS_Auto, DS_Value, DS_Palette, DS_Dynamic, DS_Time, DS_Delay, DS_PackedPalettes };
enum TPlDisplayOpt : uint8_t { DO_Tracking, DO_NoHistory, DO_NoSetup };
using TPlDisplayOpts = TSmallSet<TPlDisplayOpt, uint8_t>;

// Options that travel with a parameter definition.
struct TParamsOpt {
  std::vector<uint16_t> ValidSortColumns;
  int32_t CurrentSortColumn = -1;
  int32_t CurrentImageIndex = -2;
  TPDisplayValue DisplayValue = DS_Auto;
  TPlDisplayOpts DisplayOpts;
  uint16_t DiffId = 0;
};
void InitParamsOpt(TParamsOpt& Opt);

}  // namespace vela
