#include "framework/TreeLock.h"

#include <QCoreApplication>
#include <QThread>
#include <mutex>

namespace vela {

namespace {
std::mutex gTreeSection;
int gTreeBusy = 0;
}  // namespace

void LockTree() {
  std::lock_guard<std::mutex> g(gTreeSection);
  ++gTreeBusy;
}

void UnlockTree() {
  std::lock_guard<std::mutex> g(gTreeSection);
  --gTreeBusy;
}

int TreeLockDepth() {
  std::lock_guard<std::mutex> g(gTreeSection);
  return gTreeBusy;
}

bool IsMainThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return !app || QThread::currentThread() == app->thread();
}

}  // namespace vela
