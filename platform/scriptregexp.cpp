#include "platform/scriptregexp.h"

namespace tovakidoviv {

namespace {

// Any character but the four line terminators of the scripting language; PCRE's
// own "." stops at "\n" only.
const QString anyButLineBreak = QStringLiteral("[^\\n\\r\\x{2028}\\x{2029}]");

// Rewrites the scripting-language pattern into PCRE with the same meaning for
// the constructs that differ: "$" (PCRE also matches before a final "\n"),
// "." and "\d"/"\D" (kept to ASCII whatever options the engine is built with),
// and the empty classes "[]" and "[^]", which PCRE reads differently.
QString translate(const QString &pattern)
{
    QString out;
    out.reserve(pattern.size() + 16);
    bool inClass = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'\\' && i + 1 < pattern.size()) {
            const QChar next = pattern.at(++i);
            if (next == u'd')
                out += inClass ? QStringLiteral("0-9") : QStringLiteral("[0-9]");
            else if (next == u'D' && !inClass)
                out += QStringLiteral("[^0-9]");
            else
                out += c, out += next;
            continue;
        }
        if (inClass) {
            if (c == u']')
                inClass = false;
            out += c;
            continue;
        }
        if (c == u'[') {
            const QStringView rest = QStringView(pattern).mid(i);
            if (rest.startsWith(u"[]")) {
                out += QStringLiteral("(?!)");
                i += 1;
            } else if (rest.startsWith(u"[^]")) {
                out += QStringLiteral("[\\s\\S]");
                i += 2;
            } else {
                inClass = true;
                out += c;
                if (rest.startsWith(u"[^")) {
                    out += u'^';
                    ++i;
                }
            }
            continue;
        }
        if (c == u'$')
            out += QStringLiteral("\\z");
        else if (c == u'.')
            out += anyButLineBreak;
        else
            out += c;
    }
    return out;
}

} // namespace

void ScriptRegExp::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    m_regex.setPattern(translate(pattern));
    m_regex.setPatternOptions(QRegularExpression::NoPatternOption);
}

bool ScriptRegExp::test(const QString &text) const
{
    return m_regex.isValid() && m_regex.match(text).hasMatch();
}

} // namespace tovakidoviv
