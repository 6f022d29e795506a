// SPDX-License-Identifier: GPL-3.0-or-later
#include "funcs.h"
#include "funcs_p.h"

#include <algorithm>
#include <vector>

template <typename T>
T nwd(T n, T m)
{
    return std::gcd(n, m);
}

template <typename T>
T mulmod(T a, T b, T n)
{
    using W = funcs_detail::Wide<T>;
    return static_cast<T>(static_cast<W>(a) * b % n);
}

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

template <typename T>
bool prime(T n)
{
    if (n < 2)
        return false;
    if (static_cast<long long>(n) < funcs_detail::trialDivisionBound)
        return funcs_detail::primeByTrialDivision(n);
    return funcs_detail::isPrime64(static_cast<funcs_detail::u64>(n));
}

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

template <typename T>
T pot(T x, T mask)
{
    return (x & mask) != 0 ? -1 : 1;
}

// The plain recursion would never end over 1, whose symbol is the empty product. a is
// first brought into 0 .. |n| - 1, which gives the common-factor test the same answer,
// keeps the minimum of T away from nwd and makes (a/n) right for negative a as well.
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

template <typename T>
T pollard_func(T x, T n)
{
    using W = funcs_detail::Wide<T>;
    return static_cast<T>((static_cast<W>(x) * x + 1) % n);
}

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

template <typename T>
std::optional<std::pair<T, T>> pollard1(T n)
{
    if (n % 2 == 0)
        return std::make_pair(T(2), n / 2);
    return funcs_detail::pollardPMinus1Odd(n, n < 0 ? -n : n);
}

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

// The two widths the program computes in.
#define KALMORA_FUNCS_FOR(T)                                                                       \
    template T nwd<T>(T, T);                                                                       \
    template T mulmod<T>(T, T, T);                                                                 \
    template T exp<T>(T, T, T);                                                                    \
    template std::optional<T> odwr<T>(T, T);                                                       \
    template bool prime<T>(T);                                                                     \
    template std::optional<double> fermat<T>(T, size_t, std::function<void(unsigned long)>);       \
    template T JacobiNS::pot<T>(T, T);                                                             \
    template T JacobiNS::Jacobi<T>(T, T);                                                          \
    template bool solStra<T>(T, size_t);                                                           \
    template T pollard_func<T>(T, T);                                                              \
    template std::optional<std::pair<T, T>> pollard<T>(T);                                         \
    template std::optional<std::pair<T, T>> pollard1<T>(T);                                        \
    template std::optional<T> shanks2<T>(T, T, T);

KALMORA_FUNCS_FOR(int)
KALMORA_FUNCS_FOR(long long)

#undef KALMORA_FUNCS_FOR

const std::array<unsigned int, 256> crc32_table =
    funcs_detail::crc32Table(std::make_index_sequence<256>());

namespace {

const QString plainAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");

bool isLatinCapital(QChar c)
{
    return c.unicode() >= u'A' && c.unicode() <= u'Z';
}

// The distinct letters A .. Z of the phrase in order of first appearance, then the letters
// of A .. Z that the phrase does not contain: always a permutation of A .. Z. A letter
// outside A .. Z must not take a place in the alphabet, or a message letter pushed out of
// it could not be deciphered back.
std::vector<QChar> letterSequence(const QString &upperPhrase)
{
    std::vector<QChar> letters;
    const auto append = [&letters](QChar c) {
        if (isLatinCapital(c) && std::find(letters.begin(), letters.end(), c) == letters.end())
            letters.push_back(c);
    };
    for (const QChar c : upperPhrase)
        append(c);
    for (const QChar c : plainAlphabet)
        append(c);
    return letters;
}

} // namespace

unsigned int crc32_rec(unsigned int crc, const char *s)
{
    for (; *s != '\0'; ++s) {
        const auto byte = static_cast<unsigned char>(*s);
        crc = (crc >> 8) ^ crc32_table[(crc ^ byte) & 0xFFu];
    }
    return crc;
}

unsigned int crc32(const char *s)
{
    if (*s == '\0')
        return 0;
    return ~crc32_rec(0xFFFFFFFFu, s);
}

QString phrase_alphabet(QString phrase, QChar letter)
{
    const std::vector<QChar> letters = letterSequence(phrase.toUpper());
    QString alphabet = plainAlphabet;
    const int start = alphabet.indexOf(letter.toUpper());
    if (start < 0)
        throw QStringLiteral("Invalid letter");
    for (int k = 0; k < 26; ++k)
        alphabet[(k + start) % 26] = letters[static_cast<size_t>(k)];
    return alphabet;
}

QString phrase_perform(QString message, QString phrase, QChar letter, bool cipher)
{
    const QString ciphalph = phrase_alphabet(phrase, letter);
    const QString &plainalph = plainAlphabet;
    const QString &src = cipher ? plainalph : ciphalph;
    const QString &dest = cipher ? ciphalph : plainalph;
    // Both alphabets are permutations of A .. Z: where each letter stands in src.
    std::array<int, 26> latinPosition{};
    for (int i = 0; i < 26; ++i)
        latinPosition[static_cast<size_t>(i)] = src.indexOf(plainalph[i]);
    message = message.toUpper();
    for (QChar &c : message) {
        if (isLatinCapital(c))
            c = dest[latinPosition[static_cast<size_t>(c.unicode() - u'A')]];
    }
    return message;
}
