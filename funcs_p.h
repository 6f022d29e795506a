// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FUNCS_P_H
#define FUNCS_P_H

// The insides of the funcs module, for funcs.cpp alone (and the tests of these insides):
// wide types, the random source, Montgomery multiplication, the deterministic Miller-Rabin
// test, the baby steps' hash table and the loops behind pollard and pollard1.

#include "funcs.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <type_traits>
#include <vector>

namespace funcs_detail {

template <typename T>
struct Wider;
template <>
struct Wider<int> {
    using type = long long;
};
template <>
struct Wider<long long> {
    __extension__ typedef __int128 type;
};

template <typename T>
using Wide = typename Wider<T>::type;

// The nondeterministic source, an engine seeded once from it and a distribution with
// inclusive bounds: every randomised algorithm builds one per call.
template <typename T>
struct RandomSource {
    std::random_device device{"default"};
    std::mt19937 engine{device()};
    std::uniform_int_distribution<T> draw;

    RandomSource(T low, T high)
        : draw(low, high)
    {
    }
    T operator()() { return draw(engine); }
};

// The low four bits of an exact product or difference: enough for the sign rules of the
// Jacobi symbol, which read bits 2 and 3 only. Unsigned arithmetic wraps, so any operand
// of T is fine.
template <typename T>
T lowBits(std::make_unsigned_t<T> exact)
{
    return static_cast<T>(exact & 15u);
}

// q to the power l, lowered to the largest power of q that does not exceed limit.
// Requires q >= 2 and limit >= 1.
template <typename T>
T powerNotAbove(T q, long long l, T limit)
{
    T power = 1;
    for (long long i = 0; i < l && power <= limit / q; ++i)
        power *= q;
    return power;
}

using u64 = std::uint64_t;
__extension__ typedef unsigned __int128 u128;

// Multiplication modulo an odd n below 2^63 without division (Montgomery's method).
// A residue x is held in the form x * 2^64 mod n, always in 0 .. n - 1, so two forms are
// equal exactly when their residues are, and a form shares its factors with n exactly as
// its residue does.
class Montgomery {
public:
    explicit Montgomery(u64 n)
        : n_(n)
        , negInverse_(0 - inverseModR(n))
        , one_((0 - n) % n)
    {
        rSquared_ = static_cast<u64>(static_cast<u128>(one_) * one_ % n);
    }

    u64 one() const { return one_; }
    u64 toForm(u64 x) const { return multiply(x % n_, rSquared_); }
    u64 fromForm(u64 form) const { return reduce(form); }
    u64 multiply(u64 a, u64 b) const { return reduce(static_cast<u128>(a) * b); }
    u64 add(u64 a, u64 b) const
    {
        const u64 sum = a + b;
        return sum >= n_ ? sum - n_ : sum;
    }
    u64 power(u64 baseForm, u64 w) const
    {
        u64 result = one_;
        for (; w > 0; w >>= 1) {
            if ((w & 1) != 0)
                result = multiply(result, baseForm);
            baseForm = multiply(baseForm, baseForm);
        }
        return result;
    }

private:
    // n^-1 modulo 2^64 by Newton's iteration; each round doubles the correct low bits.
    static u64 inverseModR(u64 n)
    {
        u64 inverse = n;
        for (int round = 0; round < 5; ++round)
            inverse *= 2 - n * inverse;
        return inverse;
    }

    // t * 2^-64 mod n for t < n * 2^64; the sum below stays under 2^128 since n < 2^63.
    u64 reduce(u128 t) const
    {
        const u64 m = static_cast<u64>(t) * negInverse_;
        const auto u = static_cast<u64>((t + static_cast<u128>(m) * n_) >> 64);
        return u >= n_ ? u - n_ : u;
    }

