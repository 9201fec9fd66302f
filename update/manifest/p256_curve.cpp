#include "manifest/p256_curve.h"

#include <algorithm>
#include <cstdint>

namespace torvexupdate {

namespace {

// A number below 2^256 in 32-bit limbs, the most significant first.
using Number = std::array<std::uint32_t, 8>;

constexpr Number kPrime = {0xFFFFFFFF, 0x00000001, 0x00000000, 0x00000000,
                           0x00000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
constexpr Number kB = {0x5AC635D8, 0xAA3A93E7, 0xB3EBBD55, 0x769886BC, 0x651D06B0, 0xCC53B0F6, 0x3BCE3C3E, 0x27D2604B};

Number FromBytes(const Bytes32& bytes)
{
    Number number{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        number[i / 4] = number[i / 4] << 8 | bytes[i];
    return number;
}

bool Below(const Number& a, const Number& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
}

// a += b modulo 2^256; gives the carry out.
std::uint32_t Add(Number& a, const Number& b)
{
    std::uint64_t carry = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        std::uint64_t sum = std::uint64_t{a[i]} + b[i] + carry;
        a[i] = static_cast<std::uint32_t>(sum);
        carry = sum >> 32;
    }
    return static_cast<std::uint32_t>(carry);
}

// a -= b modulo 2^256; gives the borrow out.
std::uint32_t Subtract(Number& a, const Number& b)
{
    std::uint64_t borrow = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        std::uint64_t difference = std::uint64_t{a[i]} - b[i] - borrow;
        a[i] = static_cast<std::uint32_t>(difference);
        borrow = difference >> 63;
    }
    return static_cast<std::uint32_t>(borrow);
}

// Modulo the prime, for a and b below it.
Number AddModPrime(Number a, const Number& b)
{
    if (Add(a, b) != 0 || !Below(a, kPrime))
        Subtract(a, kPrime);
    return a;
}

Number SubtractModPrime(Number a, const Number& b)
{
    if (Subtract(a, b) != 0)
        Add(a, kPrime);
    return a;
}

// Double and add, from b's most significant bit: a few thousand additions, for a key or two.
Number MultiplyModPrime(const Number& a, const Number& b)
{
    Number product{};
    for (std::uint32_t limb : b)
        for (int bit = 31; bit >= 0; --bit) {
            product = AddModPrime(product, product);
            if ((limb >> bit & 1) != 0)
                product = AddModPrime(product, a);
        }
    return product;
}

}  // namespace

bool OnP256Curve(const Bytes32& xBytes, const Bytes32& yBytes)
{
    Number x = FromBytes(xBytes), y = FromBytes(yBytes);
    if (!Below(x, kPrime) || !Below(y, kPrime))
        return false;
    Number threeX = AddModPrime(AddModPrime(x, x), x);
    Number right = AddModPrime(SubtractModPrime(MultiplyModPrime(MultiplyModPrime(x, x), x), threeX), kB);
    return MultiplyModPrime(y, y) == right;
}

}  // namespace torvexupdate
