#include <gtest/gtest.h>

#include <vector>

#include "WidgetTestSupport.h"
#include "ui/LayoutLoader.h"
#include "ui/PixelProbe.h"
#include "widgets/SAnimImg.h"
#include "widgets/STabCtrl2.h"
#include "widgets/STabPage2.h"

namespace {

class Animation : public ::testing::Test {
protected:
    void SetUp() override {
        wtest::MakeSkin(*fx_.app, "in4", 4);
        wtest::MakeSkin(*fx_.app, "out4", 4);
        wtest::MakeSkin(*fx_.app, "in5", 5, 20, 12);
        wtest::MakeSkin(*fx_.app, "icons", 3);
    }
    ui::Timeline& Timeline() { return fx_.app->Animation(); }

    // Three pages: with ani_in and ani_out, without ani_in, and a plain "page"
    // child that a tabctrl2 must not take as a page.
    std::unique_ptr<QWidget> LoadTabs() {
        const QByteArray ui = R"(<ui version="4.0"><widget class="window" name="root">
          <property name="geometry"><rect><x>0</x><y>0</y><width>400</width><height>200</height></rect></property>
          <widget class="tabctrl2" name="tabs">
            <property name="geometry"><rect><x>0</x><y>0</y><width>400</width><height>200</height></rect></property>
            <property name="tabWidth"><string>100</string></property>
            <property name="tabHeight"><string>30</string></property>
            <property name="icons"><string>icons</string></property>
            <widget class="page2" name="p0"><property name="title"><string>Macro</string></property>
              <property name="ani_in"><string>in4</string></property><property name="ani_out"><string>out4</string></property></widget>
            <widget class="page" name="not_a_page"/>
            <widget class="page2" name="p1"><property name="title"><string>Single</string></property>
              <property name="ani_out"><string>out4</string></property>
              <property name="iconIndex"><string>2</string></property></widget>
          </widget></widget></ui>)";
        ui::LayoutLoader loader(*fx_.app);
        std::unique_ptr<QWidget> root(loader.LoadXml(ui, nullptr, "test"));
        EXPECT_TRUE(root);
        return root;
    }

    wtest::UiFixture fx_;
};

// Frame in the icon place of header i after each of n timeline frames (-1: icon).
std::vector<int> Trace(STabCtrl2* tabs, ui::Timeline& tl, int index, int frames) {
    std::vector<int> out;
    for (int t = 0; t < frames; ++t) {
        const auto c = tabs->IconFor(index);
        out.push_back(c.animated ? c.frame : -1);
        tl.Tick();
    }
    return out;
}

std::vector<int> Repeat(std::initializer_list<std::pair<int, int>> runs) {
    std::vector<int> v;
    for (auto [value, count] : runs) v.insert(v.end(), count, value);
    return v;
}

TEST_F(Animation, TabCtrl2TakesOnlyPage2Children) {
    auto root = LoadTabs();
    auto* tabs = root->findChild<STabCtrl2*>("tabs");
    ASSERT_TRUE(tabs);
    ASSERT_EQ(tabs->GetPageCount(), 2);
    EXPECT_EQ(tabs->GetPage(1)->objectName(), "p1");
    EXPECT_EQ(tabs->FrameInterval(), 50);
    EXPECT_TRUE(Timeline().IsRegistered(tabs));
    root.reset();
    EXPECT_EQ(Timeline().HandlerCount(), 0);  // unregistered on destruction
}

TEST_F(Animation, HeaderInAnimationPlaysAndHoldsItsLastFrame) {
    auto root = LoadTabs();
    auto* tabs = root->findChild<STabCtrl2*>("tabs");
    wtest::Move(tabs, tabs->ItemRect(0).center());  // the real hover path: mouse over header 0
    EXPECT_EQ(tabs->HoverItem(), 0);
    EXPECT_EQ(Trace(tabs, Timeline(), 0, 30), Repeat({{0, 5}, {1, 5}, {2, 5}, {3, 15}}));
}

