// SPDX-License-Identifier: GPL-3.0-or-later
// The primality and factorisation page, driven through its widgets.

#include "childnamed.h"
#include "mainwindow.h"
#include "modal.h"

#include <QtTest>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextDocument>

#include <memory>

namespace {

const QString composite = QStringLiteral("Liczba jest złożona");
const QString fermatPrime = QStringLiteral("Liczba jest pierwsza z prawdopodobieństwem %1%");
const QString solStraPrime = QStringLiteral("Liczba jest prawdopodobnie pierwsza");
const QString rhoPrime = QStringLiteral("Liczba prawdopodobnie jest pierwsza");
const QString pMinus1Prime = QStringLiteral("Prawdopodobnie liczba pierwsza");

// Counts how often a widget is shown.
class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

} // namespace

class TestPrimalityPage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startState();
    void validatedFields_data();
    void validatedFields();
    void primalityTests_data();
    void primalityTests();
    void percentageFollowsLocale();
    void progressBarDuringFermat();
    void progressBarMaximumFollowsTriesAfterFirstChange();
    void solovayStrassenShowsNoProgress();
    void windowUsableDuringFermat();
    void rho_data();
    void rho();
    void pMinus1_data();
    void pMinus1();
    void pMinus1ShowsTypedTextAsTyped_data();
    void pMinus1ShowsTypedTextAsTyped();
    void pMinus1SplitsWideNumbers();
    void pMinus1DisablesItsBoxWhileComputing();
    void quadraticSieveIsDisabled();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return childNamed<T>(window.get(), name);
    }
    QString runTest(bool useFermat, const QString &number, int tries);
    void click(const char *button)
    {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }

    std::unique_ptr<MainWindow> window;
    testing_modal::Watchdog watchdog;
};

void TestPrimalityPage::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestPrimalityPage::init()
{
    window = std::make_unique<MainWindow>();
    child<QTabWidget>("tabWidget")->setCurrentIndex(1);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    watchdog.clear();
}

void TestPrimalityPage::cleanup()
{
    window.reset();
    QLocale::setDefault(QLocale::c());
    QCOMPARE(watchdog.unexpected(), QStringList());
}

QString TestPrimalityPage::runTest(bool useFermat, const QString &number, int tries)
{
    child<QRadioButton>(useFermat ? "fermat" : "solstra")->setChecked(true);
    child<QLineEdit>("primeNumber")->setText(number);
    child<QSpinBox>("primeTries")->setValue(tries);
    click("primeGo");
    return child<QLabel>("primeResult")->text();
}

void TestPrimalityPage::startState()
{
    QVERIFY(child<QRadioButton>("fermat")->isChecked());
    QVERIFY(!child<QRadioButton>("solstra")->isChecked());
    auto *tries = child<QSpinBox>("primeTries");
    QCOMPARE(tries->minimum(), 1);
    QCOMPARE(tries->maximum(), 200);
    QCOMPARE(tries->value(), 1);
    auto *bar = child<QProgressBar>("fermatPb");
    QVERIFY(!bar->isVisible());
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->maximum(), 100);
    QVERIFY(child<QGroupBox>("groupBox_8")->isEnabled());
    for (const char *label : {"primeResult", "pollardRhoResult", "pollardPResult", "qsResult"})
        QVERIFY(child<QLabel>(label)->text().isEmpty());
    QCOMPARE(child<QLabel>("primeResult")->font().pointSize(), 13);
    QCOMPARE(child<QLabel>("pollardRhoResult")->font().pointSize(), 12);
}

void TestPrimalityPage::validatedFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    for (const QString &field : {QStringLiteral("primeNumber"), QStringLiteral("pollardRho")}) {
        const QByteArray f = field.toLatin1();
        QTest::addRow("%s letter", f.constData()) << field << "12a3"
                                                  << "123";
        QTest::addRow("%s sign", f.constData()) << field << "-5"
                                                << "5";
        QTest::addRow("%s space", f.constData()) << field << "1 2"
                                                 << "12";
        QTest::addRow("%s 16 digits", f.constData()) << field << "1234567890123456"
                                                     << "123456789012345";
    }
    for (const QString &field : {QStringLiteral("pollardP"), QStringLiteral("qs")})
        QTest::addRow("%s free text", field.toLatin1().constData()) << field << "-1a %2"
                                                                    << "-1a %2";
}

