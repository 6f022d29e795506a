// SPDX-License-Identifier: GPL-3.0-or-later
#include "primefile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QString>
#include <QTextStream>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Notation {
    int base;
    bool negative;
    int firstDigit; // index in the token
};

Notation notationOf(QStringView token)
{
    const char16_t first = token[0].unicode();
    if (first == u'+' || first == u'-')
        return {10, first == u'-', 1};
    if (first != u'0' || token.size() == 1)
        return {10, false, 0};
    const char16_t second = token[1].unicode();
    if (second == u'x' || second == u'X')
        return {16, false, 2};
    if (second == u'b' || second == u'B')
        return {2, false, 2};
    if (second >= u'0' && second <= u'7')
        return {8, false, 1};
    return {10, false, 0};
}

ListToken interpret(std::optional<qlonglong> number, qlonglong &value)
{
    if (!number)
        return ListToken::NotAnInteger;
    value = *number;
    return ListToken::Number;
}

// The digit's value in `base`, or -1 when it is not a digit of that base.
int digitValue(char16_t c, int base)
{
    int value = -1;
    if (c >= u'0' && c <= u'9')
        value = c - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c - u'A' + 10;
    return value < base ? value : -1;
}

} // namespace

std::optional<qlonglong> parseListInteger(QStringView token)
{
    if (token.isEmpty())
        return std::nullopt;
    const Notation notation = notationOf(token);
    if (notation.firstDigit >= token.size())
        return std::nullopt;

    constexpr quint64 largest = std::numeric_limits<qlonglong>::max();
    const quint64 limit = notation.negative ? largest + 1 : largest;
    const auto base = static_cast<quint64>(notation.base);
    quint64 magnitude = 0;
    for (int i = notation.firstDigit; i < token.size(); ++i) {
        const int digit = digitValue(token[i].unicode(), notation.base);
        if (digit < 0)
            return std::nullopt;
        const auto d = static_cast<quint64>(digit);
        if (magnitude > (limit - d) / base)
            return std::nullopt;
        magnitude = magnitude * base + d;
    }
    if (!notation.negative || magnitude == 0)
        return static_cast<qlonglong>(magnitude);
    // -(magnitude - 1) - 1 also covers the magnitude 2^63, which qlonglong cannot hold.
    return -static_cast<qlonglong>(magnitude - 1) - 1;
}

ListReader::ListReader(QTextStream &in, int chunkLength)
    : m_in(in)
    , m_chunkLength(qMax(chunkLength, 1))
{
}

bool ListReader::refill()
{
    m_chunk = m_in.read(m_chunkLength);
    m_position = 0;
    return !m_chunk.isEmpty();
}

ListToken ListReader::next(qlonglong &value)
{
    m_carried.clear();
    m_lastAtEnd = false;
    bool inToken = false;
    qint64 passed = 0;
    for (;;) {
        if (m_position == m_chunk.size()) {
            if (!inToken && passed >= maxPassedWithoutAnswer)
                return ListToken::Pending;
            passed += m_chunk.size();
            if (!refill())
                break;
        }
        if (m_skipping) {
            skipToken();
            continue;
        }
        if (!inToken) {
            skipSpace();
            if (m_position == m_chunk.size())
                continue;
            inToken = true;
        }
        const int start = m_position;
        skipToken();
        const QStringView piece = QStringView(m_chunk).mid(start, m_position - start);
        const bool ended = m_position < m_chunk.size();
        // Most tokens lie within one chunk and are read where they are.
        if (ended && m_carried.isEmpty() && piece.size() <= maxTokenLength)
            return interpret(parseListInteger(piece), value);
        // An over-long token is answered at once: reading on to its end could take as long
        // as the file (a file of NUL bytes is one token). The next call passes its rest.
        if (m_carried.size() + piece.size() > maxTokenLength) {
            m_skipping = !ended;
            return ListToken::NotAnInteger;
        }
        m_carried.append(piece.data(), piece.size());
        if (ended)
            break;
    }
    if (!inToken)
        return ListToken::End;
    m_lastAtEnd = m_position == m_chunk.size();
    return interpret(parseListInteger(m_carried), value);
}

