#include "widgets/STabCtrl2.h"

#include <QPainter>

#include "ui/Events.h"
#include "ui/UiApp.h"
#include "ui/WidgetTree.h"
#include "widgets/STabPage2.h"

STabCtrl2::~STabCtrl2() {
    if (timeline_) timeline_->Unregister(this);
}

bool STabCtrl2::SetAttribute(const QString& name, const QString& value) {
    if (name == u"tabheadbgskin") {
        tabHeadBgSkin_ = ui::UiApp::FindSkin(value);
        update();
        return true;
    }
    return ui::STabCtrl::SetAttribute(name, value);
}

bool STabCtrl2::IsPageChild(QWidget* child) const { return ui::IsClass(child, QStringLiteral("page2")); }

void STabCtrl2::OnCreate() {
    ui::STabCtrl::OnCreate();
    if (!timeline_ && ui::UiApp::Current()) {
        timeline_ = &ui::UiApp::Current()->Animation();
        timeline_->Register(this);
    }
    if (subscribed_) return;
    subscribed_ = true;
    ui::Subscribe(this, ui::ev::kTabItemHover, [this](ui::EventArgs& a) {
        StartAnimation(a.cur, 1);
        return false;
    });
    ui::Subscribe(this, ui::ev::kTabItemLeave, [this](ui::EventArgs& a) {
        StartAnimation(a.cur, 2);
        return false;
    });
}

STabPage2* STabCtrl2::Page2(int index) const { return qobject_cast<STabPage2*>(GetPage(index)); }

void STabCtrl2::StartAnimation(int index, int mode) {
    STabPage2* page = Page2(index);
    if (!page) return;
    page->aniMode = mode;
    page->aniFrame = 0;
    page->aniCountdown = frameInterval_;
    update(ItemRect(index));
    if (timeline_) timeline_->Wake();
}

bool STabCtrl2::IsIdle() const {
    for (int i = 0; i < GetPageCount(); ++i)
        if (STabPage2* page = Page2(i); page && page->aniMode != 0) {
            // Holding the last in-frame changes nothing until the mouse leaves (which wakes us).
            const bool held = page->aniMode == 1 && page->aniIn && page->aniFrame >= page->aniIn->FrameCount() - 1;
            if (!held) return false;
        }
    return true;
}

void STabCtrl2::OnNextFrame() {
    for (int i = 0; i < GetPageCount(); ++i) {
        STabPage2* page = Page2(i);
        if (!page || page->aniMode == 0) continue;
        page->aniCountdown -= ui::Timeline::kFrameMs;
        if (page->aniCountdown >= 1) continue;
        page->aniFrame += 1;
        if (page->aniMode == 1) {
            if (!page->aniIn)
                page->aniMode = 0;
            else if (page->aniFrame >= page->aniIn->FrameCount() - 1)
                page->aniFrame = page->aniIn->FrameCount() - 1;
        } else if (page->aniMode == 2) {
            if (!page->aniOut || page->aniFrame >= page->aniOut->FrameCount() - 1) page->aniMode = 0;
        }
        page->aniCountdown = frameInterval_;
        update(ItemRect(i));
    }
}

STabCtrl2::IconChoice STabCtrl2::IconFor(int index) const {
    IconChoice c;
    STabPage2* page = Page2(index);
    if (!page) return c;
    if (page->aniMode == 1 && page->aniIn) return {page->aniIn.get(), page->aniFrame, true};
    if (page->aniMode == 2 && page->aniOut) return {page->aniOut.get(), page->aniFrame, true};
    const int icon = page->IconIndex();
    return {iconSkin_.get(), icon == -1 ? index : icon, false};
}

void STabCtrl2::DrawHeaderBackground(QPainter& p) {
    if (tabHeadBgSkin_) tabHeadBgSkin_->Draw(p, HeaderRect(), 0);
}

void STabCtrl2::DrawItemIcon(QPainter& p, int index, const QRect& iconRect) {
    const IconChoice c = IconFor(index);
    if (!c.skin) return;
    QRect r = iconRect;
    if (r.isEmpty()) {
        // No icon skin on the control: the animation takes its own size at the icon place.
        const QRect item = ItemRect(index);
        const QSize s = c.skin->FrameSize();
        r = iconPos_.x() >= 0 ? QRect(item.topLeft() + iconPos_, s)
                              : QRect(QPoint(item.left() + 10, item.top() + (item.height() - s.height()) / 2), s);
    }
    c.skin->Draw(p, r, c.frame);
}
