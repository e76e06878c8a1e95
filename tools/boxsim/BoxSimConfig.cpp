#include "boxsim/BoxSimConfig.h"

#include <QStringList>

namespace boxsim {

namespace {

constexpr uint32_t kLoopbackNet = 0x7F000000;  // 127.0.0.0/8
constexpr uint32_t kLoopbackMask = 0xFF000000;

std::optional<uint32_t> IPv4Of(const QHostAddress& address) {
  bool ok = false;
  const uint32_t ip = address.toIPv4Address(&ok);
  if (!ok) return std::nullopt;
  return ip;
}

}  // namespace

bool IsLoopbackIPv4(const QHostAddress& address) {
  const auto ip = IPv4Of(address);
  return ip && (*ip & kLoopbackMask) == kLoopbackNet;
}

QHostAddress BoxAddress(const TBoxSimConfig& config, int index) {
  return QHostAddress(IPv4Of(config.FirstAddress).value_or(0) + static_cast<uint32_t>(index));
}

vela::TTyxKind BoxKind(const TBoxSimConfig& config, int index) {
  if (config.Kinds.empty()) return vela::E_Tyx2_10;
  return config.Kinds[static_cast<size_t>(index) % config.Kinds.size()];
}

std::optional<QString> ValidateConfig(const TBoxSimConfig& config) {
  if (config.Boxes < 1 || config.Boxes > kMaxBoxes) {
    return QStringLiteral("the number of boxes must be between 1 and %1").arg(kMaxBoxes);
  }
  if (config.Kinds.empty()) return QStringLiteral("no box kinds given");
  const auto first = IPv4Of(config.FirstAddress);
  if (!first || !IsLoopbackIPv4(config.FirstAddress)) {
    return QStringLiteral("refusing address %1: the simulator only binds and sends on loopback (127.0.0.0/8)")
        .arg(config.FirstAddress.toString());
  }
  // Neither the network address nor the broadcast address of 127.0.0.0/8.
  const uint64_t last = static_cast<uint64_t>(*first) + static_cast<uint64_t>(config.Boxes) - 1;
  if (*first == kLoopbackNet || last >= 0x7FFFFFFF) {
    return QStringLiteral("refusing address range %1 .. %2: box addresses must lie within 127.0.0.1 .. 127.255.255.254")
        .arg(config.FirstAddress.toString(), QHostAddress(static_cast<uint32_t>(last)).toString());
  }
  if (config.IntervalMs < 10) return QStringLiteral("the report interval must be at least 10 ms");
  if (config.RestartMs < 0) return QStringLiteral("the restart time cannot be negative");
  if (!(config.MalformedRate >= 0.0 && config.MalformedRate <= 1.0)) {
    return QStringLiteral("the malformed rate must lie between 0 and 1");
  }
  if (config.StatusPort == 0 || config.AnnouncePort == 0) return QStringLiteral("ports must not be 0");
  return std::nullopt;
}

std::optional<vela::TTyxKind> ParseKind(const QString& text) {
  const QString t = text.trimmed().toLower();
  if (t == u"tyx2" || t == u"tyx2-10") return vela::E_Tyx2_10;
  if (t == u"tyx2-100" || t == u"tyx2-10/100") return vela::E_Tyx2_100;
  if (t == u"tyx8") return vela::E_Tyx8_10;
  if (t == u"uninit" || t == u"uninitialized" || t == u"uninitialised") return vela::E_Tyx2_100_Uninitialized;
  return std::nullopt;
}

std::optional<std::vector<vela::TTyxKind>> ParseKindList(const QString& text) {
  std::vector<vela::TTyxKind> kinds;
  for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    const auto kind = ParseKind(part);
    if (!kind) return std::nullopt;
    kinds.push_back(*kind);
  }
  if (kinds.empty()) return std::nullopt;
  return kinds;
}

QString KindShortName(vela::TTyxKind kind) {
  switch (kind) {
    case vela::E_Tyx2_10: return QStringLiteral("tyx2");
    case vela::E_Tyx2_100: return QStringLiteral("tyx2-100");
    case vela::E_Tyx8_10: return QStringLiteral("tyx8");
    case vela::E_Tyx2_100_Uninitialized: return QStringLiteral("uninit");
  }
  return QStringLiteral("??");
}

}  // namespace boxsim
