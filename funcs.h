#ifndef FUNCS_H
#define FUNCS_H

#include <QChar>
#include <QString>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <numeric>
#include <optional>
#include <random>
#include <type_traits>
#include <utility>
#include <vector>

// Number theory on signed integers. The templates are used with T = int for values
// from spin boxes and T = long long for 15-digit fields and the other algorithms.
// Every product is formed in a type twice as wide as T, so each result is the exact
// residue for every argument that satisfies the stated preconditions.

namespace funcs_detail {

template <typename T>
struct Wider;
template <>
struct Wider<int> {
    using type = long long;
};
template <>
struct Wider<long> {
    __extension__ typedef __int128 type;
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

} // namespace funcs_detail

// Greatest common divisor, never negative. Neither argument may be the minimum of T,
// whose absolute value T cannot hold.
template <typename T>
T nwd(T n, T m)
{
    return std::gcd(n, m);
}

// (a * b) % n with the sign of a * b. Requires n != 0.
template <typename T>
T mulmod(T a, T b, T n)
{
    using W = funcs_detail::Wide<T>;
    return static_cast<T>(static_cast<W>(a) * b % n);
}

// a to the power w modulo n by recursive squaring. Requires w >= 0 and n != 0.
// The tests come in a fixed order that callers rely on: a base of 0 gives 0 for every
// exponent, exponent 0 gives an unreduced 1, and exponent 1 gives a itself unreduced.
template <typename T>
T exp(T a, T w, T n)
{
    if (a == 0)
        return 0;
    if (w == 0)
        return 1;
    if (w == 1)
        return a;
    // From here on, a positive base and an odd modulus keep every step in 0 .. n - 1, so
    // the result is the plain power; 64-bit moduli get it without 128-bit division.
    if constexpr (sizeof(T) == sizeof(funcs_detail::u64))
        if (a > 0 && w > 1 && n > 1 && n % 2 != 0)
            return funcs_detail::powerMod(a, w, n);
    const T t = mulmod(a, a, n);
    if (w % 2 != 0)
        return mulmod(exp(t, (w - 1) / 2, n), a, n);
    return exp(t, w / 2, n) % n;
}

// Inverse of a modulo n (modulus first), in 1 .. n - 1, or empty when gcd(n, a) != 1.
// Requires n >= 2 and a >= 1; a may exceed n.
template <typename T>
std::optional<T> odwr(T n, T a)
{
    using W = funcs_detail::Wide<T>;
    T p0 = 0;
    T p1 = 1;
    T a0 = a;
    T n0 = n;
    T q = n0 / a0;
    T r = n0 % a0;
    while (r > 0) {
        W t = static_cast<W>(p0) - static_cast<W>(q) * p1;
        t = t >= 0 ? t % n : n - (-t) % n;
        p0 = p1;
        p1 = static_cast<T>(t);
        n0 = a0;
        a0 = r;
        q = n0 / a0;
        r = n0 % a0;
    }
    if (a0 == 1)
        return p1;
    return std::nullopt;
}

namespace funcs_detail {

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

} // namespace funcs_detail

// True exactly when n is prime. Any n of T: larger numbers go to the deterministic
// Miller-Rabin test, which answers a 15-digit number in microseconds, where trial
// division would take some 10^7 divisions.
template <typename T>
bool prime(T n)
{
    if (n < 2)
        return false;
    if (static_cast<long long>(n) < funcs_detail::trialDivisionBound)
        return funcs_detail::primeByTrialDivision(n);
    return funcs_detail::isPrime64(static_cast<funcs_detail::u64>(n));
}

// Fermat test with k trials, reporting the index of each trial to the callback (when set)
// before the trial draws its base from 3 .. n - 1. Empty when a trial proves n composite,
// otherwise the probability 1 - 2^-k that n is prime. Below 4 the base range would be
// empty, so the answer is given without drawing: 2 and 3 are certainly prime (1.0), and
// numbers below 2 are not prime (empty).
template <typename T>
std::optional<double> fermat(T n, size_t k, std::function<void(unsigned long)> callback)
{
    if (n < 2)
        return std::nullopt;
    if (n < 4)
        return 1.0;
    funcs_detail::RandomSource<T> base(3, n - 1);
    for (size_t i = 0; i < k; ++i) {
        if (callback)
            callback(i);
        const T b = base();
        if (nwd(b, n) != 1)
            return std::nullopt;
        if (exp(b, n - 1, n) != 1)
            return std::nullopt;
    }
    const double nom = std::pow(2.0, static_cast<double>(k));
    return 1.0 - 1.0 / nom;
}

namespace JacobiNS {

// The sign factor of the Jacobi recursion: -1 when x and mask share a set bit, else 1.
template <typename T>
T pot(T x, T mask)
{
    return (x & mask) != 0 ? -1 : 1;
}

// The Jacobi symbol (a/n) for odd n >= 3: 0 for even n or when a and n share a factor.
// The symbol over 1 is 1 (the empty product); the plain recursion would never end
// there. Any a of T is accepted: a is first brought into 0 .. |n| - 1, which gives
// the common-factor test the same answer, keeps the minimum of T away from nwd and makes
// (a/n) right for negative a as well.
// The recursion is run as a loop that multiplies up its sign factors. Once a and n are
// coprime, every pair it passes on is coprime too, so the common factor is tested once.
template <typename T>
T Jacobi(T a, T n)
{
    using U = std::make_unsigned_t<T>;
    if (n % 2 == 0)
        return 0;
    if (n == 1 || n == -1)
        return 1;
    T a1 = a % n;
    if (a1 < 0)
        a1 += n < 0 ? -n : n;
    if (nwd(a1, n) != 1)
        return 0;
    T sign = 1;
    while (a1 != 1) {
        if (a1 % 2 == 1) {
            sign *= pot(funcs_detail::lowBits<T>((U(n) - 1) * (U(a1) - 1)), T(4));
            const T reduced = n % a1;
            n = a1;
            a1 = reduced < 0 ? reduced + n : reduced;
        } else {
            sign *= pot(funcs_detail::lowBits<T>(U(n) * U(n) - 1), T(8));
            a1 /= 2;
        }
    }
    return sign;
}

} // namespace JacobiNS

// Solovay-Strassen test with k trials on bases drawn from 3 .. n - 1. True when n passed
// every trial. 1, 2 and 3 are accepted and numbers below 1 rejected without drawing.
template <typename T>
bool solStra(T n, size_t k)
{
    if (n == 1 || n == 2 || n == 3)
        return true;
    if (n <= 0)
        return false;
    funcs_detail::RandomSource<T> draw(2, n - 2);
    for (size_t i = 0; i < k; ++i) {
        const T a = draw() + 1;
        const T r = exp(a, (n - 1) / 2, n);
        if (r != 1 && r != n - 1)
            return false;
        T s = JacobiNS::Jacobi(a, n);
        s = s < 0 ? (n + s) % n : s % n;
        if (r != s)
            return false;
    }
    return true;
}

// One step of the rho sequence: (x * x + 1) % n. Requires n != 0.
template <typename T>
T pollard_func(T x, T n)
{
    using W = funcs_detail::Wide<T>;
    return static_cast<T>((static_cast<W>(x) * x + 1) % n);
}

namespace funcs_detail {

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

} // namespace funcs_detail

// Pollard's rho with the sequence x -> x * x + 1 from 2 and Floyd's cycle detection.
// (d, n / d) with 1 < d < n for the first step whose difference shares a factor d with n;
// (2, n / 2) for even n; empty for 0 and when the cycle closes without a divisor. The
// "failure" exception for a divisor equal to n cannot arise with exact products.
// The answers come without walking the whole cycle where it is certain to close without
// a divisor: for a prime n (every difference is then coprime to it) and for a negative n
// (no divisor is below it).
template <typename T>
std::optional<std::pair<T, T>> pollard(T n)
{
    if (n == 0)
        return std::nullopt;
    if (n % 2 == 0)
        return std::make_pair(T(2), n / 2);
    if (n < 0)
        return std::nullopt;
    if (n < 9)
        return funcs_detail::rhoFrom<T>(2, 2, n);
    if (funcs_detail::isPrime64(static_cast<funcs_detail::u64>(n)))
        return std::nullopt;
    return funcs_detail::rhoBatched(n);
}

namespace funcs_detail {

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

} // namespace funcs_detail

// Randomised Pollard p - 1: for each odd q up to a random bound below 1000 (skipping to
// the next prime), one trial with a fresh random base and the exponent q^l, the largest
// power of q not above |n|. (2, n / 2) for even n; for odd n a pair (x, n / x) with
// 1 < x < |n|, or empty when no trial found a divisor. An odd negative n is factored
// through -n, so -15 may give (3, -5).
template <typename T>
std::optional<std::pair<T, T>> pollard1(T n)
{
    if (n % 2 == 0)
        return std::make_pair(T(2), n / 2);
    return funcs_detail::pollardPMinus1Odd(n, n < 0 ? -n : n);
}

// Shanks' baby-step giant-step: an x with alfa^x = beta (mod n), or empty when no giant
// step meets a baby step. Among several solutions it takes the fewest giant steps and,
// for those, the largest baby-step exponent. Throws std::bad_optional_access when alfa
// has no inverse modulo n. Requires 2 <= n <= 46340^2 (so every exponent below m^2 fits
// T) and alfa >= 0.
template <typename T>
std::optional<T> shanks2(T n, T alfa, T beta)
{
    using W = funcs_detail::Wide<T>;
    const auto m = static_cast<T>(std::ceil(std::sqrt(static_cast<double>(n))));
    funcs_detail::ExponentTable<T> hash(m);
    T e = 1;
    for (T i = 0; i < m; ++i) {
        hash.assign(e, i);
        e = static_cast<T>(static_cast<W>(e) * alfa % n);
    }
    if (nwd(alfa, n) != 1)
        throw std::bad_optional_access();
    const T malfa = exp(*odwr(n, alfa), m, n);
    for (T i = 0; i < m; ++i) {
        if (const std::optional<T> exponent = hash.find(beta))
            return i * m + *exponent;
        beta = static_cast<T>(static_cast<W>(beta) * malfa % n);
    }
    return std::nullopt;
}

namespace funcs_detail {

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

// The reflected CRC-32 lookup table (polynomial 0x04C11DB7).
inline constexpr std::array<unsigned int, 256> crc32_table =
    funcs_detail::crc32Table(std::make_index_sequence<256>());

// Folds the bytes of s up to its first zero byte into the register crc.
unsigned int crc32_rec(unsigned int crc, const char *s);

// The CRC-32 of the bytes of s up to its first zero byte (0 for the empty string).
unsigned int crc32(const char *s);

// The cipher alphabet of a phrase: its distinct letters of A .. Z (other characters are
// skipped), then the rest of A .. Z, laid
// from the position of letter on and wrapped around, 26 characters in all. Throws the
// QString "Invalid letter" when letter is not one of A .. Z after upper-casing.
QString phrase_alphabet(QString phrase, QChar letter);

// The upper-cased message with each letter substituted through the phrase alphabet:
// enciphered when cipher is true, deciphered otherwise. Characters other than A .. Z after
// upper-casing stay unchanged, so deciphering an enciphered message gives it back.
QString phrase_perform(QString message, QString phrase, QChar letter, bool cipher);

#endif // FUNCS_H
