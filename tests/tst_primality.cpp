// SPDX-License-Identifier: GPL-3.0-or-later
// Fermat and Solovay-Strassen tests and the Jacobi symbol: the answers below 4, exact
// probabilities, the progress callback, and seeded random primes and composites up to
// 10^15 checked against a deterministic Miller-Rabin test.

#include "funcs.h"
#include "reference.h"
#include "seed.h"

#include <QtTest>

#include <climits>
#include <cmath>
#include <vector>

namespace {

using Calls = std::vector<unsigned long>;

// Runs fermat and records the callback's arguments.
std::optional<double> fermatRecording(long long n, size_t k, Calls &calls)
{
    return fermat(n, k, [&calls](unsigned long i) { calls.push_back(i); });
}

Calls indices(unsigned long count)
{
    Calls result;
    for (unsigned long i = 0; i < count; ++i)
        result.push_back(i);
    return result;
}

long long randomPrime(std::mt19937_64 &gen, long long low, long long high)
{
    std::uniform_int_distribution<long long> pick(low, high);
    for (;;) {
        const long long candidate = pick(gen);
        if (reference::isPrime(static_cast<std::uint64_t>(candidate)))
            return candidate;
    }
}

long long randomOddComposite(std::mt19937_64 &gen, long long low, long long high)
{
    std::uniform_int_distribution<long long> pick(low, high);
    for (;;) {
        const long long candidate = pick(gen) | 1;
        if (!reference::isPrime(static_cast<std::uint64_t>(candidate)))
            return candidate;
    }
}

// (a/p) by Euler's criterion for an odd prime p: a^((p-1)/2) is 1, p - 1 or 0.
long long eulerCriterion(long long a, long long p)
{
    const long long residue = a % p < 0 ? a % p + p : a % p;
    const std::uint64_t r =
        reference::powmod(static_cast<std::uint64_t>(residue),
                          static_cast<std::uint64_t>((p - 1) / 2), static_cast<std::uint64_t>(p));
    return r == 0 ? 0 : r == 1 ? 1 : -1;
}

// (a/n) for odd n >= 3 as the product of Legendre symbols over the factorisation of n.
long long jacobiByFactors(long long a, long long n)
{
    long long result = 1;
    for (long long p = 3; n > 1; p += 2) {
        if (p * p > n)
            p = n;
        for (; n % p == 0; n /= p)
            result *= eulerCriterion(a, p);
    }
    return result;
}

} // namespace

class TestPrimality : public QObject {
    Q_OBJECT

private slots:
    void fermatFixedAnswers_data();
    void fermatFixedAnswers();
    void fermatProbabilityIsExact();
    void fermatCallbackStopsWithFirstFailure();
    void fermatAcceptsPrimes();
    void fermatRejectsOddComposites();

    void solStraFixedAnswers_data();
    void solStraFixedAnswers();
    void solStraAcceptsPrimes();
    void solStraRejectsOddComposites();
    void solStraRejectsCarmichaelNumbers_data();
    void solStraRejectsCarmichaelNumbers();

    void jacobiValues_data();
    void jacobiValues();
    void jacobiAgainstEulerCriterion();
    void jacobiAgainstFactorisation();
    void jacobiAgainstRecursion();
    void potSign_data();
    void potSign();

    void extremeInputs();
};

void TestPrimality::fermatFixedAnswers_data()
{
    QTest::addColumn<qlonglong>("n");
    QTest::addColumn<qulonglong>("k");
    QTest::addColumn<bool>("present");
    QTest::addColumn<double>("expected");
    QTest::addColumn<qulonglong>("callbacks");
    // Below 2: not prime, answered without drawing and without progress.
    for (long long n : {LLONG_MIN, -5LL, 0LL, 1LL})
        for (qulonglong k : {0ULL, 1ULL, 7ULL})
            QTest::addRow("n=%lld k=%llu", n, k) << qlonglong(n) << k << false << 0.0 << 0ULL;
    // 2 and 3 are certainly prime.
    for (long long n : {2LL, 3LL})
        for (qulonglong k : {0ULL, 1ULL, 200ULL})
            QTest::addRow("n=%lld k=%llu", n, k) << qlonglong(n) << k << true << 1.0 << 0ULL;
    QTest::newRow("no trial") << 1000000007LL << 0ULL << true << 0.0 << 0ULL;
    QTest::newRow("no trial on a composite") << 561LL << 0ULL << true << 0.0 << 0ULL;
    QTest::newRow("5, 1 trial") << 5LL << 1ULL << true << 0.5 << 1ULL;
    QTest::newRow("5, 2 trials") << 5LL << 2ULL << true << 0.75 << 2ULL;
    QTest::newRow("5, 10 trials") << 5LL << 10ULL << true << 0.9990234375 << 10ULL;
    QTest::newRow("5, 20 trials") << 5LL << 20ULL << true << 0.9999990463256836 << 20ULL;
    QTest::newRow("5, 54 trials") << 5LL << 54ULL << true << 1.0 << 54ULL;
    // 4: the only base is 3 and 3^3 mod 4 = 3. 6: bases 3, 4 share a factor, 5^5 mod 6 = 5.
    QTest::newRow("4") << 4LL << 5ULL << false << 0.0 << 1ULL;
    QTest::newRow("6") << 6LL << 5ULL << false << 0.0 << 1ULL;
    QTest::newRow("LLONG_MAX") << qlonglong(LLONG_MAX) << 3ULL << false << 0.0 << 1ULL;
    QTest::newRow("15-digit prime") << 999999999999989LL << 200ULL << true << 1.0 << 200ULL;
}