TEST_F(Animation, HeaderOutAnimationStopsBeforeItsLastFrame) {
    auto root = LoadTabs();
    auto* tabs = root->findChild<STabCtrl2*>("tabs");
    wtest::Move(tabs, tabs->ItemRect(0).center());
    Timeline().Advance(40);
    wtest::Move(tabs, {390, 190});  // off the headers: leave of item 0
    EXPECT_EQ(Trace(tabs, Timeline(), 0, 25), Repeat({{0, 5}, {1, 5}, {2, 5}, {-1, 10}}));
    const auto icon = tabs->IconFor(0);
    EXPECT_EQ(icon.frame, 0);  // back to the icon skin, frame = page index
}

TEST_F(Animation, PageWithoutInAnimationShowsItsIconWhileHovered) {
    auto root = LoadTabs();
    auto* tabs = root->findChild<STabCtrl2*>("tabs");
    wtest::Move(tabs, tabs->ItemRect(1).center());
    auto* page = tabs->Page2(1);
    EXPECT_EQ(page->aniMode, 1);
    EXPECT_EQ(Trace(tabs, Timeline(), 1, 10), Repeat({{-1, 10}}));
    EXPECT_EQ(page->aniMode, 0);
    EXPECT_EQ(tabs->IconFor(1).frame, 2);  // its own icon index
    // Moving from header 1 to header 0 leaves 1 (its out-animation starts) and hovers 0.
    wtest::Move(tabs, tabs->ItemRect(0).center());
    EXPECT_EQ(page->aniMode, 2);
    EXPECT_EQ(tabs->Page2(0)->aniMode, 1);
}

TEST_F(Animation, AnimImgAutorunReplaysEveryNSeconds) {
    SAnimImg img;
    img.SetAttribute("ani_in", "in5");
    img.SetAttribute("autorun", "2");
    img.OnCreate();
    EXPECT_EQ(img.autorunDelay, 2000);
    EXPECT_EQ(img.sizeHint(), QSize(20, 12));
    std::vector<int> shown;
    for (int t = 0; t < 2 * (200 + 25) + 10; ++t) {
        Timeline().Tick();
        shown.push_back(img.mode == 1 ? img.ShownFrame() : -1);
    }
    // Idle until 2 s have passed, frames 0..4 at 50 ms each, then 2 s after the run
    // ended (the tick that ends it counts) the same again.
    const auto expected = Repeat({{-1, 199},
                                  {0, 5},
                                  {1, 5},
                                  {2, 5},
                                  {3, 5},
                                  {4, 5},
                                  {-1, 199},
                                  {0, 5},
                                  {1, 5},
                                  {2, 5},
                                  {3, 5},
                                  {4, 5},
                                  {-1, 12}});
    EXPECT_EQ(shown, expected);
}

TEST_F(Animation, AnimImgAutorunZeroLoops) {
    SAnimImg img;
    img.SetAttribute("ani_in", "in5");
    img.SetAttribute("autorun", "0");
    img.OnCreate();
    std::vector<int> shown;
    for (int t = 0; t < 60; ++t) {
        Timeline().Tick();
        shown.push_back(img.mode == 1 ? img.ShownFrame() : -1);
    }
    // Starts at once and goes round without a pause.
    EXPECT_EQ(shown,
              Repeat({{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}, {0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}, {0, 5}, {1, 5}}));
}

TEST_F(Animation, AnimImgHoverInThenOutShowsEveryOutFrame) {
    SAnimImg img;
    img.SetAttribute("ani_in", "in4");
    img.SetAttribute("ani_out", "out4");
    img.SetAttribute("interval", "0x14");  // 20 ms
    img.OnCreate();
    wtest::Enter(&img);
    Timeline().Advance(2);  // one in-frame
    wtest::Leave(&img);     // the in-animation still finishes first
    std::vector<std::pair<int, int>> seen;
    for (int t = 0; t < 24; ++t) {
        Timeline().Tick();
        if (seen.empty() || seen.back() != std::pair{img.mode, img.ShownFrame()})
            seen.push_back({img.mode, img.ShownFrame()});
    }
    const std::vector<std::pair<int, int>> expected = {{1, 1}, {1, 2}, {1, 3}, {2, 0}, {2, 1}, {2, 2}, {2, 3}, {0, 0}};
    EXPECT_EQ(seen, expected);
}

