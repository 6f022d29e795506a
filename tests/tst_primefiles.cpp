// Saving the prime list to a file and loading it back, with the file dialog answered
// by the test and every file in a temporary directory.

#include "childnamed.h"
#include "mainwindow.h"
#include "modal.h"
#include "primefile.h"
#include "primesieve.h"
#include "primetable.h"
#include "rununtil.h"

#include <QtTest>

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FileDialogSeen {
    bool seen = false;
    QString title;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QString proposed;
    QWidget *parent = nullptr;
};

struct BoxSeen {
    bool seen = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
};

// Answers the next file dialog with `path` (an empty path cancels it), then hands the
// next modal widget, if any is expected, to `then`.
void answerFileDialog(const QString &path, FileDialogSeen *seen = nullptr,
                      std::function<void(QWidget *)> then = {})
{
    testing_modal::onNextModal([=](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        if (seen) {
            seen->seen = true;
            seen->title = dialog->windowTitle();
            seen->mode = dialog->acceptMode();
            seen->proposed = dialog->selectedFiles().value(0);
            seen->parent = dialog->parentWidget();
        }
        if (then)
            testing_modal::onNextModal(then, 60000); // the work before it may be long
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        // The dialog leaves a focused name field as the user typed it.
        if (QWidget *focused = QApplication::focusWidget())
            focused->clearFocus();
        dialog->selectFile(path);
        // done() rather than accept(): accept() would open a chosen directory.
        static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
    });
}

std::function<void(QWidget *)> recordBox(BoxSeen *seen)
{
    return [seen](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen->seen = true;
            seen->icon = box->icon();
            seen->title = box->windowTitle();
            seen->text = box->text();
            box->accept();
            return;
        }
        modal->close();
    };
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), qint64(content.size()));
}

// The fixed-width layout worked out with printf: fields of `width`, a padded line
// break after every `perLine` of them.
QByteArray fixedWidth(const QStringList &numbers, int width, int perLine)
{
    QByteArray out;
    for (int i = 0; i < numbers.size(); ++i) {
        out += QString::asprintf("%*lld", width, numbers[i].toLongLong()).toLatin1();
        if (i % perLine == perLine - 1)
            out += QByteArray(width - 1, ' ') + '\n';
    }
    return out;
}

QStringList words(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// Lowers the file size limit of the process for one scope; writes past it fail with
// EFBIG instead of raising SIGXFSZ, which the test case ignores.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        m_applied = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }
    bool applied() const { return m_applied; }

private:
    rlimit m_saved{};
    bool m_applied = false;
};

// Aborts the test program when a scope lasts longer than `seconds`: an open that blocks or
// a read that never ends would otherwise hang the test run instead of failing it.
class Deadline {
public:
    explicit Deadline(int seconds)
        : m_thread([this, seconds] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_over; })) {
                std::fprintf(stderr, "FAIL: still running after %d s\n", seconds);
                std::abort();
            }
        })
    {
    }
    ~Deadline()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_over = true;
        }
        m_done.notify_one();
        m_thread.join();
    }
    Deadline(const Deadline &) = delete;
    Deadline &operator=(const Deadline &) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_over = false;
    std::thread m_thread;
};

// Root passes every permission check. For one scope the effective user becomes "nobody",
// which root may undo, so that the permission bits count; other users stay as they are.
class WithoutRootPrivileges {
public:
    WithoutRootPrivileges()
    {
        if (geteuid() == 0)
            m_dropped = setegid(nobody) == 0 && seteuid(nobody) == 0;
    }
    ~WithoutRootPrivileges()
    {
        if (m_dropped && (seteuid(0) != 0 || setegid(0) != 0))
            qFatal("cannot become root again");
    }
    WithoutRootPrivileges(const WithoutRootPrivileges &) = delete;
    WithoutRootPrivileges &operator=(const WithoutRootPrivileges &) = delete;
    bool effective() const { return m_dropped || geteuid() != 0; }

private:
    static constexpr uid_t nobody = 65534;
    bool m_dropped = false;
};

// Lets other users into a folder (the temporary ones are their owner's alone).
bool openToOthers(const QString &folder)
{
    return QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                             QFileDevice::ExeOther);
}

bool isFifo(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode);
}

ino_t inodeOf(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

// Numbers 1 to `count`, one a line.
QByteArray numberLines(int count)
{
    QByteArray content;
    for (int n = 1; n <= count; ++n)
        content += QByteArray::number(n) + '\n';
    return content;
}

// An endless stream of NUL bytes that counts what was taken from it.
class EndlessBytes : public QIODevice {
public:
    explicit EndlessBytes(char byte)
        : m_byte(byte)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 taken = 0;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        std::fill(data, data + maxSize, m_byte);
        taken += maxSize;
        return maxSize;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    char m_byte;
};

// Tells the watchdog that a modal widget may show up in this scope: a progress dialog
// appears as soon as it estimates the work to take longer than its minimum duration,
// which depends on the speed of the build.
class ModalExpected {
public:
    ModalExpected() { ++testing_modal::pendingExpectations(); }
    ~ModalExpected() { --testing_modal::pendingExpectations(); }
    ModalExpected(const ModalExpected &) = delete;
    ModalExpected &operator=(const ModalExpected &) = delete;
};

} // namespace

