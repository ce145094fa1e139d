#include "service/addresses.h"

#include "configured.h"

#include <QtTest>

using namespace tovakidoviv;
using namespace tovakidoviv::testing;

// How the chat address is handed to the browser is tst_codepage936::browserAddress.
class tst_addresses : public QObject
{
    Q_OBJECT
private slots:
    void configured_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");

        // configured.h writes each address out around the hosts this build was given;
        // the last rows give the values themselves.
        QTest::newRow("site host") << addresses::siteHost() << configured::siteHost;
        QTest::newRow("site root") << addresses::siteRoot() << configured::siteRoot;
        QTest::newRow("news") << addresses::newsPage() << configured::newsPage;
        QTest::newRow("pictures") << addresses::picturesPage() << configured::picturesPage;
        QTest::newRow("member price") << addresses::memberPricePage() << configured::memberPricePage;
        QTest::newRow("instructions") << addresses::instructionsPage() << configured::instructionsPage;
        QTest::newRow("support chat") << addresses::supportChat() << configured::supportChat;
        QTest::newRow("caption") << addresses::windowCaption() << configured::caption;
        QTest::newRow("chat from given values")
            << addresses::supportChat(QStringLiteral("127.0.0.1:8081"), QStringLiteral("42"))
            << QStringLiteral("http://127.0.0.1:8081/msgrd?v=1&uin=42&site=技术支持&menu=yes");
        // Full-width parentheses around, an ASCII comma inside.
        QTest::newRow("caption from a given number") << addresses::windowCaption(QStringLiteral("42"))
                                 << QString::fromUtf16(u"doviv1.05\uFF08Tovakixp\u7248,\u6280\u672Fqq:42\uFF09");
    }

    void configured()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }
};

QTEST_APPLESS_MAIN(tst_addresses)
#include "tst_addresses.moc"
