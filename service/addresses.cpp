#include "service/addresses.h"

#include "buildconfig.h"

namespace tovakidoviv::addresses {

namespace {
QString http(const char *host)
{
    return QStringLiteral("http://") + QString::fromUtf8(host);
}
} // namespace

QString siteHost()
{
    return QString::fromUtf8(buildconfig::siteHost);
}

QString siteRoot()
{
    return http(buildconfig::siteHost);
}

QString newsPage()
{
    return siteRoot() + QStringLiteral("/softnews.html");
}

QString picturesPage()
{
    return siteRoot() + QStringLiteral("/zxpic.htm");
}

QString memberPricePage()
{
    return siteRoot() + QStringLiteral("/MemberPrice.htm");
}

QString instructionsPage()
{
    return http(buildconfig::softwareHost) + QStringLiteral("/softload/explain.html");
}

QString supportChat(const QString &chatHost, const QString &supportNumber)
{
    // The site parameter goes out unencoded; the browser hand-over encodes it.
    return QStringLiteral("http://") + chatHost + QStringLiteral("/msgrd?v=1&uin=") + supportNumber
        + QStringLiteral("&site=技术支持&menu=yes");
}

QString supportChat()
{
    return supportChat(QString::fromUtf8(buildconfig::chatHost),
                       QString::fromUtf8(buildconfig::supportNumber));
}

QString windowCaption(const QString &supportNumber)
{
    return QStringLiteral("doviv1.05（Tovakixp版,技术qq:") + supportNumber + QStringLiteral("）");
}

QString windowCaption()
{
    return windowCaption(QString::fromUtf8(buildconfig::supportNumber));
}

} // namespace tovakidoviv::addresses
