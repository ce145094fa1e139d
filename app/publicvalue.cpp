#include "app/publicvalue.h"

namespace tovakidoviv::publicvalue {

QString CityData;

} // namespace tovakidoviv::publicvalue
