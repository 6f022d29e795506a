// SPDX-License-Identifier: GPL-3.0-or-later
// The program's end while it saves the prime list: a signal (a logout, a closed terminal,
// Ctrl+C), a second one before the first is through, or the display going away, after
// which the toolkit calls exit(1). A child program (savechild) saves and is ended at a
// known point of its save; afterwards the old file must be there byte for byte, or the new
// file be sound, and nothing else may be left in the folder.

#include "fileaccess.h"
#include "listfiles.h"

#include <QtTest>

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <memory>

#include <signal.h>

namespace {

constexpr int count = 50000;
constexpr int waitMs = 60000;

const QByteArray old = numberLines(40000);

QStringList numbersUpTo(int last)
{
    QStringList numbers;
    for (int n = 1; n <= last; ++n)
        numbers << QString::number(n);
    return numbers;
}

// Reads the child's output until `line` has come, the child has ended or time is up.
bool waitForLine(QProcess &child, QByteArray &said, const QByteArray &line)
{
    const QDeadlineTimer deadline(waitMs);
    while (!said.contains(line + '\n') && !deadline.hasExpired() &&
           child.state() != QProcess::NotRunning) {
        child.waitForReadyRead(int(qMax<qint64>(deadline.remainingTime(), 1)));
        said += child.readAllStandardOutput();
    }
    said += child.readAllStandardOutput();
    return said.contains(line + '\n');
}

// A child that has become nobody reads the leak check's suppressions only at its exit, and
// the source tree may be out of its reach then (a checkout in /root): it gets a copy in
// `folder`, which it can read.
void shareLeakSuppressions(QProcess &child, const QString &folder)
{
    QProcessEnvironment environment = child.processEnvironment();
    if (environment.isEmpty())
        environment = QProcessEnvironment::systemEnvironment();
    const QString key = QStringLiteral("LSAN_OPTIONS");
    if (!environment.contains(key))
        return;
    const QString prefix = QStringLiteral("suppressions=");
    QStringList options = environment.value(key).split(QLatin1Char(':'));
    for (QString &option : options) {
        if (!option.startsWith(prefix))
            continue;
        const QString copy = folder + QStringLiteral("/lsan.supp");
        QVERIFY(QFile::copy(option.mid(prefix.size()), copy));
        QVERIFY(QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::ReadOther));
        option = prefix + copy;
    }
    environment.insert(key, options.join(QLatin1Char(':')));
    child.setProcessEnvironment(environment);
}

// An X server of the test's own, on a display number it chooses itself.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (program.isEmpty())
            return;
        m_server.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                 QStringLiteral("-screen"), QStringLiteral("0"),
                                 QStringLiteral("640x480x24"), QStringLiteral("-nolisten"),
                                 QStringLiteral("tcp")});
        QByteArray said;
        const QDeadlineTimer deadline(waitMs);
        while (!said.contains('\n') && !deadline.hasExpired() &&
               m_server.waitForReadyRead(int(qMax<qint64>(deadline.remainingTime(), 1))))
            said += m_server.readAllStandardOutput();
        if (said.endsWith('\n'))
            m_display = QStringLiteral(":") + QString::fromLatin1(said.trimmed());
    }
    ~VirtualDisplay() { close(); }
    QString display() const { return m_display; }
    QString errors() { return QString::fromLocal8Bit(m_server.readAllStandardError()); }
    void close()
    {
        m_server.terminate();
        m_server.waitForFinished(waitMs);
    }

private:
    QProcess m_server;
    QString m_display;
};

} // namespace

class TestSaveEnd : public QObject {
    Q_OBJECT

private slots:
    void init();

    void endDuringSave_data();
    void endDuringSave();
    void signalIgnoredFromStartStaysIgnored();
    void lostDisplay_data();
    void lostDisplay();

private:
    // Where the child saves: over a file, a new file or in place, and how far it gets.
    void prepare(const QString &target);
    void startChild(QProcess &child, int at, const QStringList &options = {});
    void checkFolder(const QString &target, bool whole = false);

    std::unique_ptr<QTemporaryDir> dir;
    QString folder;
    QString file;
};

void TestSaveEnd::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestSaveEnd::prepare(const QString &target)
{
    prepareSaveTarget(dir->path(), target, old, folder);
    file = folder + QStringLiteral("/primes.txt");
}

void TestSaveEnd::startChild(QProcess &child, int at, const QStringList &options)
{
    QStringList arguments{file, QString::number(count), QString::number(at)};
    arguments << options;
    if (folder != dir->path()) {
        arguments << QStringLiteral("nobody");
        shareLeakSuppressions(child, dir->path());
    }
    child.start(QStringLiteral(SAVECHILD), arguments);
    QVERIFY2(child.waitForStarted(waitMs), qPrintable(child.errorString()));
}

// The old file byte for byte, no file where there was none, or, written in place past the
// point where its old content was lost, whole fields of the new list; the whole new list
// where the save ended; and nothing else.
void TestSaveEnd::checkFolder(const QString &target, bool whole)
{
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    if (target == QLatin1String("new file") && !whole) {
        QCOMPARE(left, QStringList());
        return;
    }
    QCOMPARE(left, QStringList{QStringLiteral("primes.txt")});
    const QByteArray content = readAll(file);
    if (whole) {
        QCOMPARE(content, fixedWidth(numbersUpTo(count), 6, 13));
    } else if (target == QLatin1String("in place, later")) {
        QVERIFY(!content.isEmpty());
        QCOMPARE(content.size() % 6, 0);
        QVERIFY(fixedWidth(numbersUpTo(count), 6, 13).startsWith(content));
    } else {
        QCOMPARE(content, old);
    }
}