    u64 n_;
    u64 negInverse_;
    u64 one_;
    u64 rSquared_ = 0;
};

// Deterministic Miller-Rabin: exact for every n below 2^63 with the first twelve primes
// as bases.
inline bool isPrime64(u64 n)
{
    static constexpr u64 bases[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
    if (n < 2)
        return false;
    for (const u64 p : bases)
        if (n % p == 0)
            return n == p;
    const Montgomery mont(n);
    const u64 minusOne = n - mont.one();
    u64 odd = n - 1;
    int twos = 0;
    for (; odd % 2 == 0; odd /= 2)
        ++twos;
    for (const u64 a : bases) {
        u64 x = mont.power(mont.toForm(a), odd);
        if (x == mont.one() || x == minusOne)
            continue;
        int r = 1;
        for (; r < twos && x != minusOne; ++r)
            x = mont.multiply(x, x);
        if (x != minusOne)
            return false;
    }
    return true;
}

// a^w mod n for a >= 1, w >= 2 and an odd n >= 3.
template <typename T>
T powerMod(T a, T w, T n)
{
    const Montgomery mont(static_cast<u64>(n));
    const u64 form = mont.power(mont.toForm(static_cast<u64>(a)), static_cast<u64>(w));
    return static_cast<T>(mont.fromForm(form));
}

// The baby steps' exponents by their power: open addressing with linear probing, sized
// once for a known number of keys, with insert-or-overwrite.
template <typename T>
class ExponentTable {
public:
    explicit ExponentTable(T keys)
    {
        int bits = 4;
        while ((std::size_t{1} << bits) < 2 * static_cast<std::size_t>(keys))
            ++bits;
        shift_ = 64 - bits;
        slots_.assign(std::size_t{1} << bits, Slot{empty, 0});
    }

    void assign(T key, T value) { slots_[slotOf(key)] = Slot{key, value}; }

    std::optional<T> find(T key) const
    {
        const Slot &slot = slots_[slotOf(key)];
        if (key == empty || slot.key != key)
            return std::nullopt;
        return slot.value;
    }

private:
    // No power reduced modulo n can be the minimum of T.
    static constexpr T empty = std::numeric_limits<T>::min();

    struct Slot {
        T key;
        T value;
    };

    // The slot holding key, or the empty slot where it belongs.
    std::size_t slotOf(T key) const
    {
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = (static_cast<u64>(key) * 0x9E3779B97F4A7C15u) >> shift_;
        while (slots_[i].key != key && slots_[i].key != empty)
            i = (i + 1) & mask;
        return i;
    }

    std::vector<Slot> slots_;
    int shift_ = 0;
};

// Below this bound trial division needs fewer operations than the Miller-Rabin bases.
constexpr long long trialDivisionBound = 1 << 18;

// Trial division by 2, 3 and then every odd number from 5 while the one before it, squared,
// does not exceed n; 2 <= n < trialDivisionBound, so no square overflows.
template <typename T>
bool primeByTrialDivision(T n)
{
    if (n == 2 || n == 3 || n == 5)
        return true;
    if (n % 2 == 0 || n % 3 == 0)
        return false;
    for (T i = 3; i * i <= n;) {
        i += 2;
        if (n % i == 0)
            return false;
    }
    return true;
}

// The rho loop as written, from the sequence values a and b on.
template <typename T>
std::optional<std::pair<T, T>> rhoFrom(T a, T b, T n)
{
    for (;;) {
        a = pollard_func(a, n);
        b = pollard_func(pollard_func(b, n), n);
        if (a == b)
            return std::nullopt;
        const T d = nwd(a - b, n);
        if (d != 1 && d < n)
            return std::make_pair(d, n / d);
        if (d == n)
            throw QStringLiteral("failure");
    }
}

// The rho loop for an odd composite n >= 9 in Montgomery form, with one GCD per batch of
// steps over the product of the differences. That product shares a factor with n exactly
// when some step of the batch does (or closes the cycle, which makes it 0), and then the
// batch is replayed step by step from its start, so the result is that of the loop as
// written.
template <typename T>
std::optional<std::pair<T, T>> rhoBatched(T n)
{
    constexpr int batch = 128;
    const Montgomery mont(static_cast<u64>(n));
    const auto next = [&mont](u64 x) { return mont.add(mont.multiply(x, x), mont.one()); };
    u64 a = mont.toForm(2);
    u64 b = a;
    for (;;) {
        const u64 batchA = a;
        const u64 batchB = b;
        u64 product = mont.one();
        for (int i = 0; i < batch; ++i) {
            a = next(a);
            b = next(next(b));
            product = mont.multiply(product, a > b ? a - b : b - a);
        }
        if (std::gcd(product, static_cast<u64>(n)) != 1)
            return rhoFrom(static_cast<T>(mont.fromForm(batchA)),
                           static_cast<T>(mont.fromForm(batchB)), n);
    }
}

// The p - 1 trials of pollard1 on m = |n| for odd n: (x, n / x) keeps the sign of n.
template <typename T>
std::optional<std::pair<T, T>> pollardPMinus1Odd(T n, T m)
{
    RandomSource<T> draw(2, std::numeric_limits<T>::max());
    const T bound = draw() % 1000;
    for (T q = 3; q <= bound; q += 2) {
        while (!prime(q) && q <= bound)
            q += 2;
        const auto l = static_cast<long long>(std::log(static_cast<long double>(m)) /
                                              std::log(static_cast<long double>(q)));
        const T a = draw() % (m - 4) + 2;
        const T k = powerNotAbove(q, l, m);
        const T y = (exp(a, k, m) - 1) % m;
        if (y != 0) {
            const T x = nwd(y, m);
            if (x != 1)
                return std::make_pair(x, n / x);
        }
    }
    return std::nullopt;
}

// Entry i of the CRC-32 table: eight reflected rounds with the polynomial 0xEDB88320.
constexpr unsigned int crc32Entry(unsigned int value)
{
    for (int round = 0; round < 8; ++round)
        value = (value & 1u) != 0 ? (value >> 1) ^ 0xEDB88320u : value >> 1;
    return value;
}

template <std::size_t... I>
constexpr std::array<unsigned int, 256> crc32Table(std::index_sequence<I...>)
{
    return {{crc32Entry(static_cast<unsigned int>(I))...}};
}

} // namespace funcs_detail

#endif // FUNCS_P_H
