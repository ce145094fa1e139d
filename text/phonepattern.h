#pragma once

#include <QStringView>

// The phone check's pattern, "\d+$" searched for anywhere in the text, where
// "\d" is one of the ASCII digits 0 to 9 and "$" the very end of the text (never
// a place before a final line break). A search for it therefore passes exactly
// when the last character of the text is one of those digits.
namespace tovakidoviv::phonepattern {

inline bool matches(QStringView text)
{
    return !text.isEmpty() && text.back() >= u'0' && text.back() <= u'9';
}

} // namespace tovakidoviv::phonepattern
