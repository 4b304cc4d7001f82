#include "ui/STabCtrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include "ui/Events.h"
#include "ui/STabPage.h"
#include "ui/UiApp.h"
#include "ui/ValueTables.h"
#include "ui/WidgetTree.h"

namespace ui {

STabCtrl::STabCtrl(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_StyledBackground, true);
}

bool STabCtrl::SetAttribute(const QString& name, const QString& value) {
    int x = 0, y = 0;
    if (name == u"cursel")
        initialSel_ = ParseInt(value);
    else if (name == u"tabwidth")
        tabWidth_ = ParseInt(value, tabWidth_);
    else if (name == u"tabheight")
        tabHeight_ = ParseInt(value, tabHeight_);
    else if (name == u"tabinterval")
        tabInterval_ = ParseInt(value);
    else if (name == u"tabalign")
        alignLeft_ = value.compare(u"left", Qt::CaseInsensitive) == 0;
    else if (name == u"tabskin")
        itemSkin_ = UiApp::FindSkin(value);
    else if (name == u"icons")
        iconSkin_ = UiApp::FindSkin(value);
    else if (name == u"iconpos") {
        ParsePair(value, &x, &y);
        iconPos_ = {x, y};
    } else if (name == u"textpos") {
        if (value.isEmpty())
            textPos_ = {-1, -1};
        else {
            ParsePair(value, &x, &y);
            textPos_ = {x, y};
        }
    } else if (name == u"colortext")
        textColor_ = ColorTable::Parse(value);
    else if (name == u"colortextsel")
        textColorSel_ = ColorTable::Parse(value);
    else if (name == u"colortexthover")
        textColorHover_ = ColorTable::Parse(value);
    else
        return false;
    update();
    return true;
}

bool STabCtrl::IsPageChild(QWidget* child) const { return IsClass(child, QStringLiteral("page")); }

void STabCtrl::OnCreate() {
    pages_.clear();
    for (QObject* c : children())
        if (c->isWidgetType() && qobject_cast<STabPage*>(c) && IsPageChild(static_cast<QWidget*>(c)))
            pages_.push_back(static_cast<STabPage*>(c));
    cur_ = -1;
    LayoutPages();
    if (!pages_.isEmpty()) {
        cur_ = qBound(0, initialSel_, int(pages_.size()) - 1);
        LayoutPages();
    }
}

STabPage* STabCtrl::GetPage(int index) const { return index >= 0 && index < pages_.size() ? pages_[index] : nullptr; }

int STabCtrl::GetPageIndex(const QString& title) const {
    for (int i = 0; i < pages_.size(); ++i)
        if (pages_[i]->Title() == title) return i;
    return -1;
}

bool STabCtrl::SetCurSel(int index, bool notify) {
    if (index < 0 || index >= pages_.size() || index == cur_) return false;
    const int prev = cur_;
    cur_ = index;
    LayoutPages();
    update();
    if (!notify) return true;
    EventArgs a;
    a.event = ev::kTabSelChanged;
    a.cur = cur_;
    a.prev = prev;
    Fire(this, a);
    return true;
}

int STabCtrl::InsertPage(STabPage* page, int index) {
    if (!page) return -1;
    page->setParent(this);
    if (index < 0 || index > pages_.size()) index = int(pages_.size());
    pages_.insert(index, page);
    if (cur_ < 0)
        cur_ = 0;
    else if (index <= cur_ && pages_.size() > 1)
        ++cur_;
    LayoutPages();
    update();
    return index;
}

QRect STabCtrl::HeaderRect() const {
    return alignLeft_ ? QRect(0, 0, tabWidth_, height()) : QRect(0, 0, width(), tabHeight_);
}

QRect STabCtrl::ItemRect(int i) const {
    if (i < 0 || i >= pages_.size()) return {};
    return alignLeft_ ? QRect(0, i * (tabHeight_ + tabInterval_), tabWidth_, tabHeight_)
                      : QRect(i * (tabWidth_ + tabInterval_), 0, tabWidth_, tabHeight_);
}

