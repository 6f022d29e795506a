// SPDX-License-Identifier: GPL-3.0-or-later
// CRC-32: the published table entries and check values, the cut at the first zero byte,
// bytes from 0x80 up, and seeded random buffers against a bitwise computation.

#include "funcs.h"
#include "reference.h"
#include "seed.h"

#include <QtTest>

#include <string>

class TestCrc32 : public QObject {
    Q_OBJECT

private slots:
    void tableMatchesBitwiseRounds();
    void checkValues_data();
    void checkValues();
    void stopsAtFirstZeroByte();
    void registerCarriesAcrossCalls();
    void randomBuffersAgainstBitwise();
};

void TestCrc32::tableMatchesBitwiseRounds()
{
    QCOMPARE(crc32_table[0], 0u);
    QCOMPARE(crc32_table[1], 0x77073096u);
    QCOMPARE(crc32_table[128], 0xEDB88320u);
    QCOMPARE(crc32_table[255], 0x2D02EF8Du);
    // One byte b from the register 0xFFFFFFFF: (0x00FFFFFF ^ entry[0xFF ^ b]), then the
    // final complement. The bitwise computation needs no table.
    for (unsigned int i = 0; i < 256; ++i) {
        const auto byte = static_cast<unsigned char>(0xFFu ^ i);
        QCOMPARE(crc32_table[i], ~reference::crc32Bitwise(&byte, 1) ^ 0x00FFFFFFu);
    }
}

void TestCrc32::checkValues_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<uint>("expected");
    QTest::newRow("empty") << QByteArray() << 0u;
    QTest::newRow("a") << QByteArray("a") << 0xE8B7BE43u;
    QTest::newRow("abc") << QByteArray("abc") << 0x352441C2u;
    QTest::newRow("check value") << QByteArray("123456789") << 0xCBF43926u;
    QTest::newRow("pangram") << QByteArray("The quick brown fox jumps over the lazy dog")
                             << 0x414FA339u;
    QTest::newRow("byte 0xFF") << QByteArray("\xFF") << 0xFF000000u;
    QTest::newRow("byte 0x80") << QByteArray("\x80") << 0x3FBA6CADu;
    QTest::newRow("Polish text in UTF-8")
        << QStringLiteral("Zażółć gęślą jaźń").toUtf8() << 0x050571EBu;
}

void TestCrc32::checkValues()
{
    QFETCH(QByteArray, bytes);
    QFETCH(uint, expected);
    QCOMPARE(crc32(bytes.constData()), expected);
}

void TestCrc32::stopsAtFirstZeroByte()
{
    const char aZeroB[] = {'a', '\0', 'b', '\0'};
    QCOMPARE(crc32(aZeroB), crc32("a"));
    const char leadingZero[] = {'\0', 'a', 'b', 'c', '\0'};
    QCOMPARE(crc32(leadingZero), 0u);
    QCOMPARE(crc32_rec(0x12345678u, leadingZero), 0x12345678u);
}

void TestCrc32::registerCarriesAcrossCalls()
{
    // Folding "1234" and then "56789" is folding "123456789".
    const unsigned int head = crc32_rec(0xFFFFFFFFu, "1234");
    QCOMPARE(~crc32_rec(head, "56789"), 0xCBF43926u);
}

void TestCrc32::randomBuffersAgainstBitwise()
{
    std::mt19937_64 gen(testSeed());
    std::uniform_int_distribution<int> nonZeroByte(1, 255);
    std::uniform_int_distribution<int> length(0, 5000);
    for (int i = 0; i < 500; ++i) {
        std::string buffer(static_cast<std::size_t>(length(gen)), '\0');
        for (char &c : buffer)
            c = static_cast<char>(nonZeroByte(gen));
        const auto *bytes = reinterpret_cast<const unsigned char *>(buffer.data());
        QCOMPARE(crc32(buffer.c_str()), reference::crc32Bitwise(bytes, buffer.size()));
    }
}

QTEST_APPLESS_MAIN(TestCrc32)
#include "tst_crc32.moc"
