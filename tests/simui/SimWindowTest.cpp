#include "platform/sim/ui/SimWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "platform/SimControlRig.h"
#include "platform/sim/SimHidBus.h"
#include "platform/sim/ui/SimKeyboardPanel.h"
#include "ui/QtTestApp.h"

using namespace platform;
using namespace platform::sim;
using platform::sim::ui::SimWindow;

namespace {

QString Text(QWidget& w, const char* name) {
    auto* label = w.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<missing %1>").arg(name);
}

QStringList Rows(QWidget& w, const char* list) {
    QStringList rows;
    auto* tree = w.findChild<QTreeWidget*>(QString::fromLatin1(list));
    for (int i = 0; tree && i < tree->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < tree->columnCount(); ++c) cells << tree->topLevelItem(i)->text(c);
        rows << cells.mid(1).join(u' ');  // without the time
    }
    return rows;
}

struct WindowRig : simtest::Rig {
    std::unique_ptr<SimWindow> window;
    WindowRig() {
        testutil::App();
        window = std::make_unique<SimWindow>(*control);
        window->resize(1000, 760);
        window->show();
    }
    ~WindowRig() { window.reset(); }
};

TEST(SimWindow, ClickedKeysReachTheFilterDriverAndTheTypedListShowsTheResult) {
    WindowRig rig;
    QPushButton* a = rig.window->Keyboard()->Button(0x07, 0x04);
    QPushButton* b = rig.window->Keyboard()->Button(0x07, 0x05);
    ASSERT_TRUE(a && b);

    QTest::mousePress(a, Qt::LeftButton);
    EXPECT_TRUE(rig.functionKeys.Keys().IsDown(0x07, 0x04));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Rows(*rig.window, "typed") == QStringList{"Q 7:14 down"}; }, 5000))
        << Rows(*rig.window, "typed").join(u'|').toStdString();
    // Held keys are lit, whoever holds them: a key pressed through the control
    // (the socket) lights up too.
    ASSERT_TRUE(rig.control->Press(0x07, 0x2C));
    QPushButton* space = rig.window->Keyboard()->Button(0x07, 0x2C);
    ASSERT_TRUE(QTest::qWaitFor([&] { return space->property("held").toBool(); }, 5000));
    const QImage shot = rig.window->grab().toImage();
    EXPECT_TRUE(testutil::SaveShots(rig.window.get(), "sim_window"));
    const QPoint spaceCentre = space->mapTo(rig.window.get(), space->rect().center());
    const QPoint bCentre = b->mapTo(rig.window.get(), QPoint(4, b->height() / 2));
    const QColor lit = shot.pixelColor(spaceCentre * shot.devicePixelRatio());
    const QColor plain = shot.pixelColor(bCentre * shot.devicePixelRatio());
    EXPECT_GT(lit.blue(), lit.red() + 80) << lit.name().toStdString();  // the held look is blue
    EXPECT_LT(std::abs(plain.blue() - plain.red()), 40) << plain.name().toStdString();
    rig.control->Release(0x07, 0x2C);

    QTest::mouseRelease(a, Qt::LeftButton);
    EXPECT_FALSE(rig.functionKeys.Keys().IsDown(0x07, 0x04));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Rows(*rig.window, "typed").size() == 2; }, 5000));
    EXPECT_EQ(Rows(*rig.window, "typed").last(), "Q 7:14 up");

    // Without the keyboard the keys say so and press nothing.
    QTest::mouseClick(rig.window->findChild<QPushButton*>("btn_unplug"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(*rig.window, "connection") == "unplugged"; }, 5000));
    QTest::mousePress(b, Qt::LeftButton);
    EXPECT_FALSE(rig.functionKeys.Keys().IsDown(0x07, 0x05));
    EXPECT_EQ(Text(*rig.window, "status"), "no keyboard is plugged");
    QTest::mouseRelease(b, Qt::LeftButton);
    QTest::mouseClick(rig.window->findChild<QPushButton*>("btn_switch"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(*rig.window, "model") == "1A2C:7FFF"; }, 5000));
    EXPECT_EQ(Text(*rig.window, "connection"), "plugged in");
    EXPECT_EQ(rig.window->findChild<QPushButton*>("btn_switch")->text(), "Switch to 7080");
    EXPECT_TRUE(testutil::SaveShots(rig.window.get(), "sim_window_7fff"));
}

