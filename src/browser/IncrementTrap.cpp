#include "browser/IncrementTrap.h"

#include <QCursor>
#include <QWidget>

namespace vela {

void TIncrementTrap::Begin(QWidget* Owner, const QPoint& Start) {
  fOwner = Owner;
  fStart = fLast = Start;
  fActive = true;
  fIncremented = false;
  Owner->grabMouse(Qt::BlankCursor);
}

QPoint TIncrementTrap::Move(const QPoint& Global) {
  if (!fActive) return {};
  const QPoint delta = Global - fLast;
  QCursor::setPos(fStart);
  // Where the platform cannot move the cursor (an off-screen session) the
  // next movement is measured from where the mouse really is.
  fLast = QCursor::pos() == fStart ? fStart : Global;
  return delta;
}

bool TIncrementTrap::End() {
  if (!fActive) return false;
  fActive = false;
  if (fOwner) fOwner->releaseMouse();
  fOwner = nullptr;
  return fIncremented;
}

}  // namespace vela
