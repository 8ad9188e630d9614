#pragma once
// A Delphi `set of` over a small enumeration: one bit per enumerator ordinal.
// Build it from a list ({ssShift, ssCtrl}) or with '|' on enumerators.

#include <cstdint>
#include <initializer_list>
#include <type_traits>

template <typename E>
class TEnumSet {
  static_assert(std::is_enum_v<E>, "TEnumSet holds enumerators");

public:
  constexpr TEnumSet() = default;
  constexpr TEnumSet(E value) : bits_(Bit(value)) {}
  constexpr TEnumSet(std::initializer_list<E> values) {
    for (E v : values) bits_ |= Bit(v);
  }
  static constexpr TEnumSet FromBits(uint64_t bits) {
    TEnumSet s;
    s.bits_ = bits;
    return s;
  }

  constexpr bool Contains(E value) const { return (bits_ & Bit(value)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr uint64_t Bits() const { return bits_; }
  constexpr TEnumSet& Include(E value) {
    bits_ |= Bit(value);
    return *this;
  }
  constexpr TEnumSet& Exclude(E value) {
    bits_ &= ~Bit(value);
    return *this;
  }

  constexpr TEnumSet operator|(TEnumSet other) const { return FromBits(bits_ | other.bits_); }
  constexpr TEnumSet operator&(TEnumSet other) const { return FromBits(bits_ & other.bits_); }
  constexpr TEnumSet operator-(TEnumSet other) const { return FromBits(bits_ & ~other.bits_); }
  constexpr bool operator==(const TEnumSet&) const = default;

private:
  static constexpr uint64_t Bit(E value) {
    return uint64_t{1} << static_cast<unsigned>(static_cast<std::underlying_type_t<E>>(value));
  }
  uint64_t bits_ = 0;
};
