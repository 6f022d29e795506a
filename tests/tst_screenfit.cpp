// SPDX-License-Identifier: GPL-3.0-or-later
// Small and scaled screens: the window starts within the available area and every page can
// be reached where the screen is smaller than the pages.

#include "childnamed.h"
#include "layout.h"
#include "mainwindow.h"
#include "widgets/screenfit.h"

#include <QtTest>

#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>

// Qt 6 registers it itself.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
Q_DECLARE_METATYPE(QMargins)
#endif

class TestScreenFit : public QObject {
    Q_OBJECT

private slots:
    void sizeWithin_data();
    void sizeWithin();
    void clientGeometryWithin_data();
    void clientGeometryWithin();
    void builtWindowKeepsFormSize();
    void usualFontKeepsFormSize();
    void windowShrinksBelowSmallScreen();
    void crampedPagesScroll();
    void tabBarStaysWhilePageScrolls();
    void windowGrowsForLongerResult();
    void hiddenPageGrowsWindowWhenShown();
    void showWithinScreenKeepsFittingWindow();
};

namespace {

// The point size of the desktops' usual font, for as long as it lives.
class UsualFont {
public:
    UsualFont()
        : font(QApplication::font())
    {
        QFont usual = font;
        usual.setPointSize(9);
        QApplication::setFont(usual);
    }
    ~UsualFont() { QApplication::setFont(font); }

private:
    const QFont font;
};

QScrollArea *pageScroll(QTabWidget *tabs, int index)
{
    return qobject_cast<QScrollArea *>(tabs->widget(index));
}

// Whether `widget` lies wholly within the part of its scroll area that is in view.
bool inView(const QScrollArea *scroll, const QWidget *widget)
{
    const QWidget *viewport = scroll->viewport();
    const QRect shown(widget->mapTo(viewport, QPoint(0, 0)), widget->size());
    return viewport->rect().contains(shown);
}

} // namespace

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

// Client rectangles against available areas and frames: the frame of an X11 window manager
// (1, 20, 1, 5 as openbox draws it) and the toolkit's own Wayland decoration (3, 30, 3, 3).
void TestScreenFit::clientGeometryWithin_data()
{
    QTest::addColumn<QRect>("client");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QRect>("expected");
    const QMargins openbox(1, 20, 1, 5);
    const QMargins decoration(3, 30, 3, 3);
    const QMargins none;
    const QRect large(0, 0, 1280, 1024);
    QTest::newRow("fits: left alone")
        << QRect(213, 220, 854, 598) << large << openbox << QRect(213, 220, 854, 598);
    QTest::newRow("800x480, X11 frame")
        << QRect(1, 20, 800, 480) << QRect(0, 0, 800, 480) << openbox << QRect(1, 20, 798, 455);
    QTest::newRow("800x480, Wayland decoration")
        << QRect(0, 0, 800, 480) << QRect(0, 0, 800, 480) << decoration << QRect(3, 30, 794, 447);
    QTest::newRow("fits exactly with its frame")
        << QRect(1, 20, 854, 598) << QRect(0, 0, 856, 623) << openbox << QRect(1, 20, 854, 598);
    QTest::newRow("one pixel too wide")
        << QRect(1, 20, 855, 598) << QRect(0, 0, 856, 623) << openbox << QRect(1, 20, 854, 598);
    QTest::newRow("frame off the right: moved left")
        << QRect(900, 100, 854, 598) << large << openbox << QRect(425, 100, 854, 598);
    QTest::newRow("frame above the top: moved down")
        << QRect(100, 5, 854, 598) << large << openbox << QRect(100, 20, 854, 598);
    QTest::newRow("frame off the bottom: moved up")
        << QRect(100, 500, 854, 598) << large << openbox << QRect(100, 421, 854, 598);
    QTest::newRow("panel at the top")
        << QRect(0, 0, 854, 598) << QRect(0, 32, 1024, 568) << openbox << QRect(1, 52, 854, 543);
    QTest::newRow("second screen to the right")
        << QRect(1300, 10, 854, 598) << QRect(1280, 0, 800, 600) << openbox
        << QRect(1281, 20, 798, 575);
    QTest::newRow("no frame, no window manager")
        << QRect(0, 0, 854, 598) << QRect(0, 0, 800, 480) << none << QRect(0, 0, 800, 480);
    QTest::newRow("area smaller than the frame: what is left, at least 1")
        << QRect(0, 0, 854, 598) << QRect(0, 0, 10, 20) << openbox << QRect(1, 20, 8, 1);
}

