// SPDX-License-Identifier: GPL-3.0-or-later
// The discrete-logarithm page: Shanks' box and the stepwise exhaustive search.

#include "childnamed.h"
#include "funcs.h"
#include "mainwindow.h"
#include "modal.h"

#include <QtTest>

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

#include <memory>

namespace {
const QString notFound = QStringLiteral("Nie znaleziono logarytmu");
const QString findIdle = QStringLiteral("Znajdź logarytm");
const QString findStopped = QStringLiteral("Znajdz logarytm");

QStringList strings(std::initializer_list<const char *> items)
{
    QStringList list;
    for (const char *item : items)
        list << QString::fromUtf8(item);
    return list;
}

// Lets the event loop make several passes; a running 0 ms timer fires on each of them.
void passEventLoop()
{
    for (int pass = 0; pass < 10; ++pass)
        QCoreApplication::processEvents();
}
} // namespace

class TestLogPage : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startValues();
    void shanks_data();
    void shanks();
    void shanksSafePrime();
    void search_data();
    void search();
    void searchDisablesFieldsAndCountsOnButton();
    void stopAndRestart();
    void slicesOfTwenty_data();
    void slicesOfTwenty();
    void stopListsEveryMatchTested();
    void listStopsAtItsLimit_data();
    void listStopsAtItsLimit();
    void disabledLogBox();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return childNamed<T>(window.get(), name);
    }
    void setSearch(int a, int y, int n);
    QStringList listed() const;

    std::unique_ptr<MainWindow> window;
    testing_modal::Watchdog watchdog;
};

void TestLogPage::init()
{
    window = std::make_unique<MainWindow>();
    child<QTabWidget>("tabWidget")->setCurrentIndex(2);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    watchdog.clear();
}

void TestLogPage::cleanup()
{
    window.reset();
    QCOMPARE(watchdog.unexpected(), QStringList());
}

void TestLogPage::setSearch(int a, int y, int n)
{
    child<QSpinBox>("lognA")->setValue(a);
    child<QSpinBox>("lognY")->setValue(y);
    child<QSpinBox>("lognN")->setValue(n);
}

QStringList TestLogPage::listed() const
{
    QStringList items;
    auto *list = child<QListWidget>("lognResult");
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

void TestLogPage::startValues()
{
    const struct {
        const char *name;
        int minimum, maximum, value;
    } spins[] = {
        {"shanksA", 0, 20000000, 0}, {"shanksY", 0, 200000000, 0}, {"shanksN", 2, 2000000000, 2},
        {"lognA", 0, 2000000000, 0}, {"lognY", 0, 2000000000, 0},  {"lognN", 2, 2000000000, 2},
    };
    for (const auto &spin : spins) {
        auto *box = child<QSpinBox>(spin.name);
        QCOMPARE(box->minimum(), spin.minimum);
        QCOMPARE(box->maximum(), spin.maximum);
        QCOMPARE(box->value(), spin.value);
    }
    QCOMPARE(child<QPushButton>("shanksGo")->text(), findIdle);
    QCOMPARE(child<QPushButton>("lognGo")->text(), findIdle);
    QVERIFY(child<QLabel>("shanksResult")->text().isEmpty());
    QCOMPARE(child<QListWidget>("lognResult")->count(), 0);
    QCOMPARE(child<QLabel>("label_25")->text(),
             QStringLiteral("x=log<sub>a</sub>y (mod <i>n</i>)"));
}

void TestLogPage::shanks_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");
    const QString found = QStringLiteral("log<sub>%1</sub>%2 (mod <i>%3</i>) = %4");
    QTest::newRow("start values") << 0 << 0 << 2 << notFound;
    QTest::newRow("2 3 11") << 2 << 3 << 11 << found.arg(2).arg(3).arg(11).arg(8);
    QTest::newRow("5 8 23") << 5 << 8 << 23 << found.arg(5).arg(8).arg(23).arg(6);
    QTest::newRow("2 3 101") << 2 << 3 << 101 << found.arg(2).arg(3).arg(101).arg(69);
    QTest::newRow("largest baby step") << 6 << 1 << 7 << found.arg(6).arg(1).arg(7).arg(2);
    QTest::newRow("y above n") << 3 << 13 << 7 << found.arg(3).arg(13).arg(7).arg(3);
    QTest::newRow("outside the subgroup") << 2 << 3 << 7 << notFound;
    QTest::newRow("no inverse") << 2 << 4 << 6 << notFound;
}

