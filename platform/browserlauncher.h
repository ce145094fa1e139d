#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace tovakidoviv {

// Hands one address to the user's default browser. Never blocks. False only
// when the launcher itself could not be started (none installed, or an address
// longer than a program's argument may be); what the browser then does is not
// known.
class BrowserLauncher
{
public:
    virtual ~BrowserLauncher() = default;
    virtual bool open(const QString &address) = 0;
};

// The desktop's launcher (xdg-open, which honours $BROWSER). The address goes
// as code page 936 bytes with every byte of 0x80 or above percent-encoded. An
// empty address is not handed on. The launcher and the browser get the
// environment given here, the one the program was started with: what the
// program or its libraries set for themselves later is not the browser's.
class DesktopBrowserLauncher : public BrowserLauncher
{
public:
    explicit DesktopBrowserLauncher(QProcessEnvironment environment) : m_environment(std::move(environment)) {}
    bool open(const QString &address) override;

private:
    QProcessEnvironment m_environment;
};

} // namespace tovakidoviv
