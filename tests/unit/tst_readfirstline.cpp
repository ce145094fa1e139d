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
    void readFirstLine_data()
    {
        QTest::addColumn<QString>("kind"); // what stands at the path: file, missing, directory
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("error"); // none when the line is read

        const auto read = [](const char *name, const QByteArray &bytes, const QString &line) {
            QTest::newRow(name) << "file" << bytes << line << QString();
        };
        const QByteArray beijing("110000|\xB1\xB1\xBE\xA9,");
        const QString beijingText = QStringLiteral("110000|北京,");
        // How bad bytes decode is tst_codepage936's table; here, only where the
        // line ends and what the file is.

        read("LF", beijing + "\n110100|x,", beijingText);
        read("CRLF", beijing + "\r\n110100|x,\r\n", beijingText);
        read("CR alone", beijing + "\r110100|x,", beijingText);
        read("no line break", beijing, beijingText);
        read("LF alone is an empty line", "\n", QString());
        read("empty first line, data after", "\r\nabc", QString());
        read("LF before CR", "ab\n\rcd", QStringLiteral("ab"));
        read("NUL byte in the line", QByteArray("a\0b\nc", 5), QString::fromUtf16(u"a\0b", 3));
        read("invalid bytes only after line 1", "ab\n\xFF\xFF\xB1", QStringLiteral("ab"));
        QTest::newRow("empty file") << "file" << QByteArray() << QString()
                                    << prefix + QStringLiteral("文件是空的，没有任何一行");
        read("lead byte cut by the break", beijing.left(8) + "\r\n\xB1", QStringLiteral("110000|\uFFFD"));
        read("lead byte cut by LF", "ab\xB1\ncd", QStringLiteral("ab\uFFFD"));
        read("lead byte at file end", "110000|x,\xB1", QStringLiteral("110000|x,\uFFFD"));
        // Lines longer than any read buffer, good and damaged characters in every
        // position relative to its steps.
        const QByteArray rest("\r\n\xFF\xFF tail");
        const int fiveMB = 5 * 512 * 1024;
        read("5 MB line, then more", QByteArray("\xB1\xB1").repeated(fiveMB) + rest,
             QStringLiteral("北").repeated(fiveMB));
        read("5 MB line, last byte invalid", QByteArray("\xB1\xB1").repeated(fiveMB) + "\x81" + rest,
             QStringLiteral("北").repeated(fiveMB) + QStringLiteral("\uFFFD"));
        read("every other character damaged", QByteArray("\x81" "0\xB1\xB1").repeated(1024 * 1024) + "\n\xFF",
             QStringLiteral("\uFFFD" "0北").repeated(1024 * 1024));
        QTest::newRow("missing file") << "missing" << QByteArray() << QString()
                                      << prefix + QStringLiteral("文件不存在");
        QTest::newRow("a directory") << "directory" << QByteArray() << QString()
                                     << prefix + QStringLiteral("这不是一个普通文件");
    }

    void readFirstLine()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
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
        QCOMPARE(result.ok, error.isEmpty());
        QCOMPARE(result.line.size(), line.size()); // where a long line went wrong, roughly
        QCOMPARE(result.line, line);
        QCOMPARE(result.error, error);
    }

    void unreadableFile()
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

    void readCityFile()
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
};

QTEST_APPLESS_MAIN(tst_readfirstline)
#include "tst_readfirstline.moc"