void TestPrimality::fermatFixedAnswers()
{
    QFETCH(qlonglong, n);
    QFETCH(qulonglong, k);
    QFETCH(bool, present);
    QFETCH(double, expected);
    QFETCH(qulonglong, callbacks);
    Calls calls;
    const std::optional<double> result = fermatRecording(n, k, calls);
    QCOMPARE(result.has_value(), present);
    if (present)
        QCOMPARE(*result, expected);
    QCOMPARE(calls, indices(callbacks));
    // An empty callback is allowed and changes nothing.
    QCOMPARE(fermat<long long>(n, k, nullptr).has_value(), present);
}

void TestPrimality::fermatProbabilityIsExact()
{
    for (size_t k = 0; k <= 80; ++k) {
        Calls calls;
        const std::optional<double> result = fermatRecording(1000000007LL, k, calls);
        QVERIFY(result.has_value());
        // 1 - 2^-k is exact in a double up to k = 53; from 54 on it rounds to 1.
        const double expected = k <= 53 ? 1.0 - std::ldexp(1.0, -static_cast<int>(k)) : 1.0;
        QCOMPARE(*result, expected);
        QCOMPARE(calls, indices(k));
    }
}

void TestPrimality::fermatCallbackStopsWithFirstFailure()
{
    // Every base from 3 to 9 shares a factor with 10 or has b^9 = b (mod 10): the first
    // trial decides, and no callback follows it.
    for (int round = 0; round < 20; ++round) {
        Calls calls;
        QVERIFY(!fermatRecording(10, 50, calls).has_value());
        QCOMPARE(calls, indices(1));
    }
}

void TestPrimality::fermatAcceptsPrimes()
{
    std::mt19937_64 gen(testSeed());
    for (long long p : {5LL, 7LL, 11LL, 13LL, 3037000493LL, 999999999999989LL})
        QVERIFY2(fermat<long long>(p, 30, nullptr).has_value(), qPrintable(QString::number(p)));
    for (int i = 0; i < 300; ++i) {
        const long long p = randomPrime(gen, 5, 1000000000000000LL);
        QVERIFY2(fermat<long long>(p, 30, nullptr).has_value(), qPrintable(QString::number(p)));
    }
}

void TestPrimality::fermatRejectsOddComposites()
{
    std::mt19937_64 gen(testSeed());
    for (int i = 0; i < 2000; ++i) {
        const long long n = randomOddComposite(gen, 9, 1000000000000000LL);
        QVERIFY2(!fermat<long long>(n, 30, nullptr), qPrintable(QString::number(n)));
    }
}

void TestPrimality::solStraFixedAnswers_data()
{
    QTest::addColumn<qlonglong>("n");
    QTest::addColumn<qulonglong>("k");
    QTest::addColumn<bool>("expected");
    for (qulonglong k : {0ULL, 1ULL, 40ULL}) {
        for (long long n : {1LL, 2LL, 3LL})
            QTest::addRow("n=%lld k=%llu", n, k) << qlonglong(n) << k << true;
        for (long long n : {LLONG_MIN, -7LL, -1LL, 0LL})
            QTest::addRow("n=%lld k=%llu", n, k) << qlonglong(n) << k << false;
    }
    for (long long n : {4LL, 9LL, 561LL, 999999999999999LL, LLONG_MAX})
        QTest::addRow("n=%lld k=0", n) << qlonglong(n) << 0ULL << true;
    // 4: a = 3, r = 3 = n - 1 passes Euler's criterion, but the symbol is 0.
    QTest::newRow("4, 1 trial") << 4LL << 1ULL << false;
    for (long long n : {6LL, 100LL, 1000000000000000LL, LLONG_MAX - 1})
        QTest::addRow("even %lld", n) << qlonglong(n) << 1ULL << false;
    QTest::newRow("5") << 5LL << 40ULL << true;
    QTest::newRow("7") << 7LL << 40ULL << true;
    QTest::newRow("15-digit prime") << 999999999999989LL << 200ULL << true;
    QTest::newRow("largest 63-bit prime") << 9223372036854775783LL << 40ULL << true;
    QTest::newRow("LLONG_MAX") << qlonglong(LLONG_MAX) << 40ULL << false;
}

