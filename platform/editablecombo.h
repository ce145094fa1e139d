#pragma once

#include <QComboBox>

namespace tovakidoviv {

// An editable combo box as the form uses it: a text field with a drop-down list.
// Only a pick from the list (mouse or arrow keys) raises picked(); typing never
// does, never adds to the list, and is never completed. Appending to the list
// leaves the text as it is. The wheel picks only in a box that has the focus,
// one entry per step; over a box without it the wheel changes nothing.
class EditableCombo : public QComboBox
{
    Q_OBJECT
public:
    EditableCombo(const QString &text, const QStringList &entries, QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    void appendEntries(const QStringList &entries);
    // Empties the list and sets the text.
    void reset(const QString &text);

    // The list opens as wide as its longest entry, so no name is elided.
    void showPopup() override;

signals:
    void picked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    bool m_typedTextLeaving = false;
};

} // namespace tovakidoviv
