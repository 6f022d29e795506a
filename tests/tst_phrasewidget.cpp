// SPDX-License-Identifier: GPL-3.0-or-later
// The phrase cipher page, driven through the widget's fields and buttons.

#include "childnamed.h"
#include "funcs.h"
#include "mainwindow.h"
#include "modal.h"
#include "phrase.h"

#include <QtTest>

#include <QClipboard>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

#include <memory>

namespace {

const QString plain = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");

struct BoxSeen {
    bool seen = false;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the next modal box, remembering what it said.
void expectMessageBox(BoxSeen &seen)
{
    testing_modal::onNextModal([&seen](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen = {true, box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
            box->accept();
        } else {
            modal->close();
        }
    });
}

} // namespace

class TestPhraseWidget : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void placedOnFourthPage();
    void startState();
    void buttonsNeedPhraseAndLetter();
    void alphabetFollowsEveryKeystroke();
    void twoWordPhraseWithLowerCaseLetter();
    void letterShiftsAlphabet_data();
    void letterShiftsAlphabet();
    void cipherThenDecipher();
    void longLineCipherThenDecipher();
    void invalidLetterShowsBox_data();
    void invalidLetterShowsBox();
    void invalidLetterOnButtons();
    void clearingAFieldKeepsAlphabet();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return childNamed<T>(phrase, name);
    }
    QString alphabet() const { return child<QLabel>("ciphalphabet")->text(); }
    void setLetter(const QString &letter) { child<QLineEdit>("letter")->setText(letter); }
    void setPhrase(const QString &text) { child<QLineEdit>("phrase")->setText(text); }
    void click(const char *button)
    {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }

    std::unique_ptr<MainWindow> window;
    PhraseWidget *phrase = nullptr;
    testing_modal::Watchdog watchdog;
};

void TestPhraseWidget::init()
{
    window = std::make_unique<MainWindow>();
    window->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(3);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    phrase = window->findChild<PhraseWidget *>(QStringLiteral("phrase"));
    QVERIFY(phrase);
    watchdog.clear();
}

void TestPhraseWidget::cleanup()
{
    window.reset();
    QCOMPARE(watchdog.unexpected(), QStringList());
}

void TestPhraseWidget::placedOnFourthPage()
{
    auto *page = window->findChild<QWidget *>(QStringLiteral("tab_4"));
    QCOMPARE(phrase->parentWidget(), page);
    auto *grid = window->findChild<QGridLayout *>(QStringLiteral("gridLayout14"));
    QCOMPARE(grid->indexOf(phrase), 0);
    QCOMPARE(phrase->metaObject()->className(), "PhraseWidget");
}

void TestPhraseWidget::startState()
{
    QVERIFY(child<QLineEdit>("phrase")->text().isEmpty());
    QCOMPARE(child<QLineEdit>("letter")->text(), QStringLiteral("A"));
    QCOMPARE(child<QLineEdit>("letter")->maxLength(), 1);
    QCOMPARE(child<QLabel>("label_3")->text(), plain);
    QCOMPARE(alphabet(), plain);
    QVERIFY(child<QTextEdit>("text")->toPlainText().isEmpty());
    for (const char *line : {"label_3", "ciphalphabet"}) {
        const QFont font = child<QLabel>(line)->font();
        QCOMPARE(font.family(), QStringLiteral("Courier [ibm]"));
        QCOMPARE(font.pointSize(), 15);
        const QFontMetrics metrics(font);
        QVERIFY2(metrics.horizontalAdvance(QLatin1Char('I')) ==
                     metrics.horizontalAdvance(QLatin1Char('W')),
                 "the alphabet columns must line up");
    }
}

void TestPhraseWidget::buttonsNeedPhraseAndLetter()
{
    auto *text = child<QTextEdit>("text");
    text->setPlainText(QStringLiteral("abc"));
    click("cipher");
    click("decipher");
    QCOMPARE(text->toPlainText(), QStringLiteral("abc")); // no phrase yet
    setPhrase(QStringLiteral("klucz"));
    setLetter(QString());
    click("cipher");
    QCOMPARE(text->toPlainText(), QStringLiteral("abc")); // no letter
}

void TestPhraseWidget::alphabetFollowsEveryKeystroke()
{
    const QStringList afterEachKey{
        QStringLiteral("ZABCDEFGHIJKLMNOPQRSTUVWXY"), QStringLiteral("ZEABCDFGHIJKLMNOPQRSTUVWXY"),
        QStringLiteral("ZEBACDFGHIJKLMNOPQRSTUVWXY"), QStringLiteral("ZEBRACDFGHIJKLMNOPQSTUVWXY"),
        QStringLiteral("ZEBRACDFGHIJKLMNOPQSTUVWXY"),
    };
    auto *edit = child<QLineEdit>("phrase");
    const QString typed = QStringLiteral("zebra");
    for (int i = 0; i < typed.size(); ++i) {
        QTest::keyClick(edit, typed.at(i).toLatin1());
        QCOMPARE(alphabet(), afterEachKey[i]);
    }
}

