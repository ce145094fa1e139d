#include "fixture.h"

#include "quotation/publicvalue.h"

#include <QApplication>

namespace tovakidoviv::testing {

void endLoading(main &window)
{
    window.Timer1->start(0);
    QTRY_VERIFY(!window.Timer1->isActive());
}

QStringList entries(const EditableCombo *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

void pick(EditableCombo *box, const QString &entry)
{
    const int index = box->findText(entry, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(entry));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QString focusedName()
{
    QWidget *w = QApplication::focusWidget();
    while (w && w->objectName().isEmpty())
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

PlatformBundle FakePlatform::bundle()
{
    PlatformBundle b;
    b.makeWebView = [this](QWidget *parent) -> WebView * {
        auto *view = new FakeWebView(parent);
        views.append(view);
        return view;
    };
    b.launcher = &launcher;
    b.messageBox = &messageBox;
    b.endProgram = [this](int status) { endedWith.append(status); };
    b.programDirectory = QStringLiteral("/program-directory");
    return b;
}

FakeWebView *FakePlatform::view(const QWidget *window, const QString &name) const
{
    for (FakeWebView *v : views)
        if (v->objectName() == name && v->window() == window)
            return v;
    return nullptr;
}

QWidget *clickAt(QWidget *window, QPoint at)
{
    QWidget *target = window->childAt(at);
    if (!target)
        target = window;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window, at));
    return target;
}

QWidget *doubleClickAt(QWidget *window, QPoint at)
{
    QWidget *target = clickAt(window, at);
    const QPoint local = target->mapFrom(window, at);
    QTest::mouseDClick(target, Qt::LeftButton, {}, local);
    QTest::mouseRelease(target, Qt::LeftButton, {}, local);
    return target;
}

void GuiTest::init()
{
    publicvalue::CityData = sampleRegions;
    platform = new FakePlatform;
    forms::setPlatform(platform->bundle());
    window = &forms::mainInstance();
    newsView()->page = {
        {QStringLiteral("DIV"), QStringLiteral("news1"), QString(), QStringLiteral("http://x/div")},
        input("news1", "第一条", QStringLiteral("http://example.test/1.html")),
        input("news2", "<b>第二条</b>", QStringLiteral("https://example.test/2.html")),
        input("news3", "第三条", QStringLiteral("javascript:alert(1)")),
        {QStringLiteral("input"), QStringLiteral("NEWS4"), QStringLiteral("第四条"), std::nullopt},
        input("news5", "已结束", QStringLiteral("HTTP://example.test/5.html")),
        input("news6", "不显示", QStringLiteral("http://example.test/6.html")),
    };
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void GuiTest::cleanup()
{
    forms::destroyAll();
    window = nullptr;
    delete platform;
    platform = nullptr;
}

QWidget *GuiTest::control(const QString &path) const
{
    QWidget *in = window;
    QString rest = path;
    if (rest.startsWith(QLatin1String("instructions/"))) {
        in = &forms::shuomingformInstance();
        rest = rest.mid(13);
    }
    if (rest.startsWith(QLatin1String("bar/"))) {
        in = in->findChild<shjbjqbutton *>(QStringLiteral("shjbjqbutton1"));
        rest = rest.mid(4);
    }
    return in->findChild<QWidget *>(rest);
}

QString GuiTest::pathOf(const QWidget *w)
{
    QString path = w->objectName();
    if (qobject_cast<const shjbjqbutton *>(w->parentWidget()))
        path.prepend(QLatin1String("bar/"));
    if (qobject_cast<const shuomingform *>(w->window()))
        path.prepend(QLatin1String("instructions/"));
    return path;
}

} // namespace tovakidoviv::testing
