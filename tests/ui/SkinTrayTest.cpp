#include <gtest/gtest.h>

#include <QPainter>
#include <memory>

#include "QtTestApp.h"
#include "ui/LayoutLoader.h"
#include "ui/STrayIcon.h"
#include "ui/Skin.h"
#include "ui/UiApp.h"
#include "ui/ValueTables.h"

namespace {

QImage Strip(int frames, int w, int h, bool vertical) {
    QImage img(vertical ? w : w * frames, vertical ? h * frames : h, QImage::Format_ARGB32);
    QPainter p(&img);
    for (int i = 0; i < frames; ++i)
        p.fillRect(vertical ? QRect(0, i * h, w, h) : QRect(i * w, 0, w, h), QColor(40 * i, 255 - 40 * i, 0));
    return img;
}

class Skins : public ::testing::Test {
protected:
    void SetUp() override {
        testutil::App();
        QDir().mkpath(dir_.filePath("img"));
        Strip(4, 10, 6, false).save(dir_.filePath("img/row.png"));
        Strip(3, 8, 5, true).save(dir_.filePath("img/col.png"));
        Strip(1, 12, 12, false).save(dir_.filePath("img/plain.png"));
        Strip(1, 24, 24, false).save(dir_.filePath("img/plain@2x.png"));
        testutil::WriteFile(dir_, "values/skin.xml", R"(<skin>
            <imgframe name="s_row" src="img:row" states="4"/>
            <imgframe name="s_col" src="img:col" states="3" vertical="1"/>
            <imgframe name="s_missing" src="img:nothing" states="2"/>
        </skin>)");
        testutil::WriteFile(
            dir_, "values/color.xml",
            R"(<color><item name="accent" value="#19c3ff"/><item name="glass" value="#8019c3ff"/><item name="bad" value="blue"/></color>)");
        testutil::WriteFile(
            dir_, "values/string.xml",
            R"(<string><item name="instanceName" value="kbconf-1"/><item name="crdxml" value="uires/keyboard/keyboard.xml"/></string>)");
        app_ = std::make_unique<ui::UiApp>(dir_.path(), true);
    }
    QTemporaryDir dir_;
    std::unique_ptr<ui::UiApp> app_;
};

TEST_F(Skins, FramesSideBySideOrStacked) {
    ui::SkinPtr row = app_->Skins().Find("s_row");
    ui::SkinPtr col = app_->Skins().Find("s_col");
    ASSERT_TRUE(row && col);
    EXPECT_EQ(row->FrameCount(), 4);
    EXPECT_EQ(row->FrameSize(), QSize(10, 6));
    EXPECT_EQ(row->FrameSource(2), QRect(20, 0, 10, 6));
    EXPECT_EQ(row->FrameSource(9), QRect(30, 0, 10, 6));  // a frame it lacks: its last
    EXPECT_EQ(col->FrameSize(), QSize(8, 5));
    EXPECT_EQ(col->FrameSource(1), QRect(0, 5, 8, 5));

    // Drawing picks the frame's pixels.
    QImage out(10, 6, QImage::Format_ARGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    row->Draw(p, out.rect(), 3);
    p.end();
    EXPECT_EQ(QColor(out.pixel(5, 3)), QColor(120, 135, 0));
}

TEST_F(Skins, ImagesServeAsOneFrameSkinsAndHighDensityTwinsKeepTheirSize) {
    EXPECT_FALSE(app_->Skins().Find("s_missing"));  // its picture is missing: no skin
    EXPECT_FALSE(app_->Skins().Find("nothing"));
    ui::SkinPtr plain = app_->Skins().Find("img:plain");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->FrameCount(), 1);
    EXPECT_EQ(plain->FrameSize(), QSize(12, 12));
    // On this 1x screen the plain file; the @2x twin where the screen is dense,
    // drawn at the same layout size.
    EXPECT_EQ(app_->Provider().LoadPixmap("img:plain").devicePixelRatio(), 1.0);
    app_->Provider().SetPreferHighDensity(true);
    const QPixmap twin = app_->Provider().LoadPixmap("img:plain");
    EXPECT_EQ(twin.devicePixelRatio(), 2.0);
    EXPECT_EQ(twin.deviceIndependentSize().toSize(), QSize(12, 12));
    app_->Provider().SetPreferHighDensity(false);
}

TEST_F(Skins, StringAndColourTables) {
    ASSERT_GE(app_->Strings().Count(), 1);
    EXPECT_EQ(app_->Strings().NameAt(0), "instanceName");
    EXPECT_EQ(app_->Strings().ValueAt(0), "kbconf-1");
    EXPECT_EQ(app_->Strings().Value("crdxml"), "uires/keyboard/keyboard.xml");
    EXPECT_EQ(app_->Colors().Value("accent"), QColor(0x19, 0xc3, 0xff));
    EXPECT_EQ(app_->Colors().Value("glass").alpha(), 0x80);
    EXPECT_FALSE(app_->Colors().Value("bad").isValid());
    struct Case {
        const char* text;
        bool valid;
    } cases[] = {{"#fff", true},    {"#123456", true}, {"#12345678", true},
                 {"#12345", false}, {"123456", false}, {"#xyzxyz", false}};
    for (auto& c : cases) EXPECT_EQ(ui::ColorTable::Parse(c.text).isValid(), c.valid) << c.text;
}

TEST_F(Skins, TrayIconAttributes) {
    const QByteArray ui = R"(<ui version="4.0"><widget class="window" name="root">
      <widget class="shellnotifyicon" name="tray">
        <property name="ico"><string>img:plain;img:nothing;img:row</string></property>
        <property name="tip"><string>kbconf</string></property>
        <property name="menu"><string>SMENU:menu_tray</string></property>
      </widget></widget></ui>)";
    ui::LayoutLoader loader(*app_);
    std::unique_ptr<QWidget> root(loader.LoadXml(ui, nullptr, "XML_MAINWND"));
    ASSERT_TRUE(root);
    auto* tray = root->findChild<ui::STrayIcon*>("tray");
    ASSERT_TRUE(tray);
    EXPECT_EQ(tray->Icons().size(), 2);  // the name that does not load is left out
    EXPECT_EQ(tray->Tip(), "kbconf");
    EXPECT_EQ(tray->MenuName(), "SMENU:menu_tray");
    EXPECT_FALSE(tray->isVisibleTo(root.get()));  // an icon, not a widget on the window
    ASSERT_TRUE(tray->Tray());

