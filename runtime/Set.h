#pragma once
// A set of the values of a small enumeration (at most 32 values, numbered from 0), as the layouts and the
// properties write them: a font's style [fsBold, fsItalic] is a TSet<TFontStyle>.

#include <cstdint>
#include <initializer_list>

template <typename E>
class TSet {
  public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E item : items) Include(item);
    }

    constexpr bool Contains(E item) const { return (bits_ & Bit(item)) != 0; }
    constexpr TSet& Include(E item) {
        bits_ |= Bit(item);
        return *this;
    }
    constexpr TSet& Exclude(E item) {
        bits_ &= ~Bit(item);
        return *this;
    }
    constexpr bool Empty() const { return bits_ == 0; }
    // Bit n stands for the value n.
    constexpr uint32_t Bits() const { return bits_; }
    static constexpr TSet FromBits(uint32_t bits) {
        TSet set;
        set.bits_ = bits;
        return set;
    }

    friend constexpr bool operator==(TSet, TSet) = default;

  private:
    static constexpr uint32_t Bit(E item) { return uint32_t{1} << static_cast<uint32_t>(item); }

    uint32_t bits_ = 0;
};