class TestPrimeFiles : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void parsesTokens_data();
    void parsesTokens();
    void readerAcrossChunks_data();
    void readerAcrossChunks();
    void readerTellsLineAndEnd_data();
    void readerTellsLineAndEnd();
    void overlongTokenAnsweredAtOnce();
    void whiteSpaceAnsweredAsPending();
    void progressOfLargeFiles_data();
    void progressOfLargeFiles();

    void fileDialogs();
    void savesTenPrimes();
    void savesPrimesBelowThousand();
    void savesTwentySixFieldsOfWidthThree();
    void emptyListSavesEmptyFile();
    void roundTrip_data();
    void roundTrip();

    void loadsIntegers_data();
    void loadsIntegers();
    void stopsAtTokenThatIsNoInteger_data();
    void stopsAtTokenThatIsNoInteger();
    void loadReplacesListSaveKeepsIt();

    void cancelledFileDialogsChangeNothing();
    void missingFileIsIgnored();
    void unopenableFileIsReported_data();
    void unopenableFileIsReported();
    void sparseFileOfZerosStopsAtOnce();
    void fileChangedWhileLoading_data();
    void fileChangedWhileLoading();
    void saveToMissingDirectoryIsReported();
    void saveOntoWhatIsNoRegularFileIsRefused_data();
    void saveOntoWhatIsNoRegularFileIsRefused();
    void saveBeyondFileSizeLimitKeepsOldFile_data();
    void saveBeyondFileSizeLimitKeepsOldFile();
    void saveKeepsPermissionsAndLinks();
    void saveInPlaceWhereFolderTakesNoNewFile();
    void saveWhereFolderOrFileIsLocked();
    void focusReturnsAfterFileWork_data();
    void focusReturnsAfterFileWork();
    void cancellingLoadKeepsPrefix();
    void loadStopsAtListLimit_data();
    void loadStopsAtListLimit();
    void controlsOffWhileLoading();
    void cancellingSaveKeepsWrittenPart();
    void closingSaveDialogKeepsOldFile();
    void quittingDuringSaveKeepsOldFile();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return childNamed<T>(table.get(), name);
    }
    QString path(const char *name) const { return dir->filePath(QLatin1String(name)); }
    QStringList listTexts() const;
    void setList(const QStringList &texts);
    void generate(const char *min, const char *max);
    void save(const QString &file, FileDialogSeen *seen = nullptr,
              std::function<void(QWidget *)> then = {});
    void load(const QString &file, FileDialogSeen *seen = nullptr,
              std::function<void(QWidget *)> then = {});

    std::unique_ptr<PrimeTable> table;
    std::unique_ptr<QTemporaryDir> dir;
    testing_modal::Watchdog watchdog;
};

void TestPrimeFiles::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    table = std::make_unique<PrimeTable>();
    watchdog.clear();
}

void TestPrimeFiles::cleanup()
{
    table.reset();
    dir.reset();
    QCOMPARE(testing_modal::pendingExpectations(), 0);
    QCOMPARE(watchdog.unexpected(), QStringList());
}

QStringList TestPrimeFiles::listTexts() const
{
    auto *list = child<QListWidget>("list");
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// Fills the list the way a load would, without going through a file.
void TestPrimeFiles::setList(const QStringList &texts)
{
    auto *list = child<QListWidget>("list");
    list->clear();
    for (const QString &text : texts) {
        auto *item = new QListWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight);
        list->addItem(item);
    }
}

void TestPrimeFiles::generate(const char *min, const char *max)
{
    child<QLineEdit>("min")->setText(QLatin1String(min));
    child<QLineEdit>("max")->setText(QLatin1String(max));
    auto *button = child<QPushButton>("generate");
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(runUntil([button] { return button->text() != QLatin1String("Stop"); }));
}

void TestPrimeFiles::save(const QString &file, FileDialogSeen *seen,
                          std::function<void(QWidget *)> then)
{
    answerFileDialog(file, seen, std::move(then));
    QTest::mouseClick(child<QPushButton>("save"), Qt::LeftButton);
}

void TestPrimeFiles::load(const QString &file, FileDialogSeen *seen,
                          std::function<void(QWidget *)> then)
{
    answerFileDialog(file, seen, std::move(then));
    QTest::mouseClick(child<QPushButton>("load"), Qt::LeftButton);
}

void TestPrimeFiles::parsesTokens_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qlonglong>("value");
    const qlonglong largest = std::numeric_limits<qlonglong>::max();
    const qlonglong smallest = std::numeric_limits<qlonglong>::min();

    QTest::newRow("decimal") << "997" << true << 997LL;
    QTest::newRow("zero") << "0" << true << 0LL;
    QTest::newRow("plus") << "+5" << true << 5LL;
    QTest::newRow("minus") << "-7" << true << -7LL;
    QTest::newRow("minus zero") << "-0" << true << 0LL;
    QTest::newRow("octal") << "010" << true << 8LL;
    QTest::newRow("octal zeros") << "00" << true << 0LL;
    QTest::newRow("0 then 8 is decimal") << "08" << true << 8LL;
    QTest::newRow("0 then 9 is decimal") << "0919" << true << 919LL;
    QTest::newRow("signed octal look is decimal") << "+010" << true << 10LL;
    QTest::newRow("hex") << "0x1F" << true << 31LL;
    QTest::newRow("hex upper") << "0X1f" << true << 31LL;
    QTest::newRow("binary") << "0b101" << true << 5LL;
    QTest::newRow("binary upper") << "0B11" << true << 3LL;
    QTest::newRow("largest") << "9223372036854775807" << true << largest;
    QTest::newRow("smallest") << "-9223372036854775808" << true << smallest;
    QTest::newRow("largest hex") << "0x7fffffffffffffff" << true << largest;
    QTest::newRow("largest octal") << "0777777777777777777777" << true << largest;
    QTest::newRow("leading zeros") << "-0000000000000000000000000000001" << true << -1LL;
    QTest::newRow("15 digits") << "999999999999999" << true << 999999999999999LL;

    QTest::newRow("one past largest") << "9223372036854775808" << false << 0LL;
    QTest::newRow("one below smallest") << "-9223372036854775809" << false << 0LL;
    QTest::newRow("20 digits") << "12345678901234567890" << false << 0LL;
    QTest::newRow("hex past largest") << "0x8000000000000000" << false << 0LL;
    QTest::newRow("hex of -1") << "0xffffffffffffffff" << false << 0LL;
    QTest::newRow("octal past largest") << "01000000000000000000000" << false << 0LL;
    QTest::newRow("letters") << "abc" << false << 0LL;
    QTest::newRow("number then letters") << "12abc" << false << 0LL;
    QTest::newRow("comma") << "1,2" << false << 0LL;
    QTest::newRow("sign alone") << "-" << false << 0LL;
    QTest::newRow("plus alone") << "+" << false << 0LL;
    QTest::newRow("double sign") << "--5" << false << 0LL;
    QTest::newRow("hex prefix alone") << "0x" << false << 0LL;
    QTest::newRow("binary prefix alone") << "0b" << false << 0LL;
    QTest::newRow("binary digit 2") << "0b102" << false << 0LL;
    QTest::newRow("octal digit 8") << "018" << false << 0LL;
    QTest::newRow("hex digit g") << "0x1g" << false << 0LL;
    QTest::newRow("signed hex") << "-0x1F" << false << 0LL;
    QTest::newRow("decimal point") << "2.5" << false << 0LL;
    QTest::newRow("exponent") << "1e3" << false << 0LL;
    QTest::newRow("arabic-indic digit") << QString(QChar(0x0663)) << false << 0LL;
    QTest::newRow("empty") << QString() << false << 0LL;
}

