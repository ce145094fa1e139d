#include "quotation/areanumber.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace tovakidoviv::areanumber {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// [+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)? over ASCII digits only.
bool wellFormed(QStringView s)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto digits = [&] {
        const qsizetype from = i;
        while (i < n && isDigit(s[i]))
            ++i;
        return i - from;
    };
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    qsizetype mantissaDigits = digits();
    if (i < n && s[i] == u'.') {
        ++i;
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        if (i < n && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == n;
}

// The program's locale may write "1,5"; the conversion must not follow it.
locale_t cLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

} // namespace

std::optional<double> parse(const QString &text)
{
    QStringView s(text);
    while (!s.isEmpty() && isBlank(s.front()))
        s = s.mid(1);
    while (!s.isEmpty() && isBlank(s.back()))
        s.chop(1);
    if (!wellFormed(s))
        return std::nullopt;
    // Well-formed means ASCII, so Latin-1 is the text byte for byte.
    const QByteArray ascii = s.toLatin1();
    const double value = strtod_l(ascii.constData(), nullptr, cLocale());
    // Overflow gives infinity; underflow gives a (possibly zero) small value,
    // which is a fine area.
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

QString render(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    const QString g = QString::number(value, 'g', 15);
    const qsizetype e = g.indexOf(u'e');
    QString mantissa = e < 0 ? g : g.left(e);
    if (mantissa.contains(u'.')) {
        while (mantissa.endsWith(u'0'))
            mantissa.chop(1);
        if (mantissa.endsWith(u'.'))
            mantissa.chop(1);
    }
    if (e < 0)
        return mantissa;
    QStringView exponent = QStringView(g).mid(e + 1);
    QChar sign = u'+';
    if (!exponent.isEmpty() && (exponent.front() == u'+' || exponent.front() == u'-')) {
        sign = exponent.front();
        exponent = exponent.mid(1);
    }
    QString digits = exponent.toString();
    while (digits.size() > 2 && digits.startsWith(u'0'))
        digits.remove(0, 1);
    while (digits.size() < 2)
        digits.prepend(u'0');
    return mantissa + u'E' + sign + digits;
}

} // namespace tovakidoviv::areanumber