void TestPrimalityPage::validatedFields()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    auto *edit = window->findChild<QLineEdit *>(field);
    edit->parentWidget()->setEnabled(true); // the quadratic sieve field is disabled with its box
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), kept);
}

void TestPrimalityPage::primalityTests_data()
{
    QTest::addColumn<bool>("useFermat");
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("tries");
    QTest::addColumn<QString>("expected");

    QTest::newRow("fermat prime 1 try")
        << true << "101" << 1 << fermatPrime.arg(QLatin1String("50.00"));
    QTest::newRow("fermat prime 2 tries")
        << true << "101" << 2 << fermatPrime.arg(QLatin1String("75.00"));
    QTest::newRow("fermat prime 10 tries")
        << true << "1000000007" << 10 << fermatPrime.arg(QLatin1String("99.90"));
    QTest::newRow("fermat prime 14 tries")
        << true << "101" << 14 << fermatPrime.arg(QLatin1String("99.99"));
    QTest::newRow("fermat prime 15 tries")
        << true << "101" << 15 << fermatPrime.arg(QLatin1String("100.00"));
    QTest::newRow("fermat 15-digit prime")
        << true << "999999999999989" << 200 << fermatPrime.arg(QLatin1String("100.00"));
    QTest::newRow("fermat composite 25") << true << "25" << 200 << composite;
    QTest::newRow("fermat 15-digit composite") << true << "999999999999999" << 200 << composite;
    QTest::newRow("fermat 15-digit semiprime") << true << "999998950017311" << 200 << composite;
    QTest::newRow("fermat 4") << true << "4" << 1 << composite;
    QTest::newRow("fermat 3") << true << "3" << 5 << fermatPrime.arg(QLatin1String("100.00"));
    QTest::newRow("fermat 2") << true << "2" << 1 << fermatPrime.arg(QLatin1String("100.00"));
    QTest::newRow("fermat 1") << true << "1" << 1 << composite;
    QTest::newRow("fermat 0") << true << "0" << 1 << composite;
    QTest::newRow("fermat empty") << true << "" << 1 << composite;
    QTest::newRow("fermat Arabic-Indic 17")
        << true << "١٧" << 15 << fermatPrime.arg(QLatin1String("100.00"));
    QTest::newRow("fermat fullwidth 25") << true << "２５" << 200 << composite;

    QTest::newRow("solstra prime") << false << "101" << 20 << solStraPrime;
    QTest::newRow("solstra 15-digit prime") << false << "999999999999989" << 200 << solStraPrime;
    QTest::newRow("solstra carmichael 561") << false << "561" << 200 << composite;
    QTest::newRow("solstra 15-digit composite") << false << "999999999999999" << 200 << composite;
    QTest::newRow("solstra 15-digit semiprime") << false << "999998950017311" << 200 << composite;
    QTest::newRow("solstra 4") << false << "4" << 1 << composite;
    QTest::newRow("solstra 3") << false << "3" << 5 << solStraPrime;
    QTest::newRow("solstra 2") << false << "2" << 5 << solStraPrime;
    QTest::newRow("solstra 1") << false << "1" << 5 << solStraPrime;
    QTest::newRow("solstra 0") << false << "0" << 5 << composite;
    QTest::newRow("solstra empty") << false << "" << 5 << composite;
    QTest::newRow("solstra Arabic-Indic 17") << false << "١٧" << 50 << solStraPrime;
    QTest::newRow("solstra Devanagari 561") << false << "५६१" << 200 << composite;
}

void TestPrimalityPage::primalityTests()
{
    QFETCH(bool, useFermat);
    QFETCH(QString, number);
    QFETCH(int, tries);
    QFETCH(QString, expected);
    QCOMPARE(runTest(useFermat, number, tries), expected);
    QVERIFY(!child<QProgressBar>("fermatPb")->isVisible());
}

void TestPrimalityPage::percentageFollowsLocale()
{
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    QCOMPARE(runTest(true, QStringLiteral("101"), 10), fermatPrime.arg(QStringLiteral("99,90")));
}