TEST_F(Animation, AnimImgWithoutOutHoldsLastFrameUntilNextHover) {
    SAnimImg img;
    img.SetAttribute("ani_in", "in4");
    img.OnCreate();
    wtest::Enter(&img);
    wtest::Leave(&img);
    Timeline().Advance(100);
    EXPECT_EQ(img.mode, 1);
    EXPECT_EQ(img.ShownFrame(), 3);
    wtest::Enter(&img);  // a new hover restarts
    EXPECT_EQ(img.ShownFrame(), 0);
    EXPECT_EQ(img.hoverCount, 1);
}

TEST_F(Animation, TimelineHandlersMayLeaveDuringAFrame) {
    struct H : ui::TimelineHandler {
        ui::Timeline* tl;
        H* other = nullptr;
        int calls = 0;
        void OnNextFrame() override {
            ++calls;
            if (other) tl->Unregister(other);
        }
    } a, b;
    a.tl = b.tl = &Timeline();
    a.other = &b;
    Timeline().Register(&a);
    Timeline().Register(&b);
    Timeline().Register(&a);             // registering twice does not double the calls
    EXPECT_FALSE(Timeline().Running());  // manual timeline: no timer
    Timeline().Tick();
    EXPECT_EQ(a.calls, 1);
    EXPECT_EQ(b.calls, 0);  // removed before its turn
    Timeline().Unregister(&a);

    ui::Timeline real;
    EXPECT_FALSE(real.Running());  // nothing to animate: no timer, no wake-ups
    real.Register(&a);
    EXPECT_TRUE(real.Running());
    real.Unregister(&a);
    EXPECT_FALSE(real.Running());
}

TEST_F(Animation, RealTimelineRunsOnlyWhileSomethingMoves) {
    ui::UiApp app(fx_.dir.path(), false);  // a timeline with its 10 ms timer
    wtest::MakeSkin(app, "in4", 4);
    wtest::MakeSkin(app, "out4", 4);
    SAnimImg img;
    img.SetAttribute("ani_in", "in4");
    img.SetAttribute("ani_out", "out4");
    img.OnCreate();
    EXPECT_TRUE(app.Animation().IsRegistered(&img));
    EXPECT_FALSE(app.Animation().Running());  // idle picture: no timer
    wtest::Enter(&img);
    EXPECT_TRUE(app.Animation().Running());
    app.Animation().Advance(20);  // the in-animation reaches its last frame, mouse still over it
    EXPECT_FALSE(app.Animation().Running());
    wtest::Leave(&img);  // now the out-animation has to run
    EXPECT_TRUE(app.Animation().Running());
    app.Animation().Advance(30);
    EXPECT_EQ(img.mode, 0);
    EXPECT_FALSE(app.Animation().Running());

    SAnimImg hidden;  // an automatic replay waits only while shown
    hidden.SetAttribute("ani_in", "in4");
    hidden.SetAttribute("autorun", "1");
    hidden.OnCreate();
    EXPECT_FALSE(app.Animation().Running());
    hidden.setAttribute(Qt::WA_DontShowOnScreen);
    hidden.show();
    EXPECT_TRUE(app.Animation().Running());
    hidden.hide();
    app.Animation().Tick();
    EXPECT_FALSE(app.Animation().Running());
}

