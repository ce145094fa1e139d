#pragma once

#include <QString>

// The service's addresses as this build is configured. Only the hosts and the
// number come from the build (CMake hands its settings to the tests as compile
// definitions, apart from the program's own generated header); every path and
// parameter is written out here.
namespace tovakidoviv::testing::configured {

inline const QString siteHost = QStringLiteral(TOVAKIDOVIV_TEST_SITE_HOST);
inline const QString siteRoot = QStringLiteral("http://" TOVAKIDOVIV_TEST_SITE_HOST);
inline const QString newsPage = QStringLiteral("http://" TOVAKIDOVIV_TEST_SITE_HOST "/softnews.html");
inline const QString picturesPage = QStringLiteral("http://" TOVAKIDOVIV_TEST_SITE_HOST "/zxpic.htm");
inline const QString memberPricePage = QStringLiteral("http://" TOVAKIDOVIV_TEST_SITE_HOST "/MemberPrice.htm");
inline const QString instructionsPage =
    QStringLiteral("http://" TOVAKIDOVIV_TEST_SOFTWARE_HOST "/softload/explain.html");
inline const QString supportChat = QStringLiteral(
    "http://" TOVAKIDOVIV_TEST_CHAT_HOST "/msgrd?v=1&uin=" TOVAKIDOVIV_TEST_SUPPORT_NUMBER "&site=技术支持&menu=yes");
inline const QString caption = QStringLiteral("doviv1.05（Tovakixp版,技术qq:" TOVAKIDOVIV_TEST_SUPPORT_NUMBER "）");

} // namespace tovakidoviv::testing::configured
