#include "layout/twips.h"

#include <cmath>

namespace tovakidoviv::twips {

int toPixels(float twips)
{
    // In double the quotient of a float by 15 is exact enough that a half stays
    // a half; std::round takes halves away from zero.
    return static_cast<int>(std::lround(static_cast<double>(twips) / static_cast<double>(perPixel)));
}

QRect toPixelRect(float left, float top, float width, float height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace tovakidoviv::twips
