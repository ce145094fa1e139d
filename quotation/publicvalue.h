#pragma once

#include <QString>

// Program-wide variables.
namespace tovakidoviv::publicvalue {

// The whole region data: the first line of city.txt, read once at start-up.
extern QString CityData;

} // namespace tovakidoviv::publicvalue
