#pragma once
// A connection that carries DMX ports: its state icon, its node text and,
// unless it is told not to, a state icon drawn from its DMX areas and a test
// ramp in its out blocks on every alive check.
#include <QTimer>
#include <memory>

#include "devices/Connection.h"

namespace vela {

class TDmxAdapter : public TConnection {
  VELA_CLASS(TDmxAdapter, TConnection)

  TDmxAdapter() = default;
  ~TDmxAdapter() override;

  // When set the adapter does not derive its state from its DMX areas.
  bool NoAliveOnInput() const { return FNoAliveOnInput; }
  void SetNoAliveOnInput(bool Value) { FNoAliveOnInput = Value; }
  uint16_t CardNr = 0;
  // The adapter's send timer, owned; may be absent.
  QTimer* SendTimer() const { return fSendTimer.get(); }
  void SetSendTimer(std::unique_ptr<QTimer> Timer) { fSendTimer = std::move(Timer); }

  // 4 not detected; else IoStatus when set; else 3 active, 2 alive, 1 detected.
  int GetStateindex() override;
  // The node text followed by ", Detected!" or ", Not detected".
  QString GetNodetext() override;
  // The connection's check, then (unless NoAliveOnInput) one simulation
  // step of every out block and the area icon as IoStatus.
  void AliveCheck() override;

 private:
  bool FNoAliveOnInput = false;
  std::unique_ptr<QTimer> fSendTimer;
};

}  // namespace vela
