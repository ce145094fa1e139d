#include "platform/editablecombo.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QScrollBar>
#include <QLineEdit>

namespace tovakidoviv {

EditableCombo::EditableCombo(const QString &text, const QStringList &entries, QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    // The wheel neither gives the focus nor picks without it.
    setFocusPolicy(Qt::StrongFocus);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(20);
    lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    appendEntries(entries);
    setText(text);
    // QComboBox treats Return, and leaving the box, on a text equal to an
    // entry as a pick; typed text must never count as one.
    lineEdit()->installEventFilter(this);
    connect(this, &QComboBox::activated, this, [this] {
        if (!m_typedTextLeaving)
            emit picked();
    });
}

void EditableCombo::showPopup()
{
    QAbstractItemView *list = view();
    const int scrollBar = list->verticalScrollBar()->sizeHint().width();
    list->setMinimumWidth(std::max(width(), list->sizeHintForColumn(0) + scrollBar + 2 * list->frameWidth() + 8));
    QComboBox::showPopup();
}

void EditableCombo::focusOutEvent(QFocusEvent *event)
{
    // The box hands focus-out to its text field, which then finishes the edit.
    m_typedTextLeaving = true;
    QComboBox::focusOutEvent(event);
    m_typedTextLeaving = false;
}

void EditableCombo::wheelEvent(QWheelEvent *event)
{
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    // QComboBox moves one entry per wheel event and reports it as activated,
    // which is a pick.
    QComboBox::wheelEvent(event);
}

bool EditableCombo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QComboBox::eventFilter(watched, event);
}

QString EditableCombo::text() const
{
    return currentText();
}

void EditableCombo::setText(const QString &text)
{
    setEditText(text);
}

void EditableCombo::appendEntries(const QStringList &entries)
{
    if (entries.isEmpty())
        return;
    // QComboBox selects the first entry of a list that was empty; keep the text.
    const QString kept = text();
    const bool wasEmpty = count() == 0;
    addItems(entries);
    if (wasEmpty)
        setCurrentIndex(-1);
    setText(kept);
}

void EditableCombo::reset(const QString &text)
{
    clear();
    setText(text);
}

} // namespace tovakidoviv
