#include "widgets/ExButtonLook.h"

#include <QPainter>
#include <QWidget>

#include "ui/AttributeSink.h"
#include "ui/UiApp.h"

bool ExButtonLook::SetAttribute(const QString& name, const QString& value) {
    if (name == u"iconskin")
        iconSkin = ui::UiApp::FindSkin(value);
    else if (name == u"iconpos") {
        int x = 0, y = 0;
        ui::ParsePair(value, &x, &y);
        iconPos = {x, y};
    } else if (name == u"textx")
        textX = ui::ParseInt(value);
    else if (name == u"texty")
        textY = ui::ParseInt(value);
    else
        return false;
    return true;
}

int ExButtonLook::BoxFrame(const ui::Skin* box, bool pressed, bool hover, bool checked) {
    if (pressed) return 2;
    if (hover) return 1;
    if (checked) return box ? box->FrameCount() - 1 : 0;
    return 0;
}

QRect ExButtonLook::TextRect(const QRect& r) const {
    const int iconWidth = iconSkin ? iconSkin->FrameSize().width() : 0;
    QRect t = r;
    t.setLeft(r.left() + iconPos.x() + iconWidth + textX);
    t.setTop(r.top() + iconPos.y() + textY);
    return t;
}

QRect ExButtonLook::IconRect(const QRect& r) const {
    return iconSkin ? QRect(r.topLeft() + iconPos, iconSkin->FrameSize()) : QRect();
}

void ExButtonLook::Paint(QPainter& p, QWidget* w, const ui::Skin* box, int boxFrame, int stateIndex,
                         const QString& text) const {
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect r = w->rect();
    if (box) box->Draw(p, r, boxFrame);
    if (iconSkin) iconSkin->Draw(p, IconRect(r), stateIndex);
    p.setPen(w->palette().color(w->isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.setFont(w->font());
    p.drawText(TextRect(r), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}
