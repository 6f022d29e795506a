// Small and scaled screens: the window starts within the available area and every page can
// be reached where the screen is smaller than the pages.

#include "childnamed.h"
#include "mainwindow.h"
#include "widgets/screenfit.h"

#include <QtTest>

#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

class TestScreenFit : public QObject {
    Q_OBJECT

private slots:
    void sizeWithin_data();
    void sizeWithin();
    void builtWindowKeepsFormSize();
    void windowShrinksBelowSmallScreen();
    void crampedPagesScroll();
};

// Available areas of small screens, in the window system's pixels after scaling: a panel
// takes its strip, and a factor of 2 halves the screen.
void TestScreenFit::sizeWithin_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("expected");
    const QSize form(854, 598);
    QTest::newRow("1920x1080") << QRect(0, 0, 1920, 1050) << form;
    QTest::newRow("1024x600") << QRect(0, 0, 1024, 600) << form;
    QTest::newRow("1024x600, panel") << QRect(0, 27, 1024, 573) << QSize(854, 573);
    QTest::newRow("1024x600 at factor 2") << QRect(0, 0, 512, 300) << QSize(512, 300);
    QTest::newRow("1920x1080 at factor 2") << QRect(0, 0, 960, 540) << QSize(854, 540);
    QTest::newRow("side panel") << QRect(64, 0, 800, 600) << QSize(800, 598);
    QTest::newRow("exact fit") << QRect(0, 0, 854, 598) << form;
    QTest::newRow("empty area") << QRect() << QSize(1, 1);
}

void TestScreenFit::sizeWithin()
{
    QFETCH(QRect, available);
    QFETCH(QSize, expected);
    QCOMPARE(::sizeWithin(QSize(854, 598), available), expected);
}

void TestScreenFit::builtWindowKeepsFormSize()
{
    MainWindow window;
    QCOMPARE(window.size(), QSize(854, 598));
}

// The pages scroll instead of holding the window open: it can be made as small as the
// scaled 1024x600 screen, 512x300.
void TestScreenFit::windowShrinksBelowSmallScreen()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
    QVERIFY2(least.width() <= 512 && least.height() <= 300,
             qPrintable(QStringLiteral("%1x%2").arg(least.width()).arg(least.height())));
}

void TestScreenFit::crampedPagesScroll()
{
    MainWindow window;
    window.resize(400, 250);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabs = childNamed<QTabWidget>(&window, "tabWidget");
    auto *scroll = qobject_cast<QScrollArea *>(tabs->parentWidget()->parentWidget());
    QVERIFY(scroll);
    QCOMPARE(scroll->widget(), static_cast<QWidget *>(tabs));
    QTRY_VERIFY(scroll->verticalScrollBar()->maximum() > 0);
    QVERIFY(tabs->height() >= tabs->minimumSizeHint().height());
    QCOMPARE(window.centralWidget(), childNamed<QWidget>(&window, "centralwidget"));

    // Tab to a button below the fold scrolls it into view.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget *above = childNamed<QWidget>(&window, "odwrN");
    above->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), above);
    QCOMPARE(scroll->verticalScrollBar()->value(), 0);
    QTest::keyClick(above, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), childNamed<QWidget>(&window, "odwrGo"));
    QVERIFY(scroll->verticalScrollBar()->value() > 0);
}

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