void TestPrimeFiles::parsesTokens()
{
    QFETCH(QString, token);
    QFETCH(bool, valid);
    QFETCH(qlonglong, value);
    const std::optional<qlonglong> parsed = parseListInteger(token);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

namespace {

// The reader's answers for `text` read in chunks of `chunkLength` characters: numbers in
// decimal, "?" for a token that is not an integer, up to the end.
QStringList readAllTokens(const QString &text, int chunkLength)
{
    QString copy = text;
    QTextStream in(&copy);
    ListReader reader(in, chunkLength);
    QStringList answers;
    qlonglong value = 0;
    for (ListToken token; (token = reader.next(value)) != ListToken::End;) {
        if (token != ListToken::Pending)
            answers << (token == ListToken::Number ? QString::number(value) : QStringLiteral("?"));
    }
    return answers;
}

} // namespace

void TestPrimeFiles::readerAcrossChunks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("answers");
    QTest::newRow("white space everywhere") << " 1\t0x2\n\n+3 \r\n-44  " << words("1 2 3 -44");
    QTest::newRow("bad tokens are passed") << "4 x 5 12abc 6" << words("4 ? 5 ? 6");
    QTest::newRow("long numbers") << "9223372036854775807 -9223372036854775808 0b101"
                                  << words("9223372036854775807 -9223372036854775808 5");
    QTest::newRow("no white space at the end") << "17" << words("17");
    QTest::newRow("nothing") << QString() << QStringList();
    QTest::newRow("white space only") << " \n \t " << QStringList();
    const QString zeros(ListReader::maxTokenLength - 2, QLatin1Char('0'));
    QTest::newRow("longest token")
        << QLatin1Char('-') + zeros + QStringLiteral("1 2") << words("-1 2");
    QTest::newRow("one too long") << QStringLiteral("-0") + zeros + QStringLiteral("1 2")
                                  << words("? 2");
    QTest::newRow("overlong, then digits in the next chunk")
        << QString(1 << 16, QLatin1Char('x')) + QStringLiteral("5 3") << words("? 3");
    QTest::newRow("a megabyte without white space")
        << QString(1 << 20, QLatin1Char('7')) + QStringLiteral(" 3") << words("? 3");
    QTest::newRow("a megabyte of white space")
        << QString(1 << 19, QLatin1Char(' ')) + QStringLiteral("5") +
               QString(1 << 19, QLatin1Char('\n'))
        << words("5");
}

void TestPrimeFiles::readerAcrossChunks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, answers);
    for (int chunkLength : {1, 2, 3, 5, 8, 64, 1 << 16})
        QVERIFY2(readAllTokens(text, chunkLength) == answers,
                 qPrintable(QStringLiteral("chunks of %1").arg(chunkLength)));
}

void TestPrimeFiles::readerTellsLineAndEnd_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<qint64>>("lines");
    QTest::addColumn<bool>("lastAtEnd");
    QTest::newRow("one a line") << "1\n2\n3\n" << QList<qint64>{1, 2, 3} << false;
    QTest::newRow("blank lines, CR LF, no final break")
        << "\n\n1 2\r\n\n 3\t4\n5" << QList<qint64>{3, 3, 5, 5, 6} << true;
    QTest::newRow("lone carriage returns") << "1\r2\r" << QList<qint64>{1, 1} << false;
    QTest::newRow("no break at all") << "7 11" << QList<qint64>{1, 1} << true;
}

// The line of each token, and whether the last one ran up to the end of the text, in
// every chunking: a chunk may end inside a token or in the white space after it.
void TestPrimeFiles::readerTellsLineAndEnd()
{
    QFETCH(QString, text);
    QFETCH(QList<qint64>, lines);
    QFETCH(bool, lastAtEnd);
    for (int chunkLength : {1, 2, 3, 64}) {
        QString copy = text;
        QTextStream in(&copy);
        ListReader reader(in, chunkLength);
        QList<qint64> seen;
        bool atEnd = false;
        qlonglong value = 0;
        while (reader.next(value) == ListToken::Number) {
            seen << reader.line();
            atEnd = reader.lastAtEnd();
        }
        QCOMPARE(seen, lines);
        QCOMPARE(atEnd, lastAtEnd);
    }
}

// A token longer than any number is answered without reading on to its end, which an
// endless stream does not have; passing its rest, or white space, returns as often.
void TestPrimeFiles::overlongTokenAnsweredAtOnce()
{
    EndlessBytes zeros('\0');
    QTextStream in(&zeros);
    ListReader reader(in, 4096);
    qlonglong value = 0;
    QCOMPARE(reader.next(value), ListToken::NotAnInteger);
    QVERIFY2(zeros.taken < (1 << 20), qPrintable(QString::number(zeros.taken)));
    QCOMPARE(reader.next(value), ListToken::Pending);
    QVERIFY2(zeros.taken < (1 << 21), qPrintable(QString::number(zeros.taken)));
}

void TestPrimeFiles::whiteSpaceAnsweredAsPending()
{
    EndlessBytes spaces(' ');
    QTextStream in(&spaces);
    ListReader reader(in);
    qlonglong value = 0;
    for (int call = 1; call <= 3; ++call) {
        QCOMPARE(reader.next(value), ListToken::Pending);
        QVERIFY2(spaces.taken < call * (1 << 20), qPrintable(QString::number(spaces.taken)));
    }
}

void TestPrimeFiles::progressOfLargeFiles_data()
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

void TestPrimeFiles::progressOfLargeFiles()
{
    QFETCH(qint64, size);
    QFETCH(qint64, position);
    QFETCH(int, maximum);
    QFETCH(int, value);
    QCOMPARE(progressMaximum(size), maximum);
    QCOMPARE(progressValue(position, size), value);
}

