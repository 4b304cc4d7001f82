#include "ui/SWindow.h"

#include <QPainter>
#include <QStyleOption>

#include "ui/UiApp.h"

namespace ui {

SWindow::SWindow(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_StyledBackground, true); }

bool SWindow::SetAttribute(const QString& name, const QString& value) {
    if (name == u"skin") {
        SetSkin(UiApp::FindSkin(value));
        return true;
    }
    return false;
}

void SWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOption opt;
    opt.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, this);
    if (skin_) skin_->Draw(p, rect(), 0);
    if (!text_.isEmpty()) {
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        p.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text_);
    }
}

}  // namespace ui
