#include "quotation/publicfunction.h"

#include "quotation/publicvalue.h"
#include "text/codepage936.h"

#include <QFile>
#include <QFileInfo>

namespace tovakidoviv::publicfunction {

namespace {

// Big enough that a long line takes few reads, small enough that a short line
// does not pull in much of what follows it.
constexpr qint64 chunkSize = 64 * 1024;

FirstLine failure(const QString &fileName, const QString &why)
{
    FirstLine result;
    result.error = QStringLiteral("无法读取地区数据文件 %1：%2").arg(fileName, why);
    return result;
}

qsizetype firstBreak(const QByteArray &bytes, qsizetype from)
{
    for (qsizetype i = from; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '\n' || c == '\r')
            return i;
    }
    return -1;
}

} // namespace

FirstLine readFirstLine(const QString &path)
{
    const QFileInfo info(path);
    const QString fileName = info.fileName();
    if (!info.exists())
        return failure(fileName, QStringLiteral("文件不存在"));
    if (!info.isFile())
        return failure(fileName, QStringLiteral("这不是一个普通文件"));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(fileName, QStringLiteral("无法打开（%1）").arg(file.errorString()));

    // Whatever follows the line break may be anything, so reading stops at the
    // chunk that holds it and only the line itself is decoded.
    QByteArray bytes;
    qsizetype lineEnd = -1;
    while (lineEnd < 0) {
        const qsizetype searched = bytes.size();
        bytes.resize(searched + chunkSize);
        const qint64 got = file.read(bytes.data() + searched, chunkSize);
        if (got < 0)
            return failure(fileName, QStringLiteral("无法读取（%1）").arg(file.errorString()));
        bytes.truncate(searched + got);
        if (got == 0)
            break;
        lineEnd = firstBreak(bytes, searched);
    }
    if (bytes.isEmpty())
        return failure(fileName, QStringLiteral("文件是空的，没有任何一行"));
    if (lineEnd >= 0)
        bytes.truncate(lineEnd);

    // A damaged byte damages one name, not the other regions: it reads as a
    // replacement character and the line is taken.
    std::optional<QString> decoded = codepage936::decode(bytes);
    if (!decoded)
        return failure(fileName, QStringLiteral("系统没有 GBK 编码转换器（ICU 缺少 CP936）"));
    FirstLine result;
    result.ok = true;
    result.line = std::move(*decoded);
    return result;
}

QString ReadCityFile()
{
    const FirstLine first = readFirstLine(QStringLiteral("city.txt"));
    if (!first.ok)
        return first.error;
    publicvalue::CityData = first.line;
    return {};
}

} // namespace tovakidoviv::publicfunction
