// SPDX-License-Identifier: GPL-3.0-or-later
// The main window frame and the arithmetic page, driven through the real widgets.

#include "childnamed.h"
#include "mainwindow.h"
#include "modal.h"
#include "widgets/patternvalidator.h"

#include <QtTest>

#include <QAction>
#include <QGlyphRun>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextLayout>

#include <memory>

namespace {

// The order in which Tab visits the widgets of all pages.
QStringList focusChain()
{
    return QStringLiteral("tabWidget nwd1 nwd2 nwdGo mulmod1 mulmod2 mulmodN mulmodGo exp1 exp2 "
                          "expN expGo odwr odwrN odwrGo fermat solstra primeNumber primeTries "
                          "primeGo pollardRho pollardGo pollardP pollard1Go qs qsGo shanksA "
                          "shanksY shanksN shanksGo lognA lognY lognN lognGo lognResult "
                          "spinBox_11 spinBox_10 spinBox_12 pushButton_8")
        .split(QLatin1Char(' '));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void frame();
    void menu();
    void slotsInDeclarationOrder();
    void quitClosesWindow();
    void focusChainOfFirstPage();
    void focusChainAcrossPages();
    void progressBarHiddenAtStart();
    void digitsOnlyValidatorShared();

    void arithmeticLayout();
    void spinBoxRanges_data();
    void spinBoxRanges();
    void resultLabels();
    void multiplicationSignIsDrawn();
    void arithmeticResults_data();
    void arithmeticResults();
    void pressLeavesOtherResults();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return childNamed<T>(window.get(), name);
    }

    std::unique_ptr<MainWindow> window;
    testing_modal::Watchdog watchdog;
};

void TestMainWindow::init()
{
    window = std::make_unique<MainWindow>();
    watchdog.clear();
}

void TestMainWindow::cleanup()
{
    window.reset();
    QCOMPARE(watchdog.unexpected(), QStringList());
}

void TestMainWindow::frame()
{
    QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Kalmora - Laboratorium 1"));
    QCOMPARE(window->size(), QSize(854, 598));

    auto *tabs = child<QTabWidget>("tabWidget");
    QCOMPARE(window->centralWidget(), child<QWidget>("centralwidget"));
    const QStringList pages{QStringLiteral("tab"), QStringLiteral("tab_2"), QStringLiteral("tab_3"),
                            QStringLiteral("tab_4"), QStringLiteral("tab_5")};
    const QStringList titles{QStringLiteral("Różne"), QStringLiteral("Faktoryzacja i pierwszość"),
                             QStringLiteral("Logarytm dyskretny"), QStringLiteral("Szyfr frazowy"),
                             QStringLiteral("CRC32")};
    QCOMPARE(tabs->count(), 5);
    for (int i = 0; i < tabs->count(); ++i) {
        // Each page scrolls on its own under the tab bar.
        auto *scroll = qobject_cast<QScrollArea *>(tabs->widget(i));
        QVERIFY(scroll);
        QCOMPARE(scroll->widget()->objectName(), pages[i]);
        QCOMPARE(tabs->tabText(i), titles[i]);
    }
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(window->statusBar()->objectName(), QStringLiteral("statusbar"));
}

