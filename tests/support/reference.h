// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TESTS_REFERENCE_H
#define TESTS_REFERENCE_H

// Plain transcriptions of the library's written algorithms, step by step and with every
// product exact, plus independent computations to check against. The library's faster
// paths must give exactly what these give.

#include "funcs.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <numeric>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <utility>

namespace reference {

__extension__ typedef unsigned __int128 u128;
__extension__ typedef __int128 i128;

using Factors = std::optional<std::pair<long long, long long>>;

// a^w mod n for n >= 1 by square-and-multiply, with no edge rules.
inline std::uint64_t powmod(std::uint64_t a, std::uint64_t w, std::uint64_t n)
{
    u128 result = 1 % n;
    u128 base = a % n;
    for (; w > 0; w >>= 1) {
        if (w & 1)
            result = result * base % n;
        base = base * base % n;
    }
    return static_cast<std::uint64_t>(result);
}

// Deterministic Miller-Rabin for every 64-bit n (the first twelve primes as bases).
inline bool isPrime(std::uint64_t n)
{
    static const std::uint64_t bases[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
    if (n < 2)
        return false;
    for (std::uint64_t p : bases)
        if (n % p == 0)
            return n == p;
    std::uint64_t d = n - 1;
    int s = 0;
    for (; d % 2 == 0; d /= 2)
        ++s;
    for (std::uint64_t a : bases) {
        std::uint64_t x = powmod(a, d, n);
        if (x == 1 || x == n - 1)
            continue;
        bool witness = true;
        for (int r = 1; r < s && witness; ++r) {
            x = static_cast<std::uint64_t>(static_cast<u128>(x) * x % n);
            witness = x != n - 1;
        }
        if (witness)
            return false;
    }
    return true;
}

// Primality by trial division exactly as written: 2, 3 and 5, then every odd candidate
// from 5 while the one before it, squared, does not exceed n.
template <typename T>
bool prime(T n)
{
    using U = std::make_unsigned_t<T>;
    if (n < 2)
        return false;
    if (n == 2 || n == 3 || n == 5)
        return true;
    if (n % 2 == 0 || n % 3 == 0)
        return false;
    for (T i = 3; static_cast<U>(i) * static_cast<U>(i) <= static_cast<U>(n);) {
        i += 2;
        if (n % i == 0)
            return false;
    }
    return true;
}

// The Jacobi symbol by the written recursion, testing the common factor at every level,
// with the library's two additions: a reduced into 0 .. |n| - 1 first, and 1 over 1.
template <typename T>
T jacobi(T a, T n)
{
    using U = std::make_unsigned_t<T>;
    if (n % 2 == 0)
        return 0;
    if (n == 1 || n == -1)
        return 1;
    T a1 = a % n;
    if (a1 < 0)
        a1 += n < 0 ? -n : n;
    if (std::gcd(a1, n) != 1)
        return 0;
    if (a1 == 1)
        return 1;
    if (a1 % 2 == 1) {
        const T sign = (((U(n) - 1) * (U(a1) - 1)) & 4u) != 0 ? -1 : 1;
        return sign * jacobi(n % a1, a1);
    }
    const T sign = ((U(n) * U(n) - 1) & 8u) != 0 ? -1 : 1;
    return sign * jacobi(T(a1 / 2), n);
}

// The recursive modular power exactly as written, products in 128 bits.
inline long long exp(long long a, long long w, long long n)
{
    if (a == 0)
        return 0;
    if (w == 0)
        return 1;
    if (w == 1)
        return a;
    const auto t = static_cast<long long>(static_cast<i128>(a) * a % n);
    if (w % 2 != 0)
        return static_cast<long long>(static_cast<i128>(exp(t, (w - 1) / 2, n)) * a % n);
    return exp(t, w / 2, n) % n;
}

inline long long rhoStep(long long x, long long n)
{
    return static_cast<long long>((static_cast<i128>(x) * x + 1) % n);
}

// Pollard's rho exactly as written: Floyd's cycle detection from 2, one GCD per step.
inline Factors pollard(long long n)
{
    if (n == 0)
        return std::nullopt;
    if (n % 2 == 0)
        return std::make_pair(2LL, n / 2);
    long long a = 2;
    long long b = 2;
    for (;;) {
        a = rhoStep(a, n);
        b = rhoStep(rhoStep(b, n), n);
        if (a == b)
            return std::nullopt;
        const long long d = std::gcd(a - b, n);
        if (d != 1 && d < n)
            return std::make_pair(d, n / d);
        if (d == n)
            throw QStringLiteral("failure");
    }
}

// Baby-step giant-step exactly as written, with 64-bit products, in a map with unique
// keys and insert-or-overwrite (the standard hash map unless the caller passes another).
// Throws std::bad_optional_access when alfa has no inverse modulo n.
template <typename Map = std::unordered_map<int, int>>
std::optional<int> shanks(int n, int alfa, int beta, Map hash = Map())
{
    const auto m = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    long long e = 1;
    for (int i = 0; i < m; ++i) {
        hash[static_cast<int>(e)] = i;
        e = e * alfa % n;
    }
    if (std::gcd(alfa, n) != 1)
        throw std::bad_optional_access();
    const int inverse = odwr(n, alfa).value();
    const auto malfa = static_cast<long long>(powmod(static_cast<std::uint64_t>(inverse),
                                                     static_cast<std::uint64_t>(m),
                                                     static_cast<std::uint64_t>(n)));
    long long current = beta;
    for (int i = 0; i < m; ++i) {
        const auto iter = hash.find(static_cast<int>(current));
        if (iter != hash.end())
            return i * m + iter->second;
        current = current * malfa % n;
    }
    return std::nullopt;
}

// The same with the map's nodes taken from one arena: the tests call it thousands of
// times, and a node allocation each costs a stack unwind in the sanitizer build.
inline std::optional<int> shanksInArena(int n, int alfa, int beta)
{
    std::pmr::monotonic_buffer_resource arena;
    return shanks(n, alfa, beta, std::pmr::unordered_map<int, int>(&arena));
}

// The phrase cipher's substitution exactly as written: a linear search of each letter in
// the source alphabet.
inline QString phrasePerform(QString message, QString phrase, QChar letter, bool cipher)
{
    const QString ciphalph = phrase_alphabet(phrase, letter);
    const QString plainalph = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const QString &src = cipher ? plainalph : ciphalph;
    const QString &dest = cipher ? ciphalph : plainalph;
    message = message.toUpper();
    for (QChar &c : message) {
        if (!c.isLetter())
            continue;
        const int position = src.indexOf(c);
        if (position >= 0)
            c = dest[position];
    }
    return message;
}

// CRC-32 bit by bit, without a table, over a buffer of known length.
inline std::uint32_t crc32Bitwise(const unsigned char *data, std::size_t length)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

} // namespace reference

#endif // TESTS_REFERENCE_H
