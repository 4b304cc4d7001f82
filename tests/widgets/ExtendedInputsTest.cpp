#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QSignalSpy>

#include "WidgetTestSupport.h"
#include "ui/Events.h"
#include "ui/HostDialog.h"
#include "ui/PixelProbe.h"
#include "ui/WidgetTree.h"
#include "widgets/SCheckBoxEx.h"
#include "widgets/SEditEx.h"
#include "widgets/SRadioBoxEx.h"

namespace {

class ExtendedInputs : public ::testing::Test {
protected:
    wtest::UiFixture fx_;
};

TEST_F(ExtendedInputs, TextAreaShiftedByIconAndOffsets) {
    wtest::MakeSkin(*fx_.app, "icon16", 8, 16, 16);
    SCheckBoxEx c;
    c.resize(120, 30);
    for (auto [a, v] : {std::pair{"iconskin", "icon16"}, {"iconpos", "4,2"}, {"textx", "3"}})
        EXPECT_TRUE(c.SetAttribute(a, v));
    EXPECT_EQ(c.TextRect(), QRect(QPoint(23, 2), QPoint(119, 29)));
    EXPECT_EQ(c.Look().IconRect(c.rect()), QRect(4, 2, 16, 16));

    SRadioBoxEx r;  // same attributes, hexadecimal accepted, no icon: only the offsets
    r.resize(100, 20);
    EXPECT_TRUE(r.SetAttribute("textx", "0x10"));
    EXPECT_TRUE(r.SetAttribute("texty", "-2"));
    EXPECT_EQ(r.TextRect(), QRect(QPoint(16, -2), QPoint(99, 19)));
}

TEST_F(ExtendedInputs, BoxSkinFramesFollowTheState) {
    wtest::MakeSkin(*fx_.app, "box4", 4, 60, 24);
    wtest::MakeSkin(*fx_.app, "box1", 1, 60, 24);
    struct Case {
        const char* skin;
        bool checked, hover, pressed;
        int frame;
    } cases[] = {
        {"box4", false, false, false, 0}, {"box4", true, false, false, 3}, {"box4", true, true, false, 1},
        {"box4", false, true, false, 1},  {"box4", true, true, true, 2},   {"box4", false, false, true, 2},
        {"box1", false, false, false, 0}, {"box1", true, false, false, 0}, {"box1", true, true, false, 1},
        {"box1", false, false, true, 2},
    };
    for (auto& c : cases) {
        SCheckBoxEx b;
        b.SetAttribute("skin", c.skin);
        b.setChecked(c.checked);
        if (c.hover) wtest::Enter(&b);
        b.setDown(c.pressed);
        EXPECT_EQ(b.BoxFrame(), c.frame) << c.skin << " checked " << c.checked << " hover " << c.hover << " pressed "
                                         << c.pressed;
        EXPECT_EQ(b.sizeHint(), QSize(60, 24));  // one frame of the box skin
    }
}

TEST_F(ExtendedInputs, IconFrameIsTheBaseStateIndex) {
    struct Case {
        bool enabled, checked, hover, pressed;
        int index;
    } cases[] = {
        {true, false, false, false, 0}, {true, false, true, false, 1},  {true, false, true, true, 2},
        {false, false, true, true, 3},  {true, true, false, false, 4},  {true, true, true, false, 5},
        {true, true, false, true, 6},   {false, true, false, false, 7},
    };
    for (auto& c : cases) {
        SRadioBoxEx b;
        b.setCheckable(true);
        b.setAutoExclusive(false);
        b.setChecked(c.checked);
        b.setEnabled(c.enabled);
        if (c.hover) wtest::Enter(&b);
        b.setDown(c.pressed);
        EXPECT_EQ(b.IconFrame(), c.index);
    }
}

TEST_F(ExtendedInputs, ClassNamesAnswerForTheirBases) {
    SCheckBoxEx c;
    SRadioBoxEx r;
    SEditEx e;
    EXPECT_EQ(ui::ClassName(&c), "checkex");
    EXPECT_TRUE(ui::IsClass(&c, "check"));
    EXPECT_FALSE(ui::IsClass(&c, "radio"));
    EXPECT_TRUE(ui::IsClass(&r, "radio"));
    EXPECT_TRUE(ui::IsClass(&e, "edit"));
    EXPECT_TRUE(ui::IsClass(&e, "editex"));
}

TEST_F(ExtendedInputs, EnterFiresOncePerKeyDownAndIsNotEdited) {
    SEditEx e;
    e.setText("12");
    int fired = 0;
    ui::Subscribe(&e, SEditEx::EventKeyEnter, [&](ui::EventArgs& a) {
        ++fired;
        EXPECT_EQ(a.sender, &e);
        EXPECT_EQ(a.event, 10000500);
        return true;
    });
    QSignalSpy returnPressed(&e, &QLineEdit::returnPressed);
    QSignalSpy edited(&e, &QLineEdit::editingFinished);
    for (auto [key, autoRepeat] : {std::pair{Qt::Key_Return, false}, {Qt::Key_Return, true}, {Qt::Key_Enter, false}}) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QStringLiteral("\r"), autoRepeat);
        QApplication::sendEvent(&e, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, QStringLiteral("\r"), autoRepeat);
        QApplication::sendEvent(&e, &up);
    }
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(returnPressed.count(), 0);
    EXPECT_EQ(edited.count(), 0);
    EXPECT_EQ(e.text(), "12");

    QKeyEvent digit(QEvent::KeyPress, Qt::Key_3, Qt::NoModifier, QStringLiteral("3"));
    QApplication::sendEvent(&e, &digit);
    EXPECT_EQ(e.text(), "123");  // other keys edit as usual
    EXPECT_EQ(fired, 3);
}

