// SPDX-License-Identifier: GPL-3.0-or-later
// Modular arithmetic primitives: the written edge rules, brute force on small ranges
// and random operands over the whole spin-box range against 128-bit references.

#include "funcs.h"
#include "primesieve.h"
#include "reference.h"
#include "seed.h"

#include <QtTest>

#include <climits>
#include <random>
#include <vector>

namespace {

using reference::u128;

long long naiveGcd(long long a, long long b)
{
    a = a < 0 ? -a : a;
    b = b < 0 ? -b : b;
    for (long long d = std::max(a, b); d > 1; --d)
        if (a % d == 0 && b % d == 0)
            return d;
    return (a == 0 && b == 0) ? 0 : 1;
}

// The edge rules of the library's power on top of the plain modular power.
long long expectedExp(long long a, long long w, long long n)
{
    if (a == 0)
        return 0;
    if (w == 0)
        return 1;
    if (w == 1)
        return a;
    return static_cast<long long>(reference::powmod(a, w, n));
}

} // namespace

class TestArith : public QObject {
    Q_OBJECT

private slots:
    void nwdValues_data();
    void nwdValues();
    void nwdAgainstNaive();

    void mulmodValues_data();
    void mulmodValues();
    void mulmodRandomInt();
    void mulmodRandomLongLong();

    void expValues_data();
    void expValues();
    void expAgainstRepeatedMultiplication();
    void expRandomInt();
    void expRandomLongLong();

    void odwrValues_data();
    void odwrValues();
    void odwrSmallModuli();
    void odwrRandomInt();

    void primeValues_data();
    void primeValues();
    void primeAgainstSieve();
    void primeHardCases_data();
    void primeHardCases();
    void primeRandom64();
    void primeTopOfInt();
};

void TestArith::nwdValues_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("expected");
    QTest::newRow("12,18") << 12 << 18 << 6;
    QTest::newRow("18,12") << 18 << 12 << 6;
    QTest::newRow("7,0") << 7 << 0 << 7;
    QTest::newRow("0,7") << 0 << 7 << 7;
    QTest::newRow("0,0") << 0 << 0 << 0;
    QTest::newRow("-12,18") << -12 << 18 << 6;
    QTest::newRow("12,-18") << 12 << -18 << 6;
    QTest::newRow("coprime large") << 2000000000 << 1999999999 << 1;
    QTest::newRow("INT_MAX,INT_MAX") << INT_MAX << INT_MAX << INT_MAX;
}

void TestArith::nwdValues()
{
    QFETCH(int, n);
    QFETCH(int, m);
    QFETCH(int, expected);
    QCOMPARE(nwd(n, m), expected);
    QCOMPARE(nwd<long long>(n, m), static_cast<long long>(expected));
}

void TestArith::nwdAgainstNaive()
{
    for (int a = -40; a <= 40; ++a)
        for (int b = -40; b <= 40; ++b)
            QCOMPARE(static_cast<long long>(nwd(a, b)), naiveGcd(a, b));
}

void TestArith::mulmodValues_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("expected");
    QTest::newRow("7*8 mod 5") << 7 << 8 << 5 << 1;
    QTest::newRow("0*9 mod 4") << 0 << 9 << 4 << 0;
    QTest::newRow("0*0 mod 2") << 0 << 0 << 2 << 0;
    QTest::newRow("beyond 32 bits") << 1999999999 << 1999999998 << 1999999997 << 2;
    QTest::newRow("largest spin values") << 2000000000 << 2000000000 << 1999999999 << 1;
}

void TestArith::mulmodValues()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, n);
    QFETCH(int, expected);
    QCOMPARE(mulmod(a, b, n), expected);
}

void TestArith::mulmodRandomInt()
{
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<int> operand(0, 2000000000);
    std::uniform_int_distribution<int> modulus(2, 2000000000);
    for (int i = 0; i < 100000; ++i) {
        const int a = operand(gen), b = operand(gen), n = modulus(gen);
        const auto expected = static_cast<int>(static_cast<u128>(a) * b % n);
        QCOMPARE(mulmod(a, b, n), expected);
    }
}