void TestScreenFit::clientGeometryWithin()
{
    QFETCH(QRect, client);
    QFETCH(QRect, available);
    QFETCH(QMargins, frame);
    QFETCH(QRect, expected);
    const QRect fitted = ::clientGeometryWithin(client, available, frame);
    QCOMPARE(fitted, expected);
    if (available.width() > frame.left() + frame.right() &&
        available.height() > frame.top() + frame.bottom())
        QVERIFY(available.contains(fitted.marginsAdded(frame)));
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

// At the usual desktop font the pages fit the form's size: starting on a large screen leaves
// the window as the form made it.
void TestScreenFit::usualFontKeepsFormSize()
{
    const UsualFont usual;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    growToContent(&window, QRect(0, 0, 1920, 1080));
    QCOMPARE(window.size(), QSize(854, 598));
}

void TestScreenFit::crampedPagesScroll()
{
    MainWindow window;
    window.resize(400, 250);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabs = childNamed<QTabWidget>(&window, "tabWidget");
    const char *pages[] = {"tab", "tab_2", "tab_3", "tab_4", "tab_5"};
    for (int i = 0; i < tabs->count(); ++i) {
        QScrollArea *scroll = pageScroll(tabs, i);
        QVERIFY(scroll);
        QCOMPARE(scroll->widget(), childNamed<QWidget>(&window, pages[i]));
    }
    QScrollArea *scroll = pageScroll(tabs, 0);
    QTRY_VERIFY(scroll->verticalScrollBar()->maximum() > 0);
    QWidget *page = scroll->widget();
    QVERIFY(page->height() >= page->minimumSizeHint().height());
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

// Only the page scrolls: the tab bar keeps its place above it, so another page is always a
// click away.
void TestScreenFit::tabBarStaysWhilePageScrolls()
{
    MainWindow window;
    window.resize(400, 250);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabs = childNamed<QTabWidget>(&window, "tabWidget");
    QTabBar *bar = tabs->tabBar();
    for (int i = 0; i < tabs->count(); ++i)
        QVERIFY(!pageScroll(tabs, i)->isAncestorOf(bar));
    QScrollArea *scroll = pageScroll(tabs, 0);
    QTRY_VERIFY(scroll->verticalScrollBar()->maximum() > 0);
    const QPoint barAt = bar->mapTo(&window, QPoint(0, 0));
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    QCOMPARE(bar->mapTo(&window, QPoint(0, 0)), barAt);
    QVERIFY(window.rect().contains(QRect(barAt, bar->size())));
    QVERIFY(bar->isVisible());
}

// A result wider than its page has room for makes the window grow to show it, as far as the
// screen allows. A window made smaller than its pages stays so, and its page scrolls.
void TestScreenFit::windowGrowsForLongerResult()
{
    const UsualFont usual;
    MainWindow window;
    window.resize(680, 500); // the pages fit, the longest power does not
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QScrollArea *scroll = pageScroll(childNamed<QTabWidget>(&window, "tabWidget"), 0);
    QTRY_VERIFY(inView(scroll, childNamed<QWidget>(&window, "groupBox_2")));
    auto *result = childNamed<QLabel>(&window, "expResult");
    const auto power = [&window](int value) {
        for (const char *name : {"exp1", "exp2", "expN"})
            childNamed<QSpinBox>(&window, name)->setValue(value);
        QTest::mouseClick(childNamed<QWidget>(&window, "expGo"), Qt::LeftButton);
    };
    power(2000000000);
    QTRY_VERIFY(window.width() > 680);
    QCOMPARE(window.height(), 500);
    QVERIFY(window.frameGeometry().width() <= window.screen()->availableGeometry().width());
    QTRY_VERIFY(inView(scroll, result));
    QVERIFY(result->width() >= result->sizeHint().width());

    power(5);
    layOut();
    QWidget *page = scroll->widget();
    const int narrower = page->minimumSizeHint().width();
    // Narrower than the page, whatever the widths of the fonts at hand.
    const QSize cramped(window.width() - scroll->viewport()->width() + narrower - 40, 500);
    window.resize(cramped);
    QTRY_VERIFY(scroll->horizontalScrollBar()->maximum() > 0);
    power(2000000000);
    layOut();
    QVERIFY(page->minimumSizeHint().width() > narrower);
    QTRY_COMPARE(page->width(), page->minimumSizeHint().width());
    QVERIFY(result->width() >= result->sizeHint().width());
    QCOMPARE(window.size(), cramped);
}

// A page that changed while another was shown makes the window grow when it comes into view.
void TestScreenFit::hiddenPageGrowsWindowWhenShown()
{
    const UsualFont usual;
    MainWindow window;
    window.resize(680, 500);
    auto *tabs = childNamed<QTabWidget>(&window, "tabWidget");
    tabs->setCurrentIndex(1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const char *name : {"exp1", "exp2", "expN"})
        childNamed<QSpinBox>(&window, name)->setValue(2000000000);
    window.exp();
    layOut();
    QCOMPARE(window.width(), 680);
    tabs->setCurrentIndex(0);
    QTRY_VERIFY(window.width() > 680);
    QTRY_VERIFY(inView(pageScroll(tabs, 0), childNamed<QLabel>(&window, "expResult")));
}

// Showing a window whose pages and frame fit the screen leaves it as it was; one too large
// for the screen is cut to what its frame leaves of the available area.
void TestScreenFit::showWithinScreenKeepsFittingWindow()
{
    const UsualFont usual;
    MainWindow fitting;
    fitting.resize(700, 500);
    showWithinScreen(&fitting);
    QVERIFY(QTest::qWaitForWindowExposed(&fitting));
    layOut();
    QCOMPARE(fitting.size(), QSize(700, 500));

    MainWindow large;
    const QRect available = large.screen()->availableGeometry();
    large.resize(available.size());
    showWithinScreen(&large);
    QVERIFY(QTest::qWaitForWindowExposed(&large));
    QTRY_VERIFY(available.contains(large.frameGeometry()));
}

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
