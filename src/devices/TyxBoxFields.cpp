// The fields of the box objects: the columns a box offers (per port by its
// mode and protocol), field texts and numbers, how a written value becomes a
// box operation, which edits are refused, the pick lists for port mode and
// protocol, the protocol names and the box's context menu entry.
#include <array>
#include <cstring>

#include "devices/TyxBox.h"
#include "framework/ObjectMenus.h"

namespace vela {

namespace {

// The port a port field names (Base + port), or -1 when the id names none.
int PortOf(uint32_t Id, uint32_t Base, int NumPorts) {
  if (Id < Base || Id >= Base + kTyxMaxPorts) return -1;
  const int port = static_cast<int>(Id - Base);
  return port < NumPorts ? port : -1;
}

uint8_t ByteOf(const void* Data) { return Data ? *static_cast<const uint8_t*>(Data) : 0; }

uint16_t WordOf(const void* Data) {
  uint16_t v = 0;
  if (Data) std::memcpy(&v, Data, sizeof v);
  return v;
}

const std::array<const char*, 6> kPortModeTexts = {"Disabled",  "DMX Out",  "DMX In",
                                                   "*MIDI Out", "*MIDI In", "Pipe other port"};

// By protocol value. The output names get a "*" where ProtocolValid refuses
// the protocol; in the input list "*" stands for the protocols a DMX input
// cannot receive. The blank that ends the last output name belongs to it.
const std::array<const char*, 17> kOutputNames = {"--------",
                                                  "Internal DMX Controller",
                                                  "VelaNet DMX Pool",
                                                  "From VelaNet Node",
                                                  "Art-Net",
                                                  "Horizon Wyg-Output",
                                                  "Compulite",
                                                  "AVAB IPX",
                                                  "Pathport",
                                                  "ShowNet",
                                                  "Hydra network",
                                                  "Multi Protocol Patch",
                                                  "Thru from the other port",
                                                  "VelaNet IPX",
                                                  "E1.31-Draft sACN",
                                                  "ColorNet",
                                                  "E1.31-2009 sACN "};
const std::array<const char*, 17> kInputNames = {
    "--------",  "*",           "VelaNet DMX Pool", "*",        "Art-Net",        "*",
    "Compulite", "*",           "Pathport",         "ShowNet",  "Hydra Network",  "*",
    "*",         "VelaNet IPX", "E1.31-Draft sACN", "ColorNet", "E1.31-2009 sACN"};

bool Choosable(const QString& Name) { return !Name.isEmpty() && !Name.contains('*'); }

}  // namespace

// ---------------------------------------------------------------------------
// TCustomTyxBox

uint16_t TCustomTyxBox::DefaultPDef(TLParamDef& Arr, TParamsOpt&) {
  Arr.clear();
  int n = 0;
  SetArrData(Arr, 0, FK_Text, TYF_Name, QStringLiteral("Name"), 200, {}, {}, {}, nullptr);
  AddArrData(Arr, n, FK_Special, TYF_Mac, QStringLiteral("Mac"), 120, {}, {}, {}, nullptr);
  AddArrData(Arr, n, FK_Special, TYF_Ip, QStringLiteral("Ip"), 100, {}, {}, {}, nullptr);
  return static_cast<uint16_t>(n + 1);
}

QString TCustomTyxBox::FF(TSFieldKind AFkind, uint32_t AFid, int Param1, int Param2) {
  if (AFkind == FK_Special && AFid == TYF_Ip) return IpStr();
  if (AFkind == FK_Special && AFid == TYF_Mac) return MacText();
  return TDmxAdapter::FF(AFkind, AFid, Param1, Param2);
}

// ---------------------------------------------------------------------------
// Names

QString TTyxBox::PortModeText(int Mode) {
  if (Mode < 0 || Mode >= static_cast<int>(kPortModeTexts.size())) return QString();
  return QString::fromLatin1(kPortModeTexts[static_cast<size_t>(Mode)]);
}

QString TTyxBox::GetEProtocolName(bool Output, int Value) {
  if (Value < 0 || Value >= static_cast<int>(kOutputNames.size())) return QString();
  const auto index = static_cast<size_t>(Value);
  if (!Output) return QString::fromLatin1(kInputNames[index]);
  QString name = QString::fromLatin1(kOutputNames[index]);
  if (!ProtocolValid(static_cast<TTyxProts>(Value))) name += '*';
  return name;
}

int TTyxBox::GetNumValidProtocols(bool Output) {
  int count = 0;
  for (int value = 0;; ++value) {
    const QString name = GetEProtocolName(Output, value);
    if (name.isEmpty()) return count;
    if (Choosable(name)) ++count;
  }
}

QString TTyxBox::GetEProtocolNameByIndex(bool Output, int Index, TTyxProts& Value) {
  int n = 0;
  for (int value = 0;; ++value) {
    const QString name = GetEProtocolName(Output, value);
    if (name.isEmpty()) break;
    if (!Choosable(name)) continue;
    if (n++ == Index) {
      Value = static_cast<TTyxProts>(value);
      return name;
    }
  }
  Value = tyxp_notdefined;
  return QString();
}

bool TTyxBox::PortIsDmx(int Port) const {
  const TEboxPortMode mode = PortMode(Port);
  return ValidPort(Port) && (mode == P_Dmx_Out || mode == P_Dmx_In || mode == P_DmxFromEther);
}

QString TTyxBox::SubNetCaption(int Port) const {
  switch (PortProtocol(Port)) {
    case tyxp_VelaPool:
    case tyxp_VelaIpx: return QStringLiteral("Group");
    case tyxp_ArtNet: return QStringLiteral("SubNet");
    case tyxp_Compulite: return QStringLiteral("VC");
    case tyxp_AvabIpx: return PortMode(Port) == P_Dmx_Out ? QStringLiteral("Net#") : QStringLiteral("Group");
    case tyxp_ShowNet: return QStringLiteral("Slot/512");
    case tyxp_Hydra: return QStringLiteral("Net#");
    default: return QString();
  }
}

// ---------------------------------------------------------------------------
// Columns

uint16_t TTyxBox::DefaultPDef(TLParamDef& Arr, TParamsOpt&) {
  Arr.clear();
  int n = 0;
  SetArrData(Arr, 0, FK_Text, TYF_Name, QStringLiteral("Name"), 200, {LPE_Edit}, {}, {}, nullptr);
  AddArrData(Arr, n, FK_Special, TYF_Mac, QStringLiteral("MAC"), 120, {}, {}, {}, nullptr);
  AddArrData(Arr, n, FK_Special, TYF_Ip, QStringLiteral("IP"), 100, {LPE_UserSet}, {}, {}, nullptr);
  AddArrData(Arr, n, FK_Special, TYF_Version, QStringLiteral("Firmware"), 60, {}, {}, {}, nullptr);
  AddArrData(Arr, n, FK_Special, TYF_Status, QStringLiteral("Status"), 100, {LPE_UserSet}, {}, {}, nullptr);
  for (int i = 0; i < NumPorts(); ++i) {
    const auto id = static_cast<uint32_t>(i);
    const QString prefix = QString::number(i + 1) + ':';
    // A port that carries no DMX only lets its mode be changed.
    const TLpEditModes e = PortIsDmx(i) ? TLpEditModes{LPE_Edit} : TLpEditModes{};
    const TTyxProts protocol = PortProtocol(i);
    AddArrData(Arr, n, FK_ByteKind, TYF_PortMode + id, prefix + QStringLiteral("Mode"), 80, {LPE_Edit}, {}, {},
               nullptr);
    AddArrData(Arr, n, FK_ByteKind, TYF_PortProtocol + id, prefix + QStringLiteral("Protocol"), 100,
               e + LPE_SortAlphabetical, {}, {}, nullptr);
    AddArrData(Arr, n, FK_Byte, TYF_PortTimeout + id, prefix + QStringLiteral("Timeout"), 60, e, {}, {}, nullptr);
    if (const QString caption = SubNetCaption(i); !caption.isEmpty()) {
      AddArrData(Arr, n, FK_Word, TYF_PortSubNet + id, prefix + caption, 50, e, {}, {}, nullptr);
      Arr[static_cast<size_t>(n)].ZeroAsOne = caption == QLatin1String("VC");
    }
    const bool avabOut = protocol == tyxp_AvabIpx && PortMode(i) == P_Dmx_Out;
    if (avabOut) {
      AddArrData(Arr, n, FK_Bool, TYF_PortOffsetMode + id, prefix + 'O', 30, e + LPE_CheckBox, {}, {}, nullptr);
      Arr[static_cast<size_t>(n)].FullHeader = QStringLiteral("Offset Mode");
    }
    if (avabOut && PortOffsetMode(i)) {
      // The universe field holds the start channel.
      AddArrData(Arr, n, FK_Word, TYF_PortUniverse + id, prefix + QStringLiteral("Offset"), 50, e, {}, {}, nullptr);
      Arr[static_cast<size_t>(n)].ZeroAsOne = true;
      AddArrData(Arr, n, FK_Word, TYF_PortSize + id, prefix + QStringLiteral("Size"), 50, e, {}, {}, nullptr);
    } else {
      AddArrData(Arr, n, FK_Word, TYF_PortUniverse + id, prefix + QStringLiteral("Universe"), 50, e + LPE_CheckBoxHint,
                 {}, {}, nullptr);
      TLParam& universe = Arr[static_cast<size_t>(n)];
      // Art-Net counts its universes from 0, the others from 1.
      universe.ZeroAsOne = protocol != tyxp_ArtNet;
      universe.FullHeader =
          universe.ZeroAsOne ? QStringLiteral("One based Universe") : QStringLiteral("Zero based Universe");
    }
  }
  return static_cast<uint16_t>(n + 1);
}

// ---------------------------------------------------------------------------
// Reading

QString TTyxBox::FF(TSFieldKind AFkind, uint32_t AFid, int Param1, int Param2) {
  const int ports = NumPorts();
  switch (AFkind) {
    case FK_Word:
      if (const int p = PortOf(AFid, TYF_PortSubNet, ports); p >= 0)
        return PortIsDmx(p) ? QString::number(PortSubNet(p)) : QString();
      if (const int p = PortOf(AFid, TYF_PortUniverse, ports); p >= 0)
        return PortIsDmx(p) ? QString::number(PortUniverse(p)) : QString();
      break;
    case FK_ByteKind:
      if (const int p = PortOf(AFid, TYF_PortMode, ports); p >= 0) return PortModeText(PortMode(p));
      if (const int p = PortOf(AFid, TYF_PortProtocol, ports); p >= 0)
        return PortIsDmx(p) ? GetEProtocolName(PortMode(p) == P_Dmx_Out, PortProtocol(p)) : QString();
      break;
    case FK_Bool:
      // The flags the box computes read like stored ones.
      if (AFid == TYF_NeedReboot || PortOf(AFid, TYF_PortOffsetMode, ports) >= 0)
        return FN(AFkind, AFid, Param1, Param2) != 0 ? QStringLiteral("On") : QStringLiteral("Off");
      break;
    case FK_Special:
      if (AFid == TYF_Version) return GetVersionStr();
      if (AFid == TYF_Ip) return IpStr();
      if (AFid == TYF_Status) return StatusText();
      if (AFid == TYF_Mac) return MacText();
      break;
    default: break;
  }
  return TCustomTyxBox::FF(AFkind, AFid, Param1, Param2);
}

int32_t TTyxBox::FN(TSFieldKind AFkind, uint32_t AFid, int Param1, int Param2) {
  const int ports = NumPorts();
  switch (AFkind) {
    case FK_Byte:
      if (const int p = PortOf(AFid, TYF_PortTimeout, ports); p >= 0) return PortTimeout(p);
      break;
    case FK_Bool:
      if (AFid == TYF_NeedReboot) return NeedReboot() ? 1 : 0;
      if (const int p = PortOf(AFid, TYF_PortOffsetMode, ports); p >= 0) return PortOffsetMode(p) ? 1 : 0;
      if (const int p = PortOf(AFid, TYF_PortTimeout, ports); p >= 0) return PortTimeout(p);
      break;
    case FK_Word:
      if (const int p = PortOf(AFid, TYF_PortSubNet, ports); p >= 0) return PortSubNet(p);
      if (const int p = PortOf(AFid, TYF_PortUniverse, ports); p >= 0) return PortUniverse(p);
      if (const int p = PortOf(AFid, TYF_PortSize, ports); p >= 0) return PortSize(p);
      break;
    case FK_ByteKind:
      if (const int p = PortOf(AFid, TYF_PortMode, ports); p >= 0) return PortMode(p);
      if (const int p = PortOf(AFid, TYF_PortProtocol, ports); p >= 0) return PortProtocol(p);
      break;
    default: break;
  }
  return TCustomTyxBox::FN(AFkind, AFid, Param1, Param2);
}

// ---------------------------------------------------------------------------
// Writing

void TTyxBox::SetFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data, bool AsIncrement) {
  // The box shows what it reports: a write asks the box for the change and the
  // next report brings it (or, refused, puts the old value back).
  const int ports = NumPorts();
  bool handled = true;
  int p = -1;
  switch (FieldKind) {
    case FK_Text:
      if (FieldId == TYF_Name) {
        if (Data) SetBoxName(*static_cast<const QString*>(Data));
      } else if (FieldId != 1) {
        handled = false;
      }
      break;
    case FK_Byte:
      if ((p = PortOf(FieldId, TYF_PortTimeout, ports)) >= 0)
        SetPortTimeout(p, ByteOf(Data));
      else
        handled = false;
      break;
    case FK_Bool:
      if (FieldId == TYF_Leds)
        SendLeds(ByteOf(Data) != 0);  // the LED level follows the next report
      else if ((p = PortOf(FieldId, TYF_PortOffsetMode, ports)) >= 0)
        SetPortOffsetMode(p, ByteOf(Data) != 0);
      else if ((p = PortOf(FieldId, TYF_PortTimeout, ports)) >= 0)
        SetPortTimeout(p, ByteOf(Data));
      else
        handled = false;
      break;
    case FK_Word:
      if ((p = PortOf(FieldId, TYF_PortSubNet, ports)) >= 0)
        SetPortSubNet(p, WordOf(Data));
      else if ((p = PortOf(FieldId, TYF_PortUniverse, ports)) >= 0)
        SetPortUniverse(p, WordOf(Data));
      else if ((p = PortOf(FieldId, TYF_PortSize, ports)) >= 0)
        SetPortSize(p, WordOf(Data));
      else
        handled = false;
      break;
    case FK_ByteKind:
      if ((p = PortOf(FieldId, TYF_PortMode, ports)) >= 0)
        SetPortMode(p, static_cast<TEboxPortMode>(ByteOf(Data)));
      else if ((p = PortOf(FieldId, TYF_PortProtocol, ports)) >= 0)
        SetPortProtocol(p, static_cast<TTyxProts>(ByteOf(Data)));
      else
        handled = false;
      break;
    case FK_Command:
      if (FieldId == TYF_Identify)
        Identify();
      else
        handled = false;
      break;
    default: handled = false; break;
  }
  if (!handled) return TCustomTyxBox::SetFieldValue(FieldKind, FieldId, Data, AsIncrement);
  if (AsIncrement) Notify(SOM_DataInc, MySelf(), FieldKind, static_cast<int32_t>(FieldId));
}