void ListReader::skipSpace()
{
    for (; m_position < m_chunk.size() && m_chunk.at(m_position).isSpace(); ++m_position)
        if (m_chunk.at(m_position) == QLatin1Char('\n'))
            ++m_line;
}

// Moves past the non-space characters at the position; the token ends with the chunk or
// at white space, which also ends a skip.
void ListReader::skipToken()
{
    while (m_position < m_chunk.size() && !m_chunk.at(m_position).isSpace())
        ++m_position;
    if (m_position < m_chunk.size())
        m_skipping = false;
}

int decimalLength(qlonglong number)
{
    int length = number < 0 ? 2 : 1;
    for (; number <= -10 || number >= 10; number /= 10)
        ++length;
    return length;
}

namespace {

int fieldsPerLine(int fieldWidth)
{
    return qMax(1, 80 / fieldWidth);
}

} // namespace

ListWriter::ListWriter(QTextStream &out, int longestLength)
    : m_out(out)
    , m_perLine(fieldsPerLine(fieldWidth(longestLength)))
{
    m_out.setFieldWidth(fieldWidth(longestLength));
}

qint64 ListWriter::fileSize(qint64 count, int longestLength)
{
    const int width = fieldWidth(longestLength);
    return (count + count / fieldsPerLine(width)) * width;
}

void ListWriter::write(qlonglong number)
{
    m_out << number;
    if (++m_inLine < m_perLine)
        return;
    m_out << QStringLiteral("\n"); // padded to the field width like a number
    m_inLine = 0;
}

namespace {

// Repeats a call that a signal may interrupt.
template <typename Call>
auto retried(Call call)
{
    auto result = call();
    while (result < 0 && errno == EINTR)
        result = call();
    return result;
}

// Writes zeros from `from` up to `to`: 0, or the reason it failed.
int writeZeros(int fd, qint64 from, qint64 to)
{
    static const char zeros[1 << 16] = {};
    for (qint64 at = from; at < to;) {
        const auto count = static_cast<size_t>(qMin<qint64>(to - at, sizeof zeros));
        const auto done = retried([&] { return ::pwrite(fd, zeros, count, at); });
        if (done <= 0)
            return done < 0 ? errno : EIO;
        at += done;
    }
    return 0;
}

} // namespace

// Not close(): a virtual call from a destructor would not reach an override.
ListSource::~ListSource()
{
    closeDescriptor();
}

bool ListSource::fail(int error)
{
    m_error = error;
    close();
    return false;
}

