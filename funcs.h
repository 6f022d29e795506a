#ifndef FUNCS_H
#define FUNCS_H

#include <numeric>
#include <optional>
#include <type_traits>

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

// Deterministic trial division: true exactly when n is prime. Any n of T.
template <typename T>
bool prime(T n)
{
    if (n < 2)
        return false;
    if (n == 2 || n == 3 || n == 5)
        return true;
    if (n % 2 == 0 || n % 3 == 0)
        return false;
    // The square of a candidate near the square root of the largest T does not fit T.
    using U = std::make_unsigned_t<T>;
    for (T i = 3; static_cast<U>(i) * static_cast<U>(i) <= static_cast<U>(n);) {
        i += 2;
        if (n % i == 0)
            return false;
    }
    return true;
}

#endif // FUNCS_H