// Nine distinct letters (a repeated letter and the blank skipped), the letter c at position 2:
// the phrase fills positions 2 to 10, the rest follows and its last two wrap to the front.
void TestPhraseWidget::twoWordPhraseWithLowerCaseLetter()
{
    setLetter(QStringLiteral("c"));
    setPhrase(QStringLiteral("Tajne haslo"));
    QCOMPARE(alphabet(), QStringLiteral("YZTAJNEHSLOBCDFGIKMPQRUVWX"));
}

void TestPhraseWidget::letterShiftsAlphabet_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("A") << "A"
                       << "KLUCZABDEFGHIJMNOPQRSTVWXY";
    QTest::newRow("lower-case c") << "c"
                                  << "XYKLUCZABDEFGHIJMNOPQRSTVW";
    QTest::newRow("Z") << "Z"
                       << "LUCZABDEFGHIJMNOPQRSTVWXYK";
    QTest::newRow("lower-case z") << "z"
                                  << "LUCZABDEFGHIJMNOPQRSTVWXYK";
}

void TestPhraseWidget::letterShiftsAlphabet()
{
    QFETCH(QString, letter);
    QFETCH(QString, expected);
    setPhrase(QStringLiteral("klucz"));
    setLetter(letter);
    QCOMPARE(alphabet(), expected);
}

void TestPhraseWidget::cipherThenDecipher()
{
    setPhrase(QStringLiteral("Tajne haslo"));
    setLetter(QStringLiteral("c"));
    auto *text = child<QTextEdit>("text");
    const QString message = QStringLiteral("Ala ma 2 koty,\nkot ma Alę!\n\n3 + 4 = 7");
    text->setPlainText(message);
    click("cipher");
    const QString ciphertext = text->toPlainText();
    QCOMPARE(ciphertext, QStringLiteral("YBY CY 2 OFPW,\nOFP CY YBĘ!\n\n3 + 4 = 7"));
    QCOMPARE(alphabet(), QStringLiteral("YZTAJNEHSLOBCDFGIKMPQRUVWX")); // buttons leave it
    click("decipher");
    QCOMPARE(text->toPlainText(), message.toUpper());
}

// One pasted line of 300000 characters without a space, as the library enciphers it.
void TestPhraseWidget::longLineCipherThenDecipher()
{
    setPhrase(QStringLiteral("Tajne haslo"));
    setLetter(QStringLiteral("c"));
    auto *text = child<QTextEdit>("text");
    const QString pattern = QStringLiteral("Kalmora0123456789zażółć");
    QString message;
    while (message.size() < 300000)
        message += pattern;
    QApplication::clipboard()->setText(message);
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text->toPlainText(), message);
    QCOMPARE(text->wordWrapMode(), QTextOption::WrapAnywhere);
    click("cipher");
    const QString ciphertext =
        phrase_perform(message, QStringLiteral("Tajne haslo"), QLatin1Char('c'), true);
    QCOMPARE(text->toPlainText(), ciphertext);
    click("decipher");
    QCOMPARE(text->toPlainText(), message.toUpper());
    QCOMPARE(text->wordWrapMode(), QTextOption::WrapAnywhere);
}

void TestPhraseWidget::invalidLetterShowsBox_data()
{
    QTest::addColumn<QString>("letter");
    QTest::newRow("digit") << "1";
    QTest::newRow("blank") << " ";
    QTest::newRow("Polish letter") << "Ą";
}

void TestPhraseWidget::invalidLetterShowsBox()
{
    QFETCH(QString, letter);
    setPhrase(QStringLiteral("klucz"));
    const QString before = alphabet();
    BoxSeen box;
    expectMessageBox(box);
    setLetter(letter);
    QVERIFY(box.seen);
    QCOMPARE(box.title, QStringLiteral("Error"));
    QCOMPARE(box.text, QStringLiteral("Invalid letter"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(alphabet(), before);

    // Deleting the bad letter is silent; a good one shows its alphabet again.
    setLetter(QString());
    QCOMPARE(alphabet(), before);
    setLetter(QStringLiteral("B"));
    QCOMPARE(alphabet(), QStringLiteral("YKLUCZABDEFGHIJMNOPQRSTVWX"));
}

void TestPhraseWidget::invalidLetterOnButtons()
{
    BoxSeen box;
    expectMessageBox(box); // typing the digit already complains once
    setLetter(QStringLiteral("1"));
    setPhrase(QStringLiteral("k"));
    QVERIFY(box.seen);
    auto *text = child<QTextEdit>("text");
    text->setPlainText(QStringLiteral("tekst"));
    for (const char *button : {"cipher", "decipher"}) {
        BoxSeen onButton;
        expectMessageBox(onButton);
        click(button);
        QVERIFY(onButton.seen);
        QCOMPARE(onButton.text, QStringLiteral("Invalid letter"));
        QCOMPARE(text->toPlainText(), QStringLiteral("tekst"));
    }
}

void TestPhraseWidget::clearingAFieldKeepsAlphabet()
{
    setPhrase(QStringLiteral("klucz"));
    const QString shown = alphabet();
    setPhrase(QString());
    QCOMPARE(alphabet(), shown);
    setPhrase(QStringLiteral("klucz"));
    setLetter(QString());
    QCOMPARE(alphabet(), shown);
}

QTEST_MAIN(TestPhraseWidget)
#include "tst_phrasewidget.moc"