void TestPrimeFiles::fileDialogs()
{
    setList(words("2 3"));
    FileDialogSeen saving;
    save(path("a.txt"), &saving);
    QVERIFY(saving.seen);
    QCOMPARE(saving.title, QStringLiteral("Wybierz plik"));
    QCOMPARE(saving.mode, QFileDialog::AcceptSave);
    QCOMPARE(saving.proposed, QDir::current().absoluteFilePath(QStringLiteral("primes.txt")));
    QCOMPARE(saving.parent, static_cast<QWidget *>(table.get()));

    FileDialogSeen loading;
    load(path("a.txt"), &loading);
    QVERIFY(loading.seen);
    QCOMPARE(loading.title, QStringLiteral("Wybierz plik"));
    QCOMPARE(loading.mode, QFileDialog::AcceptOpen);
    QCOMPARE(QFileInfo(loading.proposed).fileName(), QStringLiteral("primes.txt"));
    QCOMPARE(loading.parent, static_cast<QWidget *>(table.get()));
    QCOMPARE(listTexts(), words("2 3"));
}

void TestPrimeFiles::savesTenPrimes()
{
    generate("1", "30");
    save(path("ten.txt"));
    QCOMPARE(readAll(path("ten.txt")), QByteArray("  2  3  5  7 11 13 17 19 23 29"));
    setList({});
    load(path("ten.txt"));
    QCOMPARE(listTexts(), words("2 3 5 7 11 13 17 19 23 29"));
}

void TestPrimeFiles::savesPrimesBelowThousand()
{
    generate("1", "1000");
    const QStringList primes = primeTextsUpTo(1000);
    QCOMPARE(primes.size(), 168);
    save(path("thousand.txt"));
    const QByteArray written = readAll(path("thousand.txt"));
    QCOMPARE(written, fixedWidth(primes, 4, 20));
    const QList<QByteArray> lines = written.split('\n');
    QCOMPARE(lines.size(), 9);
    for (int i = 0; i < 8; ++i)
        QCOMPARE(lines[i].size(), 83); // twenty fields and the three blanks of the break
    QCOMPARE(lines[8], QByteArray(" 947 953 967 971 977 983 991 997"));
}

void TestPrimeFiles::savesTwentySixFieldsOfWidthThree()
{
    QStringList items;
    for (int n = 10; n < 36; ++n)
        items << QString::number(n);
    setList(items);
    save(path("26.txt"));
    QByteArray expected;
    for (int n = 10; n < 36; ++n)
        expected += ' ' + QByteArray::number(n);
    expected += "  \n";
    QCOMPARE(readAll(path("26.txt")), expected);
}

void TestPrimeFiles::emptyListSavesEmptyFile()
{
    writeFile(path("old.txt"), "old content");
    save(path("old.txt"));
    QVERIFY(QFileInfo::exists(path("old.txt")));
    QCOMPARE(readAll(path("old.txt")), QByteArray());
    setList(words("4"));
    load(path("old.txt"));
    QCOMPARE(listTexts(), QStringList());
}

void TestPrimeFiles::roundTrip_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("width");
    QTest::newRow("one") << words("7") << 2;
    QTest::newRow("exactly one line") << words("2 3 5 7 11 13 17 19 23 29 31 37 41 43 47 53 59 61 "
                                               "67 71 73 79 83 89 97 101")
                                      << 4;
    QTest::newRow("longest first") << words("123456 5 1000 3") << 7;
    QTest::newRow("negative") << words("-5 7 -123 0") << 5;
    QTest::newRow("extremes") << words("-9223372036854775808 9223372036854775807 0") << 21;
    QTest::newRow("15 digits") << words("999999999999947 999999999999989") << 16;
    QStringList many;
    for (int n = 1; n <= 5000; n += 7)
        many << QString::number(n);
    QTest::newRow("many lines") << many << 5;
}

void TestPrimeFiles::roundTrip()
{
    QFETCH(QStringList, items);
    QFETCH(int, width);
    setList(items);
    save(path("trip.txt"));
    const QByteArray written = readAll(path("trip.txt"));
    QCOMPARE(written, fixedWidth(items, width, 80 / width));
    QCOMPARE(listTexts(), items);
    setList(words("1 2 3"));
    load(path("trip.txt"));
    QCOMPARE(listTexts(), items);
    for (int i = 0; i < items.size(); ++i)
        QCOMPARE(child<QListWidget>("list")->item(i)->textAlignment(), int(Qt::AlignRight));
}

void TestPrimeFiles::loadsIntegers_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one per line") << QByteArray("2\n3\n5\n") << words("2 3 5");
    QTest::newRow("mixed white space") << QByteArray(" \t2   3\t\t5 \n 7\n\n\n11\r\n13\v17\f19\r23")
                                       << words("2 3 5 7 11 13 17 19 23");
    QTest::newRow("carriage returns alone") << QByteArray("2\r3\r\r5\r") << words("2 3 5");
    QTest::newRow("blank lines") << QByteArray("\n\n2\n\n\n3\n\n") << words("2 3");
    QTest::newRow("trailing blanks") << QByteArray("2   \n3      ") << words("2 3");
    QTest::newRow("no final line break") << QByteArray("2 3") << words("2 3");
    QTest::newRow("plus sign") << QByteArray("+5") << words("5");
    QTest::newRow("octal") << QByteArray("010") << words("8");
    QTest::newRow("hex") << QByteArray("0x1F") << words("31");
    QTest::newRow("binary") << QByteArray("0b101") << words("5");
    QTest::newRow("negative") << QByteArray("-7 -0") << words("-7 0");
    QTest::newRow("unordered, repeated, composite") << QByteArray("9 4 4 1") << words("9 4 4 1");
    QTest::newRow("limits") << QByteArray("9223372036854775807 -9223372036854775808")
                            << words("9223372036854775807 -9223372036854775808");
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("white space only") << QByteArray(" \n\t\n  \r\n") << QStringList();
}

void TestPrimeFiles::loadsIntegers()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);
    writeFile(path("in.txt"), content);
    setList(words("100 200"));
    load(path("in.txt"));
    QCOMPARE(listTexts(), expected);
    auto *list = child<QListWidget>("list");
    QVERIFY(list->updatesEnabled());
    QVERIFY(list->uniformItemSizes());
}

