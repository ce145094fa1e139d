#pragma once

#include <QString>
#include <array>

// The quotation press: the answers of the form in, a message or an address out.
namespace tovakidoviv::quotation {

struct Answers {
    QString city1, city2, city3;  // region boxes
    QString houseType;            // Combo6
    QString bathrooms;            // Combo4
    QString balconies;            // Combo5
    QString livingArea;           // Text2
    QString diningArea;           // Text3
    QString bedroomArea;          // Text4
    QString kitchenArea;          // Text5
    QString bathroomArea;         // Text6
    QString balconyArea;          // Text7
    QString phone;                // Text8
    // Whether each area box can be edited. A disabled box still sends what it
    // holds; when that is not a number it sends 0, the box's initial value.
    bool livingEnabled = true, diningEnabled = true, bedroomEnabled = true, kitchenEnabled = true,
         bathroomEnabled = true, balconyEnabled = true;
    std::array<bool, 5> style{true, false, false, false, false}; // Option1..Option5
    std::array<bool, 3> grade{true, false, false};               // Option6..Option8
};

struct HouseType {
    int bedrooms = 0, livingRooms = 0, diningRooms = 0;
    QString code; // empty when the house type is not in the table
};

HouseType houseType(const QString &text);
int roomCount(const QString &text);
int styleCode(const std::array<bool, 5> &style);
int gradeCode(const std::array<bool, 3> &grade);

// 11 UTF-16 code units and a match of the phone pattern.
bool phoneAccepted(const QString &phone);

// "%", "&", "#", "+" and every character up to U+0020 as "%XX"; the rest stands.
QString escapeTypedValue(const QString &text);

// Told when the browser could not be started with the quotation's address.
inline constexpr char launchFailedMessage[] = "无法打开浏览器，报价页面没有打开。";

struct Outcome {
    // Exactly one of the two is set: the text of the message box, or the
    // address to open.
    QString message;
    QString address;
};

// The whole press without the window: region check, phone check, area checks
// (an enabled box without a number is refused), then the 21 parts of the
// address in wire order.
Outcome press(const Answers &answers, const QString &siteHost);

} // namespace tovakidoviv::quotation