void TestPrimality::solStraFixedAnswers()
{
    QFETCH(qlonglong, n);
    QFETCH(qulonglong, k);
    QFETCH(bool, expected);
    QCOMPARE(solStra<long long>(n, k), expected);
}

void TestPrimality::solStraAcceptsPrimes()
{
    std::mt19937_64 gen(testSeed());
    for (int i = 0; i < 300; ++i) {
        const long long p = randomPrime(gen, 5, 1000000000000000LL);
        QVERIFY2(solStra(p, 30), qPrintable(QString::number(p)));
    }
    for (int p = 5; p < 2000; p += 2)
        if (reference::isPrime(static_cast<std::uint64_t>(p)))
            QVERIFY2(solStra(p, 10), qPrintable(QString::number(p)));
}

void TestPrimality::solStraRejectsOddComposites()
{
    std::mt19937_64 gen(testSeed());
    for (int i = 0; i < 2000; ++i) {
        const long long n = randomOddComposite(gen, 9, 1000000000000000LL);
        QVERIFY2(!solStra(n, 30), qPrintable(QString::number(n)));
    }
}

void TestPrimality::solStraRejectsCarmichaelNumbers_data()
{
    QTest::addColumn<qlonglong>("n");
    for (long long n :
         {561LL, 1105LL, 1729LL, 2465LL, 41041LL, 959377262271049LL, 671047542038530801LL})
        QTest::addRow("%lld", n) << qlonglong(n);
}

void TestPrimality::solStraRejectsCarmichaelNumbers()
{
    QFETCH(qlonglong, n);
    // A Fermat liar for every coprime base, but at most half the bases pass Euler's test.
    for (int round = 0; round < 20; ++round)
        QVERIFY(!solStra<long long>(n, 40));
}

void TestPrimality::jacobiValues_data()
{
    QTest::addColumn<qlonglong>("a");
    QTest::addColumn<qlonglong>("n");
    QTest::addColumn<qlonglong>("expected");
    QTest::newRow("(2/7)") << 2LL << 7LL << 1LL;
    QTest::newRow("(3/7)") << 3LL << 7LL << -1LL;
    QTest::newRow("(5/21)") << 5LL << 21LL << 1LL;
    QTest::newRow("(8/21)") << 8LL << 21LL << -1LL;
    QTest::newRow("(7/15)") << 7LL << 15LL << -1LL;
    QTest::newRow("(1001/9907)") << 1001LL << 9907LL << -1LL;
    QTest::newRow("(6/9) common factor") << 6LL << 9LL << 0LL;
    QTest::newRow("(30/7) reduced first") << 30LL << 7LL << 1LL;
    QTest::newRow("(1/3)") << 1LL << 3LL << 1LL;
    QTest::newRow("(0/3)") << 0LL << 3LL << 0LL;
    QTest::newRow("(5/5)") << 5LL << 5LL << 0LL;
    QTest::newRow("(3/4) even modulus") << 3LL << 4LL << 0LL;
    QTest::newRow("(3/0) even modulus") << 3LL << 0LL << 0LL;
    QTest::newRow("(3/LLONG_MIN)") << 3LL << qlonglong(LLONG_MIN) << 0LL;
    QTest::newRow("(7/1) the empty product") << 7LL << 1LL << 1LL;
    QTest::newRow("(LLONG_MIN/1)") << qlonglong(LLONG_MIN) << 1LL << 1LL;
    QTest::newRow("(-1/3)") << -1LL << 3LL << -1LL;
    QTest::newRow("(-2/3)") << -2LL << 3LL << 1LL;
    // LLONG_MIN = -2^63 = 1 (mod 3); LLONG_MAX = 2^63 - 1 = 1 (mod 3).
    QTest::newRow("(LLONG_MIN/3)") << qlonglong(LLONG_MIN) << 3LL << 1LL;
    QTest::newRow("(LLONG_MAX/3)") << qlonglong(LLONG_MAX) << 3LL << 1LL;
    // LLONG_MAX = 7^2 * 73 * 127 * 337 * 92737 * 649657.
    QTest::newRow("(7/LLONG_MAX)") << 7LL << qlonglong(LLONG_MAX) << 0LL;
    QTest::newRow("(LLONG_MIN/LLONG_MAX)") << qlonglong(LLONG_MIN) << qlonglong(LLONG_MAX) << -1LL;
    QTest::newRow("(2/largest 63-bit prime)") << 2LL << 9223372036854775783LL << 1LL;
}