void TestSaveEnd::endDuringSave_data()
{
    QTest::addColumn<QList<int>>("sent"); // none: the child ends with exit(1)
    QTest::addColumn<QString>("target");
    const QString over = QStringLiteral("over a file");
    const QString fresh = QStringLiteral("new file");
    const QString atOnce = QStringLiteral("in place");
    // Saved in place, the file has lost its old content once the first block reached it.
    const QString later = QStringLiteral("in place, later");
    for (const QString &target : {over, fresh, atOnce, later}) {
        const QByteArray name = target.toLatin1();
        QTest::addRow("SIGTERM, %s", name.constData()) << QList<int>{SIGTERM} << target;
        QTest::addRow("exit(1), %s", name.constData()) << QList<int>() << target;
        QTest::addRow("SIGTERM and SIGINT, %s", name.constData())
            << QList<int>{SIGTERM, SIGINT} << target;
    }
    QTest::newRow("SIGHUP, over a file") << QList<int>{SIGHUP} << over;
    QTest::newRow("SIGINT, over a file") << QList<int>{SIGINT} << over;
    QTest::newRow("SIGHUP, new file") << QList<int>{SIGHUP} << fresh;
    QTest::newRow("SIGINT, new file") << QList<int>{SIGINT} << fresh;
}

// The signal comes while the child waits inside its save's event pass, so it is taken
// before the save goes on; the save stops at its next pass. A second signal ends the
// program at once, from its handler.
void TestSaveEnd::endDuringSave()
{
    QFETCH(QList<int>, sent);
    QFETCH(QString, target);
    const bool later = target == QLatin1String("in place, later");
    prepare(later ? QStringLiteral("in place") : target);
    QProcess child;
    startChild(child, later ? 20000 : 0,
               sent.isEmpty() ? QStringList{QStringLiteral("exit")} : QStringList());
    QByteArray said;
    QVERIFY2(waitForLine(child, said, "saving"), said.constData());
    const auto pid = pid_t(child.processId());
    if (sent.size() == 1) {
        QCOMPARE(::kill(pid, sent.first()), 0);
    } else {
        // Both to the thread that waits in the save: a thread with a signal pending would
        // leave the next to another one, which may take it only after the save has gone on.
        for (const int signal : sent)
            QCOMPARE(::tgkill(pid, pid, signal), 0);
    }
    child.closeWriteChannel();
    QVERIFY(child.waitForFinished(waitMs));
    said += child.readAllStandardOutput();
    if (sent.isEmpty()) {
        QVERIFY2(child.exitStatus() == QProcess::NormalExit,
                 child.readAllStandardError().constData());
        QCOMPARE(child.exitCode(), 1);
    } else {
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QVERIFY2(sent.contains(child.exitCode()), said.constData());
        if (sent.size() == 1) // the event loop ended, and the save with it
            QVERIFY2(said.contains("saved\n"), said.constData());
    }
    // Written in place, the old content is gone: a save that may still end writes the
    // whole list; exit() and the second signal leave no time to.
    checkFolder(target, later && sent.size() == 1);
}

// Under nohup a closed terminal must not end the program: the save runs to its end.
void TestSaveEnd::signalIgnoredFromStartStaysIgnored()
{
    prepare(QStringLiteral("over a file"));
    QProcess child;
    startChild(child, 0, {QStringLiteral("ignore-hup")});
    QByteArray said;
    QVERIFY2(waitForLine(child, said, "saving"), said.constData());
    QCOMPARE(::kill(pid_t(child.processId()), SIGHUP), 0);
    child.closeWriteChannel();
    QVERIFY(child.waitForFinished(waitMs));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    checkFolder(QStringLiteral("over a file"), true);
}

void TestSaveEnd::lostDisplay_data()
{
    QTest::addColumn<QString>("target");
    for (const char *target : {"over a file", "new file", "in place, later"})
        QTest::newRow(target) << QString::fromLatin1(target);
}

// On a real X server that goes away during the save, the toolkit ends the program with
// exit(1) from the event pass.
void TestSaveEnd::lostDisplay()
{
    QFETCH(QString, target);
    VirtualDisplay x;
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        QSKIP("no Xvfb to give a display that can be taken away");
    if (x.display().isEmpty())
        QSKIP(qPrintable(QStringLiteral("Xvfb did not start: ") + x.errors()));
    const bool later = target == QLatin1String("in place, later");
    prepare(later ? QStringLiteral("in place") : target);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), x.display());
    // Without a session bus the toolkit would start one, which outlives the child.
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=/nonexistent/bus"));
    child.setProcessEnvironment(environment);
    startChild(child, later ? 20000 : 0);
    QByteArray said;
    if (!waitForLine(child, said, "saving")) {
        child.waitForFinished(waitMs);
        QSKIP(qPrintable(QStringLiteral("the child could not use the display: ") +
                         QString::fromLocal8Bit(child.readAllStandardError())));
    }
    x.close();
    child.closeWriteChannel();
    QVERIFY(child.waitForFinished(waitMs));
    QVERIFY2(child.exitStatus() == QProcess::NormalExit, child.readAllStandardError().constData());
    QCOMPARE(child.exitCode(), 1);
    checkFolder(target);
}

QTEST_GUILESS_MAIN(TestSaveEnd)
#include "tst_saveend.moc"
