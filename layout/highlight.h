#pragma once

#include <QString>
#include <optional>

// Where the bar's highlight and caption go for a tab number.
namespace tovakidoviv::highlight {

struct Placement {
    float imageLeft = 0, imageTop = 0; // Image5
    float labelLeft = 0, labelTop = 0; // Label1
    QString caption;
};

// Tab slots: Left of Image0 to Image4, all at Top 0, in twips of the bar.
inline constexpr float slotLeft[5] = {120, 1995, 3840, 5685, 7560};
inline constexpr float slotTop = 0;

// Only 1 (自动报价) and 5 (使用说明) have a placement; the label goes 100 twips
// right of and below the tab's corner.
std::optional<Placement> forTab(short meunnum);

} // namespace tovakidoviv::highlight
