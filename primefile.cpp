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
    const auto isSpace = [this](int i) { return m_chunk.at(i).isSpace(); };
    m_carried.clear();
    bool inToken = false;
    bool overlong = false;
    for (;;) {
        if (m_position == m_chunk.size() && !refill())
            break;
        if (!inToken) {
            while (m_position < m_chunk.size() && isSpace(m_position))
                ++m_position;
            if (m_position == m_chunk.size())
                continue;
            inToken = true;
        }
        const int start = m_position;
        while (m_position < m_chunk.size() && !isSpace(m_position))
            ++m_position;
        const QStringView piece = QStringView(m_chunk).mid(start, m_position - start);
        const bool ended = m_position < m_chunk.size();
        // Most tokens lie within one chunk and are read where they are.
        if (ended && m_carried.isEmpty() && !overlong && piece.size() <= maxTokenLength)
            return interpret(parseListInteger(piece), value);
        if (m_carried.size() + piece.size() > maxTokenLength)
            overlong = true;
        else
            m_carried.append(piece.data(), piece.size());
        if (ended)
            break;
    }
    if (!inToken)
        return ListToken::End;
    return interpret(overlong ? std::nullopt : parseListInteger(m_carried), value);
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
