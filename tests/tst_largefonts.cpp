// SPDX-License-Identifier: GPL-3.0-or-later
// Large fonts, as a low-vision student sets them (QT_FONT_DPI=144): the windows take the room
// their content needs where the screen has it, so no text or field is cut off, and the pages
// scroll where the screen is too small.

#include "childnamed.h"
#include "layout.h"
#include "mainwindow.h"
#include "primetable.h"
#include "widgets/screenfit.h"

#include <QtTest>

#include <QAbstractSpinBox>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

#include <memory>

namespace {

// The screen of the student's desk, and one too small for the pages at this font.
const QRect largeScreen(0, 0, 1600, 1000);
const QRect smallScreen(0, 0, 800, 480);

// The form's widgets, by their object names, and not the toolkit's parts inside them.
QList<QWidget *> formWidgets(const QWidget *root)
{
    QList<QWidget *> named;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        const QString name = widget->objectName();
        if (widget->isVisible() && !name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            named << widget;
    }
    return named;
}

// Whether a widget has less room than it needs to show itself whole.
bool cramped(const QWidget *widget)
{
    const QSize least = widget->minimumSizeHint().boundedTo(widget->maximumSize());
    if (widget->width() < least.width() || widget->height() < least.height())
        return true;
    const auto *label = qobject_cast<const QLabel *>(widget);
    if (label && label->wordWrap())
        return label->height() < label->heightForWidth(label->width());
    if (label && label->width() < label->sizeHint().width())
        return true;
    return false;
}

// The form's widgets of `root` that are cramped, or not wholly within `shown`'s rectangle.
QStringList cutOff(const QWidget *root, const QWidget *shown)
{
    QStringList names;
    for (const QWidget *widget : formWidgets(root)) {
        const QRect at(widget->mapTo(shown, QPoint(0, 0)), widget->size());
        if (cramped(widget) || !shown->rect().contains(at))
            names << widget->objectName();
    }
    return names;
}

QScrollArea *pageScroll(QTabWidget *tabs, int index)
{
    return qobject_cast<QScrollArea *>(tabs->widget(index));
}

} // namespace

class TestLargeFonts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyPageShownWhole();
    void tabTitlesShownWhole();
    void longResultsShownWhole_data();
    void longResultsShownWhole();
    void smallScreenScrollsPages();
    void primeWindowShownWhole();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return childNamed<T>(window.get(), name);
    }
    QTabWidget *tabs() const { return child<QTabWidget>("tabWidget"); }
    void showOn(const QRect &screen);

    std::unique_ptr<MainWindow> window;
};

void TestLargeFonts::initTestCase()
{
    QCOMPARE(qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY()), 144);
}

void TestLargeFonts::init()
{
    window = std::make_unique<MainWindow>();
}

void TestLargeFonts::cleanup()
{
    window.reset();
}

// Shown as the program starts on a screen of that size.
void TestLargeFonts::showOn(const QRect &screen)
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    growToContent(window.get(), screen);
    layOut();
}

void TestLargeFonts::everyPageShownWhole()
{
    showOn(largeScreen);
    QVERIFY(window->width() >= 854 && window->height() >= 598);
    QVERIFY(largeScreen.contains(window->frameGeometry()));
    for (int i = 0; i < tabs()->count(); ++i) {
        tabs()->setCurrentIndex(i);
        QScrollArea *scroll = pageScroll(tabs(), i);
        QTRY_COMPARE(scroll->widget()->size(), scroll->viewport()->size());
        QCOMPARE(scroll->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(scroll->verticalScrollBar()->maximum(), 0);
        QCOMPARE(cutOff(scroll->widget(), scroll->viewport()), QStringList());
    }
}

void TestLargeFonts::tabTitlesShownWhole()
{
    showOn(largeScreen);
    const QTabBar *bar = tabs()->tabBar();
    for (int i = 0; i < bar->count(); ++i)
        QVERIFY2(bar->rect().contains(bar->tabRect(i)), qPrintable(bar->tabText(i)));
}

// The longest results of each box. The result labels do not wrap (some do, and take the
// height their lines need): the window grows to show them.
void TestLargeFonts::longResultsShownWhole_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QByteArray>("fields");
    QTest::addColumn<QByteArray>("values");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("NWD") << 0 << QByteArray("nwd1 nwd2") << QByteArray("2000000000 1999999998")
                         << QByteArray("nwdGo") << QByteArray("nwdResult");
    QTest::newRow("product") << 0 << QByteArray("mulmod1 mulmod2 mulmodN")
                             << QByteArray("2000000000 2000000000 1999999999")
                             << QByteArray("mulmodGo") << QByteArray("mulmodResult");
    QTest::newRow("power") << 0 << QByteArray("exp1 exp2 expN")
                           << QByteArray("2000000000 2000000000 2000000000") << QByteArray("expGo")
                           << QByteArray("expResult");
    QTest::newRow("inverse") << 0 << QByteArray("odwr odwrN") << QByteArray("1999999998 1999999999")
                             << QByteArray("odwrGo") << QByteArray("odwrResult");
    QTest::newRow("Fermat") << 1 << QByteArray("primeNumber primeTries")
                            << QByteArray("999999999999989 20") << QByteArray("primeGo")
                            << QByteArray("primeResult");
    QTest::newRow("Pollard rho") << 1 << QByteArray("pollardRho") << QByteArray("999999999999999")
                                 << QByteArray("pollardGo") << QByteArray("pollardRhoResult");
    QTest::newRow("Pollard p-1") << 1 << QByteArray("pollardP") << QByteArray("999999999999999")
                                 << QByteArray("pollard1Go") << QByteArray("pollardPResult");
    QTest::newRow("Shanks") << 2 << QByteArray("shanksA shanksY shanksN")
                            << QByteArray("20000000 200000000 2000000000") << QByteArray("shanksGo")
                            << QByteArray("shanksResult");
}

