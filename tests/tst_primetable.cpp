// SPDX-License-Identifier: GPL-3.0-or-later
// The prime table window: its form, the timer-driven generation and the way the main
// window opens it.

#include "childnamed.h"
#include "mainwindow.h"
#include "modal.h"
#include "primesieve.h"
#include "primetable.h"
#include "rununtil.h"

#include <QtTest>

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSpacerItem>

#include <memory>

class TestPrimeTable : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void form();
    void widgetTexts_data();
    void widgetTexts();
    void listSettings();
    void rangeFieldsShowWholeNumbers();
    void focusOrder();
    void slotsInDeclarationOrder();

    void idleAtStart();
    void generateEnabledWhenBothFieldsFilled_data();
    void generateEnabledWhenBothFieldsFilled();
    void rangeFieldsRefuse_data();
    void rangeFieldsRefuse();

    void generatedRanges_data();
    void generatedRanges();
    void primesBelowOneMillion();
    void controlsWhileGenerating();
    void stopKeepsPrefixAndRestartBeginsAgain();
    void eventLoopTurnsWhileGenerating();
    void rowsShownWhileGenerating();
    void generationStopsAtListLimit_data();
    void generationStopsAtListLimit();

    void menuOpensOneWindow();
    void closingOnlyHides();
    void generationGoesOnWhileHidden();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return childNamed<T>(table.get(), name);
    }
    QPushButton *generateButton() const { return child<QPushButton>("generate"); }
    QStringList listTexts() const;
    void setRange(const QString &min, const QString &max);
    bool isGenerating() const { return generateButton()->text() == QLatin1String("Stop"); }
    bool generateRange(const QString &min, const QString &max, int timeoutMs = 60000);

    std::unique_ptr<PrimeTable> table;
    testing_modal::Watchdog watchdog;
};

namespace {

// Lets the event loop run until a 1 ms timer has fired `passes` times, so any other
// timer of the same interval has had as many chances to fire.
void letTimersRun(int passes)
{
    QTimer probe;
    QSignalSpy fired(&probe, &QTimer::timeout);
    probe.start(1);
    while (fired.count() < passes)
        QVERIFY(fired.wait(5000));
}

QStringList primeTextsBetween(int min, int max)
{
    QStringList inRange;
    for (const QString &p : primeTextsUpTo(max))
        if (p.toInt() >= min)
            inRange << p;
    return inRange;
}

} // namespace

void TestPrimeTable::init()
{
    table = std::make_unique<PrimeTable>();
    watchdog.clear();
}

void TestPrimeTable::cleanup()
{
    table.reset();
    QCOMPARE(watchdog.unexpected(), QStringList());
}

