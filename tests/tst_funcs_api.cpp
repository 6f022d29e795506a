// The library's headline values, one per function, as the pages call them.

#include "funcs.h"

#include <QtTest>

class TestFuncsApi : public QObject {
    Q_OBJECT

private slots:
    void headlineValues();
};

void TestFuncsApi::headlineValues()
{
    std::vector<unsigned long> calls;
    const std::optional<double> fermat5 =
        fermat(5LL, 10, [&calls](unsigned long i) { calls.push_back(i); });
    QCOMPARE(fermat5.value(), 0.9990234375);
    QCOMPARE(calls, (std::vector<unsigned long>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    QVERIFY(solStra(1000000007LL, 20));
    QVERIFY(!solStra(4LL, 1));
    QCOMPARE(JacobiNS::Jacobi(1001LL, 9907LL), -1LL);
    QCOMPARE(JacobiNS::pot(12LL, 4LL), -1LL);
    QCOMPARE(pollard_func(10LL, 7LL), 3LL);
    QCOMPARE(pollard(8051LL), std::make_optional(std::make_pair(97LL, 83LL)));
    QCOMPARE(pollard1(-14LL), std::make_optional(std::make_pair(2LL, -7LL)));
    QCOMPARE(shanks2(7, 6, 1), std::make_optional(2));
    QVERIFY_EXCEPTION_THROWN(shanks2(2, 0, 0), std::bad_optional_access);
    QCOMPARE(crc32_table[255], 0x2D02EF8Du);
    QCOMPARE(crc32("123456789"), 0xCBF43926u);
    QCOMPARE(phrase_alphabet(QString(), QLatin1Char('c')),
             QStringLiteral("YZABCDEFGHIJKLMNOPQRSTUVWX"));
    QCOMPARE(phrase_perform(QStringLiteral("Abc, 1!"), QString(), QLatin1Char('b'), true),
             QStringLiteral("ZAB, 1!"));
}

QTEST_APPLESS_MAIN(TestFuncsApi)
#include "tst_funcs_api.moc"
