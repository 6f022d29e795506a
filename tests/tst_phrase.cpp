// SPDX-License-Identifier: GPL-3.0-or-later
// The phrase cipher: cipher alphabets for typical and awkward phrases and letters, the
// "Invalid letter" exception, substitution in both directions, and seeded random
// messages that must decipher to their upper-cased selves.

#include "funcs.h"
#include "reference.h"
#include "seed.h"

#include <QtTest>

namespace {

const QString plain = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");

// The text of the QString that phrase_alphabet throws, or a null string when it returns.
QString thrownText(const QString &phrase, QChar letter)
{
    try {
        phrase_alphabet(phrase, letter);
    } catch (const QString &text) {
        return text;
    }
    return QString();
}

QString randomText(std::mt19937_64 &gen, const QString &characters, int maxLength)
{
    const int length = std::uniform_int_distribution<int>(0, maxLength)(gen);
    std::uniform_int_distribution<int> pick(0, characters.size() - 1);
    QString text;
    for (int i = 0; i < length; ++i)
        text += characters[pick(gen)];
    return text;
}

QChar randomLetter(std::mt19937_64 &gen)
{
    const QString letters = plain + plain.toLower();
    return letters[std::uniform_int_distribution<int>(0, letters.size() - 1)(gen)];
}

} // namespace

class TestPhrase : public QObject {
    Q_OBJECT

private slots:
    void alphabets_data();
    void alphabets();
    void invalidLetter_data();
    void invalidLetter();
    void perform_data();
    void perform();
    void performPassesTheException();
    void decipherUndoesCipher();
    void performAgainstTranscription();
};

void TestPhrase::alphabets_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QString>("expected");
    const QString klucz = QStringLiteral("KLUCZABDEFGHIJMNOPQRSTVWXY");
    QTest::newRow("no phrase, A") << QString() << QChar(u'A') << plain;
    QTest::newRow("no phrase, a") << QString() << QChar(u'a') << plain;
    QTest::newRow("no phrase, C") << QString() << QChar(u'C')
                                  << QStringLiteral("YZABCDEFGHIJKLMNOPQRSTUVWX");
    QTest::newRow("no phrase, z") << QString() << QChar(u'z')
                                  << QStringLiteral("BCDEFGHIJKLMNOPQRSTUVWXYZA");
    QTest::newRow("phrase without letters, D")
        << QStringLiteral("2 + 2") << QChar(u'D') << QStringLiteral("XYZABCDEFGHIJKLMNOPQRSTUVW");
    QTest::newRow("one letter") << QStringLiteral("L") << QChar(u'A')
                                << QStringLiteral("LABCDEFGHIJKMNOPQRSTUVWXYZ");
    QTest::newRow("two words, c") << QStringLiteral("Lato zimowe") << QChar(u'c')
                                  << QStringLiteral("XYLATOZIMWEBCDFGHJKNPQRSUV");
    QTest::newRow("KLUCZ") << QStringLiteral("KLUCZ") << QChar(u'A') << klucz;
    QTest::newRow("with blanks") << QStringLiteral("K L U C Z") << QChar(u'A') << klucz;
    QTest::newRow("lower case, digits") << QStringLiteral("klucz123") << QChar(u'A') << klucz;
    QTest::newRow("written twice") << QStringLiteral("KLUCZKLUCZ") << QChar(u'A') << klucz;
    QTest::newRow("mixed case, a") << QStringLiteral("KlUcZ") << QChar(u'a') << klucz;
    QTest::newRow("last letter Z")
        << QStringLiteral("KLUCZ") << QChar(u'Z') << QStringLiteral("LUCZABDEFGHIJMNOPQRSTVWXYK");
    QTest::newRow("last letter z")
        << QStringLiteral("klucz") << QChar(u'z') << QStringLiteral("LUCZABDEFGHIJMNOPQRSTVWXYK");
    QTest::newRow("letters outside A-Z are skipped")
        << QStringLiteral("BĄŁŻ") << QChar(u'A') << QStringLiteral("BACDEFGHIJKLMNOPQRSTUVWXYZ");
    QTest::newRow("letters outside A-Z in lower case")
        << QStringLiteral("bąłż") << QChar(u'A') << QStringLiteral("BACDEFGHIJKLMNOPQRSTUVWXYZ");
    QTest::newRow("Polish phrase, c") << QStringLiteral("Tajne hasło") << QChar(u'c')
                                      << QStringLiteral("YZTAJNEHSOBCDFGIKLMPQRUVWX");
}

void TestPhrase::alphabets()
{
    QFETCH(QString, phrase);
    QFETCH(QChar, letter);
    QFETCH(QString, expected);
    QCOMPARE(phrase_alphabet(phrase, letter), expected);
}

void TestPhrase::invalidLetter_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QChar>("letter");
    for (const QString &phrase : {QString(), QStringLiteral("KLUCZ"), QStringLiteral("Ą")}) {
        QTest::addRow("1, '%s'", qPrintable(phrase)) << phrase << QChar(u'1');
        QTest::addRow("blank, '%s'", qPrintable(phrase)) << phrase << QChar(u' ');
        QTest::addRow("Ą, '%s'", qPrintable(phrase)) << phrase << QChar(u'Ą');
        QTest::addRow("ą, '%s'", qPrintable(phrase)) << phrase << QChar(u'ą');
        QTest::addRow("ß, '%s'", qPrintable(phrase)) << phrase << QChar(u'ß');
        QTest::addRow("NUL, '%s'", qPrintable(phrase)) << phrase << QChar(u'\0');
    }
}

