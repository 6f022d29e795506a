// SPDX-License-Identifier: GPL-3.0-or-later
// The CRC32 page: the text's bytes in the local 8-bit encoding, summed up to the first
// zero byte, shown in hexadecimal and decimal.

#include "funcs.h"
#include "mainwindow.h"

#include <QtTest>

#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCodec>

#include <memory>

Q_DECLARE_METATYPE(QTextOption::WrapMode)

class TestCrcPage : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void checksum_data();
    void checksum();
    void pressingTwiceOverwrites();
    void resultCanBeSelected();
    void pastedLongLine_data();
    void pastedLongLine();
    void wrapping_data();
    void wrapping();

private:
    QString press();

    std::unique_ptr<MainWindow> window;
    QTextCodec *localeCodec = nullptr;
};

void TestCrcPage::init()
{
    localeCodec = QTextCodec::codecForLocale();
    window = std::make_unique<MainWindow>();
}

void TestCrcPage::cleanup()
{
    window.reset();
    QTextCodec::setCodecForLocale(localeCodec);
}

QString TestCrcPage::press()
{
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("crcButton")),
                      Qt::LeftButton);
    return window->findChild<QLabel *>(QStringLiteral("crcLabel"))->text();
}

void TestCrcPage::checksum_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QByteArray utf8("UTF-8"), latin2("ISO-8859-2");
    QTest::newRow("empty") << utf8 << QString() << "hex=0x0\tdec=0";
    QTest::newRow("check value") << utf8 << "123456789"
                                 << "hex=0xCBF43926\tdec=3421780262";
    QTest::newRow("leading zero digit not shown") << utf8 << "g"
                                                  << "hex=0x1D41B76\tdec=30677878";
    QTest::newRow("two lines") << utf8 << "a\nb"
                               << "hex=0xEF0790FB\tdec=4010250491";
    QTest::newRow("cut at U+0000") << utf8 << QStringLiteral("a") + QChar(0) + QStringLiteral("b")
                                   << "hex=0xE8B7BE43\tdec=3904355907";
    QTest::newRow("Polish letters as UTF-8") << utf8 << "zażółć"
                                             << "hex=0x23194F8A\tdec=588861322";
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // Qt 6 fixes the local 8-bit encoding to UTF-8, whatever the locale's codec.
    QTest::newRow("Polish letters under ISO-8859-2") << latin2 << "zażółć"
                                                     << "hex=0x23194F8A\tdec=588861322";
#else
    QTest::newRow("Polish letters as ISO-8859-2") << latin2 << "zażółć"
                                                  << "hex=0xCB3BF88A\tdec=3409705098";
#endif
}

void TestCrcPage::checksum()
{
    QFETCH(QByteArray, codec);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QTextCodec *local8Bit = QTextCodec::codecForName(codec);
    QVERIFY(local8Bit);
    QTextCodec::setCodecForLocale(local8Bit);
    window->findChild<QPlainTextEdit *>(QStringLiteral("crcContent"))->setPlainText(text);
    QCOMPARE(press(), expected);
}

void TestCrcPage::pressingTwiceOverwrites()
{
    window->findChild<QPlainTextEdit *>(QStringLiteral("crcContent"))
        ->setPlainText(QStringLiteral("123456789"));
    const QString first = press();
    QCOMPARE(press(), first);
}

void TestCrcPage::resultCanBeSelected()
{
    auto *label = window->findChild<QLabel *>(QStringLiteral("crcLabel"));
    QVERIFY(label->text().isEmpty());
    QCOMPARE(label->textInteractionFlags(),
             Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::LinksAccessibleByMouse);
    QCOMPARE(window->findChild<QPushButton *>(QStringLiteral("crcButton"))->text(),
             QStringLiteral("CRC32"));
}

namespace {
// One word far wider than any line, as pasted from a file without line breaks.
QString longWord(int length)
{
    const QString pattern = QStringLiteral("Kalmora0123456789zażółć");
    QString word;
    while (word.size() < length)
        word += pattern;
    word.truncate(length);
    return word;
}

QString manyWords(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("słowo%1 ").arg(i);
    return text;
}
} // namespace

void TestCrcPage::pastedLongLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("one long line") << longWord(300000);
    QTest::newRow("long word between lines")
        << QStringLiteral("a b\n") + longWord(100000) + QStringLiteral(" c\nd");
}

// Pasted with Ctrl+V, summed like any other text.
void TestCrcPage::pastedLongLine()
{
    QFETCH(QString, text);
    auto *content = window->findChild<QPlainTextEdit *>(QStringLiteral("crcContent"));
    QApplication::clipboard()->setText(text);
    QTest::keyClick(content, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(content->toPlainText(), text);
    const unsigned int checksum = crc32(text.toLocal8Bit().constData());
    QCOMPARE(press(), QStringLiteral("hex=0x%1\tdec=%2")
                          .arg(QString::number(checksum, 16).toUpper())
                          .arg(checksum));
}

void TestCrcPage::wrapping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QTextOption::WrapMode>("whileShown");
    const auto atWords = QTextOption::WrapAtWordBoundaryOrAnywhere;
    QTest::newRow("empty") << QString() << atWords;
    QTest::newRow("short words") << QStringLiteral("Ala ma kota") << atWords;
    QTest::newRow("long text of short words") << manyWords(5000) << atWords;
    QTest::newRow("word of 4096 characters") << longWord(4096) << atWords;
    QTest::newRow("word of 4097 characters") << longWord(4097) << QTextOption::WrapAnywhere;
    QTest::newRow("long word after short ones")
        << manyWords(10) + QStringLiteral("\n") + longWord(20000) << QTextOption::WrapAnywhere;
}

// Lines break at word boundaries unless a word is too long for any line; then anywhere,
// until the long word is gone.
void TestCrcPage::wrapping()
{
    QFETCH(QString, text);
    QFETCH(QTextOption::WrapMode, whileShown);
    auto *content = window->findChild<QPlainTextEdit *>(QStringLiteral("crcContent"));
    content->setPlainText(text);
    QCoreApplication::processEvents();
    QCOMPARE(content->wordWrapMode(), whileShown);
    content->appendPlainText(QStringLiteral("koniec"));
    QCoreApplication::processEvents();
    QCOMPARE(content->wordWrapMode(), whileShown);
    content->setPlainText(QStringLiteral("Ala ma kota"));
    QTRY_COMPARE(content->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    QCOMPARE(content->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
}

QTEST_MAIN(TestCrcPage)
#include "tst_crcpage.moc"