void TestLargeFonts::longResultsShownWhole()
{
    QFETCH(int, page);
    QFETCH(QByteArray, fields);
    QFETCH(QByteArray, values);
    QFETCH(QByteArray, button);
    QFETCH(QByteArray, result);
    tabs()->setCurrentIndex(page);
    showOn(largeScreen);
    const QList<QByteArray> names = fields.split(' ');
    const QList<QByteArray> typed = values.split(' ');
    for (int i = 0; i < names.size(); ++i) {
        QWidget *field = child<QWidget>(names[i].constData());
        if (auto *spin = qobject_cast<QSpinBox *>(field))
            spin->setValue(typed[i].toInt());
        else
            qobject_cast<QLineEdit *>(field)->setText(QString::fromLatin1(typed[i]));
    }
    QTest::mouseClick(child<QWidget>(button.constData()), Qt::LeftButton);
    auto *label = child<QLabel>(result.constData());
    QVERIFY(!label->text().isEmpty());
    // The offscreen screen is smaller than this one: grown as on the student's screen.
    layOut();
    growToContent(window.get(), largeScreen);
    QScrollArea *scroll = pageScroll(tabs(), page);
    QTRY_COMPARE(cutOff(scroll->widget(), scroll->viewport()), QStringList());
    QVERIFY(largeScreen.contains(window->frameGeometry()));
}

// Where the screen cannot hold the pages, the window stays within it, each page keeps the
// room its widgets need and scrolls over all of it, under the tab bar.
void TestLargeFonts::smallScreenScrollsPages()
{
    window->resize(smallScreen.size() - QSize(8, 8)); // what the frame leaves of the screen
    showOn(smallScreen);
    QVERIFY(smallScreen.contains(window->frameGeometry()));
    bool scrolled = false;
    for (int i = 0; i < tabs()->count(); ++i) {
        tabs()->setCurrentIndex(i);
        QScrollArea *scroll = pageScroll(tabs(), i);
        layOut();
        const QWidget *page = scroll->widget();
        const QSize view = scroll->viewport()->size();
        QCOMPARE(scroll->horizontalScrollBar()->maximum(), qMax(0, page->width() - view.width()));
        QCOMPARE(scroll->verticalScrollBar()->maximum(), qMax(0, page->height() - view.height()));
        scrolled = scrolled || page->width() > view.width() || page->height() > view.height();
        for (const QWidget *widget : formWidgets(page))
            QVERIFY2(!cramped(widget), qPrintable(widget->objectName()));
        QVERIFY(tabs()->tabBar()->isVisible());
    }
    QVERIFY(scrolled);
}

void TestLargeFonts::primeWindowShownWhole()
{
    child<QAction>("actionPrimeTable")->trigger();
    PrimeTable *table = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *found = qobject_cast<PrimeTable *>(top))
            table = found;
    QVERIFY(table);
    QVERIFY(QTest::qWaitForWindowExposed(table));
    QVERIFY(table->width() >= 313 && table->height() >= 182);
    for (const char *name : {"min", "max"})
        childNamed<QLineEdit>(table, name)->setText(QStringLiteral("100000000000000"));
    layOut();
    QCOMPARE(cutOff(table, table), QStringList());
    for (const char *name : {"min", "max"}) {
        auto *field = childNamed<QLineEdit>(table, name);
        field->grab();
        QCOMPARE(field->cursorPositionAt(QPoint(1, field->height() / 2)), 0);
    }
}

int main(int argc, char *argv[])
{
    // Every point size half as large again, as a student who needs larger text sets it.
    qputenv("QT_FONT_DPI", "144");
    // Qt 6 would otherwise scale the whole window by 1.5, leaving the layout as it was.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    TestLargeFonts test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_largefonts.moc"
