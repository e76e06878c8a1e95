#pragma once
// One simulated Tyx box: what it reports and what it does with a command. No
// sockets here; the simulator carries the datagrams.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "devices/TyxCommands.h"
#include "devices/TyxProtocol.h"

namespace boxsim {

// What a box made of a command, for the log.
struct TCommandOutcome {
  bool Applied = false;  // the box took it (a refused or unknown command leaves the box unchanged)
  bool Restart = false;  // the box goes silent now and restarts
  QString Text;          // "applied", "ignored: ...", "restarting for 3000 ms" ...
};

class TSimBox {
 public:
  TSimBox(vela::TTyxKind kind, const vela::TEmac& mac, uint32_t address);

  vela::TTyxKind Kind() const { return fKind; }
  bool Uninitialised() const { return fKind == vela::E_Tyx2_100_Uninitialized; }
  const vela::TEmac& Mac() const { return fMac; }
  uint32_t Address() const { return fAddress; }  // the loopback address it sends from
  // "box 2 TYX8 02:56:4C:80:00:02 127.0.0.12"
  QString Label(int index) const;

  // The setup as the next report carries it.
  QString Name;
  vela::TFirmVer Version{};
  std::vector<vela::TOnePortSetup> Ports;  // one record per port of the kind
  uint32_t DefaultIp = 0;
  uint32_t DefaultMask = 0;
  uint8_t UseDHCP = 0;
  uint8_t LedsLevel = 255;
  bool WebDisabled = false;
  bool NeedReboot = false;

  // The full status report (type 1 or 101); empty for an uninitialised box.
  // Each one counts up the debug word, so consecutive reports can be told apart.
  QByteArray NextStatusReport();
  // The 44-byte announcement of an uninitialised box.
  QByteArray Announcement() const;
  uint16_t ReportsSent() const { return fReportCount; }

  // Carries out a command that names this box (the caller has matched the MAC).
  // Polls are not commands: the simulator answers them.
  TCommandOutcome Apply(const vela::TTyxCommandPacket& command, int restartMs);

  bool Restarting() const { return fRestarting; }
  // Back from a restart: pending changes are in effect, and an uninitialised box
  // that was given IP settings comes back as a configured TYX2-10/100.
  void FinishRestart();

 private:
  TCommandOutcome ApplyPortSetup(const vela::TTyxCommandPacket& command);
  TCommandOutcome ApplySetIp(const vela::TTyxCommandPacket& command, int restartMs);

  vela::TTyxKind fKind;
  vela::TEmac fMac;
  uint32_t fAddress;
  uint16_t fReportCount = 0;
  bool fRestarting = false;
  bool fConfigured = false;  // an uninitialised box got IP settings
};

}  // namespace boxsim