void TestArith::mulmodRandomLongLong()
{
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<long long> modulus(2, LLONG_MAX);
    for (int i = 0; i < 100000; ++i) {
        const long long n = modulus(gen);
        std::uniform_int_distribution<long long> operand(0, n - 1);
        const long long a = operand(gen), b = operand(gen);
        const auto expected = static_cast<long long>(static_cast<u128>(a) * b % n);
        QCOMPARE(mulmod(a, b, n), expected);
    }
}

void TestArith::expValues_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("expected");
    QTest::newRow("0^0 is 0") << 0 << 0 << 5 << 0;
    QTest::newRow("0^7 is 0") << 0 << 7 << 5 << 0;
    QTest::newRow("3^0") << 3 << 0 << 5 << 1;
    QTest::newRow("5^0 mod 1 unreduced") << 5 << 0 << 1 << 1;
    QTest::newRow("3^1") << 3 << 1 << 5 << 3;
    QTest::newRow("7^1 unreduced") << 7 << 1 << 5 << 7;
    QTest::newRow("7^2") << 7 << 2 << 5 << 4;
    QTest::newRow("2^10 mod 1000") << 2 << 10 << 1000 << 24;
    QTest::newRow("3^5 mod 7") << 3 << 5 << 7 << 5;
    QTest::newRow("3^4 mod 1") << 3 << 4 << 1 << 0;
    QTest::newRow("46340^2 mod 46341") << 46340 << 2 << 46341 << 1;
    QTest::newRow("beyond 32 bits") << 1999999999 << 2000000000 << 1999999973 << 306796558;
    QTest::newRow("largest spin values") << 2000000000 << 2000000000 << 2000000000 << 0;
}

void TestArith::expValues()
{
    QFETCH(int, a);
    QFETCH(int, w);
    QFETCH(int, n);
    QFETCH(int, expected);
    QCOMPARE(exp(a, w, n), expected);
    QCOMPARE(exp<long long>(a, w, n), static_cast<long long>(expected));
}

void TestArith::expAgainstRepeatedMultiplication()
{
    for (int n = 1; n <= 30; ++n)
        for (int a = 0; a <= 40; ++a)
            for (int w = 0; w <= 24; ++w) {
                long long expected = 1;
                for (int k = 0; k < w; ++k)
                    expected = expected * a % n;
                if (a == 0)
                    expected = 0;
                else if (w == 0)
                    expected = 1;
                else if (w == 1)
                    expected = a;
                QCOMPARE(static_cast<long long>(exp(a, w, n)), expected);
            }
}

void TestArith::expRandomInt()
{
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<int> operand(0, 2000000000);
    std::uniform_int_distribution<int> modulus(2, 2000000000);
    for (int i = 0; i < 100000; ++i) {
        const int a = operand(gen), w = operand(gen), n = modulus(gen);
        QCOMPARE(static_cast<long long>(exp(a, w, n)), expectedExp(a, w, n));
    }
}

void TestArith::expRandomLongLong()
{
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<long long> modulus(2, LLONG_MAX);
    std::uniform_int_distribution<long long> exponent(0, LLONG_MAX);
    for (int i = 0; i < 20000; ++i) {
        const long long n = modulus(gen);
        const long long a = std::uniform_int_distribution<long long>(0, n - 1)(gen);
        const long long w = exponent(gen);
        QCOMPARE(exp(a, w, n), expectedExp(a, w, n));
    }
    // Base and modulus of the exhaustive logarithm search: both up to 2e9, base above n.
    std::uniform_int_distribution<long long> small(0, 2000000000);
    for (int i = 0; i < 20000; ++i) {
        const long long a = small(gen), w = small(gen), n = std::max(2LL, small(gen));
        QCOMPARE(exp(a, w, n), expectedExp(a, w, n));
    }
}

