#include "framework/SBits.h"

#include <algorithm>

#include "platform/Assertion.h"

namespace vela {

namespace {
void RangeError() { throw EVelaAssertion(QStringLiteral("BitIndex out of range"), QStringLiteral("velaobject/sobjects")); }
}  // namespace

void TSBits::SetSize(int value) {
  if (value < 0) RangeError();
  const size_t words = (static_cast<size_t>(value) + 31) / 32;
  if (words != FBits.size()) {
    std::vector<uint32_t> bits(words, 0);
    std::copy_n(FBits.begin(), std::min(words, FBits.size()), bits.begin());
    FBits.swap(bits);
  }
  FSize = value;
}

bool TSBits::Bit(int Index) const {
  if (Index < 0 || Index >= FSize) RangeError();
  return (FBits[Index / 32] >> (Index % 32)) & 1u;
}

void TSBits::SetBit(int Index, bool Value) {
  if (Index < 0) RangeError();
  if (Index >= FSize) SetSize(Index + 1);
  if (Value)
    FBits[Index / 32] |= 1u << (Index % 32);
  else
    FBits[Index / 32] &= ~(1u << (Index % 32));
}

int TSBits::OpenBit() const {
  for (int w = 0; w < static_cast<int>(FBits.size()); ++w) {
    if (FBits[w] == 0xFFFFFFFFu) continue;
    for (int b = 0; b < 32; ++b) {
      const int i = w * 32 + b;
      if (i >= FSize) return FSize;
      if (!((FBits[w] >> b) & 1u)) return i;
    }
  }
  return FSize;
}

void TSBits::Clear() { std::fill(FBits.begin(), FBits.end(), 0u); }

}  // namespace vela