void TestPrimalityPage::progressBarDuringFermat()
{
    auto *bar = child<QProgressBar>("fermatPb");
    QList<int> seenValues;
    bool seenVisible = false;
    // The first pending timer runs inside the callback's event processing.
    QTimer::singleShot(0, this, [&] {
        seenVisible = bar->isVisible();
        seenValues << bar->value();
    });
    child<QSpinBox>("primeTries")->setValue(7);
    QCOMPARE(runTest(true, QStringLiteral("1000000007"), 7),
             fermatPrime.arg(QLatin1String("99.22")));
    QVERIFY(seenVisible);
    QCOMPARE(seenValues, QList<int>{1});
    QVERIFY(!bar->isVisible());
    QCOMPARE(bar->value(), 7);      // the last trial started stays shown until the next test
    QVERIFY(bar->updatesEnabled()); // painted once a frame while it ran, normally after
}

void TestPrimalityPage::progressBarMaximumFollowsTriesAfterFirstChange()
{
    auto *bar = child<QProgressBar>("fermatPb");
    runTest(true, QStringLiteral("101"), 1);
    QCOMPARE(bar->maximum(), 100); // the start value was set before the connection existed
    auto *tries = child<QSpinBox>("primeTries");
    tries->setValue(5);
    QCOMPARE(bar->maximum(), 5);
    tries->setValue(1);
    QCOMPARE(bar->maximum(), 1);
}

void TestPrimalityPage::solovayStrassenShowsNoProgress()
{
    auto *bar = child<QProgressBar>("fermatPb");
    ShowCounter counter;
    bar->installEventFilter(&counter);
    QCOMPARE(runTest(false, QStringLiteral("999999999999989"), 200), solStraPrime);
    QCOMPARE(counter.shows, 0);
    QCOMPARE(bar->value(), 0);
}

void TestPrimalityPage::windowUsableDuringFermat()
{
    // A button pressed while the test runs is served between two trials.
    QTimer::singleShot(0, this, [this] { child<QPushButton>("nwdGo")->click(); });
    runTest(true, QStringLiteral("999999999999989"), 200);
    QCOMPARE(child<QLabel>("nwdResult")->text(), QStringLiteral("NWD(1, 1) = 1"));
}

void TestPrimalityPage::rho_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("8051") << "8051"
                          << "8051 = 97 ⋅ 83";
    QTest::newRow("leading zeros") << "0015"
                                   << "0015 = 3 ⋅ 5";
    QTest::newRow("15") << "15"
                        << "15 = 3 ⋅ 5";
    QTest::newRow("4") << "4"
                       << "4 = 2 ⋅ 2";
    QTest::newRow("2") << "2"
                       << "2 = 2 ⋅ 1";
    QTest::newRow("10403") << "10403"
                           << "10403 = 101 ⋅ 103";
    QTest::newRow("15-digit semiprime") << "999998950017311"
                                        << "999998950017311 = 31622777 ⋅ 31622743";
    QTest::newRow("15-digit balanced") << "999998990000099"
                                       << "999998990000099 = 99999989 ⋅ 9999991";
    QTest::newRow("101") << "101" << rhoPrime;
    QTest::newRow("21, cycle closes first") << "21" << rhoPrime;
    QTest::newRow("25, cycle closes first") << "25" << rhoPrime;
    QTest::newRow("1") << "1" << rhoPrime;
    QTest::newRow("0") << "0" << rhoPrime;
    QTest::newRow("empty") << "" << rhoPrime;
    QTest::newRow("15-digit prime") << "999999999999989" << rhoPrime;
    QTest::newRow("Arabic-Indic 15") << "١٥"
                                     << "١٥ = 3 ⋅ 5";
    QTest::newRow("fullwidth 8051") << "８０５１"
                                    << "８０５１ = 97 ⋅ 83";
}

void TestPrimalityPage::rho()
{
    QFETCH(QString, number);
    QFETCH(QString, expected);
    child<QLineEdit>("pollardRho")->setText(number);
    click("pollardGo");
    QCOMPARE(child<QLabel>("pollardRhoResult")->text(), expected);
}

void TestPrimalityPage::pMinus1_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("10") << "10"
                        << "10 = 2 ⋅ 5";
    QTest::newRow("letters give 0") << "abc"
                                    << "abc = 2 ⋅ 0";
    QTest::newRow("empty gives 0") << ""
                                   << " = 2 ⋅ 0";
    QTest::newRow("even negative") << "-14"
                                   << "-14 = 2 ⋅ -7";
    QTest::newRow("20 digits do not convert") << "12345678901234567890"
                                              << "12345678901234567890 = 2 ⋅ 0";
    QTest::newRow("smallest 64-bit") << "-9223372036854775808"
                                     << "-9223372036854775808 = 2 ⋅ -4611686018427387904";
    QTest::newRow("percent sign kept as typed") << "1%2"
                                                << "1%2 = 2 ⋅ 0";
    QTest::newRow("1") << "1" << pMinus1Prime;
    QTest::newRow("-1") << "-1" << pMinus1Prime;
    QTest::newRow("prime") << "1000000007" << pMinus1Prime;
    QTest::newRow("negative prime") << "-101" << pMinus1Prime;
    QTest::newRow("Arabic-Indic 10") << "١٠"
                                     << "١٠ = 2 ⋅ 5";
}

