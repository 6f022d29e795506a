// SPDX-License-Identifier: GPL-3.0-or-later
// The prime list file format without a window: the integer tokens, the reader's chunks,
// and the fixed-width layout written and read back through the files it is saved to and
// loaded from.

#include "fileaccess.h"
#include "listfiles.h"
#include "primefile.h"
#include "primesieve.h"

#include <QtTest>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <limits>
#include <memory>

namespace {

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

int longestOf(const QStringList &numbers)
{
    int longest = 0;
    for (const QString &number : numbers)
        longest = std::max(longest, decimalLength(number.toLongLong()));
    return longest;
}

// Saves `numbers` as the window does: a field one wider than the longest of them.
bool writeNumbers(const QString &path, const QStringList &numbers)
{
    const int longest = longestOf(numbers);
    ListTarget file;
    if (!file.openFile(path, ListWriter::fileSize(numbers.size(), longest),
                       ListWriter::fieldWidth(longest)))
        return false;
    QTextStream out(&file);
    ListWriter writer(out, longest);
    for (const QString &number : numbers)
        writer.write(number.toLongLong());
    out.flush();
    return out.status() == QTextStream::Ok && file.commit();
}

// The numbers of a file up to its end or its first token that is no integer.
QStringList readNumbers(const QString &path)
{
    ListSource file;
    if (!file.openFile(path))
        return {QStringLiteral("<unopenable>")};
    QTextStream in(&file);
    ListReader reader(in);
    QStringList numbers;
    qlonglong value = 0;
    for (ListToken token; (token = reader.next(value)) != ListToken::End;) {
        if (token == ListToken::NotAnInteger)
            break;
        if (token == ListToken::Number)
            numbers << QString::number(value);
    }
    return numbers;
}

} // namespace

class TestPrimeList : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void parsesTokens_data();
    void parsesTokens();
    void readerAcrossChunks_data();
    void readerAcrossChunks();
    void readerTellsLineAndEnd_data();
    void readerTellsLineAndEnd();
    void overlongTokenAnsweredAtOnce();
    void whiteSpaceAnsweredAsPending();

    void writesFixedWidthFields_data();
    void writesFixedWidthFields();
    void readsIntegers_data();
    void readsIntegers();

    void inPlaceTargetKeepsOldOrWholeFields_data();
    void inPlaceTargetKeepsOldOrWholeFields();
    void inPlaceTargetWithoutRoomLeavesFile();
    void unfinishedNewFileSettled();

private:
    QString path(const char *name) const { return dir->filePath(QLatin1String(name)); }
    QString lockedFileWith(const QByteArray &content);

    std::unique_ptr<QTemporaryDir> dir;
};

// As the program does, so that a write past the file size limit fails instead of ending it.
void TestPrimeList::initTestCase()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

void TestPrimeList::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestPrimeList::parsesTokens_data()
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

void TestPrimeList::parsesTokens()
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

void TestPrimeList::readerAcrossChunks_data()
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

void TestPrimeList::readerAcrossChunks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, answers);
    for (int chunkLength : {1, 2, 3, 5, 8, 64, 1 << 16})
        QVERIFY2(readAllTokens(text, chunkLength) == answers,
                 qPrintable(QStringLiteral("chunks of %1").arg(chunkLength)));
}

void TestPrimeList::readerTellsLineAndEnd_data()
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
void TestPrimeList::readerTellsLineAndEnd()
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
void TestPrimeList::overlongTokenAnsweredAtOnce()
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

void TestPrimeList::whiteSpaceAnsweredAsPending()
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

void TestPrimeList::writesFixedWidthFields_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("ten primes, no line break")
        << words("2 3 5 7 11 13 17 19 23 29") << QByteArray("  2  3  5  7 11 13 17 19 23 29");
    QStringList twentySix;
    QByteArray oneLine;
    for (int n = 10; n < 36; ++n) {
        twentySix << QString::number(n);
        oneLine += ' ' + QByteArray::number(n);
    }
    QTest::newRow("26 fields of width 3, then a padded break") << twentySix << oneLine + "  \n";
    const QStringList belowThousand = primeTextsUpTo(1000);
    QTest::newRow("the 168 primes below 1000: lines of twenty fields")
        << belowThousand << fixedWidth(belowThousand, 4, 20);
    QTest::newRow("nothing") << QStringList() << QByteArray();
    QTest::newRow("one") << words("7") << fixedWidth(words("7"), 2, 40);
    const QStringList upTo101 = words("2 3 5 7 11 13 17 19 23 29 31 37 41 43 47 53 59 61 67 71 73 "
                                      "79 83 89 97 101");
    QTest::newRow("exactly one line") << upTo101 << fixedWidth(upTo101, 4, 20);
    // Fields as wide as the longest number, wherever it stands, keep the numbers apart.
    QTest::newRow("longest first")
        << words("123456 5 1000 3") << fixedWidth(words("123456 5 1000 3"), 7, 11);
    QTest::newRow("negative") << words("-5 7 -123 0") << fixedWidth(words("-5 7 -123 0"), 5, 16);
    const QStringList extremes = words("-9223372036854775808 9223372036854775807 0");
    QTest::newRow("extremes") << extremes << fixedWidth(extremes, 21, 3);
    const QStringList fifteen = words("999999999999947 999999999999989");
    QTest::newRow("15 digits") << fifteen << fixedWidth(fifteen, 16, 5);
    QStringList many;
    for (int n = 1; n <= 5000; n += 7)
        many << QString::number(n);
    QTest::newRow("many lines") << many << fixedWidth(many, 5, 16);
}

