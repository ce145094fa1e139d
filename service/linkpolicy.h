#pragma once

#include <QString>

class QUrl;

// Which links may leave the program for the browser.
namespace tovakidoviv::links {

// Only an http:// or https:// address (with something after the scheme).
bool isOpenable(const QString &link);

// Whether a page may go to url inside its view, however the navigation came
// about (a click, a script, a redirect, the program itself): a web address
// (isOpenable), or the one local page that the program asked the view for.
// Everything else is refused, where the engine would hand an address of a
// scheme it does not know (mailto:, tencent:) to the desktop's opener.
bool mayLoadInView(const QUrl &url, const QUrl &localPage);

} // namespace tovakidoviv::links
