// SPDX-License-Identifier: GPL-3.0-or-later
// Every result line of the pages in the words a screen reader says: the meaning of the
// formula kept, the messages as they are.

#include "spokenresult.h"

#include <QtTest>

class TestSpokenResult : public QObject {
    Q_OBJECT

private slots:
    void results_data();
    void results();
};

void TestSpokenResult::results_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("richText");
    QTest::addColumn<QString>("spoken");

    const auto row = [](const char *name, const QString &shown, bool rich, const char *spoken) {
        QTest::newRow(name) << shown << rich << QString::fromUtf8(spoken);
    };
    const QString gcd = QStringLiteral("NWD(%1, %2) = %3");
    const QString product = QStringLiteral("<i>%1</i> ⋅ <i>%2</i> mod <i>%3</i> = %4");
    const QString inverse = QStringLiteral("<i>%1</i> <sup>-1</sup> mod <i>%2</i> = %3");
    const QString power = QStringLiteral("<i>%1</i><sup> <i>%2</i></sup> mod <i>%3</i> = %4");
    const QString factors = QStringLiteral("%1 = %2 ⋅ %3");
    const QString logarithm = QStringLiteral("log<sub>%1</sub>%2 (mod <i>%3</i>) = %4");
    const QString checksum = QStringLiteral("hex=0x%1\tdec=%2");
    const QString probability = QStringLiteral("Liczba jest pierwsza z prawdopodobieństwem %1%");

    row("gcd", gcd.arg(12).arg(18).arg(6), false,
        "największy wspólny dzielnik liczb 12 i 18 równa się 6");
    row("gcd of the start values", gcd.arg(1).arg(1).arg(1), false,
        "największy wspólny dzielnik liczb 1 i 1 równa się 1");
    row("product", product.arg(7).arg(8).arg(5).arg(1), true, "7 razy 8 modulo 5 równa się 1");
    row("inverse", inverse.arg(3).arg(7).arg(5), true, "odwrotność 3 modulo 7 równa się 5");
    row("inverse of a wide base", inverse.arg(1999999999).arg(2000000000).arg(1999999999), true,
        "odwrotność 1999999999 modulo 2000000000 równa się 1999999999");
    row("no inverse", QStringLiteral("Odwrotność nie istnieje"), false, "Odwrotność nie istnieje");
    row("power", power.arg(3).arg(5).arg(7).arg(5), true, "3 do potęgi 5 modulo 7 równa się 5");
    row("power with exponent 1", power.arg(7).arg(1).arg(5).arg(7), true,
        "7 do potęgi 1 modulo 5 równa się 7");
    row("power with exponent 0", power.arg(3).arg(0).arg(2).arg(1), true,
        "3 do potęgi 0 modulo 2 równa się 1");

    row("Fermat, composite", QStringLiteral("Liczba jest złożona"), false, "Liczba jest złożona");
    row("Fermat, prime", probability.arg(QStringLiteral("99.90")), false,
        "Liczba jest pierwsza z prawdopodobieństwem 99.90 procent");
    row("Fermat, prime, Polish decimal comma", probability.arg(QStringLiteral("100,00")), false,
        "Liczba jest pierwsza z prawdopodobieństwem 100,00 procent");
    row("Solovay-Strassen, prime", QStringLiteral("Liczba jest prawdopodobnie pierwsza"), false,
        "Liczba jest prawdopodobnie pierwsza");
    row("rho, factors",
        factors.arg(QStringLiteral("8051"), QStringLiteral("97"), QStringLiteral("83")), true,
        "8051 równa się 97 razy 83");
    row("rho, typed with leading zeros",
        factors.arg(QStringLiteral("0015"), QStringLiteral("3"), QStringLiteral("5")), true,
        "0015 równa się 3 razy 5");
    row("p-1, typed markup stays text",
        factors.arg(QStringLiteral("&lt;sup&gt;2&lt;/sup&gt;"), QStringLiteral("2"),
                    QStringLiteral("0")),
        true, "<sup>2</sup> równa się 2 razy 0");
    row("p-1, negative",
        factors.arg(QStringLiteral("-14"), QStringLiteral("2"), QStringLiteral("-7")), true,
        "-14 równa się 2 razy -7");
    row("rho, prime", QStringLiteral("Liczba prawdopodobnie jest pierwsza"), false,
        "Liczba prawdopodobnie jest pierwsza");
    row("rho, failure", QStringLiteral("failure"), false, "failure");
    row("p-1, prime", QStringLiteral("Prawdopodobnie liczba pierwsza"), true,
        "Prawdopodobnie liczba pierwsza");

    row("Shanks", logarithm.arg(2).arg(3).arg(11).arg(8), true,
        "logarytm o podstawie 2 z 3 modulo 11 równa się 8");
    row("Shanks, not found", QStringLiteral("Nie znaleziono logarytmu"), false,
        "Nie znaleziono logarytmu");
    row("title of the logarithm page", QStringLiteral("x=log<sub>a</sub>y (mod <i>n</i>)"), true,
        "x równa się logarytm o podstawie a z y modulo n");

    row("CRC of 123456789", checksum.arg(QStringLiteral("CBF43926")).arg(3421780262u), false,
        "szesnastkowo C B F 4 3 9 2 6, dziesiętnie 3421780262");
    row("CRC of the empty text", checksum.arg(0).arg(0), false, "szesnastkowo 0, dziesiętnie 0");

    row("empty label", QString(), false, "");
    row("empty rich label", QString(), true, "");
}

void TestSpokenResult::results()
{
    QFETCH(QString, shown);
    QFETCH(bool, richText);
    QFETCH(QString, spoken);
    QCOMPARE(spokenResult(shown, richText), spoken);
}

QTEST_MAIN(TestSpokenResult)
#include "tst_spokenresult.moc"