void TestPrimeFiles::stopsAtTokenThatIsNoInteger_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<int>("line");
    QTest::newRow("word") << QByteArray("2 3 abc 5 7") << words("2 3") << 1;
    QTest::newRow("first token") << QByteArray("abc 2 3") << QStringList() << 1;
    QTest::newRow("20 digits") << QByteArray("2 3 12345678901234567890 7") << words("2 3") << 1;
    QTest::newRow("one past largest") << QByteArray("1 9223372036854775808") << words("1") << 1;
    QTest::newRow("glued letters") << QByteArray("2\n3x\n5") << words("2") << 2;
    QTest::newRow("comma separated") << QByteArray("2,3,5") << QStringList() << 1;
    QTest::newRow("decimal point") << QByteArray("2 3.0 5") << words("2") << 1;
    QTest::newRow("sign alone") << QByteArray("2 - 3") << words("2") << 1;
    QTest::newRow("binary data") << QByteArray("2 3\x01\xff\xfe", 7) << words("2") << 1;
    QTest::newRow("after blank lines")
        << QByteArray("2\n\n3 5\r\n\n\t7\n\n\n  eleven\n") << words("2 3 5 7") << 8;
    QTest::newRow("a megabyte of NUL bytes")
        << QByteArray("2 3\n") + QByteArray(1 << 20, '\0') << words("2 3") << 2;
}

void TestPrimeFiles::stopsAtTokenThatIsNoInteger()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, kept);
    QFETCH(int, line);
    writeFile(path("bad.txt"), content);
    BoxSeen box;
    load(path("bad.txt"), nullptr, recordBox(&box));
    QCOMPARE(listTexts(), kept);
    QVERIFY(box.seen);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.title, QStringLiteral("Odczytywanie"));
    QCOMPARE(box.text,
             QStringLiteral("Wczytano liczb: %1. Dalsza część pliku %2, od wiersza %3, "
                            "nie jest listą liczb całkowitych.")
                 .arg(QString::number(kept.size()), path("bad.txt"), QString::number(line)));
}

void TestPrimeFiles::loadReplacesListSaveKeepsIt()
{
    writeFile(path("in.txt"), "11 13");
    generate("1", "10");
    QCOMPARE(listTexts(), words("2 3 5 7"));
    save(path("out.txt"));
    QCOMPARE(listTexts(), words("2 3 5 7"));
    load(path("in.txt"));
    QCOMPARE(listTexts(), words("11 13"));
    QCOMPARE(child<QLineEdit>("min")->text(), QStringLiteral("1"));
    QCOMPARE(child<QLineEdit>("max")->text(), QStringLiteral("10"));
    QCOMPARE(readAll(path("out.txt")), QByteArray(" 2 3 5 7"));
}

void TestPrimeFiles::cancelledFileDialogsChangeNothing()
{
    setList(words("2 3"));
    writeFile(path("primes.txt"), "5");
    FileDialogSeen seen;
    save(QString(), &seen);
    QVERIFY(seen.seen);
    QCOMPARE(readAll(path("primes.txt")), QByteArray("5"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("primes.txt")});
    seen = {};
    load(QString(), &seen);
    QVERIFY(seen.seen);
    QCOMPARE(listTexts(), words("2 3"));
}

void TestPrimeFiles::missingFileIsIgnored()
{
    setList(words("2 3"));
    load(path("nothing-here.txt"));
    QCOMPARE(listTexts(), words("2 3")); // and no box: the watchdog would have seen it
}

void TestPrimeFiles::unopenableFileIsReported_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("directory") << "directory"
                               << "to jest katalog";
    QTest::newRow("FIFO without a writer") << "fifo"
                                           << "to nie jest zwykły plik";
    QTest::newRow("endless device") << "/dev/zero"
                                    << "to nie jest zwykły plik";
    QTest::newRow("no permission to read") << "unreadable"
                                           << "brak uprawnień";
}

// Nothing here may block or read for ever: the open of a FIFO waits for a writer, and
// /dev/zero never ends.
void TestPrimeFiles::unopenableFileIsReported()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QVERIFY(openToOthers(dir->path()));
    QString target = kind.startsWith(QLatin1Char('/')) ? kind : path("target");
    if (kind == QLatin1String("directory"))
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("target")));
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0644), 0);
    if (kind == QLatin1String("unreadable")) {
        writeFile(target, "5 7");
        QVERIFY(QFile::setPermissions(target, QFileDevice::WriteOwner));
    }
    setList(words("2 3"));
    BoxSeen box;
    {
        const Deadline deadline(30);
        const WithoutRootPrivileges plainUser;
        QVERIFY(plainUser.effective());
        load(target, nullptr, recordBox(&box));
    }
    QCOMPARE(listTexts(), words("2 3"));
    QVERIFY(box.seen);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.title, QStringLiteral("Odczytywanie"));
    QCOMPARE(box.text, QStringLiteral("Nie można otworzyć pliku %1: %2.").arg(target, reason));
}

// A file of NUL bytes is one token too long to be a number, known as such after its first
// few hundred bytes. 64 GiB cost no disk, and reading them through would outlast the
// deadline many times.
void TestPrimeFiles::sparseFileOfZerosStopsAtOnce()
{
    writeFile(path("zeros.txt"), "2 3\n");
    QVERIFY(QFile::resize(path("zeros.txt"), qint64(64) << 30));
    BoxSeen box;
    {
        const Deadline deadline(30);
        load(path("zeros.txt"), nullptr, recordBox(&box));
    }
    QCOMPARE(listTexts(), words("2 3"));
    QVERIFY(box.seen);
    QCOMPARE(box.text, QStringLiteral("Wczytano liczb: 2. Dalsza część pliku %1, od wiersza 2, "
                                      "nie jest listą liczb całkowitych.")
                           .arg(path("zeros.txt")));
}

