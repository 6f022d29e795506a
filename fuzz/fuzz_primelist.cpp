// Feeds arbitrary bytes to the prime list reader. Besides the sanitizers' findings it
// stops on a token the reader accepts with a value that the text stream's own integer
// extraction reads differently, and on a loop that does not consume its input.

#include "primefile.h"

#include <QByteArray>
#include <QString>
#include <QTextStream>

#include <climits>
#include <cstddef>
#include <cstdint>

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// A token accepted by the reader is one the stream reads whole, to the same value.
void checkAgainstStream(const QString &token, qlonglong value)
{
    QString copy = token;
    QTextStream stream(&copy);
    qlonglong streamed = 0;
    stream >> streamed;
    require(stream.status() == QTextStream::Ok);
    require(stream.atEnd());
    require(streamed == value);
    require(parseListInteger(QString::number(value)) == value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > INT_MAX / 2)
        return 0;
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));

    // The reader as the window runs it: every call consumes a token or ends.
    QTextStream in(bytes);
    qlonglong value = 0;
    int calls = 0;
    while (readListInteger(in, value) == ListToken::Number) {
        require(++calls <= static_cast<int>(size));
    }

    // The same tokens one by one, compared with the stream's extraction.
    QTextStream tokens(bytes);
    QString token;
    while (true) {
        tokens >> token;
        if (token.isEmpty())
            break;
        if (const std::optional<qlonglong> parsed = parseListInteger(token))
            checkAgainstStream(token, *parsed);
    }
    return 0;
}
