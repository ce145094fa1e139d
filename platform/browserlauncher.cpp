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
    QProcess launcher;
    launcher.setProgram(QStringLiteral("xdg-open"));
    launcher.setArguments({QString::fromLatin1(bytes)});
    launcher.setProcessEnvironment(m_environment);
    return launcher.startDetached();
}

} // namespace tovakidoviv