QRect STabCtrl::PageRect() const {
    return alignLeft_ ? rect().adjusted(tabWidth_, 0, 0, 0) : rect().adjusted(0, tabHeight_, 0, 0);
}

int STabCtrl::ItemAt(const QPoint& pos) const {
    for (int i = 0; i < pages_.size(); ++i)
        if (ItemRect(i).contains(pos)) return i;
    return -1;
}

QRect STabCtrl::IconRect(int index) const {
    if (!iconSkin_) return {};
    const QRect item = ItemRect(index);
    const QSize s = iconSkin_->FrameSize();
    const QPoint at = iconPos_.x() >= 0 ? item.topLeft() + iconPos_
                                        : QPoint(item.left() + 10, item.top() + (item.height() - s.height()) / 2);
    return QRect(at, s);
}

void STabCtrl::LayoutPages() {
    const QRect r = PageRect();
    for (int i = 0; i < pages_.size(); ++i) {
        pages_[i]->setGeometry(r);
        pages_[i]->setVisible(i == cur_);
    }
}

void STabCtrl::resizeEvent(QResizeEvent*) { LayoutPages(); }

void STabCtrl::SetHover(int item) {
    if (item == hover_) return;
    const int old = hover_;
    hover_ = item;
    if (old >= 0) {
        EventArgs a;
        a.event = ev::kTabItemLeave;
        a.cur = old;
        Fire(this, a);
    }
    if (item >= 0) {
        EventArgs a;
        a.event = ev::kTabItemHover;
        a.cur = item;
        Fire(this, a);
    }
    update(HeaderRect());
}

void STabCtrl::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        const int i = ItemAt(e->position().toPoint());
        if (i >= 0) SetCurSel(i);
    }
    QWidget::mousePressEvent(e);
}

void STabCtrl::mouseMoveEvent(QMouseEvent* e) {
    SetHover(ItemAt(e->position().toPoint()));
    QWidget::mouseMoveEvent(e);
}

void STabCtrl::leaveEvent(QEvent* e) {
    SetHover(-1);
    QWidget::leaveEvent(e);
}

void STabCtrl::DrawHeaderBackground(QPainter&) {}

void STabCtrl::DrawItemIcon(QPainter& p, int index, const QRect& iconRect) {
    if (!iconSkin_) return;
    const int icon = pages_[index]->IconIndex();
    iconSkin_->Draw(p, iconRect, icon == -1 ? index : icon);
}

void STabCtrl::DrawItem(QPainter& p, int index) {
    const QRect r = ItemRect(index);
    const bool sel = index == cur_, hov = index == hover_;
    if (itemSkin_) itemSkin_->Draw(p, r, sel ? 2 : hov ? 1 : 0);
    const QRect icon = IconRect(index);
    DrawItemIcon(p, index, icon);

    QColor c = palette().color(QPalette::WindowText);
    if (sel && textColorSel_.isValid())
        c = textColorSel_;
    else if (hov && textColorHover_.isValid())
        c = textColorHover_;
    else if (!sel && !hov && textColor_.isValid())
        c = textColor_;
    p.setPen(c);
    QRect tr = r;
    int flags = Qt::AlignCenter;
    if (textPos_.x() >= 0) {
        tr = QRect(r.topLeft() + textPos_, r.bottomRight());
        flags = Qt::AlignLeft | Qt::AlignTop;
    } else if (!icon.isEmpty()) {
        tr.setLeft(icon.right() + 1);
    }
    QFont f = font();
    f.setBold(sel);
    p.setFont(f);
    p.drawText(tr, flags | Qt::TextSingleLine, pages_[index]->Title());
}

void STabCtrl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QStyleOption opt;
    opt.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, this);
    DrawHeaderBackground(p);
    for (int i = 0; i < pages_.size(); ++i) DrawItem(p, i);
}

}  // namespace ui
