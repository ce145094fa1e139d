#pragma once

#include "platform/platformbundle.h"

namespace tovakidoviv {

class main;
class shuomingform;

// The shared window instances. Each is created on first reference, with the
// platform set beforehand, and kept until destroyAll(); hiding a window keeps
// it and all its state. Each window's navigation bar is connected to the switch
// between the two as the window is made.
namespace forms {

void setPlatform(const PlatformBundle &platform);

::tovakidoviv::main &mainInstance();
::tovakidoviv::shuomingform &shuomingformInstance();
bool shuomingformExists();

// Destroys both instances (at the end of the program, or between tests).
void destroyAll();

} // namespace forms
} // namespace tovakidoviv