TEST(SimWindow, StateLabelsFollowTheFirmware) {
    WindowRig rig;
    EXPECT_EQ(Text(*rig.window, "model"), "1A2C:7080");
    EXPECT_EQ(Text(*rig.window, "firmware"), "v1.0  (0x0100)");
    EXPECT_EQ(Text(*rig.window, "brightness"), "5");

    SimHidBus& bus = *rig.setup.bus;
    auto handle = bus.Open(bus.PathsOf(rig.setup.keyboard.get())[7], kAccessRead | kAccessWrite,
                           kShareRead | kShareWrite, false, nullptr);
    ASSERT_TRUE(handle);
    const uint8_t effect[8] = {0x07, 0xFF, 0xFF, 0x03, 0x02, 0x04, 0x01, 0x00};
    const uint8_t side[8] = {0x07, 0xFF, 0xFF, 0x20, 0x00, 0x00, 0x65, 0x00};
    ASSERT_TRUE(handle->SetFeature(effect, sizeof effect));
    ASSERT_TRUE(handle->SetFeature(side, sizeof side));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(*rig.window, "side_level") == "6"; }, 5000));
    EXPECT_EQ(Text(*rig.window, "effect"), "3");
    EXPECT_EQ(Text(*rig.window, "brightness"), "2");
    EXPECT_EQ(Text(*rig.window, "speed"), "4");
    EXPECT_EQ(Text(*rig.window, "flags"), "1");
    EXPECT_EQ(Text(*rig.window, "side_effect"), "5");
    EXPECT_EQ(Rows(*rig.window, "packets"), (QStringList{"set_feature mi 01 col 07 07 ff ff 03 02 04 01 00",
                                                         "set_feature mi 01 col 07 07 ff ff 20 00 00 65 00"}));
}

TEST(SimWindow, TypingPressesTheMatchingKeysAndLosingTheFocusLetsGo) {
    WindowRig rig;
    rig.window->activateWindow();
    rig.window->setFocus();
    struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        uint16_t page, usage;
    } cases[] = {
        {Qt::Key_A, Qt::NoModifier, 0x07, 0x04},        {Qt::Key_Exclam, Qt::ShiftModifier, 0x07, 0x1E},
        {Qt::Key_Tab, Qt::NoModifier, 0x07, 0x2B},      {Qt::Key_Space, Qt::NoModifier, 0x07, 0x2C},
        {Qt::Key_7, Qt::KeypadModifier, 0x07, 0x5F},    {Qt::Key_F5, Qt::NoModifier, 0x07, 0x3E},
        {Qt::Key_VolumeUp, Qt::NoModifier, 0x0C, 0xE9},
    };
    for (const auto& c : cases) {
        QTest::keyPress(rig.window.get(), c.key, c.mods);
        EXPECT_TRUE(rig.functionKeys.Keys().IsDown(c.page, c.usage)) << c.usage;
        QTest::keyRelease(rig.window.get(), c.key, c.mods);
        EXPECT_FALSE(rig.functionKeys.Keys().IsDown(c.page, c.usage)) << c.usage;
    }
    // A key still down when the focus goes is released.
    QTest::keyPress(rig.window.get(), Qt::Key_B);
    ASSERT_TRUE(rig.functionKeys.Keys().IsDown(0x07, 0x05));
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(rig.window.get(), &out);
    EXPECT_FALSE(rig.functionKeys.Keys().IsDown(0x07, 0x05));
    // And a key down when the window goes, too.
    QTest::keyPress(rig.window.get(), Qt::Key_C);
    ASSERT_TRUE(rig.functionKeys.Keys().IsDown(0x07, 0x06));
    rig.window.reset();
    EXPECT_FALSE(rig.functionKeys.Keys().IsDown(0x07, 0x06));
}

}  // namespace
