#pragma once
// What the box simulator simulates and where: the boxes, their kinds, the
// loopback addresses they live on, the timings and the ports. Also the checks
// that keep every address the simulator binds or sends to inside 127.0.0.0/8.
#include <QHostAddress>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "devices/TyxProtocol.h"

namespace boxsim {

struct TBoxSimConfig {
  int Boxes = 6;
  // Box i gets Kinds[i % Kinds.size()].
  std::vector<vela::TTyxKind> Kinds = {vela::E_Tyx2_10, vela::E_Tyx2_100, vela::E_Tyx8_10,
                                       vela::E_Tyx2_100_Uninitialized};
  QHostAddress FirstAddress{QStringLiteral("127.0.0.10")};  // box i sits at FirstAddress + i
  int IntervalMs = 1000;                                    // one status report (or announcement) per box
  int RestartMs = 3000;                                     // silence after new IP settings
  double MalformedRate = 0.0;  // chance that a malformed datagram goes out along with a report
  uint32_t Seed = 1;
  // The real ports by default; tests pick free ones so parallel runs never meet.
  uint16_t StatusPort = vela::kTyxStatusPort;
  uint16_t AnnouncePort = vela::kTyxAnnouncePort;
};

constexpr int kMaxBoxes = 1000;

// True for an IPv4 address in 127.0.0.0/8 (IPv4-mapped IPv6 included).
bool IsLoopbackIPv4(const QHostAddress& address);
// The address of box `index`.
QHostAddress BoxAddress(const TBoxSimConfig& config, int index);
// The kind of box `index`.
vela::TTyxKind BoxKind(const TBoxSimConfig& config, int index);

// Why the configuration cannot run (first problem found), or none. Refuses any
// box address outside 127.0.0.1 .. 127.255.255.254.
std::optional<QString> ValidateConfig(const TBoxSimConfig& config);

// "tyx2", "tyx2-100", "tyx8", "uninit" (or the kind texts "TYX2-10",
// "TYX2-10/100", "TYX8", "Uninitialized"), case-insensitive.
std::optional<vela::TTyxKind> ParseKind(const QString& text);
// A comma-separated list of kinds; none when empty or one entry is unknown.
std::optional<std::vector<vela::TTyxKind>> ParseKindList(const QString& text);
// The short name ParseKind takes: "tyx2", "tyx2-100", "tyx8", "uninit".
QString KindShortName(vela::TTyxKind kind);

}  // namespace boxsim
