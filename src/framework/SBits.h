#pragma once
// A growable array of bits.
#include <cstdint>
#include <vector>

namespace vela {

class TSBits {
 public:
  TSBits() = default;
  ~TSBits() { SetSize(0); }

  int Size() const { return FSize; }
  void SetSize(int value);  // a negative size raises "BitIndex out of range"
  bool Bit(int Index) const;
  void SetBit(int Index, bool Value);  // grows the array when Index >= Size
  int OpenBit() const;
  void Clear();
  int WordCount() const { return static_cast<int>(FBits.size()); }

 private:
  int FSize = 0;
  std::vector<uint32_t> FBits;
};

}  // namespace vela