QStringList TestPrimeTable::listTexts() const
{
    auto *list = child<QListWidget>("list");
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

void TestPrimeTable::setRange(const QString &min, const QString &max)
{
    child<QLineEdit>("min")->setText(min);
    child<QLineEdit>("max")->setText(max);
}

// Presses "Generuj liczby" and waits until the window is idle again; false on time-out.
bool TestPrimeTable::generateRange(const QString &min, const QString &max, int timeoutMs)
{
    setRange(min, max);
    QTest::mouseClick(generateButton(), Qt::LeftButton);
    return runUntil([this] { return !isGenerating(); }, timeoutMs);
}

void TestPrimeTable::form()
{
    QCOMPARE(table->objectName(), QStringLiteral("PrimeGenerator"));
    QCOMPARE(table->windowTitle(), QStringLiteral("Generator liczb pierwszych"));
    QCOMPARE(table->size(), QSize(313, 182));
    QVERIFY(!table->parentWidget());

    auto *column = qobject_cast<QVBoxLayout *>(table->layout());
    QVERIFY(column);
    QCOMPARE(column->objectName(), QStringLiteral("vboxLayout"));
    QCOMPARE(column->spacing(), 6);
    QCOMPARE(column->contentsMargins(), QMargins(9, 9, 9, 9));
    QCOMPARE(column->count(), 3);
    QCOMPARE(column->itemAt(0)->layout()->objectName(), QStringLiteral("hboxLayout"));
    QCOMPARE(column->itemAt(1)->layout()->objectName(), QStringLiteral("hboxLayout1"));
    QCOMPARE(column->itemAt(2)->widget(), child<QWidget>("list"));

    QLayout *files = column->itemAt(0)->layout();
    QCOMPARE(files->count(), 3);
    QSpacerItem *spacer = files->itemAt(0)->spacerItem();
    QVERIFY(spacer);
    QCOMPARE(spacer->sizeHint(), QSize(40, 20));
    QCOMPARE(spacer->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(spacer->sizePolicy().verticalPolicy(), QSizePolicy::Minimum);
    QCOMPARE(files->itemAt(1)->widget(), child<QWidget>("load"));
    QCOMPARE(files->itemAt(2)->widget(), child<QWidget>("save"));

    QLayout *range = column->itemAt(1)->layout();
    const char *rangeOrder[] = {"generate", "label", "min", "label_2", "max"};
    QCOMPARE(range->count(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(range->itemAt(i)->widget(), child<QWidget>(rangeOrder[i]));
    for (QLayout *row : {files, range}) {
        QCOMPARE(row->spacing(), 6);
        QCOMPARE(row->contentsMargins(), QMargins(0, 0, 0, 0));
    }
}

void TestPrimeTable::widgetTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("load") << "load"
                          << "Wczytaj z pliku"
                          << "Wczytuje zestaw liczb pierwszych z pliku";
    QTest::newRow("save") << "save"
                          << "Zapisz do pliku"
                          << "Zapisuje zestaw liczb pierwszych do pliku";
    QTest::newRow("generate") << "generate"
                              << "Generuj liczby"
                              << "Rozpoczyna generację liczb";
    QTest::newRow("label") << "label"
                           << "Od:" << QString();
    QTest::newRow("label_2") << "label_2"
                             << "Do:" << QString();
    QTest::newRow("min") << "min"
                         << "1"
                         << "Początek zakresu";
    QTest::newRow("max") << "max" << QString() << "Koniec zakresu";
}

void TestPrimeTable::widgetTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QWidget *widget = table->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->property("text").toString(), text);
    QCOMPARE(widget->toolTip(), toolTip);
    QCOMPARE(widget->parentWidget(), static_cast<QWidget *>(table.get()));
}

void TestPrimeTable::listSettings()
{
    auto *list = child<QListWidget>("list");
    QCOMPARE(list->flow(), QListView::LeftToRight);
    QVERIFY(list->isWrapping());
    QCOMPARE(list->resizeMode(), QListView::Adjust);
    QCOMPARE(list->spacing(), 2);
    QVERIFY(list->uniformItemSizes());
    QCOMPARE(list->toolTip(), QStringLiteral("Tablica liczb"));
    QCOMPARE(list->count(), 0);

    auto *min = child<QLineEdit>("min");
    auto *max = child<QLineEdit>("max");
    QCOMPARE(min->maxLength(), 32767);
    QCOMPARE(max->maxLength(), 15);
    for (QLineEdit *field : {min, max})
        QVERIFY(field->alignment() & Qt::AlignRight);
    QVERIFY(min->validator());
    QCOMPARE(min->validator(), max->validator());
    QCOMPARE(min->validator()->parent(), static_cast<QObject *>(table.get()));
}

// Each range field shows all of a 15-digit number from its first digit to its last; the
// window widens for that where it must, keeping its height.
void TestPrimeTable::rangeFieldsShowWholeNumbers()
{
    table->show();
    QVERIFY(QTest::qWaitForWindowExposed(table.get()));
    QCOMPARE(table->height(), 182);
    QVERIFY(table->width() >= 313);
    for (const char *name : {"min", "max"}) {
        auto *field = child<QLineEdit>(name);
        for (const char *number : {"100000000000000", "999999999999999", "444444444444444"}) {
            field->setText(QLatin1String(number));
            field->end(false);
            field->grab(); // the field places its text when it paints it
            const int middle = field->height() / 2;
            QCOMPARE(field->cursorPositionAt(QPoint(1, middle)), 0);
            QCOMPARE(field->cursorPositionAt(QPoint(field->width() - 2, middle)), 15);
        }
    }
}

void TestPrimeTable::focusOrder()
{
    setRange(QStringLiteral("1"), QStringLiteral("2")); // a disabled button takes no focus
    table->show();
    table->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(table.get()));
    child<QWidget>("load")->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (int i = 0; i < 6; ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const QStringList expected{QStringLiteral("load"),     QStringLiteral("save"),
                               QStringLiteral("generate"), QStringLiteral("min"),
                               QStringLiteral("max"),      QStringLiteral("list")};
    QCOMPARE(visited, expected);
}

void TestPrimeTable::slotsInDeclarationOrder()
{
    const QMetaObject *meta = table->metaObject();
    QCOMPARE(meta->className(), "PrimeTable");
    QCOMPARE(meta->methodCount() - meta->methodOffset(), 5);
    const struct {
        const char *name;
        QMetaMethod::Access access;
    } expected[] = {{"loadTable", QMetaMethod::Public},
                    {"saveTable", QMetaMethod::Public},
                    {"generate", QMetaMethod::Public},
                    {"updateState", QMetaMethod::Private},
                    {"timeout", QMetaMethod::Private}};
    for (int i = 0; i < 5; ++i) {
        const QMetaMethod method = meta->method(meta->methodOffset() + i);
        QCOMPARE(method.name(), QByteArray(expected[i].name));
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), expected[i].access);
        QCOMPARE(method.parameterCount(), 0);
    }
    QVERIFY(table->qt_metacast("PrimeTable") == table.get());
}

