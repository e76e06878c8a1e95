#pragma once
// Datagrams boxes send to the tool: status reports (type 1 from two-port boxes,
// type 101 from eight-port boxes) on the status socket and announcements of
// uninitialised boxes on the announcement socket. Parsing never reads past a
// datagram's end: fields a short datagram lacks read as zero, as from the
// zero-cleared receive buffer the box manager uses. The builders produce the
// same datagrams for simulated boxes.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "devices/TyxProtocol.h"

namespace vela {

enum TTyxReportType : uint16_t {
  RT_TwoPortBox = 1,
  RT_EightPortBox = 101,
};

// The report type word and the MAC: a shorter datagram names no box.
constexpr size_t kTyxReportHeaderSize = 8;
// Firmware version and port records are taken from datagrams of at least this length.
constexpr size_t kTyxReportMinForPorts = 130;
// A type 1 report carries its name and settings block from this length on
// (type 101: from kTyxReportMinForPorts on).
constexpr size_t kTyxReportMinForSettings1 = 163;
// Lengths that hold every field up to the debug word.
constexpr size_t kTyxReportSize1 = 237;
constexpr size_t kTyxReportSize101 = 591;

// The port count of a report type: 2 for type 1, 8 for type 101, 0 otherwise.
int ReportPortCount(uint16_t reportType);

struct TTyxStatusReport {
  uint16_t ReportType = RT_TwoPortBox;
  TTyxKind Kind = E_Tyx2_100;  // type 101: TYX8; type 1: by MAC byte 3
  TEmac Mac{};
  uint32_t SenderIp = 0;  // the datagram's source address, not part of the payload
  size_t Length = 0;      // the datagram's length

  // The name field as the receive buffer holds it, whatever the length; used to
  // find or create the box. Apply it to a known box only when HasSettings.
  QString Name;

  bool HasPorts = false;  // at least 130 bytes: SVersion and Ports are valid
  TFirmVer SVersion{};
  std::vector<TOnePortSetup> Ports;  // ReportPortCount(ReportType) records when HasPorts, else none

  bool HasSettings = false;  // the block from the name on is to be taken (zero where the datagram ends)
  uint32_t DefaultIp = 0;    // first octet in the top byte
  uint32_t DefaultMask = 0;  // first octet in the top byte
  uint8_t UseDHCP = 0;       // DHCP setting byte
  uint8_t LedsLevel = 0;     // 0: LEDs off
  bool WebDisabled = false;
  bool NeedReboot = false;  // type 1 only
  uint16_t Debug1 = 0;
};

// A status report, or none when the datagram is not one: shorter than the type
// word and MAC, or of a type other than 1 and 101. Every report returned marks
// its box alive, whatever its length.
std::optional<TTyxStatusReport> ParseStatusReport(std::span<const uint8_t> datagram, uint32_t senderIp = 0);
inline std::optional<TTyxStatusReport> ParseStatusReport(const QByteArray& datagram, uint32_t senderIp = 0) {
  return ParseStatusReport(BytesOf(datagram), senderIp);
}

// The full-length datagram of a report (237 bytes for type 1, 591 for type 101;
// empty for another type). Missing port records are written as zero records;
// the name is written as MakeNameField writes it.
QByteArray BuildStatusReport(const TTyxStatusReport& report);

// Announcement of an uninitialised box.
constexpr uint16_t kTyxAnnouncementType = 1;
constexpr size_t kTyxAnnouncementHeaderSize = 12;  // 4 unread bytes, type word, MAC
constexpr size_t kTyxAnnouncementSize = 44;
constexpr size_t kTyxAnnouncementNameSize = 32;

struct TTyxAnnouncement {
  TTyxKind Kind = E_Tyx2_100_Uninitialized;
  TEmac Mac{};
  uint32_t SenderIp = 0;  // the datagram's source address
  QString Name;           // ended by the first zero byte, the 32nd byte or the datagram's end
};

// An announcement, or none when the word at offset 4 is not 1 or the datagram
// is too short to hold the MAC.
std::optional<TTyxAnnouncement> ParseAnnouncement(std::span<const uint8_t> datagram, uint32_t senderIp = 0);
inline std::optional<TTyxAnnouncement> ParseAnnouncement(const QByteArray& datagram, uint32_t senderIp = 0) {
  return ParseAnnouncement(BytesOf(datagram), senderIp);
}

// The 44-byte announcement; the name is cut to 32 ANSI characters.
QByteArray BuildAnnouncement(const TEmac& mac, const QString& name);

}  // namespace vela
