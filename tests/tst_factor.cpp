// SPDX-License-Identifier: GPL-3.0-or-later
// Pollard's rho and p - 1: the written small cases, 15-digit primes, semiprimes and prime
// squares, rho against its plain transcription, and the p - 1 pairs over the whole 64-bit
// range.

#include "funcs.h"
#include "funcs_p.h" // the clamped prime power of the p - 1 trials
#include "reference.h"
#include "seed.h"

#include <QtTest>

#include <climits>

Q_DECLARE_METATYPE(reference::Factors)

namespace {

using reference::Factors;

Factors pairOf(long long d, long long cofactor)
{
    return std::make_pair(d, cofactor);
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

// A pair for an odd n: a proper divisor and its cofactor, multiplying back to n.
bool isProperSplit(const std::pair<long long, long long> &pair, long long n)
{
    const long long magnitude = n < 0 ? -n : n;
    return pair.first > 1 && pair.first < magnitude && magnitude % pair.first == 0 &&
           static_cast<reference::i128>(pair.first) * pair.second == n;
}

QString describe(long long n, const Factors &result)
{
    if (!result)
        return QStringLiteral("%1: empty").arg(n);
    return QStringLiteral("%1: (%2, %3)").arg(n).arg(result->first).arg(result->second);
}

} // namespace

class TestFactor : public QObject {
    Q_OBJECT

private slots:
    void rhoStep_data();
    void rhoStep();
    void rhoValues_data();
    void rhoValues();
    void rhoAgainstTranscriptionOnSmallNumbers();
    void rhoAgainstTranscriptionOnSemiprimes();
    void rhoAgainstTranscriptionOnLargeComposites();
    void rhoFindsNothingInPrimes();
    void rhoNegativeNumbersCloseTheirCycle();

    void pMinus1Values_data();
    void pMinus1Values();
    void pMinus1FindsNothingInPrimes();
    void pMinus1PairsMultiplyBack();
    void pMinus1SplitsSmoothNumbers_data();
    void pMinus1SplitsSmoothNumbers();
    void pMinus1NegativeOddNumbers();
    void primePowerIsClamped_data();
    void primePowerIsClamped();