void TestLogPage::shanks()
{
    QFETCH(int, a);
    QFETCH(int, y);
    QFETCH(int, n);
    QFETCH(QString, expected);
    child<QSpinBox>("shanksA")->setValue(a);
    child<QSpinBox>("shanksY")->setValue(y);
    child<QSpinBox>("shanksN")->setValue(n);
    QTest::mouseClick(child<QPushButton>("shanksGo"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("shanksResult")->text(), expected);
}

// The largest inputs: every product must be exact for the answer to be a logarithm.
void TestLogPage::shanksSafePrime()
{
    const int n = 1999998383, a = 2, y = 124999899;
    child<QSpinBox>("shanksA")->setValue(a);
    child<QSpinBox>("shanksY")->setValue(y);
    child<QSpinBox>("shanksN")->setValue(n);
    QTest::mouseClick(child<QPushButton>("shanksGo"), Qt::LeftButton);
    const QString text = child<QLabel>("shanksResult")->text();
    const QString prefix = QStringLiteral("log<sub>2</sub>124999899 (mod <i>1999998383</i>) = ");
    QVERIFY2(text.startsWith(prefix), qPrintable(text));
    bool ok = false;
    const long long x = text.mid(prefix.size()).toLongLong(&ok);
    QVERIFY(ok);
    QCOMPARE(exp<long long>(a, x, n), static_cast<long long>(y));
}

void TestLogPage::search_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("n");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("start values") << 0 << 0 << 2 << strings({"0", "1", "2"});
    QTest::newRow("order of 3 mod 7") << 3 << 1 << 7 << strings({"0", "6"});
    QTest::newRow("no exponent") << 2 << 3 << 7 << QStringList{};
    QTest::newRow("exponent 1 is unreduced") << 10 << 10 << 7 << strings({"1"});
    QTest::newRow("10 = 3 mod 7 not at 1") << 10 << 3 << 7 << strings({"7"});
    QStringList hundreds;
    for (int x = 0; x <= 1000; x += 100)
        hundreds << QString::number(x);
    QTest::newRow("all matches listed") << 3 << 1 << 1000 << hundreds;
}

void TestLogPage::search()
{
    QFETCH(int, a);
    QFETCH(int, y);
    QFETCH(int, n);
    QFETCH(QStringList, expected);
    setSearch(a, y, n);
    auto *go = child<QPushButton>("lognGo");
    QTest::mouseClick(go, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(go->text(), findIdle, 20000);
    QCOMPARE(listed(), expected);
    for (const char *field : {"lognA", "lognY", "lognN"})
        QVERIFY(child<QSpinBox>(field)->isEnabled());
}

void TestLogPage::searchDisablesFieldsAndCountsOnButton()
{
    setSearch(3, 1, 2000000000);
    auto *go = child<QPushButton>("lognGo");
    QTest::mouseClick(go, Qt::LeftButton);
    QCOMPARE(go->text(), QStringLiteral("Stop"));
    for (const char *field : {"lognA", "lognY", "lognN"})
        QVERIFY(!child<QSpinBox>(field)->isEnabled());
    QTRY_VERIFY(go->text().startsWith(QStringLiteral("Stop (")));
    // The button shows the next exponent to test, a multiple of the slice size.
    const int next = go->text().mid(6).chopped(1).toInt();
    QVERIFY(next >= 20 && next % 20 == 0);
    QTest::mouseClick(go, Qt::LeftButton);
}

void TestLogPage::stopAndRestart()
{
    setSearch(3, 1, 2000000000); // exponent 0 matches at once, the next match is far away
    auto *go = child<QPushButton>("lognGo");
    QTest::mouseClick(go, Qt::LeftButton);
    QTRY_VERIFY(go->text().startsWith(QStringLiteral("Stop (")));
    QTest::mouseClick(go, Qt::LeftButton);
    QCOMPARE(go->text(), findStopped);
    for (const char *field : {"lognA", "lognY", "lognN"})
        QVERIFY(child<QSpinBox>(field)->isEnabled());
    const QStringList partial = listed();
    QVERIFY(partial.startsWith(QStringLiteral("0")));
    // Stopped stays stopped: no further slice changes the list or the button.
    passEventLoop();
    QCOMPARE(go->text(), findStopped);
    QCOMPARE(listed(), partial);

    child<QListWidget>("lognResult")->addItem(QStringLiteral("stale"));
    QTest::mouseClick(go, Qt::LeftButton);
    QCOMPARE(go->text(), QStringLiteral("Stop"));
    QCOMPARE(child<QListWidget>("lognResult")->count(), 0); // cleared, restarted from 0
    QTRY_COMPARE(listed().value(0), QStringLiteral("0"));
    QTest::mouseClick(go, Qt::LeftButton);
    QCOMPARE(go->text(), findStopped);
}

void TestLogPage::slicesOfTwenty_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QStringList>("buttonAfterEachSlice");
    QTest::newRow("n = 2: one slice") << 2 << QStringList{QStringLiteral("Stop (3)"), findIdle};
    QTest::newRow("n = 21: two slices")
        << 21 << QStringList{QStringLiteral("Stop (20)"), QStringLiteral("Stop (22)"), findIdle};
    // Slices far quicker than a display frame: the text is exact after each of them.
    QStringList sixSlices;
    for (int next = 20; next <= 100; next += 20)
        sixSlices << QStringLiteral("Stop (%1)").arg(next);
    QTest::newRow("n = 100: six slices")
        << 100 << (sixSlices << QStringLiteral("Stop (101)") << findIdle);
}

