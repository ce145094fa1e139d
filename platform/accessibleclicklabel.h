#pragma once

#include <QAccessibleWidget>

namespace tovakidoviv {

class ClickLabel;

// How a clickable label or picture appears to assistive technology: a push
// button or a link named by the text it shows, with a "Press" action that does
// what a click does. A plain one is the label Qt would show.
class AccessibleClickLabel : public QAccessibleWidget
{
public:
    explicit AccessibleClickLabel(ClickLabel *label);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    ClickLabel *label() const;
    bool pressable() const;
};

namespace accessible {
// Makes Qt use AccessibleClickLabel for every ClickLabel; safe to call often.
void installClickLabelFactory();
} // namespace accessible

} // namespace tovakidoviv
