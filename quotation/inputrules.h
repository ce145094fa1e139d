#pragma once

#include <QString>

// Which area boxes a pick in the house-type and room-count boxes enables.
namespace tovakidoviv::inputrules {

struct HallBoxes {
    bool livingRoom = false; // Text2
    bool diningRoom = false; // Text3
    bool bedroom = false;    // Text4
    friend bool operator==(const HallBoxes &, const HallBoxes &) = default;
};

// By characters 3-4 of the house type: "二厅" all three, "一厅" living room and
// bedroom, anything else none.
HallBoxes houseTypeRule(const QString &houseType);

// A bathroom or balcony pick enables its area box unless the text is "请选择".
bool roomCountEnables(const QString &count);

} // namespace tovakidoviv::inputrules
