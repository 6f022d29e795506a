// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern validators of the number fields give the same verdicts whichever Qt
// version the program is built with.

#include "widgets/patternvalidator.h"

#include <QtTest>

class TestValidators : public QObject {
    Q_OBJECT

private slots:
    void verdict_data();
    void verdict();
};

void TestValidators::verdict_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QValidator::State>("expected");
    const QString digits = QStringLiteral("\\d{1,15}");
    const QString range = QStringLiteral("[1-9][0-9]{0,14}");
    const QString arabicIndicThree(QChar(0x0663));

    QTest::newRow("digits: empty while typing") << digits << QString() << QValidator::Intermediate;
    QTest::newRow("digits: one") << digits << "7" << QValidator::Acceptable;
    QTest::newRow("digits: leading zero") << digits << "0012" << QValidator::Acceptable;
    QTest::newRow("digits: fifteen") << digits << "999999999999999" << QValidator::Acceptable;
    QTest::newRow("digits: sixteen") << digits << "1000000000000000" << QValidator::Invalid;
    QTest::newRow("digits: sign") << digits << "-5" << QValidator::Invalid;
    QTest::newRow("digits: space inside") << digits << "12 3" << QValidator::Invalid;
    QTest::newRow("digits: letter") << digits << "12a" << QValidator::Invalid;
    QTest::newRow("digits: other script's digit")
        << digits << arabicIndicThree << QValidator::Acceptable;

    QTest::newRow("range: empty while typing") << range << QString() << QValidator::Intermediate;
    QTest::newRow("range: one") << range << "1" << QValidator::Acceptable;
    QTest::newRow("range: zero") << range << "0" << QValidator::Invalid;
    QTest::newRow("range: leading zero") << range << "012" << QValidator::Invalid;
    QTest::newRow("range: fifteen") << range << "999999999999999" << QValidator::Acceptable;
    QTest::newRow("range: sixteen") << range << "1000000000000000" << QValidator::Invalid;
    QTest::newRow("range: other script's digit")
        << range << QStringLiteral("1") + arabicIndicThree << QValidator::Invalid;
}

void TestValidators::verdict()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(QValidator::State, expected);
    QObject owner;
    QValidator *validator = newPatternValidator(pattern, &owner);
    QCOMPARE(validator->parent(), &owner);
    int position = text.size();
    QCOMPARE(validator->validate(text, position), expected);
}

QTEST_MAIN(TestValidators)
#include "tst_validators.moc"
