#include "devices/TyxReports.h"

#include <algorithm>

#include "platform/CodePages.h"
#include "platform/Endian.h"

namespace vela {

namespace {

// Report offsets common to both types.
constexpr size_t kOffType = 0;
constexpr size_t kOffMac = 2;
constexpr size_t kOffVersion = 8;
constexpr size_t kOffPorts = 12;

// Offsets inside the block that starts with the name, after the port records.
constexpr size_t kSetName = 0;
constexpr size_t kSetDefaultIp = 32;
constexpr size_t kSetDefaultMask = 36;
constexpr size_t kSetDhcp = 40;
constexpr size_t kSetLeds = 41;
constexpr size_t kSetWebDisabled = 43;  // 42 is not read
constexpr size_t kSetNeedReboot = 44;   // type 1 only
constexpr size_t kSetDebug1 = 105;

constexpr size_t SettingsOffset(int portCount) {
  return kOffPorts + static_cast<size_t>(portCount) * TOnePortSetup::kSize;
}
static_assert(SettingsOffset(2) == 130 && SettingsOffset(8) == 484);
static_assert(SettingsOffset(2) + kSetDebug1 + 2 == kTyxReportSize1);
static_assert(SettingsOffset(8) + kSetDebug1 + 2 == kTyxReportSize101);

// Announcement offsets.
constexpr size_t kAnnOffType = 4;
constexpr size_t kAnnOffMac = 6;
constexpr size_t kAnnOffName = 12;

// Bytes [offset, offset + count) of the datagram, cut where the datagram ends.
std::span<const uint8_t> Slice(std::span<const uint8_t> bytes, size_t offset, size_t count) {
  if (offset >= bytes.size()) return {};
  return bytes.subspan(offset, std::min(count, bytes.size() - offset));
}

}  // namespace

int ReportPortCount(uint16_t reportType) {
  switch (reportType) {
    case RT_TwoPortBox: return 2;
    case RT_EightPortBox: return 8;
    default: return 0;
  }
}

std::optional<TTyxStatusReport> ParseStatusReport(std::span<const uint8_t> datagram, uint32_t senderIp) {
  const TZeroPaddedReader in(datagram);
  if (datagram.size() < kTyxReportHeaderSize) return std::nullopt;
  const uint16_t type = in.LE16(kOffType);
  const int portCount = ReportPortCount(type);
  if (portCount == 0) return std::nullopt;

  TTyxStatusReport report;
  report.ReportType = type;
  report.SenderIp = senderIp;
  report.Length = datagram.size();
  in.Copy(kOffMac, report.Mac);
  report.Kind = type == RT_EightPortBox ? E_Tyx8_10 : TwoPortKindFromMac(report.Mac);

  const size_t settings = SettingsOffset(portCount);
  report.Name = ReadNameField(Slice(datagram, settings + kSetName, kTyxNameFieldSize));

  report.HasPorts = datagram.size() >= kTyxReportMinForPorts;
  if (!report.HasPorts) return report;
  in.Copy(kOffVersion, report.SVersion);
  report.Ports.reserve(portCount);
  for (int i = 0; i < portCount; ++i) {
    report.Ports.push_back(TOnePortSetup::FromBytes(
        Slice(datagram, kOffPorts + static_cast<size_t>(i) * TOnePortSetup::kSize, TOnePortSetup::kSize)));
  }

  // A type 101 report takes the block even when the datagram ends before it.
  report.HasSettings = type == RT_EightPortBox || datagram.size() >= kTyxReportMinForSettings1;
  if (!report.HasSettings) return report;
  report.DefaultIp = in.BE32(settings + kSetDefaultIp);
  report.DefaultMask = in.LE32(settings + kSetDefaultMask);
  report.UseDHCP = in.U8(settings + kSetDhcp);
  report.LedsLevel = in.U8(settings + kSetLeds);
  report.WebDisabled = in.U8(settings + kSetWebDisabled) != 0;
  if (type == RT_TwoPortBox) report.NeedReboot = in.U8(settings + kSetNeedReboot) != 0;
  report.Debug1 = in.LE16(settings + kSetDebug1);
  return report;
}

QByteArray BuildStatusReport(const TTyxStatusReport& report) {
  const int portCount = ReportPortCount(report.ReportType);
  if (portCount == 0) return {};
  const size_t settings = SettingsOffset(portCount);
  QByteArray datagram(static_cast<qsizetype>(settings + kSetDebug1 + 2), '\0');
  auto* p = reinterpret_cast<uint8_t*>(datagram.data());

  PutLE16(p + kOffType, report.ReportType);
  std::copy(report.Mac.begin(), report.Mac.end(), p + kOffMac);
  std::copy(report.SVersion.begin(), report.SVersion.end(), p + kOffVersion);
  const size_t records = std::min(report.Ports.size(), static_cast<size_t>(portCount));
  for (size_t i = 0; i < records; ++i) {
    report.Ports[i].WriteTo(
        std::span<uint8_t, TOnePortSetup::kSize>(p + kOffPorts + i * TOnePortSetup::kSize, TOnePortSetup::kSize));
  }
  const TTyxNameField name = MakeNameField(report.Name);
  std::copy(name.begin(), name.end(), p + settings + kSetName);
  PutBE32(p + settings + kSetDefaultIp, report.DefaultIp);
  PutLE32(p + settings + kSetDefaultMask, report.DefaultMask);
  p[settings + kSetDhcp] = report.UseDHCP;
  p[settings + kSetLeds] = report.LedsLevel;
  p[settings + kSetWebDisabled] = report.WebDisabled ? 1 : 0;
  if (report.ReportType == RT_TwoPortBox) p[settings + kSetNeedReboot] = report.NeedReboot ? 1 : 0;
  PutLE16(p + settings + kSetDebug1, report.Debug1);
  return datagram;
}

std::optional<TTyxAnnouncement> ParseAnnouncement(std::span<const uint8_t> datagram, uint32_t senderIp) {
  const TZeroPaddedReader in(datagram);
  if (datagram.size() < kTyxAnnouncementHeaderSize || in.LE16(kAnnOffType) != kTyxAnnouncementType) {
    return std::nullopt;
  }
  TTyxAnnouncement announcement;
  announcement.SenderIp = senderIp;
  in.Copy(kAnnOffMac, announcement.Mac);
  const auto field = Slice(datagram, kAnnOffName, kTyxAnnouncementNameSize);
  const auto end = std::find(field.begin(), field.end(), uint8_t{0});
  announcement.Name = AnsiToString(
      QByteArray(reinterpret_cast<const char*>(field.data()), static_cast<qsizetype>(end - field.begin())));
  return announcement;
}

QByteArray BuildAnnouncement(const TEmac& mac, const QString& name) {
  QByteArray datagram(static_cast<qsizetype>(kTyxAnnouncementSize), '\0');
  auto* p = reinterpret_cast<uint8_t*>(datagram.data());
  PutLE16(p + kAnnOffType, kTyxAnnouncementType);
  std::copy(mac.begin(), mac.end(), p + kAnnOffMac);
  const QByteArray chars = StringToAnsi(name).left(static_cast<qsizetype>(kTyxAnnouncementNameSize));
  std::copy(chars.begin(), chars.end(), p + kAnnOffName);
  return datagram;
}

}  // namespace vela
