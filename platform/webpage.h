#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QObject;
class QWidget;

namespace tovakidoviv {

// One page of the web engine, laid into a widget of the window. The engine is
// a module of its own, loaded once the first window has been painted, so that
// the window does not wait for it; this is all the program sees of it.
class WebPage
{
public:
    virtual ~WebPage() = default;
    // The widget showing the page, a child of the host given at creation.
    virtual QWidget *widget() = 0;
    virtual void navigate(const QString &address) = 0;
    // The current document's elements as one JSON text (see
    // parseSnapshotJson); may answer later, or never.
    virtual void requestSnapshotJson(std::function<void(const QByteArray &json)> ready) = 0;
};

class WebPageEngine
{
public:
    virtual ~WebPageEngine() = default;
    // newWindow receives the address of a new window that a person's click
    // asked for, when links::isOpenable() holds for it; no other request.
    virtual std::unique_ptr<WebPage> createPage(QWidget *host, std::function<void(const QString &address)> newWindow) = 0;
};

// The module's one entry point, resolved by name.
using WebPageEngineEntry = WebPageEngine *(*)();
inline constexpr char webPageEngineEntryName[] = "tovakidoviv_createWebPageEngine";

} // namespace tovakidoviv
