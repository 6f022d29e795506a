// SPDX-License-Identifier: GPL-3.0-or-later
// The progress of file work: byte counts past the range of int still move the bar from its
// start to its end.

#include "widgets/fileprogress.h"

#include <QtTest>

#include <climits>

class TestFileProgress : public QObject {
    Q_OBJECT

private slots:
    void scalesLargeFiles_data();
    void scalesLargeFiles();
};

void TestFileProgress::scalesLargeFiles_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("position");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    const qint64 GiB = qint64(1) << 30;
    QTest::newRow("empty") << qint64(0) << qint64(0) << 0 << 0;
    QTest::newRow("small") << qint64(100) << qint64(37) << 100 << 37;
    QTest::newRow("largest int") << qint64(INT_MAX) << qint64(INT_MAX) << INT_MAX << INT_MAX;
    QTest::newRow("2 GiB") << 2 * GiB << GiB << int(GiB) << int(GiB / 2);
    QTest::newRow("3 GiB, end") << 3 * GiB << 3 * GiB << int(3 * GiB / 2) << int(3 * GiB / 2);
    QTest::newRow("3 GiB, middle")
        << 3 * GiB << 3 * GiB / 2 << int(3 * GiB / 2) << int(3 * GiB / 4);
    QTest::newRow("1 TiB, quarter") << 1024 * GiB << 256 * GiB << (1 << 30) << (1 << 28);
    QTest::newRow("past the end") << qint64(100) << qint64(150) << 100 << 100;
    QTest::newRow("before the start") << qint64(100) << qint64(-1) << 100 << 0;
}

void TestFileProgress::scalesLargeFiles()
{
    QFETCH(qint64, size);
    QFETCH(qint64, position);
    QFETCH(int, maximum);
    QFETCH(int, value);
    QCOMPARE(progressMaximum(size), maximum);
    QCOMPARE(progressValue(position, size), value);
}

QTEST_APPLESS_MAIN(TestFileProgress)
#include "tst_fileprogress.moc"
