#include "app/forms.h"

#include "app/mainwindow.h"
#include "instructions/shuomingform.h"
#include "navbar/shjbjqbutton.h"

#include <memory>

namespace tovakidoviv::forms {

namespace {
PlatformBundle &bundle()
{
    static PlatformBundle instance;
    return instance;
}
std::unique_ptr<::tovakidoviv::main> &mainSlot()
{
    static std::unique_ptr<::tovakidoviv::main> instance;
    return instance;
}
std::unique_ptr<::tovakidoviv::shuomingform> &shuomingformSlot()
{
    static std::unique_ptr<::tovakidoviv::shuomingform> instance;
    return instance;
}
// Tab 1 brings up the main window, tab 5 the instructions window, whichever
// bar was clicked: the target window's bar is updated first, then the target
// shown, then the other hidden, so no moment shows neither window or a stale tab.
void switchTo(short meunnum)
{
    if (meunnum == 1) {
        mainInstance().shjbjqbutton1->clickmeun(1);
        mainInstance().show();
        shuomingformInstance().hide();
    } else if (meunnum == 5) {
        shuomingformInstance().shjbjqbutton1->clickmeun(5);
        shuomingformInstance().show();
        mainInstance().hide();
    }
}

void connectBar(shjbjqbutton *bar)
{
    QObject::connect(bar, &shjbjqbutton::windowRequested, bar, &switchTo);
}
} // namespace

void setPlatform(const PlatformBundle &platform)
{
    bundle() = platform;
}

::tovakidoviv::main &mainInstance()
{
    if (!mainSlot()) {
        mainSlot() = std::make_unique<::tovakidoviv::main>(bundle());
        connectBar(mainSlot()->shjbjqbutton1);
    }
    return *mainSlot();
}

::tovakidoviv::shuomingform &shuomingformInstance()
{
    if (!shuomingformSlot()) {
        shuomingformSlot() = std::make_unique<::tovakidoviv::shuomingform>(bundle());
        connectBar(shuomingformSlot()->shjbjqbutton1);
    }
    return *shuomingformSlot();
}

bool shuomingformExists()
{
    return shuomingformSlot() != nullptr;
}

void destroyAll()
{
    shuomingformSlot().reset();
    mainSlot().reset();
}

} // namespace tovakidoviv::forms