void TestPrimeTable::idleAtStart()
{
    QVERIFY(!generateButton()->isEnabled());
    QCOMPARE(generateButton()->text(), QStringLiteral("Generuj liczby"));
    for (const char *name : {"load", "save", "min", "max"})
        QVERIFY2(child<QWidget>(name)->isEnabled(), name);
}

void TestPrimeTable::generateEnabledWhenBothFieldsFilled_data()
{
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("max");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("both") << "1"
                          << "30" << true;
    QTest::newRow("no end") << "1" << QString() << false;
    QTest::newRow("no start") << QString() << "30" << false;
    QTest::newRow("neither") << QString() << QString() << false;
    QTest::newRow("start after end") << "30"
                                     << "10" << true;
}

void TestPrimeTable::generateEnabledWhenBothFieldsFilled()
{
    QFETCH(QString, min);
    QFETCH(QString, max);
    QFETCH(bool, enabled);
    auto *minField = child<QLineEdit>("min");
    auto *maxField = child<QLineEdit>("max");
    // Typed by the user, after a state with both fields filled.
    setRange(QStringLiteral("7"), QStringLiteral("8"));
    QVERIFY(generateButton()->isEnabled());
    minField->clear();
    maxField->clear();
    QVERIFY(!generateButton()->isEnabled());
    QTest::keyClicks(minField, min);
    QTest::keyClicks(maxField, max);
    QCOMPARE(generateButton()->isEnabled(), enabled);
    // Emptying a field and typing a digit back.
    if (enabled) {
        QTest::keyClick(maxField, Qt::Key_End);
        for (int i = 0; i < max.size(); ++i)
            QTest::keyClick(maxField, Qt::Key_Backspace);
        QVERIFY(!generateButton()->isEnabled());
        QTest::keyClicks(maxField, QStringLiteral("9"));
        QVERIFY(generateButton()->isEnabled());
    }
}

