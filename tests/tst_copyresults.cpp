// SPDX-License-Identifier: GPL-3.0-or-later
// Results copied out of the window: selectable result labels and Ctrl+C on the two lists.

#include "childnamed.h"
#include "mainwindow.h"
#include "primetable.h"
#include "widgets/copyresults.h"

#include <QtTest>

#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>

#include <memory>

class TestCopyResults : public QObject {
    Q_OBJECT

private slots:
    void resultLabelsSelectable_data();
    void resultLabelsSelectable();
    void selectedLabelTextCopied();
    void listCopies_data();
    void listCopies();
    void primeListCopies();
    void spansOverlapAndLimit();
    void millionsOfRowsStayBounded();

private:
    static void fill(QListWidget &list, int count);
};

void TestCopyResults::fill(QListWidget &list, int count)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << QString::number(i * 7);
    list.addItems(texts);
}

void TestCopyResults::resultLabelsSelectable_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name :
         {"nwdResult", "mulmodResult", "expResult", "odwrResult", "primeResult", "pollardRhoResult",
          "pollardPResult", "shanksResult", "crcLabel", "ciphalphabet"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestCopyResults::resultLabelsSelectable()
{
    QFETCH(QString, name);
    MainWindow window;
    auto *label = childNamed<QLabel>(&window, name.toLatin1().constData());
    QVERIFY(label->textInteractionFlags() & Qt::TextSelectableByMouse);
    // Mouse selection must not put the label into the Tab chain.
    if (name != QLatin1String("crcLabel"))
        QCOMPARE(label->focusPolicy(), Qt::ClickFocus);
}

// A drag across the label selects its text; Ctrl+C then puts it on the clipboard.
void TestCopyResults::selectedLabelTextCopied()
{
    MainWindow window;
    childNamed<QSpinBox>(&window, "nwd1")->setValue(12);
    childNamed<QSpinBox>(&window, "nwd2")->setValue(18);
    QTest::mouseClick(childNamed<QWidget>(&window, "nwdGo"), Qt::LeftButton);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *label = childNamed<QLabel>(&window, "nwdResult");
    QCOMPARE(label->text(), QStringLiteral("NWD(12, 18) = 6"));

    const int middle = label->height() / 2;
    const QPoint end(label->width() - 1, middle);
    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, QPoint(1, middle));
    // QTest's move carries no button, so it would not extend the selection.
    QMouseEvent drag(QEvent::MouseMove, end, label->mapToGlobal(end), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(label, &drag);
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, end);
    QCOMPARE(label->selectedText(), label->text());
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(label, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("NWD(12, 18) = 6"));
}

void TestCopyResults::listCopies_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none: every row") << QList<int>{} << "0\n7\n14\n21\n28\n";
    QTest::newRow("one") << QList<int>{2} << "14\n";
    QTest::newRow("several, in list order") << QList<int>{4, 0, 3} << "0\n21\n28\n";
}

void TestCopyResults::listCopies()
{
    QFETCH(QList<int>, selected);
    QFETCH(QString, expected);
    MainWindow window;
    auto *list = childNamed<QListWidget>(&window, "lognResult");
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    fill(*list, 5);
    for (int row : selected)
        list->item(row)->setSelected(true);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
}

void TestCopyResults::primeListCopies()
{
    PrimeTable table;
    auto *list = childNamed<QListWidget>(&table, "list");
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    fill(*list, 3);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0\n7\n14\n"));
    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier); // select all, then copy again
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0\n7\n14\n"));
}

void TestCopyResults::spansOverlapAndLimit()
{
    QListWidget list;
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    fill(list, 10);
    QItemSelection selection(list.model()->index(2, 0), list.model()->index(5, 0));
    selection.select(list.model()->index(4, 0), list.model()->index(7, 0));
    list.selectionModel()->select(selection, QItemSelectionModel::Select);
    QCOMPARE(RowCopier::rowsText(list), QStringLiteral("14\n21\n28\n35\n42\n49\n"));
    QCOMPARE(RowCopier::rowsText(list, 2), QStringLiteral("14\n21\n"));
}

// A prime list can grow to millions of rows: copying it all stops at the limit.
void TestCopyResults::millionsOfRowsStayBounded()
{
    QListWidget list;
    list.setUniformItemSizes(true);
    QStringList texts;
    const int rows = RowCopier::maxRows + 1000;
    texts.reserve(rows);
    for (int i = 0; i < rows; ++i)
        texts << QStringLiteral("999999999999989");
    list.addItems(texts);
    texts.clear();
    QElapsedTimer clock;
    clock.start();
    const QString copied = RowCopier::rowsText(list);
    QCOMPARE(copied.count(QLatin1Char('\n')), RowCopier::maxRows);
    qInfo("%d rows copied in %lld ms", RowCopier::maxRows, clock.elapsed());
}

QTEST_MAIN(TestCopyResults)
#include "tst_copyresults.moc"