void TestPhrase::invalidLetter()
{
    QFETCH(QString, phrase);
    QFETCH(QChar, letter);
    QCOMPARE(thrownText(phrase, letter), QStringLiteral("Invalid letter"));
}

void TestPhrase::perform_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<bool>("cipher");
    QTest::addColumn<QString>("expected");
    const QString hello = QStringLiteral("Hello, World!");
    QTest::newRow("plain alphabet, cipher")
        << hello << QString() << QChar(u'A') << true << QStringLiteral("HELLO, WORLD!");
    QTest::newRow("plain alphabet, decipher")
        << hello << QString() << QChar(u'a') << false << QStringLiteral("HELLO, WORLD!");
    QTest::newRow("worked example, cipher")
        << QStringLiteral("Ala ma kota, 2 psy i 3 koty!") << QStringLiteral("Lato zimowe")
        << QChar(u'c') << true << QStringLiteral("XBX CX EFNX, 2 GKU M 3 EFNU!");
    QTest::newRow("worked example, decipher")
        << QStringLiteral("XBX CX EFNX, 2 GKU M 3 EFNU!") << QStringLiteral("Lato zimowe")
        << QChar(u'c') << false << QStringLiteral("ALA MA KOTA, 2 PSY I 3 KOTY!");
    QTest::newRow("empty message")
        << QString() << QStringLiteral("KLUCZ") << QChar(u'A') << true << QString();
    QTest::newRow("no letters") << QStringLiteral("2 + 2 = 4") << QStringLiteral("KLUCZ")
                                << QChar(u'A') << false << QStringLiteral("2 + 2 = 4");
    QTest::newRow("line breaks") << QStringLiteral("ab\ncd\r\nE") << QString() << QChar(u'B')
                                 << true << QStringLiteral("ZA\nBC\r\nD");
    QTest::newRow("letters outside A-Z stay") << QStringLiteral("Żółw") << QStringLiteral("KLUCZ")
                                              << QChar(u'A') << true << QStringLiteral("ŻÓŁV");
    QTest::newRow("sharp s upper-cases to SS") << QStringLiteral("ß") << QStringLiteral("KLUCZ")
                                               << QChar(u'A') << true << QStringLiteral("QQ");
    QTest::newRow("Polish text, cipher")
        << QStringLiteral("Łódź nad Wisłą") << QStringLiteral("Tajne hasło") << QChar(u'c') << true
        << QStringLiteral("ŁÓAŹ FYA USMŁĄ");
    QTest::newRow("Polish text, decipher")
        << QStringLiteral("ŁÓAŹ FYA USMŁĄ") << QStringLiteral("Tajne hasło") << QChar(u'c') << false
        << QStringLiteral("ŁÓDŹ NAD WISŁĄ");
}

void TestPhrase::perform()
{
    QFETCH(QString, message);
    QFETCH(QString, phrase);
    QFETCH(QChar, letter);
    QFETCH(bool, cipher);
    QFETCH(QString, expected);
    QCOMPARE(phrase_perform(message, phrase, letter, cipher), expected);
}

void TestPhrase::performPassesTheException()
{
    for (bool cipher : {true, false}) {
        try {
            phrase_perform(QStringLiteral("abc"), QStringLiteral("KLUCZ"), QChar(u'7'), cipher);
            QFAIL("no exception");
        } catch (const QString &text) {
            QCOMPARE(text, QStringLiteral("Invalid letter"));
        }
    }
}

void TestPhrase::decipherUndoesCipher()
{
    std::mt19937_64 gen(testSeed());
    // Letters that upper-case to one character each, so lengths stay comparable.
    const QString polish = QStringLiteral("ĄĆĘŁŃÓŚŹŻąćęłńóśźżÖéΩ");
    const QString messageCharacters =
        plain + plain.toLower() + polish + QStringLiteral(" .,!?0123456789\n");
    const QString phraseCharacters =
        plain + plain.toLower() + polish + QStringLiteral(" 0123456789");
    for (int i = 0; i < 2000; ++i) {
        const QString message = randomText(gen, messageCharacters, 200);
        const QString phrase = randomText(gen, phraseCharacters, 30);
        const QChar letter = randomLetter(gen);
        const QString secret = phrase_perform(message, phrase, letter, true);
        QCOMPARE(secret.size(), message.size());
        QCOMPARE(phrase_perform(secret, phrase, letter, false), message.toUpper());
    }
}

void TestPhrase::performAgainstTranscription()
{
    std::mt19937_64 gen(testSeed());
    const QString characters =
        plain + plain.toLower() + QStringLiteral(" .,0123456789\nĄĆĘŁŃÓŚŹŻąćęłńóśźżßÖéΩ");
    for (int i = 0; i < 2000; ++i) {
        const QString message = randomText(gen, characters, 200);
        const QString phrase = randomText(gen, characters, 30);
        const QChar letter = randomLetter(gen);
        for (bool cipher : {true, false})
            QCOMPARE(phrase_perform(message, phrase, letter, cipher),
                     reference::phrasePerform(message, phrase, letter, cipher));
    }
}

QTEST_APPLESS_MAIN(TestPhrase)
#include "tst_phrase.moc"