void TestPrimeFiles::fileChangedWhileLoading_data()
{
    QTest::addColumn<int>("cutIn"); // characters of "30001\n" kept; -1: the file grows
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("message");
    const QString cut = QStringLiteral("Plik %1 został skrócony w trakcie odczytu. Wczytano "
                                       "liczb: %2 – tylko te, które odczytano w całości.");
    // The number at the cut lost its last digit: 30001 would read as 3000.
    QTest::newRow("cut in a number") << 4 << 30000 << cut;
    // No number was cut, but the reader cannot know that 30001 was whole.
    QTest::newRow("cut after a number") << 5 << 30000 << cut;
    QTest::newRow("cut after a line break") << 6 << 30001 << cut;
    QTest::newRow("grown") << -1 << 40000
                           << QStringLiteral("Plik %1 zmienił się w trakcie odczytu. Wczytano "
                                             "liczb: %2; lista może nie odpowiadać jego obecnej "
                                             "zawartości.");
}

// The file changes once the first numbers are in the list, long before the reader comes
// near the place of the change.
void TestPrimeFiles::fileChangedWhileLoading()
{
    QFETCH(int, cutIn);
    QFETCH(int, kept);
    QFETCH(QString, message);
    const QByteArray content = numberLines(40000);
    writeFile(path("changing.txt"), content);
    auto *list = child<QListWidget>("list");
    bool changed = false;
    QTimer changer;
    connect(&changer, &QTimer::timeout, [&] {
        if (changed || list->count() == 0)
            return;
        changed = true;
        // The box is answered as the next modal widget: on a slow build the progress
        // dialog must not show up first.
        table->findChild<QProgressDialog *>()->setMinimumDuration(INT_MAX);
        QFile file(path("changing.txt"));
        if (cutIn < 0) {
            QVERIFY(file.open(QIODevice::Append));
            QVERIFY(file.write("40001\n") > 0);
        } else {
            QVERIFY(file.resize(content.indexOf("\n30001\n") + 1 + cutIn));
        }
    });
    changer.start(0);
    BoxSeen box;
    const ModalExpected progressDialog;
    load(path("changing.txt"), nullptr, recordBox(&box));
    changer.stop();

    QVERIFY(changed);
    QVERIFY(box.seen);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.text, message.arg(path("changing.txt"), QString::number(kept)));
    QCOMPARE(list->count(), kept);
    QCOMPARE(list->item(kept - 1)->text(), QString::number(kept));
}

void TestPrimeFiles::saveToMissingDirectoryIsReported()
{
    setList(words("2 3"));
    const QString target = path("missing/primes.txt");
    BoxSeen box;
    save(target, nullptr, recordBox(&box));
    QVERIFY(box.seen);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.title, QStringLiteral("Zapisywanie"));
    QVERIFY2(box.text.contains(target), qPrintable(box.text));
    QVERIFY(!QFileInfo::exists(target));
    QCOMPARE(listTexts(), words("2 3"));
}

void TestPrimeFiles::saveBeyondFileSizeLimitKeepsOldFile_data()
{
    QTest::addColumn<QByteArray>("old"); // empty: no file before
    QTest::addColumn<QString>("suffix");
    QTest::newRow("over an old file") << QByteArray("  2  3  5  7 11 13 17 19 23 29")
                                      << " Jego dotychczasowa zawartość pozostała bez zmian.";
    QTest::newRow("new file") << QByteArray() << QString();
}

// The limit raises SIGXFSZ, which ends the program unless the save ignores it; the test
// does not ignore it itself.
void TestPrimeFiles::saveBeyondFileSizeLimitKeepsOldFile()
{
    QFETCH(QByteArray, old);
    QFETCH(QString, suffix);
    if (!old.isEmpty())
        writeFile(path("primes.txt"), old);
    generate("1", "100000"); // about 58 KB of fields
    BoxSeen box;
    {
        FileSizeLimit limit(4096);
        QVERIFY(limit.applied());
        save(path("primes.txt"), nullptr, recordBox(&box));
    }
    QVERIFY(box.seen);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, QStringLiteral("Nie udało się zapisać pliku %1: plik przekroczyłby "
                                      "dopuszczalny rozmiar.")
                               .arg(path("primes.txt")) +
                           suffix);
    QCOMPARE(QFileInfo::exists(path("primes.txt")), !old.isEmpty());
    if (!old.isEmpty())
        QCOMPARE(readAll(path("primes.txt")), old);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files).size(), old.isEmpty() ? 0 : 1);
    QCOMPARE(child<QListWidget>("list")->count(), 9592);

    // Under no limit the same save succeeds and replaces the file.
    save(path("primes.txt"));
    QCOMPARE(readAll(path("primes.txt")), fixedWidth(primeTextsUpTo(100000), 6, 13));
}

void TestPrimeFiles::saveOntoWhatIsNoRegularFileIsRefused_data()
{
    QTest::addColumn<bool>("fifo");
    QTest::addColumn<QString>("reason");
    QTest::newRow("FIFO") << true << "to nie jest zwykły plik";
    QTest::newRow("directory") << false << "to jest katalog";
}

// Neither is replaced by a regular file, and the FIFO, which has no reader, is not waited on.
void TestPrimeFiles::saveOntoWhatIsNoRegularFileIsRefused()
{
    QFETCH(bool, fifo);
    QFETCH(QString, reason);
    const QString target = path("target");
    if (fifo)
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0644), 0);
    else
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("target")));
    setList(words("2 3"));
    BoxSeen box;
    {
        const Deadline deadline(30);
        save(target, nullptr, recordBox(&box));
    }
    QVERIFY(box.seen);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, QStringLiteral("Nie udało się zapisać pliku %1: %2.").arg(target, reason));
    QCOMPARE(isFifo(target), fifo);
    QCOMPARE(QFileInfo(target).isDir(), !fifo);
    QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("target")});
}

// The new file that replaces the old one takes its permissions; a link is saved through
// and stays a link.
void TestPrimeFiles::saveKeepsPermissionsAndLinks()
{
    const QFileDevice::Permissions ownerAndGroup =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    writeFile(path("primes.txt"), "old");
    QVERIFY(QFile::setPermissions(path("primes.txt"), ownerAndGroup));
    QVERIFY(QFile::link(path("primes.txt"), path("link.txt")));
    setList(words("2 3"));
    save(path("link.txt"));
    QCOMPARE(readAll(path("primes.txt")), QByteArray(" 2 3"));
    QVERIFY(QFileInfo(path("link.txt")).isSymLink());
    struct stat status {};
    QCOMPARE(::stat(QFile::encodeName(path("primes.txt")).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, mode_t(0640));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::System),
             (QStringList{QStringLiteral("link.txt"), QStringLiteral("primes.txt")}));
}