    void extremeInputs();
};

void TestFactor::rhoStep_data()
{
    QTest::addColumn<qlonglong>("x");
    QTest::addColumn<qlonglong>("n");
    QTest::addColumn<qlonglong>("expected");
    QTest::newRow("2 mod 7") << 2LL << 7LL << 5LL;
    QTest::newRow("5 mod 21 is a fixed point") << 5LL << 21LL << 5LL;
    QTest::newRow("x mod 1") << 12345LL << 1LL << 0LL;
    // (10^15 - 1)^2 + 1 needs 100 bits.
    QTest::newRow("15 digits") << 999999999999999LL << 999999999999989LL << 101LL;
    // LLONG_MIN^2 = 2^126; 2^126 mod (2^63 - 1) = 1.
    QTest::newRow("LLONG_MIN mod LLONG_MAX") << qlonglong(LLONG_MIN) << qlonglong(LLONG_MAX) << 2LL;
    QTest::newRow("LLONG_MAX mod LLONG_MIN") << qlonglong(LLONG_MAX) << qlonglong(LLONG_MIN) << 2LL;
    QTest::newRow("LLONG_MAX mod 3") << qlonglong(LLONG_MAX) << 3LL << 2LL;
}

void TestFactor::rhoStep()
{
    QFETCH(qlonglong, x);
    QFETCH(qlonglong, n);
    QFETCH(qlonglong, expected);
    QCOMPARE(pollard_func<long long>(x, n), expected);
}

void TestFactor::rhoValues_data()
{
    QTest::addColumn<qlonglong>("n");
    QTest::addColumn<Factors>("expected");
    QTest::newRow("0") << 0LL << Factors();
    for (long long n : {1LL, 3LL, 7LL, 101LL, 21LL, 25LL, 341LL})
        QTest::addRow("%lld, cycle closes", n) << qlonglong(n) << Factors();
    QTest::newRow("2") << 2LL << pairOf(2, 1);
    QTest::newRow("4") << 4LL << pairOf(2, 2);
    QTest::newRow("-14") << -14LL << pairOf(2, -7);
    QTest::newRow("LLONG_MIN") << qlonglong(LLONG_MIN) << pairOf(2, LLONG_MIN / 2);
    QTest::newRow("9") << 9LL << pairOf(3, 3);
    QTest::newRow("15") << 15LL << pairOf(3, 5);
    QTest::newRow("49") << 49LL << pairOf(7, 7);
    QTest::newRow("91") << 91LL << pairOf(7, 13);
    QTest::newRow("121") << 121LL << pairOf(11, 11);
    QTest::newRow("561") << 561LL << pairOf(3, 187);
    QTest::newRow("8051") << 8051LL << pairOf(97, 83);
    QTest::newRow("10403") << 10403LL << pairOf(101, 103);
    QTest::newRow("999999999999999") << 999999999999999LL << pairOf(3, 333333333333333);
    QTest::newRow("999999999999997") << 999999999999997LL << pairOf(599, 1669449081803);
    QTest::newRow("15-digit prime") << 999999999999989LL << Factors();
    QTest::newRow("semiprime of 8 and 7 digits") << 999998990000099LL << pairOf(99999989, 9999991);
    QTest::newRow("prime square") << 999997874844049LL << pairOf(31622743, 31622743);
    QTest::newRow("prime square of 10000019") << 100000380000361LL << pairOf(10000019, 10000019);
    // Strong pseudoprimes to the first four and the first nine prime bases.
    QTest::newRow("3215031751") << 3215031751LL << pairOf(151, 21291601);
    QTest::newRow("3825123056546413051") << 3825123056546413051LL << pairOf(149491, 25587647795161);
    QTest::newRow("LLONG_MAX") << qlonglong(LLONG_MAX) << pairOf(7, 1317624576693539401);
    QTest::newRow("largest 63-bit prime") << 9223372036854775783LL << Factors();
    QTest::newRow("product of two 10-digit primes")
        << 1000000016000000063LL << pairOf(1000000007, 1000000009);
}

void TestFactor::rhoValues()
{
    QFETCH(qlonglong, n);
    QFETCH(Factors, expected);
    QCOMPARE(pollard<long long>(n), expected);
}

void TestFactor::rhoAgainstTranscriptionOnSmallNumbers()
{
    for (long long n = 0; n < 30000; ++n) {
        const Factors result = pollard(n);
        QVERIFY2(result == reference::pollard(n), qPrintable(describe(n, result)));
        if (result && n % 2 != 0)
            QVERIFY(isProperSplit(*result, n));
    }
}

void TestFactor::rhoAgainstTranscriptionOnSemiprimes()
{
    // Two factors of 7 or 8 digits, the slowest numbers for rho that the field admits.
    std::mt19937_64 gen(testSeed());
    for (int i = 0; i < 200; ++i) {
        const long long p = randomPrime(gen, 1000000, 99999999);
        const long long q = randomPrime(gen, 10000000, 999999999999999LL / p);
        const long long n = p * q;
        const Factors result = pollard(n);
        QVERIFY2(result == reference::pollard(n), qPrintable(describe(n, result)));
        // Now and then the sequence closes its cycle before it meets a factor, as it does
        // for 21 and 25; the transcription then finds none either.
        if (!result)
            continue;
        QVERIFY2(result->first == p || result->first == q, qPrintable(describe(n, result)));
        QCOMPARE(result->first * result->second, n);
    }
}

void TestFactor::rhoAgainstTranscriptionOnLargeComposites()
{
    // Odd composites with a small factor, of any size up to LLONG_MAX.
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<long long> cofactor(1, LLONG_MAX / 99991);
    std::uniform_int_distribution<long long> smallFactor(3, 99991);
    for (int i = 0; i < 2000; ++i) {
        const long long n = (smallFactor(gen) | 1) * (cofactor(gen) | 1);
        const Factors result = pollard(n);
        QVERIFY2(result == reference::pollard(n), qPrintable(describe(n, result)));
        if (result)
            QVERIFY(isProperSplit(*result, n));
    }
}

void TestFactor::rhoFindsNothingInPrimes()
{
    std::mt19937_64 gen(testSeed());
    for (int i = 0; i < 200; ++i) {
        const long long p = randomPrime(gen, 100000000000000LL, 999999999999999LL);
        QVERIFY2(!pollard(p), qPrintable(QString::number(p)));
    }
    for (int i = 0; i < 200; ++i) {
        const long long p = randomPrime(gen, 3, LLONG_MAX);
        QVERIFY2(!pollard(p), qPrintable(QString::number(p)));
    }
}

void TestFactor::rhoNegativeNumbersCloseTheirCycle()
{
    // With a negative n no divisor is below n: the transcription runs until the cycle
    // closes, and the answer is empty.
    for (long long n = -1; n > -3000; n -= 2) {
        QCOMPARE(reference::pollard(n), Factors());
        QCOMPARE(pollard(n), Factors());
    }
    QCOMPARE(pollard(-999999999999999LL), Factors());
    QCOMPARE(pollard(-LLONG_MAX), Factors());
}

void TestFactor::pMinus1Values_data()
{
    QTest::addColumn<qlonglong>("n");
    QTest::addColumn<Factors>("expected");
    QTest::newRow("0") << 0LL << pairOf(2, 0);
    QTest::newRow("2") << 2LL << pairOf(2, 1);
    QTest::newRow("10") << 10LL << pairOf(2, 5);
    QTest::newRow("-14") << -14LL << pairOf(2, -7);
    QTest::newRow("LLONG_MIN") << qlonglong(LLONG_MIN) << pairOf(2, LLONG_MIN / 2);
    QTest::newRow("LLONG_MAX - 1") << qlonglong(LLONG_MAX - 1) << pairOf(2, LLONG_MAX / 2);
    for (long long n : {1LL, -1LL, 3LL, -3LL, 5LL, 7LL, 1000000007LL, 999999999999989LL,
                        9223372036854775783LL, -999999999999989LL})
        QTest::addRow("%lld", n) << qlonglong(n) << Factors();
}

void TestFactor::pMinus1Values()
{
    QFETCH(qlonglong, n);
    QFETCH(Factors, expected);
    for (int round = 0; round < 10; ++round)
        QCOMPARE(pollard1<long long>(n), expected);
}

void TestFactor::pMinus1FindsNothingInPrimes()
{
    std::mt19937_64 gen(testSeed());
    for (int i = 0; i < 100; ++i) {
        const long long p = randomPrime(gen, 3, LLONG_MAX);
        QVERIFY2(!pollard1(p), qPrintable(QString::number(p)));
        QVERIFY2(!pollard1(-p), qPrintable(QString::number(-p)));
    }
}

void TestFactor::pMinus1PairsMultiplyBack()
{
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<long long> any(LLONG_MIN, LLONG_MAX);
    std::uniform_int_distribution<long long> fifteenDigits(-999999999999999LL, 999999999999999LL);
    for (int i = 0; i < 600; ++i) {
        const long long n = (i % 2 == 0 ? any(gen) : fifteenDigits(gen)) | 1;
        const Factors result = pollard1(n);
        if (result)
            QVERIFY2(isProperSplit(*result, n), qPrintable(describe(n, result)));
    }
    for (long long n : {LLONG_MAX, -LLONG_MAX, 999999999999999LL, 1000000016000000063LL})
        for (int round = 0; round < 20; ++round) {
            const Factors result = pollard1(n);
            if (result)
                QVERIFY2(isProperSplit(*result, n), qPrintable(describe(n, result)));
        }
}

void TestFactor::pMinus1SplitsSmoothNumbers_data()
{
    QTest::addColumn<qlonglong>("n");
    // 15 = 3 * 5: exponent 9 kills the order of every base modulo 5 or modulo 3 often.
    QTest::newRow("15") << 15LL;
    // p - 1 = 2 * 3 * 5 * 7 * ... small: 211 - 1 = 2 * 3 * 5 * 7, 2311 - 1 = 2 * 3 * 5 * 7 * 11.
    QTest::newRow("211 * 1000003") << 211LL * 1000003LL;
    QTest::newRow("-15") << -15LL;
}

void TestFactor::pMinus1SplitsSmoothNumbers()
{
    // Random bounds and bases: some of a hundred calls must split the number.
    QFETCH(qlonglong, n);
    int found = 0;
    for (int round = 0; round < 100; ++round) {
        const Factors result = pollard1<long long>(n);
        if (result) {
            QVERIFY2(isProperSplit(*result, n), qPrintable(describe(n, result)));
            ++found;
        }
    }
    QVERIFY(found > 0);
}

void TestFactor::pMinus1NegativeOddNumbers()
{
    // An odd negative number is factored through its absolute value, with the sign kept
    // on the cofactor.
    for (int round = 0; round < 200; ++round) {
        const Factors result = pollard1(-15LL);
        QVERIFY(!result || *result == pairOf(3, -5) || *result == pairOf(5, -3));
    }
}

void TestFactor::primePowerIsClamped_data()
{
    QTest::addColumn<qlonglong>("q");
    QTest::addColumn<qlonglong>("l");
    QTest::addColumn<qlonglong>("limit");
    QTest::addColumn<qlonglong>("expected");
    QTest::newRow("exact") << 3LL << 4LL << 81LL << 81LL;
    QTest::newRow("one too many") << 3LL << 5LL << 81LL << 81LL;
    QTest::newRow("q above limit") << 5LL << 1LL << 3LL << 1LL;
    QTest::newRow("l = 0") << 7LL << 0LL << 100LL << 1LL;
    QTest::newRow("3^39 below LLONG_MAX")
        << 3LL << 40LL << qlonglong(LLONG_MAX) << 4052555153018976267LL;
    QTest::newRow("999^6") << 999LL << 7LL << qlonglong(LLONG_MAX) << 994014980014994001LL;
    QTest::newRow("1001^6") << 1001LL << 9LL << qlonglong(LLONG_MAX) << 1006015020015006001LL;
}

void TestFactor::primePowerIsClamped()
{
    QFETCH(qlonglong, q);
    QFETCH(qlonglong, l);
    QFETCH(qlonglong, limit);
    QFETCH(qlonglong, expected);
    QCOMPARE(funcs_detail::powerNotAbove<long long>(q, l, limit), expected);
}

void TestFactor::extremeInputs()
{
    const long long extremes[] = {LLONG_MIN, LLONG_MAX, 0, 1, 3};
    for (long long n : extremes) {
        for (long long x : extremes)
            if (n != 0) {
                const long long next = pollard_func(x, n);
                QVERIFY(next >= 0 && (n == LLONG_MIN || next < std::abs(n)));
            }
        for (const Factors &result : {pollard(n), pollard1(n)})
            if (result)
                QVERIFY2(n % 2 == 0 ? result->first == 2 && result->second == n / 2
                                    : isProperSplit(*result, n),
                         qPrintable(describe(n, result)));
    }
}

QTEST_APPLESS_MAIN(TestFactor)
#include "tst_factor.moc"
