#include "platform/labelarray.h"

namespace tovakidoviv {

LabelArray::LabelArray(const char *name, int count, QWidget *container, const QString &caption)
    : QObject(container)
{
    setObjectName(QString::fromLatin1(name));
    for (int i = 0; i < count; ++i) {
        auto *label = new ClickLabel(container);
        label->setObjectName(QStringLiteral("%1(%2)").arg(objectName()).arg(i));
        label->setText(caption);
        label->setWordWrap(false);
        label->setAutoFillBackground(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        connect(label, &ClickLabel::clicked, this, [this, i] { emit clicked(static_cast<short>(i)); });
        m_labels.append(label);
    }
}

void LabelArray::setCaption(int index, const QString &caption)
{
    m_labels.at(index)->setText(caption);
}

} // namespace tovakidoviv
