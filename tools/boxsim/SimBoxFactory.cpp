#include "boxsim/SimBoxFactory.h"

#include <algorithm>
#include <array>

#include "platform/CodePages.h"
#include "platform/Endian.h"

namespace boxsim {

using namespace vela;

namespace {

// Protocols a port is set to in practice, with the range of subnets and
// universes used here (kept within what each protocol allows).
struct TProtocolPick {
  TTyxProts Protocol;
  int MaxSubNet;
  int MinUniverse;
  int MaxUniverse;
  int Weight;
};
constexpr std::array<TProtocolPick, 10> kProtocols = {{
    {tyxp_VelaPool, 3, 1, 32, 6},
    {tyxp_ArtNet, 15, 0, 15, 6},
    {tyxp_ACNLite, 0, 1, 64, 4},
    {tyxp_ShowNet, 3, 1, 40, 2},
    {tyxp_Pathport, 0, 1, 127, 2},
    {tyxp_AvabIpx, 9, 0, 11, 1},
    {tyxp_HorizonWyg, 0, 0, 511, 1},
    {tyxp_Compulite, 15, 0, 15, 1},
    {tyxp_Hydra, 9, 0, 7, 1},
    {tyxp_VelaIpx, 3, 1, 32, 1},
}};

const std::array<const char*, 14> kNames = {"Stage Left",  "Stage Right",  "FOH Rack",  "Truss 1",   "Truss 2",
                                            "Dimmer Room", "Balcony Rail", "Orchestra", "Studio A",  "Moving Heads",
                                            "Cyc Wall",    "Lobby",        "",          "Followspot"};
const std::array<const char*, 4> kSourceNames = {"", "Vela Console", "Desk B", "Backup Desk"};

int Pick(std::mt19937& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
bool Chance(std::mt19937& rng, double p) { return std::bernoulli_distribution(p)(rng); }

TEboxPortMode PickMode(std::mt19937& rng) {
  // Mostly DMX out, then DMX in; a few disabled, MIDI and DMX-from-Ethernet ports.
  static constexpr std::array<std::pair<TEboxPortMode, int>, 6> kModes = {
      {{P_Dmx_Out, 10}, {P_Dmx_In, 5}, {P_Disabled, 2}, {P_MidiOut, 1}, {P_Midi_In, 1}, {P_DmxFromEther, 1}}};
  int total = 0;
  for (const auto& m : kModes) total += m.second;
  int roll = Pick(rng, 0, total - 1);
  for (const auto& m : kModes) {
    if (roll < m.second) return m.first;
    roll -= m.second;
  }
  return P_Dmx_Out;
}

const TProtocolPick& PickProtocol(std::mt19937& rng) {
  int total = 0;
  for (const auto& p : kProtocols) total += p.Weight;
  int roll = Pick(rng, 0, total - 1);
  for (const auto& p : kProtocols) {
    if (roll < p.Weight) return p;
    roll -= p.Weight;
  }
  return kProtocols[0];
}

TOnePortSetup MakePort(std::mt19937& rng) {
  TOnePortSetup setup;
  setup.Direction = PickMode(rng);
  setup.Termination = Chance(rng, 0.7) ? 1 : 0;
  setup.Timeout = static_cast<uint8_t>(std::array<int, 4>{0, 3, 5, 10}[Pick(rng, 0, 3)]);
  setup.DSize = static_cast<uint16_t>(Chance(rng, 0.8) ? 512 : std::array<int, 3>{256, 128, 24}[Pick(rng, 0, 2)]);
  switch (setup.Direction) {
    case P_Disabled: setup.EProtocol = tyxp_none; return setup;
    case P_MidiOut:
    case P_Midi_In: setup.EProtocol = tyxp_VelaPool; return setup;
    default: break;
  }
  const TProtocolPick& pick = PickProtocol(rng);
  setup.EProtocol = pick.Protocol;
  setup.SubNet = static_cast<uint8_t>(Pick(rng, 0, pick.MaxSubNet));
  setup.Universe = static_cast<uint16_t>(Pick(rng, pick.MinUniverse, pick.MaxUniverse));
  if (pick.Protocol == tyxp_AvabIpx && setup.Direction == P_Dmx_Out && Chance(rng, 0.5)) {
    setup.fUniverseIsChannel = 1;  // a start channel: universe x 512
    setup.Universe = static_cast<uint16_t>(setup.Universe * 512);
  }
  if (Chance(rng, 0.1)) {
    setup.Unicast = 1;
    setup.SourceIP = 0x7F000001;  // the partner stays on loopback too
  }
  const QByteArray source = StringToAnsi(QString::fromLatin1(kSourceNames[static_cast<size_t>(Pick(rng, 0, 3))]));
  std::copy_n(source.begin(), std::min<qsizetype>(source.size(), setup.SourceName.size()), setup.SourceName.begin());
  return setup;
}

TFirmVer PickVersion(TTyxKind kind, std::mt19937& rng) {
  if (kind == E_Tyx8_10) {
    static const std::array<TFirmVer, 3> kEight = {FirmVer(1, 5, 4, 0), FirmVer(1, 5, 7, 1), FirmVer(1, 6, 0, 2)};
    return kEight[static_cast<size_t>(Pick(rng, 0, 2))];
  }
  static const std::array<TFirmVer, 7> kTwo = {FirmVer(1, 0, 4, 9), FirmVer(1, 0, 5, 0), FirmVer(1, 5, 3, 2),
                                               FirmVer(1, 5, 4, 0), FirmVer(1, 5, 7, 0), FirmVer(1, 5, 7, 1),
                                               FirmVer(1, 6, 0, 2)};
  return kTwo[static_cast<size_t>(Pick(rng, 0, 6))];
}

}  // namespace

TEmac SimBoxMac(TTyxKind kind, int index) {
  uint8_t kindByte = 0x20;
  switch (kind) {
    case E_Tyx2_10: kindByte = 0x10; break;
    case E_Tyx2_100: kindByte = 0x20; break;
    case E_Tyx2_100_Uninitialized: kindByte = 0x30; break;  // comes back as a TYX2-10/100 once set up
    case E_Tyx8_10: kindByte = 0x80; break;
  }
  return {0x02, 0x56, 0x4C, kindByte, static_cast<uint8_t>(index >> 8), static_cast<uint8_t>(index)};
}

TFirmVer FirmVer(uint8_t major, uint8_t minor, uint8_t release, uint8_t build) {
  TFirmVer version{};
  PutLE32(version.data(), MakeFirmVersion(major, minor, release, build));
  return version;
}

TSimBox MakeSimBox(TTyxKind kind, int index, uint32_t address, std::mt19937& rng) {
  TSimBox box(kind, SimBoxMac(kind, index), address);
  if (box.Uninitialised()) {
    box.Name = QStringLiteral("TYX2 unconfigured");
    return box;
  }
  box.Name = QString::fromLatin1(kNames[static_cast<size_t>(index) % kNames.size()]);
  box.Version = PickVersion(kind, rng);
  for (auto& port : box.Ports) port = MakePort(rng);
  box.DefaultIp = address;  // it comes back where it is
  box.DefaultMask = 0xFF000000;
  box.UseDHCP = static_cast<uint8_t>(std::array<int, 5>{0, 0, 0, 3, 5}[Pick(rng, 0, 4)]);
  box.LedsLevel = Chance(rng, 0.8) ? 255 : 0;
  box.WebDisabled = Chance(rng, 0.25);
  box.NeedReboot = index % 3 == 1;  // a few boxes wait for a restart
  return box;
}

}  // namespace boxsim
