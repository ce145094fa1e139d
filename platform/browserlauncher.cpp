#include "platform/browserlauncher.h"

#include "text/codepage936.h"

#include <QProcess>

namespace tovakidoviv {

bool DesktopBrowserLauncher::open(const QString &address)
{
    if (address.isEmpty())
        return false;
    // Started detached so the window thread never waits; QDesktopServices would
    // re-encode characters such as "|" that the service expects as they are.
    const QByteArray bytes = codepage936::browserAddress(address);
    return QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromLatin1(bytes)});
}

} // namespace tovakidoviv
