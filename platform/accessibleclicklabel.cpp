#include "platform/accessibleclicklabel.h"

#include "platform/clicklabel.h"

namespace tovakidoviv {

AccessibleClickLabel::AccessibleClickLabel(ClickLabel *label) : QAccessibleWidget(label, QAccessible::StaticText)
{
}

ClickLabel *AccessibleClickLabel::label() const
{
    return static_cast<ClickLabel *>(widget());
}

bool AccessibleClickLabel::pressable() const
{
    return label()->pressRole() != ClickLabel::PressRole::Plain;
}

QAccessible::Role AccessibleClickLabel::role() const
{
    switch (label()->pressRole()) {
    case ClickLabel::PressRole::Button:
        return QAccessible::Button;
    case ClickLabel::PressRole::Link:
        return QAccessible::Link;
    case ClickLabel::PressRole::Plain:
        break;
    }
    return label()->pixmap().isNull() ? QAccessible::StaticText : QAccessible::Graphic;
}

QString AccessibleClickLabel::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name) {
        // A picture is named by the text it shows, a caption by its text.
        const QString name = label()->accessibleName();
        return name.isEmpty() ? label()->text() : name;
    }
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessibleClickLabel::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    if (label()->pressRole() == ClickLabel::PressRole::Link)
        s.linked = true;
    return s;
}

QStringList AccessibleClickLabel::actionNames() const
{
    if (!pressable())
        return QAccessibleWidget::actionNames();
    return {pressAction()};
}

void AccessibleClickLabel::doAction(const QString &actionName)
{
    if (pressable() && actionName == pressAction())
        label()->press();
    else
        QAccessibleWidget::doAction(actionName);
}

QStringList AccessibleClickLabel::keyBindingsForAction(const QString &) const
{
    // Neither the mouse nor the keyboard reaches these controls through focus.
    return {};
}

namespace accessible {

namespace {
QAccessibleInterface *clickLabelFactory(const QString &, QObject *object)
{
    // Asked for each class of the object from the most derived one up; the
    // first answer counts.
    if (auto *label = qobject_cast<ClickLabel *>(object))
        return new AccessibleClickLabel(label);
    return nullptr;
}
} // namespace

void installClickLabelFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(clickLabelFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace accessible

} // namespace tovakidoviv
