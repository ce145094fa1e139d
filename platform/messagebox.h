#pragma once

#include <QString>

class QWidget;

namespace tovakidoviv {

class MessageBox
{
public:
    virtual ~MessageBox() = default;
    // Modal: the text, an OK button, no icon, the caption "Tovakidoviv".
    virtual void inform(QWidget *owner, const QString &text) = 0;
    // Modal report of an error after which the program ends.
    virtual void fail(QWidget *owner, const QString &text) = 0;
};

class QtMessageBox : public MessageBox
{
public:
    void inform(QWidget *owner, const QString &text) override;
    void fail(QWidget *owner, const QString &text) override;
};

inline constexpr char applicationTitle[] = "Tovakidoviv";

} // namespace tovakidoviv
