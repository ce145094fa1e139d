#include "layout/highlight.h"

namespace tovakidoviv::highlight {

namespace {
constexpr float labelOffset = 100;

Placement at(int slot, const char16_t *caption)
{
    Placement p;
    p.imageLeft = slotLeft[slot];
    p.imageTop = slotTop;
    p.labelLeft = slotLeft[slot] + labelOffset;
    p.labelTop = slotTop + labelOffset;
    p.caption = QString::fromUtf16(caption);
    return p;
}
} // namespace

std::optional<Placement> forTab(short meunnum)
{
    switch (meunnum) {
    case 1:
        return at(0, u"自动报价");
    case 5:
        return at(4, u"使用说明");
    default:
        return std::nullopt;
    }
}

} // namespace tovakidoviv::highlight