    tray->SetAttribute("tip", QString(200, u'x'));
    EXPECT_EQ(tray->Tip().size(), ui::STrayIcon::kMaxTip);  // the notification area's limit
}

TEST_F(Skins, TrayIconShowsTheDefaultIconIndexAndTheFirstWhenOutOfRange) {
    struct Case {
        const char* deficoidx;  // nullptr: attribute absent
        int shown;
    };
    const Case cases[] = {{nullptr, 0}, {"1", 1}, {"0x1", 1}, {"0", 0}, {"2", 0}, {"-1", 0}, {"one", 0}};
    for (const Case& c : cases) {
        const QByteArray idx =
            c.deficoidx ? QByteArray(R"(<property name="deficoidx"><string>)") + c.deficoidx + "</string></property>"
                        : QByteArray();
        const QByteArray ui = R"(<ui version="4.0"><widget class="window" name="root">
          <widget class="shellnotifyicon" name="tray">
            <property name="ico"><string>img:plain;img:nothing;img:row</string></property>)" +
                              idx + R"(</widget></widget></ui>)";
        ui::LayoutLoader loader(*app_);
        std::unique_ptr<QWidget> root(loader.LoadXml(ui, nullptr, "XML_MAINWND"));
        ASSERT_TRUE(root);
        auto* tray = root->findChild<ui::STrayIcon*>("tray");
        ASSERT_TRUE(tray && tray->Tray());
        ASSERT_EQ(tray->Icons().size(), 2);
        EXPECT_EQ(tray->DefaultIconIndex(), c.shown) << (c.deficoidx ? c.deficoidx : "absent");
        // The icon handed to the notification area is that one: img:plain is
        // square, img:row's strip is wide.
        const QSize shownSize = tray->Tray()->icon().availableSizes().value(0);
        EXPECT_EQ(shownSize, tray->Icons()[c.shown].availableSizes().value(0)) << (c.deficoidx ? c.deficoidx : "");
        EXPECT_EQ(tray->Tray()->icon().cacheKey(), tray->Icons()[c.shown].cacheKey());
    }
}

}  // namespace
