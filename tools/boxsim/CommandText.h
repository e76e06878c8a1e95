#pragma once
// Readable forms of what the tool sends to a box, for the simulator's log:
// the bytes in hexadecimal and the decoded meaning of commands and polls.
#include <QByteArray>
#include <QString>

#include "devices/TyxCommands.h"
#include "devices/TyxProtocol.h"

namespace boxsim {

// Upper-case hexadecimal pairs separated by single spaces: "05 00 02 56".
QString HexBytes(const QByteArray& bytes);

// The enumeration names: "P_Dmx_Out", "tyxp_ArtNet"; the number for values outside them.
QString PortModeName(vela::TEboxPortMode mode);
QString ProtocolName(vela::TTyxProts protocol);

// "P_Dmx_Out tyxp_ArtNet subnet 0 universe 3 512 ch term 1 timeout 3 unicast 127.0.0.1"
QString DescribePortSetup(const vela::TOnePortSetup& setup);

// True for the 4-byte poll of a WAN box (command code 0).
bool IsPoll(const QByteArray& datagram);
// True for a status report (type 1 or 101) from some box.
bool IsStatusReport(const QByteArray& datagram);

// What a datagram sent to a box asks for: "poll", "identify", "set name \"Rack\"",
// "port setup (2 ports): port 0 ...; port 1 ...", "LEDs on", "unknown command 9 (3 data bytes)",
// or "malformed (5 bytes)" when it is no command packet.
QString DescribeDatagram(const QByteArray& datagram);

}  // namespace boxsim