TEST_F(Animation, TabCtrl2Screenshot) {
    ui::UiApp app(QStringLiteral(KBCONF_SOURCE_DIR "/uires"), true);
    RegisterCustomWidgets(app);
    app.LoadUiDef(QStringLiteral("UIDEF:XML_INIT"));
    const QByteArray ui = R"(<ui version="4.0"><widget class="window" name="root">
      <property name="geometry"><rect><x>0</x><y>0</y><width>600</width><height>120</height></rect></property>
      <property name="class"><string>panel</string></property>
      <widget class="tabctrl2" name="tabs">
        <property name="geometry"><rect><x>0</x><y>0</y><width>600</width><height>120</height></rect></property>
        <property name="tabWidth"><string>150</string></property><property name="tabHeight"><string>44</string></property>
        <property name="tabSkin"><string>skin_tab_item</string></property>
        <property name="icons"><string>skin_tab_icons</string></property>
        <property name="tabHeadBgSkin"><string>skin_tab_head_bg</string></property>
        <widget class="page2" name="a"><property name="title"><string>Macro</string></property>
          <property name="ani_in"><string>skin_tab_macro_in</string></property></widget>
        <widget class="page2" name="b"><property name="title"><string>Single key</string></property>
          <property name="ani_in"><string>skin_tab_single_in</string></property></widget>
        <widget class="page2" name="c"><property name="title"><string>Media</string></property></widget>
        <widget class="page2" name="d"><property name="title"><string>Function</string></property></widget>
      </widget></widget></ui>)";
    ui::LayoutLoader loader(app);
    std::unique_ptr<QWidget> root(loader.LoadXml(ui, nullptr, "test"));
    ASSERT_TRUE(root);
    auto* tabs = root->findChild<STabCtrl2*>("tabs");
    const QImage still = probe::Grab(root.get());
    wtest::Move(tabs, tabs->ItemRect(1).center());
    app.Animation().Advance(12);  // mid-animation on the hovered header
    // The hovered header shows its animation; the others stay as they were.
    const QImage moving = probe::Grab(root.get());
    const QPoint at = probe::RectIn(root.get(), tabs).topLeft();
    EXPECT_GT(probe::Differing(still, moving, tabs->ItemRect(1).translated(at)), 50) << "hovered header unchanged";
    EXPECT_EQ(probe::Differing(still, moving, tabs->ItemRect(3).translated(at)), 0);
    for (int scale : {1, 2}) {
        QImage img(root->size() * scale, QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(scale);
        img.fill(QColor(0x14, 0x17, 0x1c));
        root->render(&img);
        EXPECT_TRUE(img.save(wtest::ScreenshotPath(scale == 1 ? "widget_tabctrl2.png" : "widget_tabctrl2@2x.png")));
    }
}

}  // namespace

namespace {

TEST(AnimImgShot, FramesOfTheShippedLogo) {
    wtest::App();
    ui::UiApp app(QStringLiteral(KBCONF_SOURCE_DIR "/uires"), true);
    SAnimImg img;
    img.SetAttribute("ani_in", "skin_logo_anim");
    img.SetAttribute("interval", "10");
    img.OnCreate();
    if (!img.aniIn) GTEST_SKIP() << "no logo animation skin";
    const int frames = img.aniIn->FrameCount();
    const QSize size = img.sizeHint() * 2;
    img.resize(size);
    QImage strip(QSize(size.width() * frames, size.height()) * 2, QImage::Format_ARGB32_Premultiplied);
    strip.setDevicePixelRatio(2);
    strip.fill(QColor(0x14, 0x17, 0x1c));
    wtest::Enter(&img);
    std::vector<QImage> shown;
    for (int f = 0; f < frames; ++f) {
        EXPECT_EQ(img.ShownFrame(), f);
        img.render(&strip, QPoint(f * size.width(), 0), QRegion(), QWidget::DrawChildren);
        shown.push_back(probe::Grab(&img));
        app.Animation().Tick();
    }
    // The strip shows the animation moving: a picture, and not one frame repeated.
    ASSERT_GT(frames, 1);
    EXPECT_GT(probe::Ink(shown[0], shown[0].rect()), 0);
    int changes = 0;
    for (int f = 1; f < frames; ++f) changes += probe::Differing(shown[f - 1], shown[f], shown[f].rect()) > 0;
    EXPECT_GE(changes, frames / 2) << "of " << frames << " frames";
    EXPECT_TRUE(strip.save(wtest::ScreenshotPath("widget_anmimg_frames.png")));
}

}  // namespace
