#include "ui/SEdit.h"

#include <QRegularExpressionValidator>

#include "ui/Events.h"

namespace ui {

SEdit::SEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { Fire(this, ev::kEditChanged); });
}

bool SEdit::SetAttribute(const QString& name, const QString& value) {
    if (name == u"readonly") {
        setReadOnly(ParseInt(value) != 0);
        return true;
    }
    if (name == u"number") {
        if (ParseInt(value) != 0)
            setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
        return true;
    }
    if (name == u"maxlength") {
        setMaxLength(ParseInt(value, 32767));
        return true;
    }
    if (name == u"align") {
        setAlignment(value == u"center"  ? Qt::AlignCenter
                     : value == u"right" ? Qt::AlignRight | Qt::AlignVCenter
                                         : Qt::AlignLeft | Qt::AlignVCenter);
        return true;
    }
    return false;
}

}  // namespace ui
