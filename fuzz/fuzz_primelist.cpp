// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the prime list reader. Besides the sanitizers' findings it
// stops when the reader, reading in chunks of a length taken from the first byte,
// answers otherwise than the whole tokens of the text stream do, when it accepts a
// token that the stream's own integer extraction reads differently, and when a loop
// over it does not consume its input.

#include "primefile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <cstddef>
#include <cstdint>

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// A token accepted by the parser is one the stream reads whole, to the same value.
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

QString answer(const std::optional<qlonglong> &number)
{
    return number ? QString::number(*number) : QStringLiteral("?");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0 || size > (1 << 20))
        return 0;
    const int chunkLength = 1 + data[0] % 64;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1),
                                                     static_cast<int>(size - 1));

    QStringList expected;
    QTextStream tokens(bytes);
    for (QString token; tokens >> token, !token.isEmpty();) {
        std::optional<qlonglong> number;
        if (token.size() <= ListReader::maxTokenLength)
            number = parseListInteger(token);
        if (number)
            checkAgainstStream(token, *number);
        expected << answer(number);
    }

    QTextStream in(bytes);
    ListReader reader(in, chunkLength);
    QStringList answers;
    qlonglong value = 0;
    std::size_t calls = 0;
    for (ListToken token; (token = reader.next(value)) != ListToken::End;) {
        require(++calls <= 2 * size);
        if (token != ListToken::Pending)
            answers << (token == ListToken::Number ? QString::number(value) : QStringLiteral("?"));
    }
    require(answers == expected);
    return 0;
}