TEST_F(ExtendedInputs, EnterReachesTheHostByName) {
    // "on_key_enter" is an event like any other: a host can take it by widget name.
    ui::HostDialog host(QStringLiteral("LAYOUT:none"));
    auto* e = new SEditEx(&host);
    e->setObjectName("key_delay");
    QString got;
    host.On(ui::EventIdOf("on_key_enter"), QStringLiteral("key_delay"), [&](ui::EventArgs& a) {
        got = a.name;
        return true;
    });
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(e, &down);
    EXPECT_EQ(got, "key_delay");
}

TEST_F(ExtendedInputs, ClickingADisabledEditEnablesIt) {
    QWidget top;
    auto* e = new SEditEx(&top);
    e->resize(80, 24);
    e->setEnabled(false);
    wtest::Press(e, {5, 5});
    EXPECT_TRUE(e->isEnabled());
    wtest::Release(e, {5, 5});
    EXPECT_TRUE(e->isEnabled());

    // An enabled edit keeps the click from the base edit but takes the keyboard.
    top.setAttribute(Qt::WA_DontShowOnScreen);
    top.show();
    e->setText("12");
    e->setCursorPosition(0);
    wtest::Press(e, {70, 5});
    wtest::Release(e, {70, 5});
    EXPECT_EQ(top.focusWidget(), e);    // focus inside its window (offscreen windows are never active)
    EXPECT_EQ(e->cursorPosition(), 0);  // the press did not move the caret

    // A right click is an ordinary edit message and leaves it disabled.
    e->setEnabled(false);
    wtest::Mouse(e, QEvent::MouseButtonPress, {5, 5}, Qt::RightButton);
    EXPECT_FALSE(e->isEnabled());
}

TEST_F(ExtendedInputs, Screenshots) {
    ui::UiApp app(QStringLiteral(KBCONF_SOURCE_DIR "/uires"), true);
    RegisterCustomWidgets(app);
    app.LoadUiDef(QStringLiteral("UIDEF:XML_INIT"));
    QWidget panel;
    panel.setObjectName("shot_panel");
    panel.setStyleSheet("#shot_panel { background: #14171c; }");
    panel.setAttribute(Qt::WA_StyledBackground);
    panel.resize(260, 150);
    const auto skinOr = [](const char* want, const char* other) {
        return ui::UiApp::FindSkin(want) ? QString(want) : QString(other);
    };
    auto* chk = new SCheckBoxEx(&panel);
    chk->setGeometry(10, 10, 240, 32);
    chk->setText("Record");
    chk->SetAttribute("skin", skinOr("skin_chk_record", "skin_radio_delay"));
    chk->SetAttribute("iconskin", skinOr("skin_icon_record", "skin_icon_radio"));
    chk->SetAttribute("iconpos", "10,8");
    chk->SetAttribute("textx", "8");
    chk->SetAttribute("texty", "-8");  // the text area starts below the icon offset; centre it again
    chk->setChecked(true);
    auto* radio = new SRadioBoxEx(&panel);
    radio->setGeometry(10, 50, 240, 32);
    radio->setText("Fixed delay");
    radio->SetAttribute("skin", skinOr("skin_radio_delay", "skin_chk_record"));
    radio->SetAttribute("iconskin", "skin_icon_radio");
    radio->SetAttribute("iconpos", "10,8");
    radio->SetAttribute("textx", "8");
    radio->SetAttribute("texty", "-8");
    auto* edit = new SEditEx(&panel);
    edit->setGeometry(10, 100, 120, 28);
    edit->setText("20");
    // The shot shows the check box checked and the radio box not: each must
    // look different in the other state, and only where it is.
    const QImage shown = probe::Grab(&panel);
    chk->setChecked(false);
    radio->setChecked(true);
    const QImage flipped = probe::Grab(&panel);
    chk->setChecked(true);
    radio->setChecked(false);
    EXPECT_GT(probe::Differing(shown, flipped, chk->geometry()), 20) << "checked and unchecked look alike";
    EXPECT_GT(probe::Differing(shown, flipped, radio->geometry()), 20) << "checked and unchecked look alike";
    EXPECT_EQ(probe::Differing(shown, flipped, edit->geometry()), 0);
    EXPECT_GT(probe::Ink(shown, edit->geometry().adjusted(2, 2, -2, -2)), 0) << "the edit's text is not drawn";
    EXPECT_EQ(probe::Differing(shown, probe::Grab(&panel), panel.rect()), 0);  // back as shot
    for (int scale : {1, 2}) {
        QImage img(panel.size() * scale, QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(scale);
        panel.render(&img);
        EXPECT_TRUE(img.save(wtest::ScreenshotPath(scale == 1 ? "widget_checkex_radioex_editex.png"
                                                              : "widget_checkex_radioex_editex@2x.png")));
    }
}

}  // namespace
