#pragma once
// "tabctrl": a tab control drawing its own header strip (item skin frame 2 for the
// selected tab, 1 for the tab under the mouse, 0 otherwise; then icon, then text)
// over the shown page. Fires "on_tab_sel_changed" and, as the mouse moves over the
// headers, "on_tab_item_hover" and "on_tab_item_leave".
#include <QVector>
#include <QWidget>

#include "ui/AttributeSink.h"
#include "ui/Skin.h"

namespace ui {

class STabPage;

class STabCtrl : public QWidget, public AttributeSink {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "tabctrl")
public:
    explicit STabCtrl(QWidget* parent = nullptr);
    bool SetAttribute(const QString& name, const QString& value) override;
    void OnCreate() override;

    int GetPageCount() const { return int(pages_.size()); }
    STabPage* GetPage(int index) const;
    int GetPageIndex(const QString& title) const;
    int GetCurSel() const { return cur_; }
    // Shows page index and, when it changed and notify is set, fires "on_tab_sel_changed".
    bool SetCurSel(int index, bool notify = true);
    // Appends a page that code built; the control takes it as child.
    int InsertPage(STabPage* page, int index = -1);
    int HoverItem() const { return hover_; }

    QRect HeaderRect() const;
    QRect ItemRect(int index) const;
    QRect PageRect() const;
    int ItemAt(const QPoint& pos) const;

protected:
    // Whether a child widget found at creation is one of this control's pages.
    virtual bool IsPageChild(QWidget* child) const;
    virtual void DrawHeaderBackground(QPainter& p);
    virtual void DrawItem(QPainter& p, int index);
    virtual void DrawItemIcon(QPainter& p, int index, const QRect& iconRect);
    QRect IconRect(int index) const;

    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

    void SetHover(int item);
    void LayoutPages();

    QVector<STabPage*> pages_;
    int cur_ = -1;
    int hover_ = -1;
    int initialSel_ = 0;
    int tabWidth_ = 100;
    int tabHeight_ = 32;
    int tabInterval_ = 0;
    bool alignLeft_ = false;
    QPoint iconPos_{-1, -1};
    QPoint textPos_{-1, -1};
    SkinPtr itemSkin_;
    SkinPtr iconSkin_;
    QColor textColor_, textColorSel_, textColorHover_;
};

}  // namespace ui