bool TTyxBox::ValidateField(bool ISINC, TSFieldKind& aFieldKind, uint32_t& aFieldId, const void* AVALUE) {
  if (!ISINC) {
    const int ports = NumPorts();
    if (aFieldKind == FK_Word) {
      const int value = WordOf(AVALUE);
      if (const int p = PortOf(aFieldId, TYF_PortSubNet, ports); p >= 0) return value <= MaxSubNet(p, PortProtocol(p));
      if (const int p = PortOf(aFieldId, TYF_PortUniverse, ports); p >= 0)
        return value <= MaxUniverse(p, PortProtocol(p));
      if (PortOf(aFieldId, TYF_PortSize, ports) >= 0) return value <= kDmxChannels;
    }
    if (aFieldKind == FK_Special && aFieldId == TYF_Ip) {
      // The address is changed in the IP dialog, never typed into the cell.
      ShowIpDialog();
      return false;
    }
    if (aFieldKind == FK_Special && aFieldId == TYF_Status) {
      if (NeedReboot()) SaveAndReboot();
      return false;
    }
  }
  return TCustomTyxBox::ValidateField(ISINC, aFieldKind, aFieldId, AVALUE);
}

// ---------------------------------------------------------------------------
// Pick lists

TSelectionList TTyxBox::GetSelectionList(TSFieldKind AFkind, uint32_t AFid, TParamsOpt& Opt, int Param1, int Param2) {
  if (AFkind == FK_ByteKind) {
    const int ports = NumPorts();
    if (PortOf(AFid, TYF_PortMode, ports) >= 0) {
      TSelectionList list;
      for (int mode = 0; mode < static_cast<int>(kPortModeTexts.size()); ++mode)
        if (const QString text = PortModeText(mode); Choosable(text)) list.push_back({text, mode});
      InitParamsOpt(Opt);
      return list;
    }
    if (const int p = PortOf(AFid, TYF_PortProtocol, ports); p >= 0) {
      const bool output = PortMode(p) == P_Dmx_Out;
      TSelectionList list;
      for (int value = 0;; ++value) {
        const QString name = GetEProtocolName(output, value);
        if (name.isEmpty()) break;
        if (Choosable(name)) list.push_back({name, value});
      }
      InitParamsOpt(Opt);
      return list;
    }
  }
  return TCustomTyxBox::GetSelectionList(AFkind, AFid, Opt, Param1, Param2);
}

// ---------------------------------------------------------------------------
// Context menu

void TTyxBox::AddMenuItems(QObject* Caller, TPopMenuKind Kind, TVelaMenuItem* Menu, TSFieldKind AFkind, uint32_t AFid,
                           TVelaObject* Initiator, int ParentLevel, const TDropParams& DropParams,
                           TVelaObject* ParamObj) {
  TCustomTyxBox::AddMenuItems(Caller, Kind, Menu, AFkind, AFid, Initiator, ParentLevel, DropParams, ParamObj);
  if (Menu && Kind == Pop_Click) {
    TVelaMenuItem* item = CreateMenuItem(Caller, Menu, 0, QStringLiteral("Identify"), Menu, nullptr,
                                         TMenuClick(this, &TTyxBox::IdentifyClick));
    item->RefVelaObject = this;
  }
}

void TTyxBox::IdentifyClick(TVelaMenuItem*) { DoSetField(true, FK_Command, TYF_Identify); }

}  // namespace vela
