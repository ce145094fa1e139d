#pragma once

#include <QRect>

// Layout tables are in twips (1/1440 inch). At 96 dots per inch 15 twips are one
// pixel; this is the one place that converts.
namespace tovakidoviv::twips {

inline constexpr float perPixel = 15.0f;

// Rounded to the nearest pixel, halves away from zero.
int toPixels(float twips);

QRect toPixelRect(float left, float top, float width, float height);

} // namespace tovakidoviv::twips
