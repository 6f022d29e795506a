#include "funcs.h"

#include <algorithm>
#include <vector>

namespace {

const QString plainAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");

bool isLatinCapital(QChar c)
{
    return c.unicode() >= u'A' && c.unicode() <= u'Z';
}

// The distinct letters A .. Z of the phrase in order of first appearance, then the letters
// of A .. Z that the phrase does not contain: always a permutation of A .. Z. A letter
// outside A .. Z must not take a place in the alphabet, or a message letter pushed out of
// it could not be deciphered back.
std::vector<QChar> letterSequence(const QString &upperPhrase)
{
    std::vector<QChar> letters;
    const auto append = [&letters](QChar c) {
        if (isLatinCapital(c) && std::find(letters.begin(), letters.end(), c) == letters.end())
            letters.push_back(c);
    };
    for (const QChar c : upperPhrase)
        append(c);
    for (const QChar c : plainAlphabet)
        append(c);
    return letters;
}

} // namespace

unsigned int crc32_rec(unsigned int crc, const char *s)
{
    for (; *s != '\0'; ++s) {
        const auto byte = static_cast<unsigned char>(*s);
        crc = (crc >> 8) ^ crc32_table[(crc ^ byte) & 0xFFu];
    }
    return crc;
}

unsigned int crc32(const char *s)
{
    if (*s == '\0')
        return 0;
    return ~crc32_rec(0xFFFFFFFFu, s);
}

QString phrase_alphabet(QString phrase, QChar letter)
{
    const std::vector<QChar> letters = letterSequence(phrase.toUpper());
    QString alphabet = plainAlphabet;
    const int start = alphabet.indexOf(letter.toUpper());
    if (start < 0)
        throw QStringLiteral("Invalid letter");
    for (int k = 0; k < 26; ++k)
        alphabet[(k + start) % 26] = letters[static_cast<size_t>(k)];
    return alphabet;
}

QString phrase_perform(QString message, QString phrase, QChar letter, bool cipher)
{
    const QString ciphalph = phrase_alphabet(phrase, letter);
    const QString &plainalph = plainAlphabet;
    const QString &src = cipher ? plainalph : ciphalph;
    const QString &dest = cipher ? ciphalph : plainalph;
    // Both alphabets are permutations of A .. Z: where each letter stands in src.
    std::array<int, 26> latinPosition{};
    for (int i = 0; i < 26; ++i)
        latinPosition[static_cast<size_t>(i)] = src.indexOf(plainalph[i]);
    message = message.toUpper();
    for (QChar &c : message) {
        if (isLatinCapital(c))
            c = dest[latinPosition[static_cast<size_t>(c.unicode() - u'A')]];
    }
    return message;
}
