// SPDX-License-Identifier: GPL-3.0-or-later
// Baby-step giant-step: the written cases, the "largest baby step" rule against a brute
// force over every small input, and random inputs over the whole range of the page's
// spin boxes against the plain transcription and the defining congruence.

#include "funcs.h"
#include "reference.h"
#include "seed.h"

#include <QtTest>

#include <cmath>
#include <vector>

Q_DECLARE_METATYPE(std::optional<int>)

namespace {

using Result = std::optional<int>;

int babySteps(int n)
{
    return static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
}

// The answer for n >= 2 and alfa coprime to n, from the powers alone: giant step i
// reaches the exponents i*m .. i*m + m - 1, the first giant step compares beta itself
// (so it finds nothing when beta >= n), and within a step the largest exponent wins.
Result bruteForce(int n, int alfa, int beta)
{
    const int m = babySteps(n);
    long long power = 1 % n;
    Result found;
    for (int x = 0; x < m * m; ++x) {
        if (x % m == 0 && found)
            return found;
        const bool reachable = x >= m || beta < n;
        if (reachable && power == beta % n)
            found = x;
        power = power * alfa % n;
    }
    return found;
}

bool solves(int n, int alfa, int beta, int x)
{
    return reference::powmod(static_cast<std::uint64_t>(alfa), static_cast<std::uint64_t>(x),
                             static_cast<std::uint64_t>(n)) == static_cast<std::uint64_t>(beta % n);
}

} // namespace

class TestShanks : public QObject {
    Q_OBJECT

private slots:
    void values_data();
    void values();
    void noInverse_data();
    void noInverse();
    void bruteForceOnSmallModuli();
    void randomSpinBoxValues();
    void randomSolvableLogarithms();
};

void TestShanks::values_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("alfa");
    QTest::addColumn<int>("beta");
    QTest::addColumn<Result>("expected");
    QTest::newRow("worked example") << 11 << 2 << 3 << Result(8);
    QTest::newRow("23, 5, 8") << 23 << 5 << 8 << Result(6);
    QTest::newRow("101, 2, 3") << 101 << 2 << 3 << Result(69);
    QTest::newRow("10, 3, 7") << 10 << 3 << 7 << Result(3);
    QTest::newRow("13, 2, 1") << 13 << 2 << 1 << Result(0);
    QTest::newRow("largest baby step: 7, 6, 1") << 7 << 6 << 1 << Result(2);
    QTest::newRow("largest baby step: 7, 1, 1") << 7 << 1 << 1 << Result(2);
    QTest::newRow("largest baby step: 2, 1, 1") << 2 << 1 << 1 << Result(1);
    QTest::newRow("outside the subgroup") << 7 << 2 << 3 << Result();
    QTest::newRow("beta above n") << 7 << 3 << 13 << Result(3);
    QTest::newRow("alfa above n") << 7 << 10 << 3 << Result(1);
    QTest::newRow("safe prime") << 1999998383 << 2 << 124999899 << Result(999999187);
    QTest::newRow("largest spin values, coprime")
        << 1999999973 << 19999999 << 199999999 << Result(374391136);
    QTest::newRow("n = 2e9, not found") << 2000000000 << 19999999 << 199999999 << Result();
}

void TestShanks::values()
{
    QFETCH(int, n);
    QFETCH(int, alfa);
    QFETCH(int, beta);
    QFETCH(Result, expected);
    QCOMPARE(shanks2(n, alfa, beta), expected);
}

void TestShanks::noInverse_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("alfa");
    QTest::addColumn<int>("beta");
    QTest::newRow("start values of the page") << 2 << 0 << 0;
    QTest::newRow("6, 2, 4") << 6 << 2 << 4;
    QTest::newRow("alfa = n") << 13 << 13 << 1;
    QTest::newRow("largest spin values") << 2000000000 << 20000000 << 200000000;
}

void TestShanks::noInverse()
{
    QFETCH(int, n);
    QFETCH(int, alfa);
    QFETCH(int, beta);
    QVERIFY_EXCEPTION_THROWN(shanks2(n, alfa, beta), std::bad_optional_access);
}

void TestShanks::bruteForceOnSmallModuli()
{
    for (int n = 2; n <= 80; ++n)
        for (int alfa = 1; alfa <= n + 3; ++alfa) {
            if (std::gcd(alfa, n) != 1)
                continue;
            for (int beta = 0; beta <= n + 3; ++beta) {
                const Result result = shanks2(n, alfa, beta);
                QVERIFY2(result == bruteForce(n, alfa, beta),
                         qPrintable(QStringLiteral("%1, %2, %3").arg(n).arg(alfa).arg(beta)));
                if (result)
                    QVERIFY(solves(n, alfa, beta, *result));
            }
        }
}

void TestShanks::randomSpinBoxValues()
{
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<int> modulus(2, 2000000000);
    std::uniform_int_distribution<int> base(0, 20000000);
    std::uniform_int_distribution<int> value(0, 200000000);
    for (int i = 0; i < 300; ++i) {
        const int n = i % 2 == 0 ? modulus(gen) : modulus(gen) % 100000 + 2;
        const int alfa = base(gen);
        const int beta = value(gen);
        const QString inputs = QStringLiteral("%1, %2, %3").arg(n).arg(alfa).arg(beta);
        if (std::gcd(alfa, n) != 1) {
            QVERIFY_EXCEPTION_THROWN(shanks2(n, alfa, beta), std::bad_optional_access);
            continue;
        }
        const Result result = shanks2(n, alfa, beta);
        QVERIFY2(result == reference::shanksInArena(n, alfa, beta), qPrintable(inputs));
        if (result) {
            QVERIFY2(*result >= 0 && *result < babySteps(n) * babySteps(n), qPrintable(inputs));
            QVERIFY2(solves(n, alfa, beta, *result), qPrintable(inputs));
        }
    }
}

void TestShanks::randomSolvableLogarithms()
{
    // beta = alfa^x for a random x: a solution always exists and must be found.
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<int> modulus(2, 2000000000);
    std::uniform_int_distribution<int> base(1, 20000000);
    for (int i = 0; i < 300; ++i) {
        const int n = modulus(gen);
        const int alfa = base(gen);
        if (std::gcd(alfa, n) != 1)
            continue;
        const int x = std::uniform_int_distribution<int>(0, n - 1)(gen);
        const auto beta = static_cast<int>(reference::powmod(static_cast<std::uint64_t>(alfa),
                                                             static_cast<std::uint64_t>(x),
                                                             static_cast<std::uint64_t>(n)));
        const Result result = shanks2(n, alfa, beta);
        const QString inputs = QStringLiteral("%1, %2, %3").arg(n).arg(alfa).arg(beta);
        QVERIFY2(result.has_value(), qPrintable(inputs));
        QVERIFY2(solves(n, alfa, beta, *result), qPrintable(inputs));
        QVERIFY2(result == reference::shanksInArena(n, alfa, beta), qPrintable(inputs));
    }
}

QTEST_APPLESS_MAIN(TestShanks)
#include "tst_shanks.moc"
