#pragma once
// The framework lock taken around every change of a sub collection, and the
// main-thread test used by the notification hand-off.

namespace vela {

void LockTree();
void UnlockTree();
int TreeLockDepth();
bool IsMainThread();

// Scoped LockTree / UnlockTree pair.
class TTreeLock {
 public:
  TTreeLock() { LockTree(); }
  ~TTreeLock() { UnlockTree(); }
  TTreeLock(const TTreeLock&) = delete;
  TTreeLock& operator=(const TTreeLock&) = delete;
};

}  // namespace vela
