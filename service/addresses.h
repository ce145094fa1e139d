#pragma once

#include <QString>

// The service's fixed addresses. Hosts and the support number are build
// configuration; the paths are the service's.
namespace tovakidoviv::addresses {

QString siteRoot();           // "http://" + site host, no path, no trailing "/"
QString newsPage();           // site + "/softnews.html"
QString picturesPage();       // site + "/zxpic.htm"
QString memberPricePage();    // site + "/MemberPrice.htm"
QString instructionsPage();   // software host + "/softload/explain.html"
QString supportChat();        // chat host + "/msgrd?v=1&uin=" + number + "&site=技术支持&menu=yes"
QString windowCaption();      // "doviv1.05（Tovakixp版,技术qq:" + number + "）"
QString siteHost();

// The same, from given values (for tests and tools).
QString supportChat(const QString &chatHost, const QString &supportNumber);
QString windowCaption(const QString &supportNumber);

} // namespace tovakidoviv::addresses