void TestMainWindow::menu()
{
    QMenuBar *bar = window->menuBar();
    QCOMPARE(bar->objectName(), QStringLiteral("menubar"));
    QCOMPARE(bar->actions().size(), 1);
    auto *menu = child<QMenu>("menuLab1");
    QCOMPARE(menu->title(), QStringLiteral("Menu"));
    QCOMPARE(bar->actions().first(), menu->menuAction());

    const QList<QAction *> entries = menu->actions();
    QCOMPARE(entries.size(), 4);
    QCOMPARE(entries[0]->objectName(), QStringLiteral("actionPrimeTable"));
    QCOMPARE(entries[0]->text(), QStringLiteral("Tablica liczb pierwszych"));
    QCOMPARE(entries[1]->objectName(), QStringLiteral("actionAbout"));
    QCOMPARE(entries[1]->text(), QStringLiteral("O programie"));
    QVERIFY(entries[2]->isSeparator());
    QCOMPARE(entries[3]->objectName(), QStringLiteral("actionZako_cz"));
    QCOMPARE(entries[3]->text(), QStringLiteral("Zakończ"));
    QCOMPARE(entries[3]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    for (int i : {0, 1})
        QVERIFY(entries[i]->shortcut().isEmpty());
}

void TestMainWindow::slotsInDeclarationOrder()
{
    const QMetaObject *meta = window->metaObject();
    QCOMPARE(meta->className(), "MainWindow");
    QStringList names;
    QStringList privateSlots;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.parameterCount(), 0);
        names << QString::fromLatin1(method.name());
        if (method.access() == QMetaMethod::Private)
            privateSlots << names.last();
        else
            QCOMPARE(method.access(), QMetaMethod::Public);
    }
    const QStringList expected{QStringLiteral("nwd"),           QStringLiteral("mulmod"),
                               QStringLiteral("odwr"),          QStringLiteral("exp"),
                               QStringLiteral("testPrime"),     QStringLiteral("pollardRho"),
                               QStringLiteral("pollard1"),      QStringLiteral("shanks"),
                               QStringLiteral("calculateLogN"), QStringLiteral("about"),
                               QStringLiteral("primeTable"),    QStringLiteral("calculateChecksum"),
                               QStringLiteral("lognstep")};
    QCOMPARE(names, expected);
    QCOMPARE(privateSlots, QStringList{QStringLiteral("lognstep")});
}

void TestMainWindow::quitClosesWindow()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    child<QAction>("actionZako_cz")->trigger();
    QVERIFY(!window->isVisible());
}

void TestMainWindow::focusChainOfFirstPage()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    const QStringList chain = focusChain().mid(0, 15); // up to the last widget of page 0
    child<QTabWidget>("tabWidget")->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (int i = 0; i < chain.size(); ++i) {
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused);
        // The tab widget hands its focus to its tab bar; name the widget the user sees.
        QWidget *owner = focused;
        while (owner->parentWidget() && owner->parentWidget()->focusProxy() == owner)
            owner = owner->parentWidget();
        visited << owner->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    QCOMPARE(visited, chain);
}

// The whole chain, read from the widgets' focus links (Tab skips the hidden pages).
void TestMainWindow::focusChainAcrossPages()
{
    const QStringList chain = focusChain();
    QStringList visited;
    QWidget *start = child<QWidget>("tabWidget");
    QWidget *widget = start;
    do {
        if (chain.contains(widget->objectName()) && !visited.contains(widget->objectName()))
            visited << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != start);
    QCOMPARE(visited, chain);
}

void TestMainWindow::progressBarHiddenAtStart()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    child<QTabWidget>("tabWidget")->setCurrentIndex(1);
    QVERIFY(!child<QWidget>("fermatPb")->isVisible());
    QVERIFY(child<QWidget>("fermatPb")->isHidden());
}

void TestMainWindow::digitsOnlyValidatorShared()
{
    const QValidator *validator = child<QLineEdit>("primeNumber")->validator();
    QVERIFY(validator);
    QCOMPARE(child<QLineEdit>("pollardRho")->validator(), validator);
    QCOMPARE(validator->parent(), window.get());
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // Qt 6 has no QRegExpValidator; the pattern lives in its successor.
    const auto *digits = qobject_cast<const QRegularExpressionValidator *>(validator);
    QVERIFY(digits);
    QCOMPARE(digits->regularExpression().pattern(), QStringLiteral("\\d{1,15}"));
#else
    const auto *digits = qobject_cast<const QRegExpValidator *>(validator);
    QVERIFY(digits);
    QCOMPARE(digits->regExp().pattern(), QStringLiteral("\\d{1,15}"));
#endif
    QVERIFY(!child<QLineEdit>("pollardP")->validator());
    QVERIFY(!child<QLineEdit>("qs")->validator());
}

