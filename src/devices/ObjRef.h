#pragma once
// A reference to a framework object that it does not own. Device objects
// point at each other (a block at its sources, a connection at its MIDI
// partners and listeners) without any of them keeping the other alive; the
// reference reads as null once the object is gone, so a freed source can
// never be read.
#include <memory>

namespace vela {

template <class T>
class TObjRef {
 public:
  TObjRef() = default;
  explicit TObjRef(T* Obj) { Set(Obj); }

  void Set(T* Obj) {
    fObj = Obj;
    fAlive = Obj ? Obj->AliveToken() : std::weak_ptr<void>();
  }
  void Clear() { Set(nullptr); }
  T* Get() const { return fAlive.expired() ? nullptr : fObj; }
  explicit operator bool() const { return Get() != nullptr; }
  // Whether this names Obj, which is still alive.
  bool Is(const T* Obj) const { return Obj && Obj == Get(); }

 private:
  T* fObj = nullptr;
  std::weak_ptr<void> fAlive;
};

}  // namespace vela