void TestArith::odwrValues_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("a");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("expected");
    QTest::newRow("3 mod 5") << 5 << 3 << true << 2;
    QTest::newRow("7 mod 5 (a > n)") << 5 << 7 << true << 3;
    QTest::newRow("15 mod 26") << 26 << 15 << true << 7;
    QTest::newRow("1 mod 7") << 7 << 1 << true << 1;
    QTest::newRow("1 mod 2") << 2 << 1 << true << 1;
    QTest::newRow("4 mod 6") << 6 << 4 << false << 0;
    QTest::newRow("5 mod 5") << 5 << 5 << false << 0;
    QTest::newRow("3 mod 2e9") << 2000000000 << 3 << true << 666666667;
    QTest::newRow("66535 mod 66537") << 66537 << 66535 << true << 33268;
    QTest::newRow("2 mod 2e9") << 2000000000 << 2 << false << 0;
}

void TestArith::odwrValues()
{
    QFETCH(int, n);
    QFETCH(int, a);
    QFETCH(bool, exists);
    QFETCH(int, expected);
    const std::optional<int> inverse = odwr(n, a);
    QCOMPARE(inverse.has_value(), exists);
    if (exists)
        QCOMPARE(*inverse, expected);
}

void TestArith::odwrSmallModuli()
{
    for (int n = 2; n <= 200; ++n)
        for (int a = 1; a <= 300; ++a) {
            const std::optional<int> inverse = odwr(n, a);
            QCOMPARE(inverse.has_value(), naiveGcd(n, a) == 1);
            if (inverse) {
                QVERIFY(*inverse >= 1 && *inverse <= n - 1);
                QCOMPARE(static_cast<long long>(a) * *inverse % n, 1LL);
            }
        }
}

void TestArith::odwrRandomInt()
{
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<int> operand(1, 2000000000);
    std::uniform_int_distribution<int> modulus(2, 2000000000);
    for (int i = 0; i < 100000; ++i) {
        const int a = operand(gen), n = modulus(gen);
        const std::optional<int> inverse = odwr(n, a);
        QCOMPARE(inverse.has_value(), std::gcd(a, n) == 1);
        if (inverse) {
            QVERIFY(*inverse >= 1 && *inverse <= n - 1);
            QCOMPARE(static_cast<long long>(static_cast<u128>(a) * *inverse % n), 1LL);
        }
    }
}

void TestArith::primeValues_data()
{
    QTest::addColumn<qlonglong>("n");
    QTest::addColumn<bool>("expected");
    for (long long n : {LLONG_MIN, -7LL, -2LL, -1LL, 0LL, 1LL, 4LL, 9LL, 25LL, 49LL,
                        999999999999999LL, 1000000000000000LL})
        QTest::addRow("%lld", n) << qlonglong(n) << false;
    for (long long n : {2LL, 3LL, 5LL, 7LL, 11LL, 1000000007LL, 2147483647LL, 999999999999989LL})
        QTest::addRow("%lld", n) << qlonglong(n) << true;
    // Squares of primes: the last candidate divisor tried is the root itself.
    QTest::newRow("prime square near 1e15") << qlonglong(31622743LL * 31622743LL) << false;
    QTest::newRow("LLONG_MAX") << qlonglong(LLONG_MAX) << false;
}

void TestArith::primeValues()
{
    QFETCH(qlonglong, n);
    QFETCH(bool, expected);
    QCOMPARE(prime<long long>(n), expected);
    if (n >= INT_MIN && n <= INT_MAX)
        QCOMPARE(prime(static_cast<int>(n)), expected);
}

void TestArith::primeAgainstSieve()
{
    const int limit = 1000000;
    const std::vector<bool> isPrime = sieve(limit);
    for (int n = 0; n < limit; ++n) {
        if (prime(n) != isPrime[n] || prime<long long>(n) != isPrime[n] ||
            reference::prime(n) != isPrime[n])
            QFAIL(qPrintable(QStringLiteral("prime(%1) is wrong").arg(n)));
    }
    // The largest int prime: the loop bound reaches the square root of INT_MAX.
    QVERIFY(prime(INT_MAX));
    QVERIFY(!prime(INT_MAX - 1));
}

