#include "quotation/publicvalue.h"

namespace tovakidoviv::publicvalue {

QString CityData;

} // namespace tovakidoviv::publicvalue
