#pragma once

#include <QRegularExpression>
#include <QString>

namespace tovakidoviv {

// A regular-expression object with the behaviour of the scripting RegExp that the
// quotation press was designed around: case-sensitive, first match only, the
// text taken as a single line, "\d" meaning the ASCII digits, and "$" matching
// only at the very end of the text (never before a final line break).
class ScriptRegExp
{
public:
    void setPattern(const QString &pattern);
    QString pattern() const { return m_pattern; }
    // True when the pattern matches anywhere in text.
    bool test(const QString &text) const;

private:
    QString m_pattern;
    QRegularExpression m_regex;
};

} // namespace tovakidoviv
