#pragma once

#include <QString>
#include <optional>

namespace tovakidoviv::areanumber {

// A decimal number with blanks (spaces) around it allowed and a full stop as the
// decimal separator: optional sign, digits with an optional fraction, optional
// exponent. Rejects empty text, letters, "inf", "nan", thousands separators and
// values outside the double range.
std::optional<double> parse(const QString &text);

// The shortest text of value with at most 15 significant digits: no leading
// zeros, no trailing fraction zeros, no separator for whole numbers, "-" for
// negatives, "0" for both zeros. Very large or small magnitudes use an exponent
// ("1E+20", "1E-07").
QString render(double value);

} // namespace tovakidoviv::areanumber
