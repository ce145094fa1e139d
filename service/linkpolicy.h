#pragma once

#include <QString>

// Which links may leave the program for the browser.
namespace tovakidoviv::links {

// Only an http:// or https:// address (with something after the scheme).
bool isOpenable(const QString &link);

} // namespace tovakidoviv::links
