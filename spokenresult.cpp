// SPDX-License-Identifier: GPL-3.0-or-later
#include "spokenresult.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTextDocumentFragment>

#include <vector>

namespace {

struct Wording {
    QRegularExpression pattern;
    QString words;
};

QRegularExpression pattern(const QString &expression)
{
    return QRegularExpression(expression, QRegularExpression::UseUnicodePropertiesOption);
}

// One character at a time: "CBF43926" read as a word would not be a number.
QString spelled(const QString &digits)
{
    QStringList characters;
    for (const QChar c : digits)
        characters << QString(c);
    return characters.join(QLatin1Char(' '));
}

// Whole results whose shown form abbreviates what they are.
QString namedResult(const QString &shown)
{
    static const QRegularExpression checksum =
        pattern(QStringLiteral("^hex=0x([0-9A-F]+)\\tdec=(\\d+)$"));
    static const QRegularExpression divisor =
        pattern(QStringLiteral("^NWD\\((\\d+), (\\d+)\\) = (\\d+)$"));
    const QRegularExpressionMatch crc = checksum.match(shown);
    if (crc.hasMatch())
        return QStringLiteral("szesnastkowo %1, dziesiętnie %2")
            .arg(spelled(crc.captured(1)), crc.captured(2));
    const QRegularExpressionMatch gcd = divisor.match(shown);
    if (gcd.hasMatch())
        return QStringLiteral("największy wspólny dzielnik liczb %1 i %2 równa się %3")
            .arg(gcd.captured(1), gcd.captured(2), gcd.captured(3));
    return {};
}

// The formulas' marks in words, in this order: an exponent of -1 is the inverse, any other
// exponent a power; a subscript after "log" is the logarithm's base, the next term its
// argument.
const std::vector<Wording> &formulaWordings()
{
    static const std::vector<Wording> wordings = {
        {pattern(QStringLiteral("(<i>[^<]*</i>|[^\\s<>]+)\\s*<sup>\\s*-1\\s*</sup>")),
         QStringLiteral("odwrotność \\1")},
        {pattern(QStringLiteral("<sup>(.*?)</sup>")), QStringLiteral(" do potęgi \\1")},
        {pattern(QStringLiteral("log\\s*<sub>(.*?)</sub>\\s*(<i>[^<]*</i>|[^\\s<(]+)")),
         QStringLiteral("logarytm o podstawie \\1 z \\2")},
        {pattern(QStringLiteral("\\(\\s*mod\\s+(.*?)\\)")), QStringLiteral("modulo \\1")},
        {pattern(QStringLiteral("\\bmod\\b")), QStringLiteral("modulo")},
        {pattern(QStringLiteral("\\s*⋅\\s*")), QStringLiteral(" razy ")},
        {pattern(QStringLiteral("\\s*=\\s*")), QStringLiteral(" równa się ")},
        {pattern(QStringLiteral("(\\d)\\s*%")), QStringLiteral("\\1 procent")},
    };
    return wordings;
}

} // namespace

QString spokenResult(const QString &shown, bool richText)
{
    if (!richText) {
        const QString named = namedResult(shown);
        if (!named.isEmpty())
            return named;
    }
    QString markup = richText ? shown : shown.toHtmlEscaped();
    for (const Wording &wording : formulaWordings())
        markup.replace(wording.pattern, wording.words);
    return QTextDocumentFragment::fromHtml(markup).toPlainText().simplified();
}