bool ListSource::openFile(const QString &path)
{
    close();
    m_error = 0;
    m_read = 0;
    m_shrank = false;
    m_fd = retried([&] {
        return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    });
    struct stat status {};
    if (m_fd < 0 || ::fstat(m_fd, &status) != 0)
        return fail(errno);
    if (S_ISDIR(status.st_mode))
        return fail(EISDIR);
    if (!S_ISREG(status.st_mode))
        return fail(notRegularFile);
    m_size = status.st_size;
    m_modifiedSeconds = status.st_mtim.tv_sec;
    m_modifiedNanoseconds = status.st_mtim.tv_nsec;
    // Not in text mode: that drops every carriage return, so the numbers of a file with
    // lone CR line ends would run together. A text stream takes a CR for white space.
    return QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void ListSource::close()
{
    closeDescriptor();
    QIODevice::close();
}

void ListSource::closeDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool ListSource::changed() const
{
    struct stat status {};
    if (m_fd < 0 || ::fstat(m_fd, &status) != 0)
        return true;
    return status.st_size != m_size || status.st_mtim.tv_sec != m_modifiedSeconds ||
           status.st_mtim.tv_nsec != m_modifiedNanoseconds;
}

qint64 ListSource::readData(char *data, qint64 maxSize)
{
    const qint64 wanted = qMin(maxSize, m_size - m_read);
    if (wanted <= 0 || m_fd < 0)
        return 0;
    const auto got = retried([&] { return ::read(m_fd, data, static_cast<size_t>(wanted)); });
    if (got < 0) {
        m_error = errno;
        return -1;
    }
    if (got == 0)
        m_shrank = true;
    m_read += got;
    return got;
}

qint64 ListSource::writeData(const char *, qint64)
{
    return -1;
}

namespace {

// The saves that have not ended, for ListTarget::settleUnfinished. A signal handler may
// read them at any moment, so an entry is claimed and published through its state alone,
// and nothing here allocates or locks.
struct Unfinished {
    enum State { Free, Claimed, Temporary, InPlace };
    std::atomic<int> state{Free};
    int fd = -1;
    int fieldWidth = 1;
    off_t oldSize = 0;
    char temporary[PATH_MAX] = {};
};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler reads the states");

// More saves than these at once are not settled at an unforeseen end.
Unfinished unfinished[8];

void settleAtExit()
{
    ListTarget::settleUnfinished();
}

int claimUnfinished()
{
    static const bool registered = std::atexit(settleAtExit) == 0;
    Q_UNUSED(registered)
    for (int i = 0; i < int(std::size(unfinished)); ++i) {
        int expected = Unfinished::Free;
        if (unfinished[i].state.compare_exchange_strong(expected, Unfinished::Claimed))
            return i;
    }
    return -1;
}

int addTemporary(const QByteArray &path)
{
    if (path.size() >= PATH_MAX)
        return -1;
    const int entry = claimUnfinished();
    if (entry >= 0) {
        std::memcpy(unfinished[entry].temporary, path.constData(), size_t(path.size()) + 1);
        unfinished[entry].state = Unfinished::Temporary;
    }
    return entry;
}

int addInPlace(int fd, int fieldWidth, off_t oldSize)
{
    const int entry = claimUnfinished();
    if (entry >= 0) {
        unfinished[entry].fd = fd;
        unfinished[entry].fieldWidth = fieldWidth;
        unfinished[entry].oldSize = oldSize;
        unfinished[entry].state = Unfinished::InPlace;
    }
    return entry;
}

// What a file written in place keeps when its save does not end: its old content if
// nothing was written yet, else the whole fields written.
off_t lengthKept(off_t written, int fieldWidth, off_t oldSize)
{
    return written > 0 ? written - written % fieldWidth : oldSize;
}

} // namespace

ListTarget::~ListTarget()
{
    discard();
}

bool ListTarget::fail(int error)
{
    if (m_error == 0)
        m_error = error;
    return false;
}

bool ListTarget::openFile(const QString &path, qint64 size, int fieldWidth)
{
    discard();
    m_error = 0;
    m_existed = false;
    m_inPlace = false;
    m_overwritten = false;
    m_fieldWidth = qMax(fieldWidth, 1);
    m_oldSize = 0;
    m_written = 0;
    // Through a symbolic link the file it points to is saved, and the link stays.
    const QString resolved = QFileInfo(path).canonicalFilePath();
    m_target = QFile::encodeName(resolved.isEmpty() ? path : resolved);
    struct stat status {};
    if (::stat(m_target.constData(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return fail(EISDIR);
        if (!S_ISREG(status.st_mode))
            return fail(notRegularFile);
        m_existed = true;
        // A file its owner made read-only is not replaced behind the owner's back.
        if (::faccessat(AT_FDCWD, m_target.constData(), W_OK, AT_EACCESS) != 0)
            return fail(errno);
    } else if (errno != ENOENT) {
        return fail(errno);
    }
    if (!openBeside(status.st_mode & 07777)) {
        // A folder that takes no new file may still hold a file that can be written.
        const bool folderClosed = m_error == EACCES || m_error == EPERM;
        if (!m_existed || !folderClosed || !openInPlace(size))
            return false;
    }
    return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool ListTarget::openBeside(mode_t mode)
{
    constexpr int attempts = 64;
    for (int i = 0; i < attempts && m_fd < 0; ++i) {
        const QByteArray suffix =
            QByteArray::number(QRandomGenerator::global()->generate(), 36).rightJustified(7, '0');
        m_temporary = m_target + '.' + suffix;
        m_fd = retried([&] {
            return ::open(m_temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        });
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_temporary.clear();
        return fail(errno);
    }
    m_unfinished = addTemporary(m_temporary);
    // The new file takes the place of the old one: it gets its permissions too.
    if (m_existed && ::fchmod(m_fd, mode) != 0) {
        const int error = errno;
        discard();
        return fail(error);
    }
    return true;
}

bool ListTarget::openInPlace(qint64 size)
{
    m_error = 0;
    // Not blocking: the file may have been swapped for a FIFO since it was looked at.
    m_fd = retried([&] { return ::open(m_target.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); });
    if (m_fd < 0)
        return fail(errno);
    struct stat status {};
    if (::fstat(m_fd, &status) != 0) {
        const int error = errno;
        closeDescriptor();
        return fail(error);
    }
    if (!S_ISREG(status.st_mode)) {
        closeDescriptor();
        return fail(notRegularFile);
    }
    m_inPlace = true;
    m_oldSize = status.st_size;
    m_unfinished = addInPlace(m_fd, m_fieldWidth, status.st_size);
    if (const int error = reserve(size)) {
        closeDescriptor();
        return fail(error);
    }
    return true;
}

// Makes room for `size` bytes without changing a byte of the old content: 0, or the reason
// there is none, and then the file keeps its old size too (ext4 leaves it extended by the
// part it got).
int ListTarget::reserve(qint64 size)
{
    if (size <= 0)
        return 0;
    int error = retried([&] { return ::fallocate(m_fd, 0, 0, size); }) == 0 ? 0 : errno;
    // Where the file system cannot reserve, the bytes past the old end are written instead.
    // Not posix_fallocate(): its fallback reads every block, which a file opened only for
    // writing does not allow.
    if (error == EOPNOTSUPP || error == ENOSYS)
        error = writeZeros(m_fd, m_oldSize, size);
    if (error != 0)
        (void)retried([&] { return ::ftruncate(m_fd, m_oldSize); });
    return error;
}

qint64 ListTarget::readData(char *, qint64)
{
    return -1;
}

qint64 ListTarget::writeData(const char *data, qint64 size)
{
    if (m_fd < 0 || m_error != 0)
        return -1;
    qint64 written = 0;
    while (written < size) {
        m_overwritten = m_inPlace;
        const auto count = static_cast<size_t>(size - written);
        const auto done = retried([&] { return ::write(m_fd, data + written, count); });
        if (done <= 0) {
            fail(done < 0 ? errno : EIO);
            return -1;
        }
        written += done;
        m_written += done;
    }
    return written;
}

bool ListTarget::commit()
{
    if (m_fd >= 0 && m_error == 0) {
        // Written in place over a longer file, the rest of the old one goes.
        if (m_inPlace && retried([&] { return ::ftruncate(m_fd, m_written); }) != 0)
            fail(errno);
        else if (::fsync(m_fd) != 0)
            fail(errno);
    }
    if (m_fd < 0 || m_error != 0) {
        discard();
        return false;
    }
    if (!closeDescriptor())
        fail(errno);
    if (m_error == 0 && !m_temporary.isEmpty() &&
        ::rename(m_temporary.constData(), m_target.constData()) != 0)
        fail(errno);
    if (m_error != 0) {
        discard();
        return false;
    }
    m_temporary.clear();
    forgetUnfinished();
    QIODevice::close();
    return true;
}

void ListTarget::discard()
{
    if (m_inPlace && m_fd >= 0)
        (void)retried(
            [&] { return ::ftruncate(m_fd, lengthKept(m_written, m_fieldWidth, m_oldSize)); });
    closeDescriptor();
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
    m_temporary.clear();
    forgetUnfinished();
    QIODevice::close();
}

// False if close() failed.
bool ListTarget::closeDescriptor()
{
    if (m_fd < 0)
        return true;
    // The entry of a file written in place names its descriptor, which close() frees for
    // another file.
    if (m_inPlace)
        forgetUnfinished();
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    return closed;
}

// A temporary's entry goes only once the file is renamed or removed: settling a name that
// is gone changes nothing.
void ListTarget::forgetUnfinished()
{
    if (m_unfinished >= 0)
        unfinished[m_unfinished].state = Unfinished::Free;
    m_unfinished = -1;
}

void ListTarget::settleUnfinished() noexcept
{
    for (Unfinished &save : unfinished) {
        const int state = save.state.exchange(Unfinished::Free);
        if (state == Unfinished::Temporary) {
            ::unlink(save.temporary);
        } else if (state == Unfinished::InPlace) {
            const off_t written = ::lseek(save.fd, 0, SEEK_CUR);
            if (written >= 0)
                (void)!::ftruncate(save.fd, lengthKept(written, save.fieldWidth, save.oldSize));
        }
    }
}
