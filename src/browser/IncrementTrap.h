#pragma once
// The mouse trap of the field-bound controls: while the right button is held
// the mouse is captured and the cursor hidden; every movement is turned into
// an increment and the cursor is put back where the trap started, so the
// operator can keep dragging without running into the screen's edge.
#include <QPoint>

class QWidget;

namespace vela {

class TIncrementTrap {
 public:
  bool Active() const { return fActive; }
  bool Incremented() const { return fIncremented; }
  void MarkIncremented() { fIncremented = true; }
  // Captures the mouse for Owner at the global position Start.
  void Begin(QWidget* Owner, const QPoint& Start);
  // The movement since the last call (global positions).
  QPoint Move(const QPoint& Global);
  // Releases the mouse and restores the cursor; returns whether an increment
  // happened while trapped.
  bool End();

 private:
  QWidget* fOwner = nullptr;
  QPoint fStart;
  QPoint fLast;
  bool fActive = false;
  bool fIncremented = false;
};

}  // namespace vela