// Numbers that fool weaker tests. A composite row names a factor, so the expectation does
// not rest on a primality test; a prime row is checked against the plain Miller-Rabin.
void TestArith::primeHardCases_data()
{
    QTest::addColumn<qlonglong>("n");
    QTest::addColumn<qlonglong>("factor"); // 0 for a prime
    const auto composite = [](const char *name, long long n, long long factor) {
        QTest::newRow(name) << qlonglong(n) << qlonglong(factor);
    };
    const auto primeRow = [](const char *name, long long n) {
        QTest::newRow(name) << qlonglong(n) << qlonglong(0);
    };
    composite("Carmichael 561", 561, 3);
    composite("Carmichael 41041", 41041, 7);
    composite("Carmichael 825265", 825265, 5);
    composite("Carmichael 321197185", 321197185, 5);
    composite("Carmichael 5394826801", 5394826801LL, 7);
    composite("Carmichael 232250619601", 232250619601LL, 7);
    composite("Carmichael 9746347772161", 9746347772161LL, 7);
    composite("strong pseudoprime 2047", 2047, 23);
    composite("strong pseudoprime 1373653", 1373653, 829);
    composite("strong pseudoprime 25326001", 25326001, 2251);
    composite("strong pseudoprime 3215031751", 3215031751LL, 151);
    composite("strong pseudoprime 2152302898747", 2152302898747LL, 6763);
    composite("strong pseudoprime 3474749660383", 3474749660383LL, 1303);
    composite("strong pseudoprime 341550071728321", 341550071728321LL, 10670053);
    composite("strong pseudoprime 3825123056546413051", 3825123056546413051LL, 149491);
    composite("square of 2^18 - 5", 262139LL * 262139LL, 262139);
    composite("square of 999999937", 999999937LL * 999999937LL, 999999937);
    composite("square of 3037000493", 3037000493LL * 3037000493LL, 3037000493LL);
    composite("close primes near 2^31", 2147483629LL * 2147483647LL, 2147483629);
    composite("close primes near 2^31.5", 3037000453LL * 3037000493LL, 3037000453LL);
    composite("close primes near 10^7.5", 31622743LL * 31622777LL, 31622743);
    composite("LLONG_MAX", LLONG_MAX, 7);
    composite("2^63 - 27", LLONG_MAX - 26, 773);
    primeRow("2^18 - 5", 262139);
    primeRow("2^18 + 3", 262147);
    primeRow("999999999989", 999999999989LL);
    primeRow("999999999999989", 999999999999989LL);
    primeRow("3037000493", 3037000493LL);
    primeRow("2^61 - 1", 2305843009213693951LL);
    primeRow("2^63 - 25, the largest prime below 2^63", LLONG_MAX - 24);
}

void TestArith::primeHardCases()
{
    QFETCH(qlonglong, n);
    QFETCH(qlonglong, factor);
    if (factor != 0)
        QVERIFY(factor > 1 && factor < n && n % factor == 0);
    else
        QVERIFY(reference::isPrime(static_cast<std::uint64_t>(n)));
    QCOMPARE(prime<long long>(n), factor == 0);
    QCOMPARE(prime<long long>(-n), false);
    if (n <= INT_MAX)
        QCOMPARE(prime(static_cast<int>(n)), factor == 0);
}

// Random numbers of every length up to 63 bits: trial division decides those it can
// finish quickly, the plain Miller-Rabin the rest.
void TestArith::primeRandom64()
{
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<int> bits(2, 63);
    for (int i = 0; i < 100000; ++i) {
        const int length = bits(gen);
        const auto n = static_cast<long long>(gen() >> (64 - length));
        const bool expected =
            length <= 32 ? reference::prime(n) : reference::isPrime(static_cast<std::uint64_t>(n));
        if (prime(n) != expected)
            QFAIL(qPrintable(QStringLiteral("prime(%1) is wrong").arg(n)));
    }
}

// The top of int, where a square of a candidate divisor no longer fits the type.
void TestArith::primeTopOfInt()
{
    for (int n = INT_MAX; n > INT_MAX - 20000; --n) {
        if (prime(n) != reference::prime(n))
            QFAIL(qPrintable(QStringLiteral("prime(%1) is wrong").arg(n)));
    }
    QCOMPARE(prime(INT_MIN), false);
}

QTEST_APPLESS_MAIN(TestArith)
#include "tst_arith.moc"
