#pragma once

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
// empty address is not handed on.
class DesktopBrowserLauncher : public BrowserLauncher
{
public:
    bool open(const QString &address) override;
};

} // namespace tovakidoviv
