#pragma once

#include <QString>

namespace tovakidoviv {

// Hands one address to the user's default browser. Never blocks, reports
// nothing, and its outcome is not examined.
class BrowserLauncher
{
public:
    virtual ~BrowserLauncher() = default;
    virtual void open(const QString &address) = 0;
};

// The desktop's launcher (xdg-open, which honours $BROWSER). The address goes
// as code page 936 bytes with every byte of 0x80 or above percent-encoded. An
// empty address is not handed on.
class DesktopBrowserLauncher : public BrowserLauncher
{
public:
    void open(const QString &address) override;
};

} // namespace tovakidoviv
