#pragma once

#include <QStringList>

// The words the quotation form offers and the quotation request reads back, in
// one place, so that a box never offers a text the request does not know.
namespace tovakidoviv::vocabulary {

// What every combo box shows before a pick, and the only text that counts as
// nothing chosen. It is never an entry of a list.
inline constexpr char16_t nothingChosen[] = u"请选择";

struct HouseTypeRow {
    const char16_t *text;
    int bedrooms, livingRooms, diningRooms;
    // The code the service knows the house type by: the bedroom count, with a
    // "1" in front when there is a dining room.
    const char *code;
};

// Combo6's entries, in the order offered.
inline constexpr HouseTypeRow houseTypes[] = {
    {u"一房一厅", 1, 1, 0, "1"},  {u"二房一厅", 2, 1, 0, "2"},  {u"三房一厅", 3, 1, 0, "3"},
    {u"二房二厅", 2, 1, 1, "12"}, {u"三房二厅", 3, 1, 1, "13"}, {u"四房二厅", 4, 1, 1, "14"},
    {u"五房二厅", 5, 1, 1, "15"},
};

// Combo4's and Combo5's entries: the count is the position plus one.
inline constexpr const char16_t *roomCounts[] = {u"一间", u"二间", u"三间", u"四间"};

inline QStringList houseTypeTexts()
{
    QStringList texts;
    for (const HouseTypeRow &row : houseTypes)
        texts << QString::fromUtf16(row.text);
    return texts;
}

inline QStringList roomCountTexts()
{
    QStringList texts;
    for (const char16_t *text : roomCounts)
        texts << QString::fromUtf16(text);
    return texts;
}

} // namespace tovakidoviv::vocabulary
