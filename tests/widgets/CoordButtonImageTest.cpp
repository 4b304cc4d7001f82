#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "WidgetTestSupport.h"
#include "ui/PixelProbe.h"
#include "widgets/CoordButtonImage.h"

namespace {

struct Click {
    int32_t id;
    QString name;
    int action;
    int32_t x, y;
    bool operator==(const Click&) const = default;
};

class RecordingListener : public ICoordButtonClickListener {
public:
    bool OnCoordButtonClick(int32_t id, QString name, int action, uint32_t, int32_t x, int32_t y) override {
        clicks.push_back({id, name, action, x, y});
        return handled;
    }
    std::vector<Click> clicks;
    bool handled = false;
};

class CoordButtonImageTest : public ::testing::Test {
protected:
    void SetUp() override { CoordButtonImage::SetBaseFolder(fx_.dir.path()); }
    void TearDown() override { CoordButtonImage::SetBaseFolder({}); }

    void WriteFile(const QString& name, const QByteArray& data) {
        QFile f(fx_.dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    // Keys A (0..19 x 0..19, id 4) and B overlapping its right half (id 5), then a
    // far key C that shares A's id.
    std::unique_ptr<CoordButtonImage> Overlapping(int type = 0) {
        WriteFile("kb.xml", R"(<positions>
            <key id="4" va="7" name="A" rect="0,0,20,20"/>
            <key id="5" va="7" name="B" rect="10,0,20,20"/>
            <key id="4" va="7" name="C" rect="100,0,20,20"/>
        </positions>)");
        auto w = std::make_unique<CoordButtonImage>();
        w->resize(200, 40);
        w->SetAttribute("crdxml", "kb.xml");
        w->SetAttribute("type", QString::number(type));
        w->OnCreate();
        return w;
    }

    wtest::UiFixture fx_;
};

TEST(CoordButtonImageFormat, PathJoining) {
    struct Case {
        const char* folder;
        const char* crdxml;
        const char* path;
    } cases[] = {
        {"/opt/kb", "keyboard.xml", "/opt/kb/keyboard.xml"},
        {"/opt/kb", "/keyboard.xml", "/opt/kb/keyboard.xml"},
        {"/opt/kb", "\\keyboard.xml", "/opt/kb/keyboard.xml"},
        {"/opt/kb", "uires\\keyboard\\keyboard.xml", "/opt/kb/uires/keyboard/keyboard.xml"},
    };
    for (auto& c : cases) EXPECT_EQ(CoordButtonImage::JoinPath(c.folder, c.crdxml), c.path) << c.crdxml;
}

TEST(CoordButtonImageFormat, ColourWords) {
    struct Case {
        const char* text;
        uint32_t word;
    } cases[] = {
        {" # FF00", 0x0000FF00},
        {"#ff0000", 0x00FF0000},
        {"FF00 ", 0x0000FF00},
        {"12zz", 0x12},
        {"", CoordButtonImage::kDefaultColor},
        {"#", CoordButtonImage::kDefaultColor},
        {"zz", CoordButtonImage::kDefaultColor},
        {"80FFFFFF", 0x80FFFFFF},
    };
    for (auto& c : cases) EXPECT_EQ(CoordButtonImage::ParseColor(c.text), c.word) << c.text;
}

TEST(CoordButtonImageFormat, RectsAreXYWidthHeight) {
    struct Case {
        const char* text;
        int l, t, r, b;
    } cases[] = {
        {"10,20,30,40", 10, 20, 40, 60}, {" 10, 20 ,30, 40", 10, 20, 40, 60}, {"5,6", 5, 6, 5, 6}, {"", 0, 0, 0, 0},
        {"-3,2,4", -3, 2, 1, 2},
    };
    for (auto& c : cases) {
        CoordButton k;
        CoordButtonImage::ParseRect(c.text, &k);
        EXPECT_EQ(std::vector<int>({k.left, k.top, k.right, k.bottom}), std::vector<int>({c.l, c.t, c.r, c.b}))
            << c.text;
    }
    CoordButton k;
    CoordButtonImage::ParseRect("10,20,30,40", &k);
    EXPECT_FALSE(k.Contains(40, 30));  // right edge exclusive
    EXPECT_TRUE(k.Contains(39, 59));
    EXPECT_TRUE(k.Contains(10, 20));
    EXPECT_FALSE(k.Contains(10, 60));
}

TEST_F(CoordButtonImageTest, LoadsEveryChildOfPositionsWithDefaults) {
    WriteFile("kb.xml", R"(<?xml version="1.0"?>
        <root-ignored/>
        <positions>
          <key id="41" va="7" name="Esc" rect="1,2,3,4" color="#102030"/>
          <!-- comments are not keys -->
          <anything name="NoIds"/>
          <key id="41" va="12" name="Twin"/>
        </positions>)");
    CoordButtonImage w;
    w.SetAttribute("crdxml", "/kb.xml");
    w.OnCreate();
    ASSERT_EQ(w.Keys().size(), 3);
    EXPECT_EQ(w.Keys()[0].color, 0x102030u);
    EXPECT_EQ(w.Keys()[0].right, 4);
    EXPECT_EQ(w.Keys()[1].id, -1);
    EXPECT_EQ(w.Keys()[1].va, -1);
    EXPECT_EQ(w.Keys()[1].color, CoordButtonImage::kDefaultColor);
    EXPECT_EQ(w.Keys()[1].Rect(), QRect());
    EXPECT_EQ(w.Keys()[2].va, 12);
    CoordButton info;
    ASSERT_TRUE(w.GetKeyInfo(41, &info));
    EXPECT_EQ(info.name, "Esc");  // the first of equal ids
    EXPECT_FALSE(w.GetKeyInfo(99));
}

TEST_F(CoordButtonImageTest, ReadsUtf16FilesByTheirByteOrderMark) {
    const QString xml = QString::fromUtf8("<positions><key id=\"4\" name=\"Ä\" rect=\"0,0,5,5\"/></positions>");
    QByteArray data("\xFF\xFE", 2);
    data += QByteArray(reinterpret_cast<const char*>(xml.utf16()), xml.size() * 2);
    WriteFile("kb16.xml", data);
    CoordButtonImage w;
    w.SetAttribute("crdxml", "kb16.xml");
    w.OnCreate();
    ASSERT_EQ(w.Keys().size(), 1);
    EXPECT_EQ(w.Keys()[0].name, QString::fromUtf8("Ä"));
}

TEST_F(CoordButtonImageTest, BrokenOrMissingFilesGiveNoKeysAndNoReports) {
    WriteFile("broken.xml", "<positions><key id=");
    WriteFile("other.xml", "<keys><key id=\"4\" rect=\"0,0,9,9\"/></keys>");
    for (const char* file : {"broken.xml", "other.xml", "missing.xml", ""}) {
        CoordButtonImage w;
        w.resize(50, 50);
        RecordingListener l;
        w.SetClickListener(&l);
        w.SetAttribute("crdxml", file);
        w.OnCreate();
        EXPECT_TRUE(w.Keys().isEmpty()) << file;
        wtest::Press(&w, {2, 2});
        EXPECT_TRUE(l.clicks.empty()) << file;
    }
}

TEST_F(CoordButtonImageTest, OverlapPressGoesToFirstTooltipToLast) {
    auto w = Overlapping();
    RecordingListener l;
    w->SetClickListener(&l);

    wtest::Move(w.get(), {15, 5});
    EXPECT_EQ(w->Keys()[0].hover, 1u);
    EXPECT_EQ(w->Keys()[1].hover, 1u);
    EXPECT_EQ(w->TipText(), "B");
    w->SetKeyLabel("Macro 1", 5);
    wtest::Move(w.get(), {16, 5});
    EXPECT_EQ(w->TipText(), "Macro 1");  // the label wins over the name
    wtest::Move(w.get(), {5, 5});
    EXPECT_EQ(w->Keys()[1].hover, 0u);
    EXPECT_EQ(w->TipText(), "A");
    wtest::Move(w.get(), {60, 5});
    EXPECT_EQ(w->TipText(), "");

    wtest::Press(w.get(), {15, 5});
    ASSERT_EQ(l.clicks.size(), 1u);
    EXPECT_EQ(l.clicks[0], (Click{4, "A", 0, 15, 5}));

    wtest::Move(w.get(), {15, 5});
    wtest::Leave(w.get());
    for (const CoordButton& k : w->Keys()) EXPECT_EQ(k.hover, 0u);
    EXPECT_EQ(w->TipText(), "");
    EXPECT_EQ(w->toolTip(), "");
}

TEST_F(CoordButtonImageTest, ReleaseOnlyReportsTheKeyThatWasPressed) {
    auto w = Overlapping();
    RecordingListener l;
    w->SetClickListener(&l);

    wtest::Press(w.get(), {2, 2});     // A
    wtest::Release(w.get(), {25, 2});  // over B only: B was never pressed
    ASSERT_EQ(l.clicks.size(), 1u);
    EXPECT_EQ(l.clicks[0].action, 0);
    EXPECT_EQ(w->Keys()[0].pressed, 1u);  // A stays pressed
    EXPECT_EQ(w->Keys()[1].pressed, 0u);

    wtest::Release(w.get(), {60, 2});  // over no key: nothing at all
    EXPECT_EQ(l.clicks.size(), 1u);
    EXPECT_EQ(w->Keys()[0].pressed, 1u);

    wtest::Release(w.get(), {3, 3});  // back over A
    ASSERT_EQ(l.clicks.size(), 2u);
    EXPECT_EQ(l.clicks[1], (Click{4, "A", 1, 3, 3}));
    EXPECT_EQ(w->Keys()[0].pressed, 0u);
}

TEST_F(CoordButtonImageTest, DefaultMarkingByType) {
    {  // single choice: only the last pressed key stays checked
        auto w = Overlapping(1);
        wtest::Press(w.get(), {2, 2});
        wtest::Release(w.get(), {2, 2});
        wtest::Press(w.get(), {25, 2});
        EXPECT_EQ(w->Keys()[0].checked, 0u);
        EXPECT_EQ(w->Keys()[1].checked, 1u);
        wtest::Press(w.get(), {25, 2});  // pressing it again keeps it checked
        EXPECT_EQ(w->Keys()[1].checked, 1u);
    }
    {  // toggle: each press inverts, releases change nothing
        auto w = Overlapping(2);
        wtest::Press(w.get(), {2, 2});
        EXPECT_EQ(w->Keys()[0].checked, 1u);
        wtest::Release(w.get(), {2, 2});
        EXPECT_EQ(w->Keys()[0].checked, 1u);
        wtest::Press(w.get(), {2, 2});
        EXPECT_EQ(w->Keys()[0].checked, 0u);
        // A press on C toggles the first key with C's id, which is A.
        wtest::Press(w.get(), {105, 2});
        EXPECT_EQ(w->Keys()[0].checked, 1u);
        EXPECT_EQ(w->Keys()[2].checked, 0u);
    }
    {  // type 0: nothing
        auto w = Overlapping(0);
        wtest::Press(w.get(), {2, 2});
        EXPECT_EQ(w->Keys()[0].checked, 0u);
    }
}

TEST_F(CoordButtonImageTest, HandlingListenerSuppressesMarking) {
    auto w = Overlapping(2);
    RecordingListener l;
    l.handled = true;
    w->SetClickListener(&l);
    wtest::Press(w.get(), {2, 2});
    EXPECT_EQ(w->Keys()[0].checked, 0u);
    l.handled = false;
    wtest::Press(w.get(), {2, 2});
    EXPECT_EQ(w->Keys()[0].checked, 1u);
}

TEST_F(CoordButtonImageTest, OperationsMatchFirstIdOrAllKeys) {
    auto w = Overlapping();
    w->SetKeyChecked(4, true);  // A and C share id 4: only A
    EXPECT_EQ(w->Keys()[0].checked, 1u);
    EXPECT_EQ(w->Keys()[2].checked, 0u);
    w->SetKeyChecked(CoordButtonImage::kAllKeys, true);
    for (const CoordButton& k : w->Keys()) EXPECT_EQ(k.checked, 1u);
    w->ToggleKeyChecked(5);
    EXPECT_EQ(w->Keys()[1].checked, 0u);
    w->SetKeyLabel("x", CoordButtonImage::kAllKeys);
    for (const CoordButton& k : w->Keys()) EXPECT_EQ(k.label, "x");
    w->SetKeyLabel("only A", 4);
    EXPECT_EQ(w->Keys()[0].label, "only A");
    EXPECT_EQ(w->Keys()[2].label, "x");
}

TEST_F(CoordButtonImageTest, PaintOrderColourUnderBackgroundCheckedOverHover) {
    // Background: opaque grey with a transparent hole over key A; hover look blue,
    // checked look green.
    QImage bg(200, 40, QImage::Format_ARGB32);
    bg.fill(Qt::gray);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x) bg.setPixel(x, y, 0);
    QImage hover(200, 40, QImage::Format_ARGB32), checked(200, 40, QImage::Format_ARGB32);
    hover.fill(Qt::blue);
    checked.fill(Qt::green);
    QDir().mkpath(fx_.dir.filePath("img"));
    ASSERT_TRUE(bg.save(fx_.dir.filePath("img/kbbg.png")));
    ASSERT_TRUE(hover.save(fx_.dir.filePath("img/kbhover.png")));
    ASSERT_TRUE(checked.save(fx_.dir.filePath("img/kbchecked.png")));
    fx_.app->Provider().Refresh();

    WriteFile("kb.xml", R"(<positions>
        <key id="4" name="A" rect="0,0,20,20" color="#FF0000"/>
        <key id="5" name="B" rect="30,0,20,20" color="#FF0000"/>
        <key id="6" name="C" rect="60,0,20,20"/>
    </positions>)");
    CoordButtonImage w;
    w.resize(200, 40);
    for (auto [a, v] :
         {std::pair{"bg", "img:kbbg"}, {"chking", "img:kbhover"}, {"chked", "img:kbchecked"}, {"crdxml", "kb.xml"}})
        w.SetAttribute(a, v);
    w.OnCreate();
    wtest::Move(&w, {35, 5});  // B hovered
    w.SetKeyChecked(5, true);  // and checked: checked look wins
    w.SetKeyChecked(6, false);
    QImage out = w.grab().toImage();
    EXPECT_EQ(QColor(out.pixel(5, 5)), QColor(Qt::red));     // key colour through the hole
    EXPECT_EQ(QColor(out.pixel(15, 5)), QColor(Qt::gray));   // background elsewhere on A
    EXPECT_EQ(QColor(out.pixel(35, 5)), QColor(Qt::green));  // checked over hover
    EXPECT_EQ(QColor(out.pixel(55, 5)), QColor(Qt::gray));   // cut-outs stay inside keys
    wtest::Move(&w, {65, 5});
    out = w.grab().toImage();
    EXPECT_EQ(QColor(out.pixel(65, 5)), QColor(Qt::blue));
    EXPECT_EQ(QColor(out.pixel(35, 5)), QColor(Qt::green));
}

TEST_F(CoordButtonImageTest, ScreenshotOfTheShippedKeyboard) {
    ui::UiApp app(QStringLiteral(KBCONF_SOURCE_DIR "/uires"), true);
    CoordButtonImage::SetBaseFolder(QStringLiteral(KBCONF_SOURCE_DIR "/uires/keyboard"));
    CoordButtonImage w;
    for (auto [a, v] : {std::pair{"bg", "keyboard:bg"},
                        {"chking", "keyboard:chking"},
                        {"chked", "keyboard:chked"},
                        {"crdxml", "keyboard.xml"}})
        w.SetAttribute(a, v);
    w.OnCreate();
    if (w.Keys().isEmpty()) GTEST_SKIP() << "no keyboard coordinate file in the tree";
    const QPixmap bg = app.Provider().LoadPixmap("keyboard:bg");
    w.resize(bg.deviceIndependentSize().toSize());
    // Every key carries its usage page and usage.
    for (const CoordButton& k : w.Keys()) {
        EXPECT_GE(k.id, 0) << k.name.toStdString();
        EXPECT_GE(k.va, 1) << k.name.toStdString();
        EXPECT_FALSE(k.Rect().isEmpty()) << k.name.toStdString();
    }
    // What the shot shows: marked keys look marked, the hovered key hovered,
    // and every other key as it was.
    const QImage plain = probe::Grab(&w);
    w.SetKeyChecked(0x29, true);  // Esc
    w.SetKeyChecked(0x04, true);  // A
    const QImage marked = probe::Grab(&w);
    CoordButton esc, a, b;
    ASSERT_TRUE(w.GetKeyInfo(0x29, &esc) && w.GetKeyInfo(0x04, &a) && w.GetKeyInfo(0x05, &b));
    EXPECT_GT(probe::Differing(plain, marked, esc.Rect()), esc.Rect().width()) << "Esc does not look marked";
    EXPECT_GT(probe::Differing(plain, marked, a.Rect()), a.Rect().width()) << "A does not look marked";
    EXPECT_EQ(probe::Differing(plain, marked, b.Rect()), 0) << "B changed without being marked";
    const CoordButton& hovered = w.Keys()[w.Keys().size() / 2];
    ASSERT_NE(hovered.id, 0x29);
    ASSERT_NE(hovered.id, 0x04);
    wtest::Move(&w, hovered.Rect().center());
    const QImage hover = probe::Grab(&w);
    EXPECT_GT(probe::Differing(marked, hover, hovered.Rect()), hovered.Rect().width()) << "no hover look";
    EXPECT_EQ(probe::Differing(marked, hover, a.Rect()), 0);
    for (int scale : {1, 2}) {
        QImage img(w.size() * scale, QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(scale);
        img.fill(QColor(0x10, 0x12, 0x16));
        w.render(&img);
        EXPECT_TRUE(img.save(wtest::ScreenshotPath(scale == 1 ? "widget_cbimg.png" : "widget_cbimg@2x.png")));
    }
}

}  // namespace