// Whatever is typed shows as typed: markup and entities in the field are text.
void TestPrimalityPage::pMinus1ShowsTypedTextAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("bold tags") << "<b>10</b>";
    QTest::newRow("ampersand") << "10 & 12";
    QTest::newRow("entity") << "&lt;10&gt;";
    QTest::newRow("line break tag") << "1<br>0";
}

void TestPrimalityPage::pMinus1ShowsTypedTextAsTyped()
{
    QFETCH(QString, typed);
    child<QLineEdit>("pollardP")->setText(typed);
    click("pollard1Go");
    auto *result = child<QLabel>("pollardPResult");
    QTextDocument shown;
    if (result->textFormat() == Qt::RichText ||
        (result->textFormat() == Qt::AutoText && Qt::mightBeRichText(result->text())))
        shown.setHtml(result->text());
    else
        shown.setPlainText(result->text());
    QCOMPARE(shown.toPlainText(), typed + QStringLiteral(" = 2 ⋅ 0"));
}

void TestPrimalityPage::pMinus1()
{
    QFETCH(QString, number);
    QFETCH(QString, expected);
    child<QLineEdit>("pollardP")->setText(number);
    click("pollard1Go");
    QCOMPARE(child<QLabel>("pollardPResult")->text(), expected);
    QVERIFY(child<QGroupBox>("groupBox_8")->isEnabled());
}

// The method is randomised: any answer is either a true split or the not-found text.
void TestPrimalityPage::pMinus1SplitsWideNumbers()
{
    const QRegularExpression pair(QStringLiteral("^(.*) = (-?\\d+) ⋅ (-?\\d+)$"));
    for (const char *number : {"9223372036854775807", "999998950017311", "-15", "-999999999999999",
                               "1000000016000000063"}) {
        child<QLineEdit>("pollardP")->setText(QLatin1String(number));
        click("pollard1Go");
        const QString text = child<QLabel>("pollardPResult")->text();
        if (text == pMinus1Prime)
            continue;
        const QRegularExpressionMatch match = pair.match(text);
        QVERIFY2(match.hasMatch(), qPrintable(text));
        QCOMPARE(match.captured(1), QLatin1String(number));
        const qlonglong n = match.captured(1).toLongLong();
        const qlonglong p = match.captured(2).toLongLong();
        const qlonglong q = match.captured(3).toLongLong();
        QVERIFY2(p > 1 && p < (n < 0 ? -n : n), qPrintable(text));
        QCOMPARE(p * q, n);
    }
}

void TestPrimalityPage::pMinus1DisablesItsBoxWhileComputing()
{
    bool enabledDuring = true;
    QString resultDuring = QStringLiteral("not seen");
    child<QLabel>("pollardPResult")->setText(QStringLiteral("old"));
    QTimer::singleShot(0, this, [&] {
        enabledDuring = child<QGroupBox>("groupBox_8")->isEnabled();
        resultDuring = child<QLabel>("pollardPResult")->text();
    });
    child<QLineEdit>("pollardP")->setText(QStringLiteral("10"));
    click("pollard1Go");
    QVERIFY(!enabledDuring);
    QCOMPARE(resultDuring, QString());
    QVERIFY(child<QGroupBox>("groupBox_8")->isEnabled());
}

void TestPrimalityPage::quadraticSieveIsDisabled()
{
    auto *box = child<QGroupBox>("groupBox_9");
    QCOMPARE(box->title(), QStringLiteral("Quadratic sieve"));
    QVERIFY(!box->isEnabled());
    QVERIFY(!child<QLineEdit>("qs")->isEnabled());
    QVERIFY(!child<QPushButton>("qsGo")->isEnabled());
    click("qsGo");
    QVERIFY(child<QLabel>("qsResult")->text().isEmpty());
}

QTEST_MAIN(TestPrimalityPage)
#include "tst_primalitypage.moc"