// A folder that takes no new file but holds a file that may be written: the file is
// written where it is. A failure there cannot leave the old content, and says so.
void TestPrimeFiles::saveInPlaceWhereFolderTakesNoNewFile()
{
    QVERIFY(openToOthers(dir->path()));
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("locked")));
    const QString target = path("locked/primes.txt");
    writeFile(target, "old");
    QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ReadOther | QFileDevice::WriteOther));
    QVERIFY(QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                      QFileDevice::ReadOther |
                                                      QFileDevice::ExeOther));
    const ino_t inode = inodeOf(target);
    generate("1", "100000");
    BoxSeen box;
    {
        const WithoutRootPrivileges plainUser;
        QVERIFY(plainUser.effective());
        {
            FileSizeLimit limit(4096);
            QVERIFY(limit.applied());
            save(target, nullptr, recordBox(&box));
        }
        QVERIFY(box.seen);
        QCOMPARE(box.text, QStringLiteral("Nie udało się zapisać pliku %1: plik przekroczyłby "
                                          "dopuszczalny rozmiar. Zapisywano wprost do niego, "
                                          "więc jego dotychczasowa zawartość mogła zostać "
                                          "zmieniona.")
                               .arg(target));

        save(target);
    }
    QCOMPARE(readAll(target), fixedWidth(primeTextsUpTo(100000), 6, 13));
    QCOMPARE(inodeOf(target), inode);
    QCOMPARE(QDir(path("locked")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("primes.txt")});
}

void TestPrimeFiles::saveWhereFolderOrFileIsLocked()
{
    QVERIFY(openToOthers(dir->path()));
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("locked")));
    writeFile(path("locked/old.txt"), "old");
    QVERIFY(QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                      QFileDevice::ReadOther |
                                                      QFileDevice::ExeOther));
    writeFile(path("readonly.txt"), "kept");
    QVERIFY(QFile::setPermissions(path("readonly.txt"), QFileDevice::ReadOwner));
    setList(words("2 3"));
    BoxSeen overOld;
    BoxSeen newFile;
    BoxSeen readOnly;
    {
        const WithoutRootPrivileges plainUser;
        QVERIFY(plainUser.effective());
        save(path("locked/old.txt"), nullptr, recordBox(&overOld));
        save(path("locked/new.txt"), nullptr, recordBox(&newFile));
        save(path("readonly.txt"), nullptr, recordBox(&readOnly));
    }
    QVERIFY(overOld.seen);
    QCOMPARE(overOld.text, QStringLiteral("Nie udało się zapisać pliku %1: brak uprawnień. Jego "
                                          "dotychczasowa zawartość pozostała bez zmian.")
                               .arg(path("locked/old.txt")));
    QCOMPARE(readAll(path("locked/old.txt")), QByteArray("old"));
    QVERIFY(newFile.seen);
    QCOMPARE(newFile.text, QStringLiteral("Nie udało się zapisać pliku %1: brak uprawnień.")
                               .arg(path("locked/new.txt")));
    QVERIFY(!QFileInfo::exists(path("locked/new.txt")));
    // The folder would take the new file, but the old one is not to be replaced.
    QVERIFY(readOnly.seen);
    QCOMPARE(readOnly.text, QStringLiteral("Nie udało się zapisać pliku %1: brak uprawnień. Jego "
                                           "dotychczasowa zawartość pozostała bez zmian.")
                                .arg(path("readonly.txt")));
    QCOMPARE(readAll(path("readonly.txt")), QByteArray("kept"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("readonly.txt")});
}

void TestPrimeFiles::focusReturnsAfterFileWork_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::newRow("save") << QByteArray("save");
    QTest::newRow("load") << QByteArray("load");
}

// The buttons are off while the work runs, which moves the focus on to the list.
void TestPrimeFiles::focusReturnsAfterFileWork()
{
    QFETCH(QByteArray, button);
    writeFile(path("focus.txt"), "2 3 5");
    setList(words("2 3"));
    table->show();
    QVERIFY(QTest::qWaitForWindowActive(table.get()));
    auto *pressed = child<QPushButton>(button.constData());
    pressed->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), pressed);
    answerFileDialog(path("focus.txt"));
    QTest::keyClick(pressed, Qt::Key_Space);
    // The window gets its focus back when it is active again; offscreen it may not be.
    QCOMPARE(table->focusWidget(), pressed);
}

void TestPrimeFiles::cancellingLoadKeepsPrefix()
{
    QByteArray content;
    QStringList numbers;
    for (int n = 1; n <= 200000; ++n) {
        numbers << QString::number(n);
        content += QByteArray::number(n) + '\n';
    }
    writeFile(path("long.txt"), content);

    auto *list = child<QListWidget>("list");
    QString label;
    QString title;
    int maximum = -1;
    QTimer canceller;
    connect(&canceller, &QTimer::timeout, [&] {
        auto *progress = table->findChild<QProgressDialog *>();
        if (!progress || list->count() < 3000)
            return;
        label = progress->labelText();
        title = progress->windowTitle();
        maximum = progress->maximum();
        QCOMPARE(progress->windowModality(), Qt::WindowModal);
        progress->cancel();
    });
    canceller.start(0);
    const ModalExpected progressDialog;
    load(path("long.txt"));
    canceller.stop();

    QCOMPARE(label, QStringLiteral("Odczytywanie"));
    QCOMPARE(title, QStringLiteral("Wczytywanie listy"));
    QCOMPARE(maximum, content.size());
    const QStringList read = listTexts();
    QVERIFY(read.size() >= 3000);
    QVERIFY(read.size() < numbers.size());
    QCOMPARE(read, numbers.mid(0, read.size()));
    QVERIFY(list->updatesEnabled());
}

void TestPrimeFiles::loadStopsAtListLimit_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("reported");
    QTest::newRow("more numbers than the list holds") << QByteArray("2 3 5 7 11 13 17") << true;
    QTest::newRow("as many numbers as the list holds") << QByteArray("2 3 5 7\n") << false;
}

