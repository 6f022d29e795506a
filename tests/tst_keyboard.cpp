// SPDX-License-Identifier: GPL-3.0-or-later
// The window used from the keyboard: Return and Enter compute, F10 opens the menu, and the
// focus stays where the user left it.

#include "childnamed.h"
#include "mainwindow.h"
#include "modal.h"
#include "primetable.h"

#include <QtTest>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>

#include <memory>

class TestKeyboard : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void enterComputes_data();
    void enterComputes();
    void typedNumbersThenEnter();
    void heldEnterPressesOnce();
    void multiLineFieldKeepsEnter();
    void enterInRangeFieldGenerates();
    void enterInRangeFieldWithGenerateDisabled();
    void f10OpensMenu();
    void menuEntryChosenWithArrowsAndEnter();
    void focusReturnsAfterPMinusOne_data();
    void focusReturnsAfterPMinusOne();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return childNamed<T>(window.get(), name);
    }
    void showActive();

    std::unique_ptr<MainWindow> window;
    testing_modal::Watchdog watchdog;
};

void TestKeyboard::init()
{
    window = std::make_unique<MainWindow>();
    watchdog.clear();
}

void TestKeyboard::cleanup()
{
    window.reset();
    QCOMPARE(watchdog.unexpected(), QStringList());
}

void TestKeyboard::showActive()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

// The key goes to `source` (a button, or a field of a box); the text property of `probe`
// shows whether the box's button ran. Results that depend on random choices (the Fermat
// test, the order of the factors) are checked by their start only.
void TestKeyboard::enterComputes_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("probe");
    QTest::addColumn<QString>("expected");

    const int enter = Qt::Key_Enter;
    const int ret = Qt::Key_Return;
    const QString gcd = QStringLiteral("NWD(1, 1) = 1");
    QTest::newRow("nwd button") << 0 << "nwdGo" << ret << "nwdResult" << gcd;
    QTest::newRow("nwd field") << 0 << "nwd2" << ret << "nwdResult" << gcd;
    QTest::newRow("nwd keypad") << 0 << "nwd1" << enter << "nwdResult" << gcd;
    const QString product = QStringLiteral("<i>0</i> ⋅ <i>0</i> mod <i>2</i> = 0");
    QTest::newRow("mulmod button") << 0 << "mulmodGo" << ret << "mulmodResult" << product;
    QTest::newRow("mulmod field") << 0 << "mulmodN" << ret << "mulmodResult" << product;
    const QString power = QStringLiteral("<i>0</i><sup> <i>0</i></sup> mod <i>2</i> = 0");
    QTest::newRow("exp button") << 0 << "expGo" << ret << "expResult" << power;
    QTest::newRow("exp field") << 0 << "exp2" << enter << "expResult" << power;
    const QString inverse = QStringLiteral("<i>1</i> <sup>-1</sup> mod <i>2</i> = 1");
    QTest::newRow("odwr button") << 0 << "odwrGo" << ret << "odwrResult" << inverse;
    QTest::newRow("odwr field") << 0 << "odwr" << ret << "odwrResult" << inverse;
    const QString composite = QStringLiteral("Liczba jest ");
    QTest::newRow("prime button") << 1 << "primeGo" << ret << "primeResult" << composite;
    QTest::newRow("prime number") << 1 << "primeNumber" << ret << "primeResult" << composite;
    QTest::newRow("prime tries") << 1 << "primeTries" << enter << "primeResult" << composite;
    const QString fifteen = QStringLiteral("15 = ");
    QTest::newRow("rho button") << 1 << "pollardGo" << ret << "pollardRhoResult" << fifteen;
    QTest::newRow("rho field") << 1 << "pollardRho" << ret << "pollardRhoResult" << fifteen;
    // p - 1 is randomised; an even number is split at once, so the answer is certain.
    const QString ten = QStringLiteral("10 = 2 ⋅ 5");
    QTest::newRow("p-1 button") << 1 << "pollard1Go" << ret << "pollardPResult" << ten;
    QTest::newRow("p-1 field") << 1 << "pollardP" << enter << "pollardPResult" << ten;
    const QString none = QStringLiteral("Nie znaleziono logarytmu");
    QTest::newRow("shanks button") << 2 << "shanksGo" << ret << "shanksResult" << none;
    QTest::newRow("shanks field") << 2 << "shanksY" << ret << "shanksResult" << none;
    const QString searching = QStringLiteral("Stop");
    QTest::newRow("log n button") << 2 << "lognGo" << ret << "lognGo" << searching;
    QTest::newRow("log n field") << 2 << "lognN" << enter << "lognGo" << searching;
    const QString empty = QStringLiteral("hex=0x0\tdec=0");
    QTest::newRow("crc button") << 4 << "crcButton" << ret << "crcLabel" << empty;
}

void TestKeyboard::enterComputes()
{
    QFETCH(int, page);
    QFETCH(QString, source);
    QFETCH(int, key);
    QFETCH(QString, probe);
    QFETCH(QString, expected);

    child<QTabWidget>("tabWidget")->setCurrentIndex(page);
    showActive();
    child<QLineEdit>("primeNumber")->setText(QStringLiteral("15"));
    child<QLineEdit>("pollardRho")->setText(QStringLiteral("15"));
    child<QLineEdit>("pollardP")->setText(QStringLiteral("10"));
    QWidget *target = child<QWidget>(source.toLatin1().constData());
    target->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), target);

    QTest::keyClick(target, static_cast<Qt::Key>(key),
                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    const QObject *shows = child<QObject>(probe.toLatin1().constData());
    const QString shown = shows->property("text").toString();
    QVERIFY2(shown.startsWith(expected), qPrintable(shown));
}