void TestPrimeTable::rangeFieldsRefuse_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("leading zero") << "0"
                                  << "";
    QTest::newRow("zero then digits") << "0042"
                                      << "42";
    QTest::newRow("zero inside kept") << "1005"
                                      << "1005";
    QTest::newRow("letter") << "12a3"
                            << "123";
    QTest::newRow("sign") << "-5"
                          << "5";
    QTest::newRow("plus") << "+5"
                          << "5";
    QTest::newRow("blank") << "1 2"
                           << "12";
    QTest::newRow("15 digits") << "999999999999999"
                               << "999999999999999";
    QTest::newRow("16th digit") << "1234567890123456"
                                << "123456789012345";
}

void TestPrimeTable::rangeFieldsRefuse()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    for (const char *name : {"min", "max"}) {
        auto *field = child<QLineEdit>(name);
        field->clear();
        QTest::keyClicks(field, typed);
        QCOMPARE(field->text(), shown);
        // The start has room for 32767 characters: its validator must refuse on its own.
        int position = 0;
        QString whole = typed;
        const bool acceptable =
            field->validator()->validate(whole, position) == QValidator::Acceptable;
        QCOMPARE(acceptable, typed == shown);
    }
}

void TestPrimeTable::generatedRanges_data()
{
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("max");
    QTest::addColumn<QStringList>("expected");
    const QStringList toThirty =
        QStringLiteral("2 3 5 7 11 13 17 19 23 29").split(QLatin1Char(' '));
    QTest::newRow("1 to 30") << "1"
                             << "30" << toThirty;
    QTest::newRow("2 to 30 starts at 3") << "2"
                                         << "30" << QStringList(toThirty.mid(1));
    QTest::newRow("3 to 3") << "3"
                            << "3" << QStringList{QStringLiteral("3")};
    QTest::newRow("4 to 4") << "4"
                            << "4" << QStringList();
    QTest::newRow("30 to 10") << "30"
                              << "10" << QStringList();
    QTest::newRow("1 to 1") << "1"
                            << "1" << QStringList();
    QTest::newRow("1 to 2") << "1"
                            << "2" << QStringList{QStringLiteral("2")};
    QTest::newRow("even end 28") << "20"
                                 << "28" << QStringList{QStringLiteral("23")};
    QTest::newRow("prime end") << "24"
                               << "29" << QStringList{QStringLiteral("29")};
    QTest::newRow("sieve 1 to 5000") << "1"
                                     << "5000" << primeTextsUpTo(5000);
    QTest::newRow("sieve 1000000 to 1002000") << "1000000"
                                              << "1002000" << primeTextsBetween(1000000, 1002000);
    QTest::newRow("top of 15 digits")
        << "999999999999900"
        << "999999999999999"
        << QStringList{QStringLiteral("999999999999947"), QStringLiteral("999999999999989")};
}

void TestPrimeTable::generatedRanges()
{
    QFETCH(QString, min);
    QFETCH(QString, max);
    QFETCH(QStringList, expected);
    QVERIFY(generateRange(min, max));
    QCOMPARE(listTexts(), expected);
    for (int i = 0; i < child<QListWidget>("list")->count(); ++i)
        QCOMPARE(child<QListWidget>("list")->item(i)->textAlignment(), int(Qt::AlignRight));
}

void TestPrimeTable::primesBelowOneMillion()
{
    QVERIFY(generateRange(QStringLiteral("1"), QStringLiteral("1000000"), 300000));
    const QStringList found = listTexts();
    QCOMPARE(found.size(), 78498);
    QCOMPARE(found.first(), QStringLiteral("2"));
    QCOMPARE(found.last(), QStringLiteral("999983"));
    QCOMPARE(found, primeTextsUpTo(1000000));
}

