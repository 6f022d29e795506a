// SPDX-License-Identifier: GPL-3.0-or-later
// The modular power's path for 64-bit odd moduli against the recursive transcription, on
// edge and seeded random operands of every sign.

#include "funcs.h"
#include "reference.h"
#include "seed.h"

#include <QtTest>

#include <climits>

class TestPower : public QObject {
    Q_OBJECT

private slots:
    void edgeOperands();
    void randomOperands();
};

void TestPower::edgeOperands()
{
    const long long values[] = {LLONG_MIN,
                                LLONG_MIN + 1,
                                -999999999999989LL,
                                -3,
                                -2,
                                -1,
                                0,
                                1,
                                2,
                                3,
                                4,
                                5,
                                999999999999989LL,
                                1000000000000000LL,
                                LLONG_MAX - 1,
                                LLONG_MAX};
    const long long exponents[] = {0, 1, 2, 3, 4, 5, 62, 63, 999999999999988LL, LLONG_MAX};
    for (long long a : values)
        for (long long w : exponents)
            for (long long n : values) {
                if (n == 0)
                    continue;
                QVERIFY2(exp(a, w, n) == reference::exp(a, w, n),
                         qPrintable(QStringLiteral("%1^%2 mod %3").arg(a).arg(w).arg(n)));
            }
}

void TestPower::randomOperands()
{
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<long long> any(LLONG_MIN, LLONG_MAX);
    std::uniform_int_distribution<long long> exponent(0, LLONG_MAX);
    std::uniform_int_distribution<long long> small(-50, 50);
    for (int i = 0; i < 100000; ++i) {
        const long long a = i % 4 == 0 ? small(gen) : any(gen);
        const long long w = i % 5 == 0 ? small(gen) & 63 : exponent(gen);
        long long n = i % 3 == 0 ? small(gen) : any(gen);
        if (n == 0)
            n = 1;
        QVERIFY2(exp(a, w, n) == reference::exp(a, w, n),
                 qPrintable(QStringLiteral("%1^%2 mod %3").arg(a).arg(w).arg(n)));
    }
}

QTEST_APPLESS_MAIN(TestPower)
#include "tst_power.moc"
