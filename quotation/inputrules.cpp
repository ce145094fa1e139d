#include "quotation/inputrules.h"

#include "quotation/vocabulary.h"

namespace tovakidoviv::inputrules {

HallBoxes houseTypeRule(const QString &houseType)
{
    const QString halls = houseType.mid(2, 2);
    if (halls == u"二厅")
        return {true, true, true};
    if (halls == u"一厅")
        return {true, false, true};
    return {};
}

bool roomCountEnables(const QString &count)
{
    return count != QStringView(vocabulary::nothingChosen);
}

} // namespace tovakidoviv::inputrules
