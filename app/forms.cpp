#include "app/forms.h"

#include "app/mainwindow.h"
#include "instructions/shuomingform.h"

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
} // namespace

void setPlatform(const PlatformBundle &platform)
{
    bundle() = platform;
}

const PlatformBundle &platform()
{
    return bundle();
}

::tovakidoviv::main &mainInstance()
{
    if (!mainSlot())
        mainSlot() = std::make_unique<::tovakidoviv::main>(bundle());
    return *mainSlot();
}

::tovakidoviv::shuomingform &shuomingformInstance()
{
    if (!shuomingformSlot())
        shuomingformSlot() = std::make_unique<::tovakidoviv::shuomingform>(bundle());
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