void TestPrimeFiles::loadStopsAtListLimit()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, reported);
    writeFile(path("in.txt"), content);
    table->setListLimit(4);
    BoxSeen box;
    load(path("in.txt"), nullptr, reported ? recordBox(&box) : nullptr);
    QCOMPARE(listTexts(), words("2 3 5 7"));
    QCOMPARE(box.seen, reported);
    if (reported) {
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.title, QStringLiteral("Wczytywanie listy"));
        QCOMPARE(box.text, QStringLiteral("Lista pokazuje 4 liczb, najwięcej, ile może pomieścić. "
                                          "Dalszych liczb nie umieszczono na liście."));
    }
}

void TestPrimeFiles::cancellingSaveKeepsWrittenPart()
{
    QStringList numbers;
    for (int n = 1; n <= 50000; ++n)
        numbers << QString::number(n);
    setList(numbers);
    writeFile(path("primes.txt"), "old");

    QString label;
    QString title;
    int maximum = -1;
    QTimer canceller;
    connect(&canceller, &QTimer::timeout, [&] {
        if (auto *progress = table->findChild<QProgressDialog *>()) {
            label = progress->labelText();
            title = progress->windowTitle();
            maximum = progress->maximum();
            progress->cancel();
        }
    });
    canceller.start(0);
    const ModalExpected progressDialog;
    save(path("primes.txt"));
    canceller.stop();

    QCOMPARE(label, QStringLiteral("Zapisywanie"));
    QCOMPARE(title, QStringLiteral("Zapisywanie listy"));
    QCOMPARE(maximum, numbers.size());
    const QByteArray whole = fixedWidth(numbers, 6, 13);
    const QByteArray written = readAll(path("primes.txt"));
    QVERIFY(!written.isEmpty());
    QVERIFY(written.size() < whole.size());
    QVERIFY(whole.startsWith(written));
    QCOMPARE(listTexts(), numbers);
}

// Closing the progress dialog is no "Przerwij": the save is abandoned and the old file
// stays. Quitting the program closes every window this way.
void TestPrimeFiles::closingSaveDialogKeepsOldFile()
{
    QStringList numbers;
    for (int n = 1; n <= 50000; ++n)
        numbers << QString::number(n);
    setList(numbers);
    writeFile(path("primes.txt"), "old");

    bool closed = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        auto *progress = table->findChild<QProgressDialog *>();
        if (!progress || closed)
            return;
        progress->show(); // as it does once the save has run long enough
        closed = progress->windowHandle()->close();
    });
    closer.start(0);
    BoxSeen box;
    const ModalExpected progressDialog;
    save(path("primes.txt"), nullptr, recordBox(&box));
    closer.stop();

    QVERIFY(closed);
    QVERIFY(box.seen);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, QStringLiteral("Zapisywanie pliku %1 przerwano. Jego dotychczasowa "
                                      "zawartość pozostała bez zmian.")
                           .arg(path("primes.txt")));
    QCOMPARE(readAll(path("primes.txt")), QByteArray("old"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("primes.txt")});
    QCOMPARE(listTexts(), numbers);
}

// "Zakończ" in the main window while the hidden prime table saves: the program's own event
// loop ends, and the file that was there stays as it was.
void TestPrimeFiles::quittingDuringSaveKeepsOldFile()
{
    table.reset();
    writeFile(path("primes.txt"), "old");
    MainWindow window;
    window.show();
    childNamed<QAction>(&window, "actionPrimeTable")->trigger();
    PrimeTable *primes = window.findChild<PrimeTable *>();
    for (QWidget *top : QApplication::topLevelWidgets())
        if (!primes)
            primes = qobject_cast<PrimeTable *>(top);
    QVERIFY(primes);
    auto *list = childNamed<QListWidget>(primes, "list");
    for (int n = 1; n <= 50000; ++n)
        list->addItem(QString::number(n));

    bool quit = false;
    QTimer quitter;
    connect(&quitter, &QTimer::timeout, [&] {
        auto *progress = primes->findChild<QProgressDialog *>();
        if (!progress || quit)
            return;
        progress->show();
        primes->hide();
        quit = true;
        childNamed<QAction>(&window, "actionZako_cz")->trigger();
    });
    quitter.start(0);
    answerFileDialog(path("primes.txt"));
    QTimer::singleShot(0, childNamed<QPushButton>(primes, "save"), &QPushButton::click);
    {
        const Deadline deadline(60);
        const ModalExpected progressDialog;
        QCOMPARE(QApplication::exec(), 0);
    }
    QVERIFY(quit);
    QCOMPARE(readAll(path("primes.txt")), QByteArray("old"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("primes.txt")});
}

QTEST_MAIN(TestPrimeFiles)
#include "tst_primefiles.moc"

// The load lets the event loop run before its progress dialog appears; a click on
// "Generuj liczby" in that time must not start a generation into the list being read.
void TestPrimeFiles::controlsOffWhileLoading()
{
    QByteArray content;
    for (int n = 1; n <= 20000; ++n)
        content += QByteArray::number(n) + ' ';
    writeFile(path("numbers.txt"), content);
    child<QLineEdit>("max")->setText(QStringLiteral("100"));
    QVERIFY(child<QPushButton>("generate")->isEnabled());

    QStringList enabledDuring;
    bool sampled = false;
    const auto sample = [&] {
        sampled = true;
        for (const char *control : {"load", "save", "generate", "min", "max"})
            if (child<QWidget>(control)->isEnabled())
                enabledDuring << QLatin1String(control);
        QTest::mouseClick(child<QPushButton>("generate"), Qt::LeftButton);
    };
    // Armed by the file dialog's answer, so it fires in the load's first event pass.
    answerFileDialog(path("numbers.txt"));
    QTimer arm;
    connect(&arm, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget())
            return;
        arm.stop();
        QTimer::singleShot(0, this, sample);
    });
    arm.start(1);
    QTest::mouseClick(child<QPushButton>("load"), Qt::LeftButton);

    QVERIFY(sampled);
    QCOMPARE(enabledDuring, QStringList());
    auto *list = child<QListWidget>("list");
    QCOMPARE(list->count(), 20000);
    QCOMPARE(list->item(19999)->text(), QStringLiteral("20000"));
    QCOMPARE(child<QPushButton>("generate")->text(), QStringLiteral("Generuj liczby"));
    for (const char *control : {"load", "save", "generate", "min", "max"})
        QVERIFY2(child<QWidget>(control)->isEnabled(), control);
}