// Runs the slices by hand before the event loop can deliver a timer tick, so each call
// is exactly one tick.
void TestLogPage::slicesOfTwenty()
{
    QFETCH(int, n);
    QFETCH(QStringList, buttonAfterEachSlice);
    setSearch(1, 1, n); // every exponent matches
    auto *go = child<QPushButton>("lognGo");
    QTest::mouseClick(go, Qt::LeftButton);
    QStringList seen;
    for (int tick = 0; tick < buttonAfterEachSlice.size(); ++tick) {
        QVERIFY(QMetaObject::invokeMethod(window.get(), "lognstep"));
        seen << go->text();
    }
    QCOMPARE(seen, buttonAfterEachSlice);
    QCOMPARE(child<QListWidget>("lognResult")->count(), n + 1);
    // Finished: the timer is stopped, so the list no longer grows.
    passEventLoop();
    QCOMPARE(child<QListWidget>("lognResult")->count(), n + 1);
}

// Matches wait for the next frame before they are listed; a stop lists all of them, and
// the button follows the layout again.
void TestLogPage::stopListsEveryMatchTested()
{
    setSearch(1, 1, 2000000000); // every exponent matches
    auto *go = child<QPushButton>("lognGo");
    QTest::mouseClick(go, Qt::LeftButton);
    for (int tick = 0; tick < 5; ++tick)
        QVERIFY(QMetaObject::invokeMethod(window.get(), "lognstep"));
    QCOMPARE(go->text(), QStringLiteral("Stop (100)"));
    QTest::mouseClick(go, Qt::LeftButton);
    QCOMPARE(go->text(), findStopped);
    QStringList tested;
    for (int x = 0; x < 100; ++x)
        tested << QString::number(x);
    QCOMPARE(listed(), tested);
    QCOMPARE(go->minimumSize(), QSize(0, 0));
    QCOMPARE(go->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

void TestLogPage::listStopsAtItsLimit_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QStringList first50;
    for (int x = 0; x < 50; ++x)
        first50 << QString::number(x);
    const QString full = QStringLiteral("Log n: lista pełna (pozycji: %1). Wyszukiwanie zatrzymano "
                                        "na wykładniku %2; dalszych wykładników nie wypisano.");
    QTest::newRow("every exponent matches")
        << 1 << 1 << 1000 << 50 << first50 << findStopped << full.arg(50).arg(50);
    QStringList hundreds;
    for (int x = 0; x <= 400; x += 100)
        hundreds << QString::number(x);
    QTest::newRow("stops at the first match beyond")
        << 3 << 1 << 1000 << 5 << hundreds << findStopped << full.arg(5).arg(500);
    QTest::newRow("as many matches as places")
        << 0 << 0 << 2 << 3 << strings({"0", "1", "2"}) << findIdle << QString();
}

void TestLogPage::listStopsAtItsLimit()
{
    QFETCH(int, a);
    QFETCH(int, y);
    QFETCH(int, n);
    QFETCH(int, limit);
    QFETCH(QStringList, expected);
    QFETCH(QString, button);
    QFETCH(QString, message);
    window->setLogNListLimit(limit);
    setSearch(a, y, n);
    auto *go = child<QPushButton>("lognGo");
    QTest::mouseClick(go, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!go->text().startsWith(QStringLiteral("Stop")), 20000);
    QCOMPARE(go->text(), button);
    QCOMPARE(listed(), expected);
    auto *status = child<QStatusBar>("statusbar");
    QCOMPARE(status->currentMessage(), message);
    for (const char *field : {"lognA", "lognY", "lognN"})
        QVERIFY(child<QSpinBox>(field)->isEnabled());
    // The work stays until the next search, which starts without the message.
    passEventLoop();
    QCOMPARE(listed(), expected);
    QTest::mouseClick(go, Qt::LeftButton);
    QVERIFY(status->currentMessage().isEmpty());
    QTest::mouseClick(go, Qt::LeftButton);
}

void TestLogPage::disabledLogBox()
{
    auto *box = child<QGroupBox>("groupBox_12");
    QCOMPARE(box->title(), QStringLiteral("Log"));
    QVERIFY(!box->isEnabled());
    auto *button = child<QPushButton>("pushButton_8");
    QVERIFY(!button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(child<QLabel>("label_35")->text().isEmpty());
    for (const char *spin : {"spinBox_11", "spinBox_10", "spinBox_12"})
        QCOMPARE(child<QSpinBox>(spin)->maximum(), 99);
}

QTEST_MAIN(TestLogPage)
#include "tst_logpage.moc"
