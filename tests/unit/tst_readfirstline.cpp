#include "quotation/publicfunction.h"
#include "quotation/publicvalue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace tovakidoviv;

namespace {

const QString prefix = QStringLiteral("无法读取地区数据文件 city.txt：");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The first line of a city.txt holding bytes; a file that could not be
// written comes back as a failure that names the setup.
publicfunction::FirstLine firstLineOf(const QByteArray &bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("city.txt"));
    if (!dir.isValid() || !writeFile(path, bytes))
        return {false, QString(), QStringLiteral("test setup: cannot write ") + path};
    return publicfunction::readFirstLine(path);
}

} // namespace

class tst_readfirstline : public QObject
{
    Q_OBJECT
private slots:
    void readFirstLine_data();
    void readFirstLine();
    void unreadableFile();
    void longLine_data();
    void longLine();
    void longDamagedLine();
    void readCityFile();
};

void tst_readfirstline::readFirstLine_data()
{
    QTest::addColumn<QString>("kind"); // what stands at the path: file, missing, directory
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("error");

    const QByteArray beijing("110000|\xB1\xB1\xBE\xA9,");
    const QString beijingText = QStringLiteral("110000|北京,");

    QTest::newRow("LF") << "file" << beijing + "\n110100|x," << true << beijingText << QString();
    QTest::newRow("CRLF") << "file" << beijing + "\r\n110100|x,\r\n" << true << beijingText << QString();
    QTest::newRow("CR alone") << "file" << beijing + "\r110100|x," << true << beijingText << QString();
    QTest::newRow("no line break") << "file" << beijing << true << beijingText << QString();
    QTest::newRow("LF alone is an empty line") << "file" << QByteArray("\n") << true << QString() << QString();
    QTest::newRow("CR alone is an empty line") << "file" << QByteArray("\r") << true << QString() << QString();
    QTest::newRow("empty first line, data after") << "file" << QByteArray("\r\nabc") << true << QString() << QString();
    QTest::newRow("LF before CR") << "file" << QByteArray("ab\n\rcd") << true << QStringLiteral("ab") << QString();
    QTest::newRow("NUL byte in the line") << "file" << QByteArray("a\0b\nc", 5) << true << QString::fromUtf16(u"a\0b", 3) << QString();
    QTest::newRow("invalid bytes only after line 1") << "file" << QByteArray("ab\n\xFF\xFF\xB1") << true
                                                     << QStringLiteral("ab") << QString();
    QTest::newRow("empty file") << "file" << QByteArray() << false << QString()
                                << prefix + QStringLiteral("文件是空的，没有任何一行");
    QTest::newRow("invalid byte in line 1") << "file" << QByteArray("ab\x81" "1cd\n") << true
                                            << QStringLiteral("ab\uFFFD" "1cd") << QString();
    QTest::newRow("lead byte cut by the break") << "file" << beijing.left(8) + "\r\n\xB1" << true
                                                << QStringLiteral("110000|\uFFFD") << QString();
    QTest::newRow("damaged name among good ones")
        << "file" << QByteArray("110000|\xB1\xB1,120000|\xCC\xEC\x81\x20\xBD\xF2,130000|\xBA\xD3\xB1\xB1,\n\xFF")
        << true << QStringLiteral("110000|北,120000|天\uFFFD 津,130000|河北,") << QString();
    QTest::newRow("each bad byte one character") << "file" << QByteArray("\x81\x30\x84\x34\xB1\xB1\x81") << true
                                                 << QStringLiteral("\uFFFD" "0\uFFFD" "4北\uFFFD") << QString();
    QTest::newRow("only a bad byte") << "file" << QByteArray("\x81\r\n") << true << QStringLiteral("\uFFFD")
                                     << QString();
    QTest::newRow("euro, DEL and 0xFF") << "file" << QByteArray("\x80\x7F\xFF") << true
                                        << QStringLiteral("€\x7F\uF8F5") << QString();
    QTest::newRow("missing file") << "missing" << QByteArray() << false << QString()
                                  << prefix + QStringLiteral("文件不存在");
    QTest::newRow("a directory") << "directory" << QByteArray() << false << QString()
                                 << prefix + QStringLiteral("这不是一个普通文件");
}

void tst_readfirstline::readFirstLine()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(QString, line);
    QFETCH(QString, error);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("city.txt"));
    if (kind == u"file")
        QVERIFY(writeFile(path, bytes));
    else if (kind == u"directory")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("city.txt")));

    const publicfunction::FirstLine result = publicfunction::readFirstLine(path);
    QCOMPARE(result.ok, ok);
    QCOMPARE(result.line, line);
    QCOMPARE(result.error, error);
}

void tst_readfirstline::unreadableFile()
{
    if (geteuid() == 0)
        QSKIP("permissions do not keep the superuser out");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("city.txt"));
    QVERIFY(writeFile(path, "abc\n"));
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));

    const publicfunction::FirstLine result = publicfunction::readFirstLine(path);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.startsWith(prefix + QStringLiteral("无法打开（")), qPrintable(result.error));
    QVERIFY(result.error.endsWith(u'）'));
    QVERIFY(result.error.size() > prefix.size() + 6); // the reason is given
}

void tst_readfirstline::longLine_data()
{
    QTest::addColumn<bool>("badAtEnd");
    QTest::newRow("5 MB line, then more") << false;
    QTest::newRow("5 MB line, last byte a lead byte") << true;
}

void tst_readfirstline::longDamagedLine()
{
    // Every other character damaged: each bad lead byte is one replacement
    // character, the byte after it and the good characters between them stand.
    const qsizetype pairs = 1024 * 1024;
    QByteArray bytes;
    bytes.reserve(pairs * 4 + 8);
    for (qsizetype i = 0; i < pairs; ++i)
        bytes.append("\x81" "0\xB1\xB1", 4);
    bytes.append("\n\xFF");

    const publicfunction::FirstLine result = firstLineOf(bytes);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.line.size(), 3 * pairs);
    QCOMPARE(result.line.count(u'\uFFFD'), pairs);
    QCOMPARE(result.line.count(u'北'), pairs);
    QCOMPARE(result.line.left(6), QStringLiteral("\uFFFD" "0北\uFFFD" "0北"));
}

void tst_readfirstline::longLine()
{
    QFETCH(bool, badAtEnd);

    const qsizetype characters = 5 * 512 * 1024; // two bytes each: 5 MB
    QByteArray bytes;
    bytes.reserve(characters * 2 + 16);
    for (qsizetype i = 0; i < characters; ++i)
        bytes.append("\xB1\xB1", 2);
    if (badAtEnd)
        bytes.append('\x81');
    bytes.append("\r\n\xFF\xFF tail");

    const publicfunction::FirstLine result = firstLineOf(bytes);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.line.size(), characters + (badAtEnd ? 1 : 0));
    QCOMPARE(result.line.count(u'北'), characters);
    QCOMPARE(result.line.endsWith(u'\uFFFD'), badAtEnd);
}

void tst_readfirstline::readCityFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    auto restore = qScopeGuard([&] { QDir::setCurrent(before); });

    QCOMPARE(publicfunction::ReadCityFile(), prefix + QStringLiteral("文件不存在"));

    QVERIFY(writeFile(dir.filePath(QStringLiteral("city.txt")), "110000|\xB1\xB1\xBE\xA9,\r\n"));
    QCOMPARE(publicfunction::ReadCityFile(), QString());
    QCOMPARE(publicvalue::CityData, QStringLiteral("110000|北京,"));
}

QTEST_APPLESS_MAIN(tst_readfirstline)
#include "tst_readfirstline.moc"
