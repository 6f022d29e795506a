// The CRC32 page: the text's bytes in the local 8-bit encoding, summed up to the first
// zero byte, shown in hexadecimal and decimal.

#include "mainwindow.h"

#include <QtTest>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCodec>

#include <memory>

class TestCrcPage : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void checksum_data();
    void checksum();
    void pressingTwiceOverwrites();
    void resultCanBeSelected();

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

QTEST_MAIN(TestCrcPage)
#include "tst_crcpage.moc"