// The student's way: 12, Tab, 18, Enter, without leaving the second field.
void TestKeyboard::typedNumbersThenEnter()
{
    showActive();
    auto *first = child<QSpinBox>("nwd1");
    first->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), first);
    QTest::keyClick(first, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(first, QStringLiteral("12"));
    QTest::keyClick(first, Qt::Key_Tab);
    QWidget *second = QApplication::focusWidget();
    QCOMPARE(second, child<QWidget>("nwd2"));
    QTest::keyClick(second, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(second, QStringLiteral("18"));
    QTest::keyClick(second, Qt::Key_Return);
    QCOMPARE(child<QLabel>("nwdResult")->text(), QStringLiteral("NWD(12, 18) = 6"));
}

void TestKeyboard::heldEnterPressesOnce()
{
    auto *button = child<QPushButton>("nwdGo");
    QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(button, &repeated);
    QCOMPARE(child<QLabel>("nwdResult")->text(), QString());
    QTest::keyClick(button, Qt::Key_Return);
    QCOMPARE(child<QLabel>("nwdResult")->text(), QStringLiteral("NWD(1, 1) = 1"));
}

void TestKeyboard::multiLineFieldKeepsEnter()
{
    child<QTabWidget>("tabWidget")->setCurrentIndex(4);
    showActive();
    auto *content = child<QPlainTextEdit>("crcContent");
    content->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(content, QStringLiteral("a"));
    QTest::keyClick(content, Qt::Key_Return);
    QTest::keyClicks(content, QStringLiteral("b"));
    QCOMPARE(content->toPlainText(), QStringLiteral("a\nb"));
    QCOMPARE(child<QLabel>("crcLabel")->text(), QString());

    auto *text = child<QTextEdit>("text");
    QTest::keyClicks(text, QStringLiteral("x"));
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(text->toPlainText(), QStringLiteral("x\n"));
}

void TestKeyboard::enterInRangeFieldGenerates()
{
    PrimeTable table;
    auto *max = childNamed<QLineEdit>(&table, "max");
    QTest::keyClicks(max, QStringLiteral("30"));
    QTest::keyClick(max, Qt::Key_Return);
    auto *list = childNamed<QListWidget>(&table, "list");
    QTRY_COMPARE(childNamed<QPushButton>(&table, "generate")->text(),
                 QStringLiteral("Generuj liczby"));
    QCOMPARE(list->count(), 10);
}

void TestKeyboard::enterInRangeFieldWithGenerateDisabled()
{
    PrimeTable table;
    auto *min = childNamed<QLineEdit>(&table, "min");
    QTest::keyClick(min, Qt::Key_Return); // "Do:" is empty, so "Generuj liczby" is off
    QCOMPARE(childNamed<QPushButton>(&table, "generate")->text(), QStringLiteral("Generuj liczby"));
    QCOMPARE(childNamed<QListWidget>(&table, "list")->count(), 0);
}

void TestKeyboard::f10OpensMenu()
{
    showActive();
    auto *menu = child<QMenu>("menuLab1");
    QTest::keyClick(window.get(), Qt::Key_F10);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->title(), QStringLiteral("Menu"));
    QCOMPARE(menu->activeAction(), child<QAction>("actionPrimeTable"));
    QTest::keyClick(menu, Qt::Key_Down);
    QCOMPARE(menu->activeAction(), child<QAction>("actionAbout"));
    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY(!menu->isVisible());
}

void TestKeyboard::menuEntryChosenWithArrowsAndEnter()
{
    showActive();
    auto *menu = child<QMenu>("menuLab1");
    QTest::keyClick(window.get(), Qt::Key_F10);
    QTRY_VERIFY(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_Down);
    QString title;
    testing_modal::onNextModal([&title](QWidget *about) {
        title = about->windowTitle();
        about->close();
    });
    QTest::keyClick(menu, Qt::Key_Return);
    QTRY_COMPARE(title, QStringLiteral("O programie"));
}

void TestKeyboard::focusReturnsAfterPMinusOne_data()
{
    QTest::addColumn<QString>("focused");
    QTest::newRow("field") << "pollardP";
    QTest::newRow("button") << "pollard1Go";
}

// The box is disabled while it computes, which moves the focus out of it.
void TestKeyboard::focusReturnsAfterPMinusOne()
{
    QFETCH(QString, focused);
    child<QTabWidget>("tabWidget")->setCurrentIndex(1);
    showActive();
    child<QLineEdit>("pollardP")->setText(QStringLiteral("10"));
    QWidget *start = child<QWidget>(focused.toLatin1().constData());
    start->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), start);
    QTest::keyClick(start, Qt::Key_Return);
    QVERIFY(child<QLabel>("pollardPResult")->text().startsWith(QStringLiteral("10 = ")));
    QCOMPARE(QApplication::focusWidget(), start);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
