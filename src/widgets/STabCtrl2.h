#pragma once
// "tabctrl2": a tab control whose headers animate: hovering a header plays its
// page's "ani_in" in the icon place and holds the last frame; leaving plays
// "ani_out" up to (not including) its last frame. Frames advance every 50 ms on the
// animation timeline. "tabHeadBgSkin" is drawn stretched behind the header strip.
// Only "page2" children are its pages.
#include "ui/STabCtrl.h"
#include "ui/Timeline.h"

class STabPage2;

class STabCtrl2 : public ui::STabCtrl, public ui::TimelineHandler {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "tabctrl2")
public:
    explicit STabCtrl2(QWidget* parent = nullptr) : ui::STabCtrl(parent) {}
    ~STabCtrl2() override;
    bool SetAttribute(const QString& name, const QString& value) override;
    void OnCreate() override;
    void OnNextFrame() override;
    bool IsIdle() const override;

    STabPage2* Page2(int index) const;
    int32_t FrameInterval() const { return frameInterval_; }
    // Which picture the icon place of header index shows: the animation skin and
    // frame, or the icon skin and icon frame.
    struct IconChoice {
        const ui::Skin* skin = nullptr;
        int frame = 0;
        bool animated = false;
    };
    IconChoice IconFor(int index) const;

protected:
    bool IsPageChild(QWidget* child) const override;
    void DrawHeaderBackground(QPainter& p) override;
    void DrawItemIcon(QPainter& p, int index, const QRect& iconRect) override;

private:
    void StartAnimation(int index, int mode);

    ui::SkinPtr tabHeadBgSkin_;
    int32_t frameInterval_ = 50;
    ui::Timeline* timeline_ = nullptr;
    bool subscribed_ = false;
};
