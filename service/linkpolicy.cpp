#include "service/linkpolicy.h"

#include <QUrl>

namespace tovakidoviv::links {

bool isOpenable(const QString &link)
{
    // Anything else (javascript:, file:, a bare path) would run or open
    // something other than a web page.
    for (const QLatin1StringView scheme : {QLatin1StringView("http://"), QLatin1StringView("https://")}) {
        if (link.startsWith(scheme, Qt::CaseInsensitive) && link.size() > scheme.size())
            return true;
    }
    return false;
}

bool mayLoadInView(const QUrl &url, const QUrl &localPage)
{
    if (url.isLocalFile())
        return !localPage.isEmpty() && url.adjusted(QUrl::RemoveFragment) == localPage;
    return isOpenable(url.toString(QUrl::FullyEncoded));
}

} // namespace tovakidoviv::links