// Each file reads back as the numbers written.
void TestPrimeList::writesFixedWidthFields()
{
    QFETCH(QStringList, numbers);
    QFETCH(QByteArray, file);
    QVERIFY(writeNumbers(path("list.txt"), numbers));
    QCOMPARE(readAll(path("list.txt")), file);
    QCOMPARE(ListWriter::fileSize(numbers.size(), longestOf(numbers)), qint64(file.size()));
    QCOMPARE(readNumbers(path("list.txt")), numbers);
}

void TestPrimeList::readsIntegers_data()
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
    QTest::newRow("up to a word") << QByteArray("2 3 abc 5 7") << words("2 3");
}

void TestPrimeList::readsIntegers()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);
    writeFile(path("in.txt"), content);
    QCOMPARE(readNumbers(path("in.txt")), expected);
}

// A file holding `content` in a folder that takes no new file, so that a target writes it in
// place; the target must be opened without root privileges.
QString TestPrimeList::lockedFileWith(const QByteArray &content)
{
    const QString folder = path("locked");
    const QString file = folder + QStringLiteral("/list.txt");
    if (!openToOthers(dir->path()) || !QDir().mkdir(folder))
        return {};
    writeFile(file, content);
    return lockFolder(folder, file) ? file : QString();
}

void TestPrimeList::inPlaceTargetKeepsOldOrWholeFields_data()
{
    QTest::addColumn<QByteArray>("old");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("end"); // "commit", "discard" or "settle"
    QTest::addColumn<QByteArray>("file");
    const QByteArray old(" 11 13 17 19 23 29 31 37 41 43");
    const QByteArray cut(" 53 59 6");
    const QByteArray whole(" 53 59 61 67 71");
    const QString commit = QStringLiteral("commit");
    const QString discard = QStringLiteral("discard");
    const QString settle = QStringLiteral("settle");
    QTest::newRow("commit over a longer file") << old << whole << commit << whole;
    QTest::newRow("commit over a shorter file") << QByteArray(" 11") << whole << commit << whole;
    QTest::newRow("discarded before writing") << old << QByteArray() << discard << old;
    QTest::newRow("discarded before writing, reserved past the old end")
        << QByteArray(" 11") << QByteArray() << discard << QByteArray(" 11");
    QTest::newRow("discarded within a field") << old << cut << discard << QByteArray(" 53 59");
    QTest::newRow("settled before writing") << old << QByteArray() << settle << old;
    QTest::newRow("settled within a field") << old << cut << settle << QByteArray(" 53 59");
}

// A file written in place first gets room for the whole list. If its save does not end, it
// gets back its old content while none of it is overwritten, and keeps only whole fields
// otherwise: as discarded, and as settled when the program ends without its destructors.
void TestPrimeList::inPlaceTargetKeepsOldOrWholeFields()
{
    QFETCH(QByteArray, old);
    QFETCH(QByteArray, written);
    QFETCH(QString, end);
    QFETCH(QByteArray, file);
    const QString target = lockedFileWith(old);
    QVERIFY(!target.isEmpty());
    const ino_t inode = inodeOf(target);
    const qint64 size = ListWriter::fileSize(5, 2);
    ListTarget list;
    {
        const WithoutRootPrivileges plainUser;
        QVERIFY(plainUser.effective());
        QVERIFY(list.openFile(target, size, ListWriter::fieldWidth(2)));
    }
    QCOMPARE(QFileInfo(target).size(), std::max<qint64>(old.size(), size));
    QCOMPARE(list.write(written), qint64(written.size()));
    QCOMPARE(list.oldFileKept(), written.isEmpty());
    if (end == QLatin1String("commit"))
        QVERIFY(list.commit());
    else if (end == QLatin1String("discard"))
        list.discard();
    else
        ListTarget::settleUnfinished();
    QCOMPARE(readAll(target), file);
    QCOMPARE(inodeOf(target), inode);
    QCOMPARE(QDir(path("locked")).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("list.txt")});
}

// Past a file size limit, as on a full disk, the room cannot be had; the file stays as it
// was, its size too.
void TestPrimeList::inPlaceTargetWithoutRoomLeavesFile()
{
    const QByteArray old(" 11 13");
    const QString target = lockedFileWith(old);
    QVERIFY(!target.isEmpty());
    ListTarget list;
    {
        const WithoutRootPrivileges plainUser;
        QVERIFY(plainUser.effective());
        const FileSizeLimit limit(10);
        QVERIFY(limit.applied());
        QVERIFY(!list.openFile(target, ListWriter::fileSize(5, 2), ListWriter::fieldWidth(2)));
    }
    QCOMPARE(list.error(), EFBIG);
    QVERIFY(list.oldFileKept());
    QCOMPARE(readAll(target), old);
}

// The new file of a save that has not ended goes when the program ends without destructors;
// the old file stays.
void TestPrimeList::unfinishedNewFileSettled()
{
    const QByteArray old(" 11 13");
    writeFile(path("list.txt"), old);
    ListTarget list;
    QVERIFY(list.openFile(path("list.txt"), ListWriter::fileSize(5, 2), ListWriter::fieldWidth(2)));
    QCOMPARE(list.write(" 53 59 6"), qint64(8));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    ListTarget::settleUnfinished();
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("list.txt")});
    QCOMPARE(readAll(path("list.txt")), old);
}

QTEST_APPLESS_MAIN(TestPrimeList)
#include "tst_primelist.moc"
