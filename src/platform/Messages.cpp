#include "platform/Messages.h"

#include <QCoreApplication>
#include <QEvent>

namespace vela {

namespace {

const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class TPostedMessageEvent : public QEvent {
 public:
  TPostedMessageEvent(std::weak_ptr<void> alive, TMessageReceiver* target, const TMessage& msg)
      : QEvent(kPostedMessageEvent), Alive(std::move(alive)), Target(target), Message(msg) {}
  std::weak_ptr<void> Alive;
  TMessageReceiver* Target;
  TMessage Message;
};

// Lives on the GUI thread and hands queued messages to their receivers.
class TMessagePump : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() != kPostedMessageEvent) return QObject::event(e);
    auto* pm = static_cast<TPostedMessageEvent*>(e);
    if (auto alive = pm->Alive.lock()) pm->Target->Dispatch(pm->Message);
    return true;
  }
};

TMessagePump* Pump() {
  static TMessagePump* pump = nullptr;
  if (!pump && QCoreApplication::instance()) {
    pump = new TMessagePump;
    pump->moveToThread(QCoreApplication::instance()->thread());
    QObject::connect(QCoreApplication::instance(), &QObject::destroyed, [] { pump = nullptr; });
    pump->setParent(QCoreApplication::instance());
  }
  return pump;
}

}  // namespace

TMessageReceiver::~TMessageReceiver() = default;

std::weak_ptr<void> TMessageReceiver::AliveToken() {
  if (!fAlive) fAlive = std::make_shared<char>(0);
  return fAlive;
}

intptr_t SendMessageTo(TMessageReceiver* Target, uint32_t Msg, intptr_t WParam, intptr_t LParam) {
  if (!Target) return 0;
  TMessage m{Msg, WParam, LParam, 0};
  Target->Dispatch(m);
  return m.Result;
}

bool PostMessageTo(TMessageReceiver* Target, uint32_t Msg, intptr_t WParam, intptr_t LParam) {
  TMessagePump* pump = Pump();
  if (!Target || !pump) return false;
  QCoreApplication::postEvent(pump, new TPostedMessageEvent(Target->AliveToken(), Target, TMessage{Msg, WParam, LParam, 0}));
  return true;
}

void ProcessPendingMessages() {
  if (TMessagePump* pump = Pump()) QCoreApplication::sendPostedEvents(pump, kPostedMessageEvent);
}

}  // namespace vela