void TestMainWindow::arithmeticLayout()
{
    auto *grid = child<QGridLayout>("gridLayout1");
    QCOMPARE(grid->parentWidget(), child<QWidget>("tab"));
    const struct {
        const char *box;
        int row, column;
        QString title;
    } boxes[] = {
        {"groupBox", 0, 0, QStringLiteral("NWD")},
        {"groupBox_2", 0, 1, QStringLiteral("Mnożenie w grupie modulo")},
        {"groupBox_3", 1, 0, QStringLiteral("Potęgowanie w grupie modulo n")},
        {"groupBox_4", 1, 1, QStringLiteral("Odwrotność w grupie modulo n")},
    };
    for (const auto &expected : boxes) {
        auto *box = child<QGroupBox>(expected.box);
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(grid->indexOf(box), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(row, expected.row);
        QCOMPARE(column, expected.column);
        QCOMPARE(box->title(), expected.title);
        QCOMPARE(box->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
    }
    QCOMPARE(child<QGroupBox>("groupBox")->toolTip(),
             QStringLiteral("Program liczy największy wspólny dzielnik dwóch liczb naturalnych"));
}

void TestMainWindow::spinBoxRanges_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("value");
    for (const char *name : {"nwd1", "nwd2", "odwr"})
        QTest::newRow(name) << QString::fromLatin1(name) << 1 << 1;
    for (const char *name : {"mulmodN", "expN", "odwrN"})
        QTest::newRow(name) << QString::fromLatin1(name) << 2 << 2;
    for (const char *name : {"mulmod1", "mulmod2", "exp1", "exp2"})
        QTest::newRow(name) << QString::fromLatin1(name) << 0 << 0;
}

void TestMainWindow::spinBoxRanges()
{
    QFETCH(QString, name);
    QFETCH(int, minimum);
    QFETCH(int, value);
    auto *spin = window->findChild<QSpinBox *>(name);
    QVERIFY(spin);
    QCOMPARE(spin->minimum(), minimum);
    QCOMPARE(spin->maximum(), 2000000000);
    QCOMPARE(spin->value(), value);
}

void TestMainWindow::resultLabels()
{
    for (const char *name : {"nwdResult", "mulmodResult", "odwrResult", "expResult"}) {
        auto *label = child<QLabel>(name);
        QVERIFY(label->text().isEmpty());
        QCOMPARE(label->font().family(), QStringLiteral("Nimbus Sans L"));
        QCOMPARE(label->font().pointSize(), 12);
        // By name: Qt 6 counts weights on the OpenType scale (normal is 400, not 50).
        QCOMPARE(int(label->font().weight()), int(QFont::Normal));
        QVERIFY(!label->font().italic());
        QCOMPARE(label->textFormat(), Qt::AutoText);
        QVERIFY(!label->wordWrap());
    }
}

// The results' font has no multiplication sign: it comes from a fallback font, and where
// none has it the sign would silently vanish from "n = p ⋅ q".
void TestMainWindow::multiplicationSignIsDrawn()
{
    for (const char *name : {"mulmodResult", "pollardRhoResult", "pollardPResult"}) {
        QTextLayout layout(QStringLiteral("21 ⋅ 47"), child<QLabel>(name)->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun &run : layout.glyphRuns())
            QVERIFY2(!run.glyphIndexes().contains(0), name);
    }
}

void TestMainWindow::arithmeticResults_data()
{
    QTest::addColumn<QString>("inputs"); // "spinBox=value,..." set before the click
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("expected");

    const QString nwd = QStringLiteral("nwdResult");
    QTest::newRow("nwd at start") << QString() << "nwdGo" << nwd << "NWD(1, 1) = 1";
    QTest::newRow("nwd 12 18") << "nwd1=12,nwd2=18"
                               << "nwdGo" << nwd << "NWD(12, 18) = 6";
    QTest::newRow("nwd 18 12") << "nwd1=18,nwd2=12"
                               << "nwdGo" << nwd << "NWD(18, 12) = 6";
    QTest::newRow("nwd largest") << "nwd1=2000000000,nwd2=1500000000"
                                 << "nwdGo" << nwd << "NWD(2000000000, 1500000000) = 500000000";

    const QString mul = QStringLiteral("mulmodResult");
    QTest::newRow("mulmod at start")
        << QString() << "mulmodGo" << mul << "<i>0</i> ⋅ <i>0</i> mod <i>2</i> = 0";
    QTest::newRow("mulmod 7 8 5") << "mulmod1=7,mulmod2=8,mulmodN=5"
                                  << "mulmodGo" << mul << "<i>7</i> ⋅ <i>8</i> mod <i>5</i> = 1";
    QTest::newRow("mulmod beyond 32 bits")
        << "mulmod1=1999999999,mulmod2=1999999998,mulmodN=1999999997"
        << "mulmodGo" << mul << "<i>1999999999</i> ⋅ <i>1999999998</i> mod <i>1999999997</i> = 2";

    const QString inv = QStringLiteral("odwrResult");
    const QString none = QStringLiteral("Odwrotność nie istnieje");
    QTest::newRow("odwr at start")
        << QString() << "odwrGo" << inv << "<i>1</i> <sup>-1</sup> mod <i>2</i> = 1";
    QTest::newRow("odwr 3 5") << "odwr=3,odwrN=5"
                              << "odwrGo" << inv << "<i>3</i> <sup>-1</sup> mod <i>5</i> = 2";
    QTest::newRow("odwr 7 5") << "odwr=7,odwrN=5"
                              << "odwrGo" << inv << "<i>7</i> <sup>-1</sup> mod <i>5</i> = 3";
    QTest::newRow("odwr 4 6") << "odwr=4,odwrN=6"
                              << "odwrGo" << inv << none;
    QTest::newRow("odwr 5 5") << "odwr=5,odwrN=5"
                              << "odwrGo" << inv << none;
    QTest::newRow("odwr 3 2e9") << "odwr=3,odwrN=2000000000"
                                << "odwrGo" << inv
                                << "<i>3</i> <sup>-1</sup> mod <i>2000000000</i> = 666666667";
    QTest::newRow("odwr 66535 66537")
        << "odwr=66535,odwrN=66537"
        << "odwrGo" << inv << "<i>66535</i> <sup>-1</sup> mod <i>66537</i> = 33268";

    const QString pow = QStringLiteral("expResult");
    QTest::newRow("exp at start") << QString() << "expGo" << pow
                                  << "<i>0</i><sup> <i>0</i></sup> mod <i>2</i> = 0";
    QTest::newRow("exp 3 0 5") << "exp1=3,exp2=0,expN=5"
                               << "expGo" << pow << "<i>3</i><sup> <i>0</i></sup> mod <i>5</i> = 1";
    QTest::newRow("exp 2 10 1000")
        << "exp1=2,exp2=10,expN=1000"
        << "expGo" << pow << "<i>2</i><sup> <i>10</i></sup> mod <i>1000</i> = 24";
    QTest::newRow("exp 7 2 5") << "exp1=7,exp2=2,expN=5"
                               << "expGo" << pow << "<i>7</i><sup> <i>2</i></sup> mod <i>5</i> = 4";
    QTest::newRow("exp 7 1 5 unreduced")
        << "exp1=7,exp2=1,expN=5"
        << "expGo" << pow << "<i>7</i><sup> <i>1</i></sup> mod <i>5</i> = 7";
    QTest::newRow("exp beyond 32 bits")
        << "exp1=1999999999,exp2=2000000000,expN=1999999973"
        << "expGo" << pow
        << "<i>1999999999</i><sup> <i>2000000000</i></sup> mod <i>1999999973</i> = 306796558";
}

void TestMainWindow::arithmeticResults()
{
    QFETCH(QString, inputs);
    QFETCH(QString, button);
    QFETCH(QString, result);
    QFETCH(QString, expected);

    for (const QString &assignment : inputs.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = assignment.split(QLatin1Char('='));
        auto *spin = window->findChild<QSpinBox *>(parts[0]);
        QVERIFY2(spin, qPrintable(parts[0]));
        spin->setValue(parts[1].toInt());
        QCOMPARE(spin->value(), parts[1].toInt());
    }
    QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
    QCOMPARE(window->findChild<QLabel *>(result)->text(), expected);
}

void TestMainWindow::pressLeavesOtherResults()
{
    const char *buttons[] = {"nwdGo", "mulmodGo", "odwrGo", "expGo"};
    const char *labels[] = {"nwdResult", "mulmodResult", "odwrResult", "expResult"};
    QStringList before;
    for (const char *label : labels)
        before << child<QLabel>(label)->text();
    for (int pressed = 0; pressed < 4; ++pressed) {
        QTest::mouseClick(child<QPushButton>(buttons[pressed]), Qt::LeftButton);
        for (int other = 0; other < 4; ++other) {
            const QString text = child<QLabel>(labels[other])->text();
            if (other == pressed)
                QVERIFY(!text.isEmpty());
            else
                QCOMPARE(text, before[other]);
        }
        before[pressed] = child<QLabel>(labels[pressed])->text();
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
