#include "quotation/areanumber.h"

#include <QRegularExpression>

#include <cmath>

namespace tovakidoviv::areanumber {

std::optional<double> parse(const QString &text)
{
    // ASCII digits only, and only spaces and tabs around the number: the
    // conversion below would also take other blanks, line breaks, "inf" and
    // "nan", none of which is an area.
    static const QRegularExpression form(QRegularExpression::anchoredPattern(
        QStringLiteral("[ \\t]*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?[ \\t]*")));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    // toDouble reads the C locale whatever the program's locale (which may write
    // "1,5"). Its failure flag is not looked at: an underflow, which it flags, is
    // a fine area of zero; an overflow gives infinity.
    const double value = text.toDouble();
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

QString render(double value)
{
    // 'g' drops trailing fraction zeros, writes both zeros as "0" and pads the
    // exponent to two digits.
    return QString::number(value, 'g', 15).toUpper();
}

} // namespace tovakidoviv::areanumber
