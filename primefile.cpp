#include "primefile.h"

#include <QString>
#include <QTextStream>

#include <limits>

namespace {

struct Notation {
    int base;
    bool negative;
    int firstDigit; // index in the token
};

Notation notationOf(const QString &token)
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

int progressShift(qint64 size)
{
    int shift = 0;
    while ((size >> shift) > std::numeric_limits<int>::max())
        ++shift;
    return shift;
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

std::optional<qlonglong> parseListInteger(const QString &token)
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

ListToken readListInteger(QTextStream &in, qlonglong &value)
{
    QString token;
    in >> token;
    if (token.isEmpty())
        return ListToken::End;
    const std::optional<qlonglong> number = parseListInteger(token);
    if (!number)
        return ListToken::NotAnInteger;
    value = *number;
    return ListToken::Number;
}

int progressMaximum(qint64 size)
{
    return progressValue(size, size);
}

int progressValue(qint64 position, qint64 size)
{
    const qint64 within = qBound<qint64>(0, position, qMax<qint64>(size, 0));
    return static_cast<int>(within >> progressShift(size));
}
