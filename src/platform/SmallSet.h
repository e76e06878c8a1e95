#pragma once
// A typed set of enumeration values held in a small unsigned integer, the
// stand-in for the original's "set of" types.
#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace vela {

template <typename E, typename Bits>
class TSmallSet {
  static_assert(std::is_unsigned_v<Bits>);

 public:
  constexpr TSmallSet() = default;
  constexpr TSmallSet(std::initializer_list<E> values) {
    for (E v : values) fBits |= Bit(v);
  }
  static constexpr TSmallSet FromBits(Bits bits) {
    TSmallSet s;
    s.fBits = bits;
    return s;
  }

  constexpr Bits ToBits() const { return fBits; }
  constexpr bool Empty() const { return fBits == 0; }
  constexpr bool Has(E v) const { return (fBits & Bit(v)) != 0; }
  constexpr bool HasAny(TSmallSet other) const { return (fBits & other.fBits) != 0; }
  constexpr bool HasAll(TSmallSet other) const { return (fBits & other.fBits) == other.fBits; }
  constexpr void Include(E v) { fBits |= Bit(v); }
  constexpr void Exclude(E v) { fBits &= static_cast<Bits>(~Bit(v)); }

  constexpr TSmallSet operator+(TSmallSet o) const { return FromBits(fBits | o.fBits); }
  constexpr TSmallSet operator-(TSmallSet o) const { return FromBits(fBits & static_cast<Bits>(~o.fBits)); }
  constexpr TSmallSet operator*(TSmallSet o) const { return FromBits(fBits & o.fBits); }
  constexpr TSmallSet operator+(E v) const { return FromBits(fBits | Bit(v)); }
  constexpr TSmallSet operator-(E v) const { return FromBits(fBits & static_cast<Bits>(~Bit(v))); }
  constexpr TSmallSet& operator+=(TSmallSet o) { return *this = *this + o; }
  constexpr TSmallSet& operator-=(TSmallSet o) { return *this = *this - o; }
  constexpr TSmallSet& operator+=(E v) { return *this = *this + v; }
  constexpr TSmallSet& operator-=(E v) { return *this = *this - v; }
  constexpr TSmallSet operator~() const { return FromBits(static_cast<Bits>(~fBits)); }
  constexpr bool operator==(const TSmallSet&) const = default;

 private:
  static constexpr Bits Bit(E v) { return static_cast<Bits>(Bits(1) << static_cast<unsigned>(v)); }
  Bits fBits = 0;
};

}  // namespace vela
