// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PRIMEFILE_H
#define PRIMEFILE_H

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

#include <sys/types.h>

class QTextStream;

// The prime list file format, and the files it is read from and saved to.

// Reading: white-space separated 64-bit integers written the way a text stream's integer
// extraction reads them. A leading sign means decimal; without one, "0x" means base 16,
// "0b" base 2 and a 0 followed by an octal digit base 8. Case of the prefix letter and of
// the hexadecimal digits does not matter.

// The value of a whole token, or nothing when the token is not such an integer or its
// value lies outside the range of qlonglong (the stream would silently wrap it).
std::optional<qlonglong> parseListInteger(QStringView token);

// Pending: only white space (or the rest of an over-long token) was passed so far; the
// caller may let its window run and ask again.
enum class ListToken { Number, End, NotAnInteger, Pending };

// Splits the text of a stream into tokens a chunk at a time. A token is kept only up to
// maxTokenLength characters, so a file without white space cannot fill the memory; a
// longer token counts as no integer and is answered as soon as it is known to be one.
class ListReader {
public:
    static constexpr int maxTokenLength = 256;
    // After passing this many characters without a token, a call answers Pending: a file
    // of nothing but white space must not keep its reader from returning for seconds.
    static constexpr int maxPassedWithoutAnswer = 1 << 16;

    explicit ListReader(QTextStream &in, int chunkLength = 1 << 16);

    // Reads the next token. Every call consumes a token, reaches the end or passes at
    // least maxPassedWithoutAnswer characters, so a loop over it cannot stall; `value` is
    // set only for ListToken::Number.
    ListToken next(qlonglong &value);

    // The line (counted from 1) on which the last token returned starts.
    qint64 line() const { return m_line; }
    // Whether the last token returned ran up to the end of the text: when the text was
    // cut short, such a token may be the beginning of a longer one.
    bool lastAtEnd() const { return m_lastAtEnd; }

private:
    bool refill();
    void skipSpace();
    void skipToken();

    QTextStream &m_in;
    const int m_chunkLength;
    QString m_chunk;
    int m_position = 0;
    QString m_carried;       // the start of a token cut by the end of a chunk
    bool m_skipping = false; // passing the rest of an over-long token
    bool m_lastAtEnd = false;
    qint64 m_line = 1;
};

// The characters of a number in decimal, its sign included.
int decimalLength(qlonglong number);

// Writing of prime list files: every number right-aligned in a field one character wider
// than the longest number of the list, so that even an unordered list reads back the same,
// and as many fields to a line as fit in 80 characters. A full line ends in a line break
// padded like a field.
class ListWriter {
public:
    // `longestLength`: the decimalLength of the longest number that will be written.
    ListWriter(QTextStream &out, int longestLength);

    // The bytes of each field: every number and every line break takes one.
    static int fieldWidth(int longestLength) { return longestLength + 1; }
    // The size of the whole file of `count` numbers, known before any of it is written.
    static qint64 fileSize(qint64 count, int longestLength);

    void write(qlonglong number);

private:
    QTextStream &m_out;
    int m_perLine;
    int m_inLine = 0;
};

// Why a file could not be used: an errno value, or this code for a path that names
// something other than a regular file (a device, a FIFO, a socket).
constexpr int notRegularFile = -1;

// A regular file to load a list from. Opening it never blocks: a FIFO is refused before
// anyone writes into it, and so is a device such as /dev/zero, which never ends. Reading
// stops at the size the file had when it was opened, so a growing file cannot keep the
// reader busy, and a file that ends sooner is known to have been cut meanwhile.
class ListSource : public QIODevice {
public:
    ListSource() = default;
    ~ListSource() override;
    ListSource(const ListSource &) = delete;
    ListSource &operator=(const ListSource &) = delete;

    bool openFile(const QString &path);
    void close() override;
    // The reason of the last failure, 0 if there was none.
    int error() const { return m_error; }
    // The size of the file when it was opened.
    qint64 size() const override { return m_size; }
    // Reading ended before that size: the file was cut meanwhile, or a read failed.
    bool endedEarly() const { return m_shrank || m_error != 0; }
    // The file's size or modification time is no longer what it was when it was opened.
    bool changed() const;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool fail(int error);
    void closeDescriptor();

    int m_fd = -1;
    int m_error = 0;
    qint64 m_size = 0;
    qint64 m_read = 0;
    bool m_shrank = false;
    qint64 m_modifiedSeconds = 0;
    qint64 m_modifiedNanoseconds = 0;
};

// The file a list is saved into. A failed or abandoned save leaves the old file as it
// was: the list goes into a new file beside it, which replaces the old one only on
// commit(). Where the folder takes no new file but the file itself may be written, it is
// written in place instead: it first gets room for the whole list, or is left as it was,
// and its old content is gone as soon as writing starts. Something that is not a regular
// file is refused, never replaced.
class ListTarget : public QIODevice {
public:
    ListTarget() = default;
    // Discards an uncommitted file.
    ~ListTarget() override;
    ListTarget(const ListTarget &) = delete;
    ListTarget &operator=(const ListTarget &) = delete;

    // `size`: the bytes of the whole list (ListWriter::fileSize), `fieldWidth`: of each of
    // its fields. A file written in place that does not get its whole content is cut back
    // to whole fields, so that it never ends in a cut number.
    bool openFile(const QString &path, qint64 size, int fieldWidth);
    // Makes what was written the content of the file; false if that failed.
    bool commit();
    // Abandons what was written: the new file is removed. Written in place, the file gets
    // its old content back if none of it was overwritten yet, and keeps the whole fields
    // that reached it otherwise.
    void discard();
    // The reason of the first failure, 0 if there was none.
    int error() const { return m_error; }
    // Whether a regular file was there before and none of its bytes was overwritten.
    bool oldFileKept() const { return m_existed && !m_overwritten; }
    // Whether the old file, written in place, may have lost its content.
    bool oldFileTouched() const { return m_overwritten; }

    // Settles the saves that have not ended, for a program that ends without running
    // their destructors (exit() when the display is lost, a signal): their new files are
    // removed, files written in place get back their old content or keep their whole
    // fields, as discard() does. Runs at exit on its own; calls only what a signal
    // handler may.
    static void settleUnfinished() noexcept;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool openBeside(mode_t mode);
    bool openInPlace(qint64 size);
    int reserve(qint64 size);
    bool fail(int error);
    bool closeDescriptor();
    void forgetUnfinished();

    int m_fd = -1;
    int m_error = 0;
    QByteArray m_target;
    QByteArray m_temporary; // empty when writing in place
    bool m_existed = false;
    bool m_inPlace = false;
    bool m_overwritten = false; // a write in place was tried
    int m_fieldWidth = 1;
    qint64 m_oldSize = 0;
    qint64 m_written = 0;
    int m_unfinished = -1; // the save's entry for settleUnfinished
};

#endif // PRIMEFILE_H
