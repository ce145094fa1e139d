#include "text/codepage936.h"

#include <QtTest>

using namespace tovakidoviv;

class tst_codepage936 : public QObject
{
    Q_OBJECT
private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");

        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("ascii") << QByteArray("110000|,") << QStringLiteral("110000|,");
        QTest::newRow("two-byte characters")
            << QByteArray("\xBC\xBC\xCA\xF5\xD6\xA7\xB3\xD6") << QStringLiteral("技术支持");
        QTest::newRow("NUL is a character") << QByteArray("a\0\xB1\xB1", 4) << QString::fromUtf16(u"a\0北", 3);
        QTest::newRow("0x80 is the euro sign") << QByteArray("\x80") << QStringLiteral("€");
        QTest::newRow("0xFF is U+F8F5") << QByteArray("\xFF") << QStringLiteral("\uF8F5");
        QTest::newRow("user-defined area is private use")
            << QByteArray("\xA1\x40\xA2\xE3") << QStringLiteral("\uE4C6\uE76C");
        QTest::newRow("bad byte after good text: DEL stands") << QByteArray("ab\xB1\xB1\x81\x7F")
                                                              << QStringLiteral("ab北\uFFFD\x7F");
        QTest::newRow("lead byte cut off at end") << QByteArray("ab\xB1") << QStringLiteral("ab\uFFFD");
        QTest::newRow("lead byte alone") << QByteArray("\x81") << QStringLiteral("\uFFFD");
        QTest::newRow("lead byte with ASCII trail: the trail stands")
            << QByteArray("\x81\x20x") << QStringLiteral("\uFFFD x");
        QTest::newRow("lead byte before NUL") << QByteArray("\xB1\0", 2) << QString::fromUtf16(u"\uFFFD\0", 2);
        QTest::newRow("lead byte before 0xFF, then a character")
            << QByteArray("\x81\xFF\xB1\xB1") << QStringLiteral("\uFFFD\uF8F5北");
        QTest::newRow("GB 18030 four bytes: one per bad byte")
            << QByteArray("\x81\x30\x84\x34") << QStringLiteral("\uFFFD0\uFFFD4");
    }

    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(codepage936::decode(bytes), std::optional<QString>(text));
    }

    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("ascii") << QStringLiteral("a=1&b") << QByteArray("a=1&b");
        QTest::newRow("NUL stays") << QString::fromUtf16(u"a\0b", 3) << QByteArray("a\0b", 3);
        QTest::newRow("chinese") << QStringLiteral("东城区") << QByteArray("\xB6\xAB\xB3\xC7\xC7\xF8");
        QTest::newRow("region entry") << QStringLiteral("820204|圣方济各堂区,")
                                      << QByteArray("820204|\xCA\xA5\xB7\xBD\xBC\xC3\xB8\xF7\xCC\xC3\xC7\xF8,");
        QTest::newRow("punctuation") << QStringLiteral("（全角）·、。—")
                                     << QByteArray("\xA3\xA8\xC8\xAB\xBD\xC7\xA3\xA9\xA1\xA4\xA1\xA2\xA1\xA3\xA1\xAA");
        QTest::newRow("latin with marks") << QStringLiteral("āáǎà") << QByteArray("\xA8\xA1\xA8\xA2\xA8\xA3\xA8\xA4");
        QTest::newRow("euro in code page 936") << QStringLiteral("€") << QByteArray("\x80");
        QTest::newRow("U+F8F5 is 0xFF") << QStringLiteral("\uF8F5") << QByteArray("\xFF");
        QTest::newRow("BMP character outside code page 936") << QStringLiteral("a한b") << QByteArray("a?b");
        QTest::newRow("surrogate pair") << QStringLiteral("😀") << QByteArray("?");
        QTest::newRow("mixed") << QStringLiteral("a😀技한") << QByteArray("a?\xBC\xBC?");
        QTest::newRow("lone high surrogate inside") << QString::fromUtf16(u"a\xD83D" "b", 3) << QByteArray("a?b");
        QTest::newRow("lone low surrogate") << QString::fromUtf16(u"\xDE00" "b", 2) << QByteArray("?b");
        QTest::newRow("high surrogate at end") << QString::fromUtf16(u"\x6280\xD83D", 2) << QByteArray("\xBC\xBC?");
        QTest::newRow("two high surrogates then pair")
            << QString::fromUtf16(u"\xD83D\xD83D\xDE00", 3) << QByteArray("??");
        // Long texts with characters code page 936 lacks, sparse and dense, each
        // pattern repeated many times so that every position relative to the
        // converter's steps comes up: each must land in the right place, and none
        // may be lost.
        const QString sparse = QStringLiteral("装修报价") + QString(1000, u'x') + QStringLiteral("😀");
        QTest::newRow("long, sparse") << sparse.repeated(2000)
                                      << (QByteArray("\xD7\xB0\xD0\xDE\xB1\xA8\xBC\xDB") + QByteArray(1000, 'x') + "?")
                                             .repeated(2000);
        QTest::newRow("long, dense, pairs at odd offsets") << QStringLiteral("a😀技한").repeated(50000)
                                                           << QByteArray("a?\xBC\xBC?").repeated(50000);
        QTest::newRow("long, dense lone surrogates") << QString::fromUtf16(u"\xD83D" "b", 2).repeated(50000)
                                                     << QByteArray("?b").repeated(50000);
    }

    void encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(codepage936::encode(text), bytes);
        // Text that code page 936 holds reads back as it was written.
        if (!bytes.contains('?'))
            QCOMPARE(codepage936::decode(bytes), std::optional<QString>(text));
    }

    void percentEncodeHighBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("encoded");

        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("ascii stands, percent too") << QByteArray("a%20&b=1 c") << QByteArray("a%20&b=1 c");
        QTest::newRow("0x7F stands") << QByteArray("\x7F") << QByteArray("\x7F");
        QTest::newRow("0x80") << QByteArray("\x80") << QByteArray("%80");
        QTest::newRow("0xFF upper case") << QByteArray("\xFF\xAB") << QByteArray("%FF%AB");
        QTest::newRow("NUL stands") << QByteArray("\0", 1) << QByteArray("\0", 1);
    }

    void percentEncodeHighBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, encoded);
        QCOMPARE(codepage936::percentEncodeHighBytes(bytes), encoded);
    }

    void browserAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("handedOver");

        QTest::newRow("support chat")
            << QStringLiteral("http://h/msgrd?v=1&uin=1&site=技术支持&menu=yes")
            << QByteArray("http://h/msgrd?v=1&uin=1&site=%BC%BC%CA%F5%D6%A7%B3%D6&menu=yes");
        QTest::newRow("character outside code page 936")
            << QStringLiteral("http://h/?q=😀") << QByteArray("http://h/?q=?");
        QTest::newRow("plain") << QStringLiteral("http://h/a.htm") << QByteArray("http://h/a.htm");
    }

    void browserAddress()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, handedOver);
        QCOMPARE(codepage936::browserAddress(address), handedOver);
    }
};

QTEST_APPLESS_MAIN(tst_codepage936)
#include "tst_codepage936.moc"