void TestPrimeTable::controlsWhileGenerating()
{
    setRange(QStringLiteral("1"), QStringLiteral("999999999999999"));
    QTest::mouseClick(generateButton(), Qt::LeftButton);
    QCOMPARE(generateButton()->text(), QStringLiteral("Stop"));
    QVERIFY(generateButton()->isEnabled());
    for (const char *name : {"load", "save", "min", "max"})
        QVERIFY2(!child<QWidget>(name)->isEnabled(), name);
    QVERIFY(runUntil([this] { return child<QListWidget>("list")->count() >= 3; }));

    QTest::mouseClick(generateButton(), Qt::LeftButton);
    QCOMPARE(generateButton()->text(), QStringLiteral("Generuj liczby"));
    QVERIFY(generateButton()->isEnabled());
    for (const char *name : {"load", "save", "min", "max"})
        QVERIFY2(child<QWidget>(name)->isEnabled(), name);
}

void TestPrimeTable::stopKeepsPrefixAndRestartBeginsAgain()
{
    auto *list = child<QListWidget>("list");
    setRange(QStringLiteral("1"), QStringLiteral("10000000"));
    QTest::mouseClick(generateButton(), Qt::LeftButton);
    QVERIFY(runUntil([list] { return list->count() >= 2000; }));
    QTest::mouseClick(generateButton(), Qt::LeftButton);
    const QStringList kept = listTexts();
    QVERIFY(kept.size() < 664579);
    letTimersRun(20);
    QCOMPARE(listTexts(), kept);
    const QString lastKept = kept.last();
    QCOMPARE(kept, primeTextsUpTo(lastKept.toInt()));

    QTest::mouseClick(generateButton(), Qt::LeftButton);
    QVERIFY(list->count() < kept.size()); // cleared at once, refilled from the start
    QVERIFY(runUntil([list] { return list->count() >= 10; }));
    QCOMPARE(list->item(0)->text(), QStringLiteral("2"));
    QCOMPARE(list->item(9)->text(), QStringLiteral("29"));
    QTest::mouseClick(generateButton(), Qt::LeftButton);
    QVERIFY(!isGenerating());
}

void TestPrimeTable::eventLoopTurnsWhileGenerating()
{
    // Near 10^9 a tick's budget is a million candidates; it must still give way.
    setRange(QStringLiteral("1"), QStringLiteral("1000000000"));
    QTest::mouseClick(generateButton(), Qt::LeftButton);
    letTimersRun(50);
    QVERIFY(isGenerating());
    QVERIFY(child<QListWidget>("list")->count() > 0);
    QTest::mouseClick(generateButton(), Qt::LeftButton);
}

// The list must show its first rows and let the user scroll to later ones while the
// generation goes on, not only once it stops.
void TestPrimeTable::rowsShownWhileGenerating()
{
    table->show();
    QVERIFY(QTest::qWaitForWindowExposed(table.get()));
    auto *list = child<QListWidget>("list");
    setRange(QStringLiteral("1"), QStringLiteral("1000000000"));
    QTest::mouseClick(generateButton(), Qt::LeftButton);
    const QRect viewport = list->viewport()->rect();
    QTRY_VERIFY(list->indexAt(viewport.topLeft() + QPoint(4, 4)).isValid());
    QCOMPARE(list->indexAt(viewport.topLeft() + QPoint(4, 4)).data().toString(),
             QStringLiteral("2"));
    QScrollBar *bar = list->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());
    QTRY_VERIFY(list->indexAt(viewport.topLeft() + QPoint(4, 4)).row() > 100);
    QVERIFY(isGenerating());
    QTest::mouseClick(generateButton(), Qt::LeftButton);
}

void TestPrimeTable::generationStopsAtListLimit_data()
{
    QTest::addColumn<QString>("max");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("reported");
    const QStringList firstFive = QStringLiteral("2 3 5 7 11").split(QLatin1Char(' '));
    QTest::newRow("more primes than the list holds") << "100" << firstFive << true;
    QTest::newRow("as many primes as the list holds") << "12" << firstFive << false;
}

