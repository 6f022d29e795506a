// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FUNCS_H
#define FUNCS_H

#include <QChar>
#include <QString>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <utility>

// Number theory on signed integers, CRC-32 and the phrase cipher.
//
// The templates are compiled once, in funcs.cpp, for T = int (values from spin boxes) and
// T = long long (15-digit fields and the other algorithms); any other T does not link.
// Every product is formed in a type twice as wide as T, so each result is the exact
// residue for every argument that satisfies the stated preconditions. The randomised
// functions draw from the system's nondeterministic source, seeded afresh on every call.

// Modular arithmetic

// Greatest common divisor, never negative. Neither argument may be the minimum of T,
// whose absolute value T cannot hold.
template <typename T>
T nwd(T n, T m);

// (a * b) % n with the sign of a * b. Requires n != 0.
template <typename T>
T mulmod(T a, T b, T n);

// a to the power w modulo n by recursive squaring. Requires w >= 0 and n != 0.
// The tests come in a fixed order that callers rely on: a base of 0 gives 0 for every
// exponent, exponent 0 gives an unreduced 1, and exponent 1 gives a itself unreduced.
template <typename T>
T exp(T a, T w, T n);

// Inverse of a modulo n (modulus first), in 1 .. n - 1, or empty when gcd(n, a) != 1.
// Requires n >= 2 and a >= 1; a may exceed n.
template <typename T>
std::optional<T> odwr(T n, T a);

// True exactly when n is prime, for any n of T. Large numbers are answered by a
// deterministic Miller-Rabin test in microseconds, where trial division would take some
// 10^7 divisions for 15 digits.
template <typename T>
bool prime(T n);

// Probabilistic primality

// Fermat test with k trials, reporting the index of each trial to the callback (when set)
// before the trial draws its base from 3 .. n - 1. Empty when a trial proves n composite,
// otherwise the probability 1 - 2^-k that n is prime. Below 4 the base range would be
// empty, so the answer is given without drawing: 2 and 3 are certainly prime (1.0), and
// numbers below 2 are not prime (empty).
template <typename T>
std::optional<double> fermat(T n, size_t k, std::function<void(unsigned long)> callback);

namespace JacobiNS {

// The sign factor of the Jacobi recursion: -1 when x and mask share a set bit, else 1.
template <typename T>
T pot(T x, T mask);

// The Jacobi symbol (a/n) for odd n >= 3: 0 for even n or when a and n share a factor;
// (a/1) is 1. Any a of T is accepted, negative ones included.
template <typename T>
T Jacobi(T a, T n);

} // namespace JacobiNS

// Solovay-Strassen test with k trials on bases drawn from 3 .. n - 1. True when n passed
// every trial. 1, 2 and 3 are accepted and numbers below 1 rejected without drawing.
template <typename T>
bool solStra(T n, size_t k);

// Factorisation

// One step of the rho sequence: (x * x + 1) % n. Requires n != 0.
template <typename T>
T pollard_func(T x, T n);

// Pollard's rho with the sequence x -> x * x + 1 from 2 and Floyd's cycle detection.
// (d, n / d) with 1 < d < n for the first step whose difference shares a factor d with n;
// (2, n / 2) for even n; empty for 0 and when the cycle closes without a divisor. The
// "failure" exception for a divisor equal to n cannot arise with exact products.
template <typename T>
std::optional<std::pair<T, T>> pollard(T n);

// Randomised Pollard p - 1: for each odd q up to a random bound below 1000 (skipping to
// the next prime), one trial with a fresh random base and the exponent q^l, the largest
// power of q not above |n|. (2, n / 2) for even n; for odd n a pair (x, n / x) with
// 1 < x < |n|, or empty when no trial found a divisor. An odd negative n is factored
// through -n, so -15 may give (3, -5).
template <typename T>
std::optional<std::pair<T, T>> pollard1(T n);

// Discrete logarithm

// Shanks' baby-step giant-step: an x with alfa^x = beta (mod n), or empty when no giant
// step meets a baby step. Among several solutions it takes the fewest giant steps and,
// for those, the largest baby-step exponent. Throws std::bad_optional_access when alfa
// has no inverse modulo n. Requires 2 <= n <= 46340^2 (so every exponent below m^2 fits
// T) and alfa >= 0.
template <typename T>
std::optional<T> shanks2(T n, T alfa, T beta);

// CRC-32

// The reflected CRC-32 lookup table (polynomial 0x04C11DB7).
extern const std::array<unsigned int, 256> crc32_table;

// Folds the bytes of s up to its first zero byte into the register crc.
unsigned int crc32_rec(unsigned int crc, const char *s);

// The CRC-32 of the bytes of s up to its first zero byte (0 for the empty string).
unsigned int crc32(const char *s);

// Phrase cipher

// The cipher alphabet of a phrase: its distinct letters of A .. Z (other characters are
// skipped), then the rest of A .. Z, laid from the position of letter on and wrapped
// around, 26 characters in all. Throws the QString "Invalid letter" when letter is not one
// of A .. Z after upper-casing.
QString phrase_alphabet(QString phrase, QChar letter);

// The upper-cased message with each letter substituted through the phrase alphabet:
// enciphered when cipher is true, deciphered otherwise. Characters other than A .. Z after
// upper-casing stay unchanged, so deciphering an enciphered message gives it back.
QString phrase_perform(QString message, QString phrase, QChar letter, bool cipher);

#endif // FUNCS_H