void TestPrimality::jacobiValues()
{
    QFETCH(qlonglong, a);
    QFETCH(qlonglong, n);
    QFETCH(qlonglong, expected);
    QCOMPARE(JacobiNS::Jacobi<long long>(a, n), expected);
    if (a >= INT_MIN && a <= INT_MAX && n >= INT_MIN && n <= INT_MAX)
        QCOMPARE(static_cast<long long>(JacobiNS::Jacobi<int>(int(a), int(n))), expected);
}

void TestPrimality::jacobiAgainstEulerCriterion()
{
    std::mt19937_64 gen(testSeed());
    for (int i = 0; i < 20000; ++i) {
        const long long p = randomPrime(gen, 3, LLONG_MAX);
        const long long a = std::uniform_int_distribution<long long>(1, LLONG_MAX)(gen);
        QCOMPARE(JacobiNS::Jacobi(a, p), eulerCriterion(a, p));
    }
}

void TestPrimality::jacobiAgainstFactorisation()
{
    for (long long n = 3; n < 400; n += 2)
        for (long long a = -2 * n; a <= 2 * n; ++a)
            QCOMPARE(JacobiNS::Jacobi(a, n), jacobiByFactors(a, n));
}

void TestPrimality::jacobiAgainstRecursion()
{
    // Any signs and sizes, odd and even moduli, in both widths.
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<long long> any(LLONG_MIN, LLONG_MAX);
    std::uniform_int_distribution<long long> small(-1000, 1000);
    std::uniform_int_distribution<int> anyInt(INT_MIN, INT_MAX);
    for (int i = 0; i < 100000; ++i) {
        const long long a = i % 3 == 0 ? small(gen) : any(gen);
        const long long n = i % 2 == 0 ? small(gen) : any(gen) | (i % 4 == 1 ? 1 : 0);
        QCOMPARE(JacobiNS::Jacobi(a, n), reference::jacobi(a, n));
        const int x = anyInt(gen), m = anyInt(gen) | 1;
        QCOMPARE(JacobiNS::Jacobi(x, m), reference::jacobi(x, m));
    }
}

void TestPrimality::potSign_data()
{
    QTest::addColumn<qlonglong>("x");
    QTest::addColumn<qlonglong>("mask");
    QTest::addColumn<qlonglong>("expected");
    QTest::newRow("bit 2 set") << 12LL << 4LL << -1LL;
    QTest::newRow("bit 2 clear") << 8LL << 4LL << 1LL;
    QTest::newRow("bit 3 set") << 8LL << 8LL << -1LL;
    QTest::newRow("zero") << 0LL << 8LL << 1LL;
    QTest::newRow("negative, bit 2 set") << -4LL << 4LL << -1LL;
    QTest::newRow("LLONG_MIN") << qlonglong(LLONG_MIN) << 8LL << 1LL;
    QTest::newRow("LLONG_MAX") << qlonglong(LLONG_MAX) << 8LL << -1LL;
}

void TestPrimality::potSign()
{
    QFETCH(qlonglong, x);
    QFETCH(qlonglong, mask);
    QFETCH(qlonglong, expected);
    QCOMPARE(JacobiNS::pot<long long>(x, mask), expected);
}

void TestPrimality::extremeInputs()
{
    // Every pair of the extremes: the answers stay in their ranges (and the sanitizer
    // build finds no overflow or reversed distribution on the way).
    const long long extremes[] = {LLONG_MIN, LLONG_MAX, 0, 1, 3};
    for (long long n : extremes) {
        const std::optional<double> probability = fermat<long long>(n, 3, nullptr);
        QVERIFY(!probability || (*probability >= 0.0 && *probability <= 1.0));
        QCOMPARE(solStra<long long>(n, 3), n == 1 || n == 3);
        for (long long a : extremes) {
            const long long symbol = JacobiNS::Jacobi(a, n);
            QVERIFY(symbol >= -1 && symbol <= 1);
            QCOMPARE(symbol, reference::jacobi(a, n));
            QVERIFY(std::abs(JacobiNS::pot(a, n)) == 1);
        }
    }
}

QTEST_APPLESS_MAIN(TestPrimality)
#include "tst_primality.moc"
