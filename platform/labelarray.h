#pragma once

#include "platform/clicklabel.h"

#include <QList>
#include <QObject>

namespace tovakidoviv {

// A control array of labels sharing one name, each reporting clicks with its
// index. Captions are plain text and clipped by the label, which never grows.
class LabelArray : public QObject
{
    Q_OBJECT
public:
    LabelArray(const char *name, int count, QWidget *container, const QString &caption);

    int count() const { return m_labels.size(); }
    ClickLabel *at(int index) const { return m_labels.at(index); }
    void setCaption(int index, const QString &caption);

signals:
    void clicked(short index);

private:
    QList<ClickLabel *> m_labels;
};

} // namespace tovakidoviv
