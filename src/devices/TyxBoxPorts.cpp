// The ports of a TTyxBox: queries of the confirmed setup, changes of the
// pending setup checked against the protocol limits, commit and sending the
// setup, and the DMX sent to WAN boxes.
#include <algorithm>

#include "devices/DeviceClock.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "devices/TyxBox.h"
#include "devices/TyxCommands.h"

namespace vela {

// ---------------------------------------------------------------------------
// Queries

const TOnePortSetup* TTyxBox::PortSetup(int Port) const {
  return ValidPort(Port) ? &fTyxPorts[static_cast<size_t>(Port)].Setup : nullptr;
}

const TOnePortSetup* TTyxBox::PendingSetup(int Port) const {
  return ValidPort(Port) ? &fTyxPorts[static_cast<size_t>(Port)].NewSetup : nullptr;
}

TOnePortSetup* TTyxBox::Pending(int Port) {
  return ValidPort(Port) ? &fTyxPorts[static_cast<size_t>(Port)].NewSetup : nullptr;
}

TTyxProts TTyxBox::PortProtocol(int Port) const {
  const TOnePortSetup* setup = PortSetup(Port);
  return setup ? EffectivePortProtocol(*setup, FirmVersion()) : tyxp_none;
}

TEboxPortMode TTyxBox::PortMode(int Port) const {
  const TOnePortSetup* setup = PortSetup(Port);
  return setup ? setup->Direction : P_Disabled;
}

int TTyxBox::PortSubNet(int Port) const {
  const TOnePortSetup* setup = PortSetup(Port);
  return setup ? setup->SubNet : 0;
}

int TTyxBox::PortUniverse(int Port) const {
  const TOnePortSetup* setup = PortSetup(Port);
  return setup ? setup->Universe : 0;
}

int TTyxBox::PortTermination(int Port) const {
  const TOnePortSetup* setup = PortSetup(Port);
  return setup ? setup->Termination : 0;
}

int TTyxBox::PortTimeout(int Port) const {
  const TOnePortSetup* setup = PortSetup(Port);
  return setup ? setup->Timeout : 0;
}

int TTyxBox::PortSize(int Port) const {
  const TOnePortSetup* setup = PortSetup(Port);
  return setup ? setup->DSize : 0;
}

bool TTyxBox::PortOffsetMode(int Port) const {
  const TOnePortSetup* setup = PortSetup(Port);
  return setup && setup->fUniverseIsChannel != 0;
}

bool TTyxBox::GetUnicastIp(int Port, QString& IpText) const {
  const TOnePortSetup* setup = PortSetup(Port);
  IpText = Ipv4Text(setup ? setup->SourceIP : 0);
  return setup && setup->Unicast != 0;
}

// ---------------------------------------------------------------------------
// Limits

bool TTyxBox::ProtocolValid(TTyxProts Protocol) {
  return Protocol != tyxp_internal && Protocol != tyxp_VelaNetNode && Protocol != tyxp_Patched1;
}

int TTyxBox::MaxSubNet(int /*Port*/, TTyxProts Protocol) const {
  switch (Protocol) {
    case tyxp_ArtNet:
    case tyxp_Compulite: return 15;
    case tyxp_HorizonWyg:
    case tyxp_Pathport: return 0;
    case tyxp_AvabIpx:
    case tyxp_Hydra: return 9;
    case tyxp_ShowNet: return 31;
    default: return 255;
  }
}

int TTyxBox::MaxUniverseFor(const TOnePortSetup& Setup, TTyxProts Protocol) const {
  switch (Protocol) {
    case tyxp_VelaPool:
    case tyxp_VelaIpx: return 255;
    case tyxp_ArtNet:
    case tyxp_Compulite: return 15;
    case tyxp_AvabIpx: return Setup.fUniverseIsChannel != 0 ? 6144 : 11;
    case tyxp_Pathport: return 127;
    case tyxp_Hydra: return 7;
    case tyxp_ACNLite: return 65535;
    default: return 511;  // Horizon, ShowNet and every other protocol
  }
}

int TTyxBox::MaxUniverse(int Port, TTyxProts Protocol) const {
  const TOnePortSetup* setup = PortSetup(Port);
  return MaxUniverseFor(setup ? *setup : TOnePortSetup{}, Protocol);
}

TTyxProts TTyxBox::PendingProtocol(int Port) const {
  const TOnePortSetup* setup = PendingSetup(Port);
  return setup ? EffectivePortProtocol(*setup, FirmVersion()) : tyxp_none;
}

// ---------------------------------------------------------------------------
// Changes. Limits are checked against the pending setup, the one that is
// sent: a protocol chosen but not yet confirmed must not let through values
// the old protocol allowed.

void TTyxBox::SetPortProtocol(int Port, TTyxProts Value) {
  TOnePortSetup* pending = Pending(Port);
  if (!pending) return;
  if (!ProtocolValid(Value)) return Reject();
  // Values the new protocol cannot carry are cut to its limits.
  pending->Universe = static_cast<uint16_t>(std::min<int>(pending->Universe, MaxUniverseFor(*pending, Value)));
  pending->SubNet = static_cast<uint8_t>(std::min(pending->SubNet, static_cast<uint8_t>(MaxSubNet(Port, Value))));
  pending->EProtocol = Value;
  Commit();
}

void TTyxBox::SetPortSubNet(int Port, int Value) {
  TOnePortSetup* pending = Pending(Port);
  if (!pending) return;
  if (Value < 0 || Value > MaxSubNet(Port, PendingProtocol(Port))) return Reject();
  pending->SubNet = static_cast<uint8_t>(Value);
  Commit();
}

void TTyxBox::SetPortUniverse(int Port, int Value) {
  TOnePortSetup* pending = Pending(Port);
  if (!pending) return;
  if (Value < 0 || Value > MaxUniverseFor(*pending, PendingProtocol(Port))) return Reject();
  pending->Universe = static_cast<uint16_t>(Value);
  Commit();
}

void TTyxBox::SetPortTermination(int Port, int Value) {
  TOnePortSetup* pending = Pending(Port);
  if (!pending) return;
  if (Value < 0 || Value > 255) return Reject();
  pending->Termination = static_cast<uint8_t>(Value);
  Commit();
}

void TTyxBox::SetPortTimeout(int Port, int Value) {
  TOnePortSetup* pending = Pending(Port);
  if (!pending) return;
  if (Value < 0 || Value > 255) return Reject();
  pending->Timeout = static_cast<uint8_t>(Value);
  Commit();
}

void TTyxBox::SetPortSize(int Port, int Value) {
  TOnePortSetup* pending = Pending(Port);
  if (!pending || Value < 0 || Value > kDmxChannels || Value == pending->DSize) return;
  pending->DSize = static_cast<uint16_t>(Value);
  Commit();
}

void TTyxBox::ApplyOffsetMode(TOnePortSetup& Setup, bool Value) {
  if ((Setup.fUniverseIsChannel != 0) == Value) return;
  // In offset mode the universe field holds a start channel.
  Setup.Universe = Value ? static_cast<uint16_t>(Setup.Universe * 512u) : static_cast<uint16_t>(Setup.Universe >> 9);
  Setup.fUniverseIsChannel = Value ? 1 : 0;
}

void TTyxBox::SetPortMode(int Port, TEboxPortMode Value) {
  TOnePortSetup* pending = Pending(Port);
  if (!pending || Value == pending->Direction) return;
  // Only a DMX output can start at a channel.
  if (Value != P_Dmx_Out) ApplyOffsetMode(*pending, false);
  pending->Direction = Value;
  Commit();
}

void TTyxBox::SetPortOffsetMode(int Port, bool Value) {
  TOnePortSetup* pending = Pending(Port);
  if (!pending || (pending->fUniverseIsChannel != 0) == Value) return;
  ApplyOffsetMode(*pending, Value);
  Commit();
}

void TTyxBox::SetUnicastIp(int Port, bool Unicast, const QString& IpText) {
  TOnePortSetup* pending = Pending(Port);
  if (!pending) return;
  // A text that is no address is refused rather than sent as 255.255.255.255.
  const std::optional<uint32_t> ip = ParseIpv4(IpText);
  if (!ip) return Reject();
  const TOnePortSetup& confirmed = *PortSetup(Port);
  if ((confirmed.Unicast != 0) == Unicast && confirmed.SourceIP == *ip) return;
  pending->Unicast = Unicast ? 1 : 0;
  pending->SourceIP = *ip;
  Commit();
}

// ---------------------------------------------------------------------------
// Commit and send

void TTyxBox::Commit() {
  if (IsDetected()) {
    SendSetup();
  } else {
    // A box entered by hand and not heard yet: nobody will confirm the change.
    for (TTyxPort& port : fTyxPorts) port.Setup = port.NewSetup;
    DataChanged();
  }
  // The next report refreshes the views even when it brings no change.
  fDirtyOnNext = true;
}

bool TTyxBox::SendSetup() {
  if (!SetupReceived || AsDemo) return false;
  const bool differs =
      std::any_of(fTyxPorts.begin(), fTyxPorts.end(), [](const TTyxPort& p) { return p.NewSetup != p.Setup; });
  if (!differs) return false;
  std::vector<TOnePortSetup> pending;
  pending.reserve(fTyxPorts.size());
  for (const TTyxPort& port : fTyxPorts) pending.push_back(port.NewSetup);
  const std::optional<QByteArray> packet = BuildPortSetupCommand(fBoxKind, fBoxMac, pending);
  return packet && SendPacket(*packet);
}

// ---------------------------------------------------------------------------
// DMX to a WAN box

ITyxDmxSender* TTyxBox::DmxSender() const {
  if (fDmxSender) return fDmxSender;
  return dynamic_cast<ITyxDmxSender*>(SOwner());
}

void TTyxBox::SendDmxToWan() {
  if (!FWanBox) return;
  TDmxArea* area = InBlocks();
  ITyxDmxSender* sender = DmxSender();
  if (!area || !sender) return;
  const TDateTime now = DeviceNow();
  for (int port = 0; port < 2; ++port) {
    if (!ValidPort(port) || PortUse(port) != PU_In || PortProtocol(port) != tyxp_VelaPool) continue;
    TDmxBlock* block = area->Block(port);
    if (!block) continue;
    // A range outside 1..512 is cut to it; an empty one sends nothing.
    const int first = std::max<int>(1, fChRange[static_cast<size_t>(port)].Min);
    const int last = std::min<int>(kDmxChannels, fChRange[static_cast<size_t>(port)].Max);
    if (first > last) continue;
    TTyxPort& record = fTyxPorts[static_cast<size_t>(port)];
    const TDmxOneBlock& levels = block->Levels();
    const int offset = first - 1;
    const int length = last - first + 1;
    const bool changed =
        !std::equal(levels.begin() + offset, levels.begin() + offset + length, record.LastSentBuf.begin() + offset);
    const bool stale = (now - record.LastSent) * kSecondsPerDay > kWanDmxRefreshSeconds;
    if (!changed && !stale) continue;
    std::copy(levels.begin() + offset, levels.begin() + offset + length, record.LastSentBuf.begin() + offset);
    sender->SendDmxToBox(*this, PortSubNet(port), PortUniverse(port), offset,
                         std::span<const uint8_t>(levels.data() + offset, static_cast<size_t>(length)));
    record.LastSent = now;
  }
}

}  // namespace vela
