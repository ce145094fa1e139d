#include "platform/messagebox.h"

#include <QMessageBox>

namespace tovakidoviv {

namespace {
void showModal(QWidget *owner, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, QString::fromLatin1(applicationTitle), text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
} // namespace

void QtMessageBox::inform(QWidget *owner, const QString &text)
{
    showModal(owner, QMessageBox::NoIcon, text);
}

void QtMessageBox::fail(QWidget *owner, const QString &text)
{
    showModal(owner, QMessageBox::Critical, text);
}

} // namespace tovakidoviv
