#include "devices/TyxBox.h"

#include <algorithm>

#include "devices/TyxCommands.h"

namespace vela {

VELA_CLASS_IMPL(TCustomTyxBox, TDmxAdapter)
VELA_CLASS_IMPL(TTyxBox, TCustomTyxBox)

namespace {
constexpr uint32_t kStatusGroupAddress = 0xED010101u;  // 237.1.1.1
}  // namespace

std::function<bool(TIpSettings& InOut)>& TyxIpDialogHook() {
  static std::function<bool(TIpSettings&)> hook;
  return hook;
}

// ---------------------------------------------------------------------------
// Construction

TCustomTyxBox::~TCustomTyxBox() = default;

void TCustomTyxBox::Init(TTyxKind Kind, const QString& MacName, const QString& Name) {
  SetBoxKind(Kind);
  SetNoAliveOnInput(true);
  UseDoubleIcon = false;
  fMacName = MacName;
  SetName(KindText() + '-' + fMacName);
  // Boxes made by hand (dummies) bring a name of their own.
  if (!Name.isEmpty()) SetName(Name);
  SetAliveTimeout(10);
  FBehaveFlags += bh_HartBeat;
  LoadSettings1();
}

TCustomTyxBox* TCustomTyxBox::Create(TTyxKind Kind, const QString& MacName, const QString& Name) {
  auto* box = SNew<TCustomTyxBox>();
  box->Init(Kind, MacName, Name);
  return box;
}

TCustomTyxBox* TCustomTyxBox::CreateDetected(TTyxKind Kind, const TEmac& Mac, uint32_t Ip, const QString& Name) {
  TCustomTyxBox* box = Create(Kind, vela::MacName(Mac), Name);
  box->UpdateFromDetection(Name, Ip, Mac);
  return box;
}

void TCustomTyxBox::UpdateFromDetection(const QString& Name, uint32_t Ip, const TEmac& Mac) {
  fBoxMac = Mac;
  fIP = Ip;
  fMacName = vela::MacName(Mac);
  SetName(KindText() + '-' + fMacName);
  // A box without a name of its own keeps the kind-and-MAC name.
  if (!Name.isEmpty()) SetName(Name);
  SetIsDetected(true);
}

void TCustomTyxBox::SetBoxKind(TTyxKind Value) {
  fBoxKind = Value;
  // Uninitialized (and an unknown kind) leave the port count as it is.
  if (const int count = TyxKindPortCount(Value); count != 0) SetNumPorts(count);
}

// ---------------------------------------------------------------------------
// Texts

QString TCustomTyxBox::StatusText() const {
  if (FReBooting) return QStringLiteral("Rebooting");
  if (NeedReboot()) return QStringLiteral("Save Changes");
  return fAlive ? QStringLiteral("Alive") : QStringLiteral("Not Alive");
}

QString TCustomTyxBox::GetNodetext() {
  return KindText() + ' ' + Name() + QStringLiteral(" (") + fMacName + ' ' + IpStr() + ')';
}

QString TCustomTyxBox::RegistryName() { return KindText() + '-' + fMacName; }

// ---------------------------------------------------------------------------
// Properties

void TCustomTyxBox::SetIP(uint32_t Value) {
  if (Value == fIP) return;
  fIP = Value;
  DataChanged();
}

uint32_t TCustomTyxBox::CommandDestination() const { return FWanBox ? fIP : kStatusGroupAddress; }

void TCustomTyxBox::SetWanBox(bool Value) {
  FWanBox = Value;
  // DMX for a WAN box goes out of its in area, one block per port.
  if (Value) EnsureInArea(FNumPorts, true);
}

void TCustomTyxBox::SetAlive(bool Value) {
  TDmxAdapter::SetAlive(Value);
  if (Value && FReBooting) {
    FReBooting = false;
    DataChanged();
  }
}

void TCustomTyxBox::SetReBooting(bool Value) {
  if (Value == FReBooting) return;
  if (Value && fAlive) {
    FReBooting = true;
    SetAlive(false);
    return;
  }
  FReBooting = false;
  DataChanged();
}

// ---------------------------------------------------------------------------
// Commands

ITyxCommandSender* TCustomTyxBox::CommandSender() const {
  if (fSender) return fSender;
  return dynamic_cast<ITyxCommandSender*>(SOwner());
}

bool TCustomTyxBox::SendPacket(const QByteArray& Packet) {
  ITyxCommandSender* sender = CommandSender();
  if (!sender) return false;
  sender->SendToBox(*this, Packet);
  return true;
}

bool TCustomTyxBox::SendCommand(uint16_t Code, std::span<const uint8_t> Data) {
  return SendPacket(BuildCommand(Code, fBoxMac, Data));
}

void TCustomTyxBox::Identify() { SendPacket(BuildIdentifyCommand(fBoxMac)); }

void TCustomTyxBox::FlashMe() { SendPacket(BuildFlashCommand(fBoxMac)); }

void TCustomTyxBox::SetBoxName(const QString& Name) { SendPacket(BuildSetNameCommand(fBoxMac, Name)); }

void TCustomTyxBox::SendLeds(bool On) { SendPacket(BuildLedsCommand(fBoxMac, On)); }

void TCustomTyxBox::SetDefault(uint32_t Ip, uint32_t Mask, uint8_t Dhcp) {
  SendPacket(BuildSetIpCommand(fBoxMac, Ip, Mask, Dhcp));
}

bool TCustomTyxBox::SetDefault(const QString& IpText, const QString& MaskText, uint8_t Dhcp) {
  // An unreadable text would otherwise become 255.255.255.255 on the box.
  const std::optional<uint32_t> ip = ParseIpv4(IpText);
  const std::optional<uint32_t> mask = ParseIpv4(MaskText);
  if (!ip || !mask) return false;
  SetDefault(*ip, *mask, Dhcp);
  SetReBooting(true);
  return true;
}

void TCustomTyxBox::SetCurrentIp() {
  SetDefault(FDefaultIp, FDefaultMask, FUseDHCP);
  SetReBooting(true);
}

void TCustomTyxBox::SaveAndReboot() { SetDefault(Ipv4Text(FDefaultIp), Ipv4Text(FDefaultMask), FUseDHCP); }

bool TCustomTyxBox::ShowIpDialog() {
  auto& hook = TyxIpDialogHook();
  if (!hook) return false;
  TIpSettings settings{FDefaultIp, FDefaultMask, FUseDHCP};
  if (!hook(settings)) return false;
  return SetDefault(Ipv4Text(settings.DefaultIp), Ipv4Text(settings.Mask), settings.Dhcp);
}

// ---------------------------------------------------------------------------
// TTyxBox: construction and state

TTyxBox::~TTyxBox() { SetNumPorts(0); }

TTyxBox* TTyxBox::Create(TTyxKind Kind, const QString& MacName, const QString& Name) {
  auto* box = SNew<TTyxBox>();
  box->Init(Kind, MacName, Name);
  return box;
}

TTyxBox* TTyxBox::CreateDetected(TTyxKind Kind, const TEmac& Mac, uint32_t Ip, const QString& Name) {
  TTyxBox* box = Create(Kind, vela::MacName(Mac), Name);
  box->UpdateFromDetection(Name, Ip, Mac);
  return box;
}

void TTyxBox::SetNumPorts(int Count) {
  if (Count == FNumPorts && static_cast<int>(fTyxPorts.size()) == Count) return;
  TCustomTyxBox::SetNumPorts(Count);
  fTyxPorts.assign(static_cast<size_t>(Count), TTyxPort{});
}

void TTyxBox::SetAlive(bool Value) {
  TCustomTyxBox::SetAlive(Value);
  // Until the next full report the pending setups may be stale.
  if (!Value) SetupReceived = false;
}

QString TTyxBox::StatusText() const { return TCustomTyxBox::StatusText(); }

void TTyxBox::SetNeedReboot(bool Value) {
  if (Value == FNeedReboot) return;
  FNeedReboot = Value;
  DataChanged();
}

void TTyxBox::SetLedsLevel(uint8_t Value) {
  if (Value == FLedsLevel) return;
  FLedsLevel = Value;
  SendLeds(Value != 0);
}

void TTyxBox::SetWebDisabled(bool Value) { SendPacket(BuildWebAdminCommand(fBoxMac, Value)); }

void TTyxBox::SetDirtyOnNext(bool Value) {
  fDirtyOnNext = Value;
  if (Value) FireDetectedChanged();
}

void TTyxBox::SetMaxMin(int Min1, int Max1, int Min2, int Max2) {
  fChRange[0] = {static_cast<uint16_t>(Min1), static_cast<uint16_t>(Max1)};
  fChRange[1] = {static_cast<uint16_t>(Min2), static_cast<uint16_t>(Max2)};
}

// ---------------------------------------------------------------------------
// Status reports

bool TTyxBox::TakeStatusReport(const TTyxStatusReport& Report) {
  if (!Report.HasPorts) return false;
  bool changed = false;
  const size_t count = std::min(fTyxPorts.size(), Report.Ports.size());
  for (size_t i = 0; i < count; ++i) {
    if (fTyxPorts[i].Setup != Report.Ports[i]) changed = true;
    fTyxPorts[i].Setup = Report.Ports[i];
    fTyxPorts[i].NewSetup = Report.Ports[i];
  }
  fSVersion = Report.SVersion;
  if (Report.HasSettings) {
    if (FLedsLevel != Report.LedsLevel || FWebDisabled != Report.WebDisabled || FDefaultIp != Report.DefaultIp ||
        FDefaultMask != Report.DefaultMask || FUseDHCP != Report.UseDHCP) {
      FLedsLevel = Report.LedsLevel;
      FWebDisabled = Report.WebDisabled;
      FDefaultIp = Report.DefaultIp;
      FDefaultMask = Report.DefaultMask;
      FUseDHCP = Report.UseDHCP;
      changed = true;
    }
    // Only the two-port report carries the need-reboot flag.
    if (Report.ReportType == RT_TwoPortBox) SetNeedReboot(Report.NeedReboot);
    fDebug1 = Report.Debug1;
    if (NameIfName() != Report.Name) {
      SetName(Report.Name);
      changed = true;
    }
  }
  if (changed || fDirtyOnNext) {
    FireDetectedChanged();
    fDirtyOnNext = false;
    DataChanged();
  }
  SetupReceived = true;
  return changed;
}

}  // namespace vela
