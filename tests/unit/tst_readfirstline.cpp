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

} // namespace

class tst_readfirstline : public QObject
{
    Q_OBJECT
private slots:
    void readFirstLine_data();
    void readFirstLine();
    void unreadableFile();
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
    // How bad bytes decode is tst_codepage936's table; here, only where the
    // line ends and what the file is.

    QTest::newRow("LF") << "file" << beijing + "\n110100|x," << true << beijingText << QString();
    QTest::newRow("CRLF") << "file" << beijing + "\r\n110100|x,\r\n" << true << beijingText << QString();
    QTest::newRow("CR alone") << "file" << beijing + "\r110100|x," << true << beijingText << QString();
    QTest::newRow("no line break") << "file" << beijing << true << beijingText << QString();
    QTest::newRow("LF alone is an empty line") << "file" << QByteArray("\n") << true << QString() << QString();
    QTest::newRow("empty first line, data after") << "file" << QByteArray("\r\nabc") << true << QString() << QString();
    QTest::newRow("LF before CR") << "file" << QByteArray("ab\n\rcd") << true << QStringLiteral("ab") << QString();
    QTest::newRow("NUL byte in the line") << "file" << QByteArray("a\0b\nc", 5) << true << QString::fromUtf16(u"a\0b", 3) << QString();
    QTest::newRow("invalid bytes only after line 1") << "file" << QByteArray("ab\n\xFF\xFF\xB1") << true
                                                     << QStringLiteral("ab") << QString();
    QTest::newRow("empty file") << "file" << QByteArray() << false << QString()
                                << prefix + QStringLiteral("文件是空的，没有任何一行");
    QTest::newRow("lead byte cut by the break") << "file" << beijing.left(8) + "\r\n\xB1" << true
                                                << QStringLiteral("110000|\uFFFD") << QString();
    QTest::newRow("lead byte cut by LF") << "file" << QByteArray("ab\xB1\ncd") << true << QStringLiteral("ab\uFFFD")
                                         << QString();
    QTest::newRow("lead byte at file end") << "file" << QByteArray("110000|x,\xB1") << true
                                           << QStringLiteral("110000|x,\uFFFD") << QString();
    // Lines longer than any read buffer, good and damaged characters in every
    // position relative to its steps.
    const QByteArray rest("\r\n\xFF\xFF tail");
    const int fiveMB = 5 * 512 * 1024;
    QTest::newRow("5 MB line, then more") << "file" << QByteArray("\xB1\xB1").repeated(fiveMB) + rest << true
                                          << QStringLiteral("北").repeated(fiveMB) << QString();
    QTest::newRow("5 MB line, last byte invalid")
        << "file" << QByteArray("\xB1\xB1").repeated(fiveMB) + "\x81" + rest << true
        << QStringLiteral("北").repeated(fiveMB) + QStringLiteral("\uFFFD") << QString();
    QTest::newRow("every other character damaged")
        << "file" << QByteArray("\x81" "0\xB1\xB1").repeated(1024 * 1024) + "\n\xFF" << true
        << QStringLiteral("\uFFFD" "0北").repeated(1024 * 1024) << QString();
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
    QCOMPARE(result.line.size(), line.size()); // where a long line went wrong, roughly
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