void TestPrimeTable::generationStopsAtListLimit()
{
    QFETCH(QString, max);
    QFETCH(QStringList, expected);
    QFETCH(bool, reported);
    table->setListLimit(5);
    QString boxTitle;
    QString boxText;
    if (reported)
        testing_modal::onNextModal([&](QWidget *modal) {
            boxTitle = modal->windowTitle();
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                boxText = box->text();
            modal->close();
        });
    QVERIFY(generateRange(QStringLiteral("1"), max));
    QTRY_COMPARE(testing_modal::pendingExpectations(), 0);
    QCOMPARE(listTexts(), expected);
    for (const char *name : {"load", "save", "min", "max"})
        QVERIFY2(child<QWidget>(name)->isEnabled(), name);
    if (reported) {
        QCOMPARE(boxTitle, QStringLiteral("Generator liczb pierwszych"));
        QCOMPARE(boxText, QStringLiteral("Lista pokazuje 5 liczb, najwięcej, ile może pomieścić. "
                                         "Dalszych liczb nie umieszczono na liście."));
    }
}

void TestPrimeTable::menuOpensOneWindow()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *action = window.findChild<QAction *>(QStringLiteral("actionPrimeTable"));
    QVERIFY(action);
    auto openTables = [] {
        QList<PrimeTable *> tables;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *t = qobject_cast<PrimeTable *>(w))
                tables << t;
        return tables;
    };
    const int before = openTables().size(); // the fixture's own window
    action->trigger();
    QCOMPARE(openTables().size(), before + 1);
    PrimeTable *first = nullptr;
    for (PrimeTable *t : openTables())
        if (t != table.get())
            first = t;
    QVERIFY(first);
    QVERIFY(!first->parentWidget());
    QVERIFY(first->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(first));

    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    action->trigger();
    QCOMPARE(openTables().size(), before + 1);
    QVERIFY(QTest::qWaitForWindowActive(first));
    QCOMPARE(QApplication::activeWindow(), static_cast<QWidget *>(first));
}

void TestPrimeTable::closingOnlyHides()
{
    MainWindow window;
    auto *action = window.findChild<QAction *>(QStringLiteral("actionPrimeTable"));
    action->trigger();
    QPointer<PrimeTable> opened = window.findChild<PrimeTable *>();
    QVERIFY(!opened); // top-level, not a child of the main window
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<PrimeTable *>(w); t && t != table.get())
            opened = t;
    QVERIFY(opened);
    opened->findChild<QLineEdit *>(QStringLiteral("max"))->setText(QStringLiteral("30"));
    QTest::mouseClick(opened->findChild<QPushButton *>(QStringLiteral("generate")), Qt::LeftButton);
    auto *list = opened->findChild<QListWidget *>(QStringLiteral("list"));
    QVERIFY(runUntil([list] { return list->count() == 10; }));

    QVERIFY(opened->close());
    QVERIFY(opened);
    QVERIFY(!opened->isVisible());
    action->trigger();
    QVERIFY(opened->isVisible());
    QCOMPARE(list->count(), 10);
    QCOMPARE(list->item(9)->text(), QStringLiteral("29"));
    QCOMPARE(opened->findChild<QLineEdit *>(QStringLiteral("max"))->text(), QStringLiteral("30"));
}

void TestPrimeTable::generationGoesOnWhileHidden()
{
    table->show();
    QVERIFY(QTest::qWaitForWindowExposed(table.get()));
    setRange(QStringLiteral("1"), QStringLiteral("200000"));
    QTest::mouseClick(generateButton(), Qt::LeftButton);
    QVERIFY(table->close());
    QVERIFY(!table->isVisible());
    QVERIFY(runUntil([this] { return !isGenerating(); }, 120000));
    QCOMPARE(listTexts(), primeTextsUpTo(200000));
}

QTEST_MAIN(TestPrimeTable)
#include "tst_primetable.moc"
