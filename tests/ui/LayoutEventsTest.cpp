#include <gtest/gtest.h>

#include <QLabel>
#include <memory>
#include <thread>
#include <tuple>

#include "QtTestApp.h"
#include "ui/HostWindow.h"
#include "ui/LayoutLoader.h"
#include "ui/SButton.h"
#include "ui/SCheckBox.h"
#include "ui/SComboBox.h"
#include "ui/SEdit.h"
#include "ui/SSliderBar.h"
#include "ui/STabCtrl.h"
#include "ui/STabPage.h"
#include "ui/UiApp.h"

namespace {

const QByteArray kLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0"><widget class="window" name="root">
  <property name="geometry"><rect><x>0</x><y>0</y><width>400</width><height>300</height></rect></property>
  <property name="windowTitle"><string>Test window</string></property>
  <widget class="window" name="panel">
    <widget class="window" name="deeper">
      <widget class="button" name="btnOK"><property name="text"><string>OK</string></property></widget>
    </widget>
    <widget class="button" name="btnCancel"/>
    <widget class="check" name="chk_macro_record"><property name="checked"><string>1</string></property></widget>
    <widget class="sliderbar" name="bar_side_brightness">
      <property name="min"><string>10</string></property>
      <property name="max"><string>200</string></property>
      <property name="value"><string>150</string></property>
    </widget>
    <widget class="combobox" name="cbx_in_lv"/>
    <widget class="combobox" name="cbx_side_color_effect">
      <item><property name="text"><string>Rainbow</string></property></item>
      <item><property name="text"><string>Breathing</string></property></item>
    </widget>
    <widget class="edit" name="edit_macro_repeat_times"><property name="text"><string>1</string></property></widget>
    <widget class="text" name="version"><property name="text"><string>@string/fw</string></property>
      <property name="tip"><string>Firmware</string></property></widget>
    <widget class="button" name="own_id"><property name="id"><string>0x1234</string></property>
      <property name="Custom_Thing"><string>kept</string></property></widget>
    <widget class="mystery" name="unknown_kind"/>
    <widget class="tabctrl" name="tab_color_effect">
      <property name="geometry"><rect><x>0</x><y>100</y><width>300</width><height>150</height></rect></property>
      <property name="tabWidth"><string>100</string></property>
      <property name="tabHeight"><string>30</string></property>
      <property name="curSel"><string>1</string></property>
      <widget class="page" name="p0"><property name="title"><string>Wave</string></property></widget>
      <widget class="page" name="p1"><property name="title"><string>Static</string></property></widget>
      <widget class="page" name="p2"><property name="title"><string>Loader</string></property></widget>
    </widget>
  </widget>
</widget></ui>)";

class TestHost : public ui::HostWindow {
public:
    using ui::HostWindow::HostWindow;
    std::vector<int> commands;
    std::vector<std::pair<int, int>> others;  // (event, cur)

protected:
    bool OnCommand(ui::EventArgs& a) override {
        commands.push_back(a.id);
        return true;
    }
    bool OnEvent(ui::EventArgs& a) override {
        if (a.event != ui::ev::kCommand) others.push_back({a.event, a.cur});
        return ui::HostWindow::OnEvent(a);
    }
};

class LayoutEvents : public ::testing::Test {
protected:
    void SetUp() override {
        testutil::App();
        ASSERT_TRUE(testutil::WriteFile(dir_, "layout/test.ui", kLayout));
        ASSERT_TRUE(testutil::WriteFile(
            dir_, "values/string.xml",
            R"(<string><item name="instanceName" value="kbconf-test"/><item name="fw" value="V1.02"/></string>)"));
        app_ = std::make_unique<ui::UiApp>(dir_.path(), true);
        host_ = std::make_unique<TestHost>(QStringLiteral("LAYOUT:test"));
        ASSERT_TRUE(host_->Create());
    }
    template <class T>
    T* Get(const char* name) {
        return host_->FindChildByName2<T>(name);
    }

    QTemporaryDir dir_;
    std::unique_ptr<ui::UiApp> app_;
    std::unique_ptr<TestHost> host_;
};

TEST_F(LayoutEvents, LookupByNameOrIdChecksTheClass) {
    struct Case {
        const char* name;
        int id;
        const char* cls;
        bool found;
    } cases[] = {
        {"btnOK", 0x1003B, "button", true},  // three levels down
        {"btnOK", 0x1003B, "check", false},  // wrong class: not found
        {"btnOK", 0x1003B, "", true},
        {"chk_macro_record", 0x10035, "check", true},
        {"bar_side_brightness", 0x10017, "sliderbar", true},
        {"tab_color_effect", 0x10005, "tabctrl", true},
        {"version", 65556, "text", true},
        {"version", 65556, "TEXT", true},    // class names compare case-insensitively
        {"own_id", 0x1234, "button", true},  // id from the layout for names outside the table
    };
    for (auto& c : cases) {
        QWidget* byName = host_->FindChildByName(c.name, c.cls);
        QWidget* byId = host_->FindChildById(c.id, c.cls);
        EXPECT_EQ(byName != nullptr, c.found) << c.name << " " << c.cls;
        EXPECT_EQ(byId, byName) << c.name;
    }
    EXPECT_EQ(host_->FindChildById(0), nullptr);
    EXPECT_EQ(host_->FindChildByName("nonexistent"), nullptr);
    EXPECT_EQ(ui::WidgetId(host_->FindChildByName("panel")), 0);
    EXPECT_TRUE(Get<ui::SButton>("btnOK"));
    EXPECT_FALSE(Get<ui::SCheckBox>("btnOK"));
    EXPECT_EQ(host_->windowTitle(), "Test window");
    EXPECT_EQ(host_->size(), QSize(400, 300));
}

TEST_F(LayoutEvents, AttributesReachTheWidgets) {
    auto* bar = Get<ui::SSliderBar>("bar_side_brightness");
    ASSERT_TRUE(bar);
    // The value is applied in layout order after the range, so 150 is not clamped to Qt's default 99.
    EXPECT_EQ(bar->minimum(), 10);
    EXPECT_EQ(bar->maximum(), 200);
    EXPECT_EQ(bar->GetValue(), 150);
    EXPECT_TRUE(Get<ui::SCheckBox>("chk_macro_record")->isChecked());
    auto* version = Get<QLabel>("version");
    EXPECT_EQ(version->text(), "V1.02");  // string table reference
    EXPECT_EQ(version->toolTip(), "Firmware");
    QWidget* own = host_->FindChildByName("own_id");
    EXPECT_EQ(own->property("Custom_Thing").toString(), "kept");  // unknown attributes stay readable
    QWidget* unknown = host_->FindChildByName("unknown_kind");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(ui::ClassName(unknown), "window");
    auto* tabs = Get<ui::STabCtrl>("tab_color_effect");
    ASSERT_EQ(tabs->GetPageCount(), 3);
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_FALSE(tabs->GetPage(0)->isVisibleTo(tabs));
    EXPECT_TRUE(tabs->GetPage(1)->isVisibleTo(tabs));
    EXPECT_EQ(tabs->GetPage(2)->Title(), "Loader");
}

TEST_F(LayoutEvents, CommandsGoToSubscribersThenHandlersThenTheHost) {
    std::vector<std::string> order;
    auto* ok = Get<ui::SButton>("btnOK");
    ui::Subscribe(ok, ui::ev::kCommand, [&](ui::EventArgs&) {
        order.push_back("widget");
        return false;
    });
    host_->On(ui::ev::kCommand, QStringLiteral("btnOK"), [&](ui::EventArgs& a) {
        order.push_back("by name " + a.name.toStdString());
        return false;
    });
    host_->On(ui::ev::kCommand, 0x1003B, [&](ui::EventArgs& a) {
        order.push_back("by id " + std::to_string(a.id));
        return false;
    });
    ok->click();
    EXPECT_EQ(order, (std::vector<std::string>{"widget", "by name btnOK", "by id 65595"}));
    EXPECT_EQ(host_->commands, std::vector<int>{0x1003B});  // nobody took it: the host's handler

    // A handler that takes it stops delivery.
    host_->On(ui::ev::kCommand, QStringLiteral("btnCancel"), [](ui::EventArgs&) { return true; });
    Get<ui::SButton>("btnCancel")->click();
    EXPECT_EQ(host_->commands.size(), 1u);

    // Checks report their new state with the command.
    bool state = true;
    host_->On(ui::ev::kCommand, QStringLiteral("chk_macro_record"), [&](ui::EventArgs& a) {
        state = a.checked;
        return true;
    });
    Get<ui::SCheckBox>("chk_macro_record")->click();
    EXPECT_FALSE(state);
}

TEST_F(LayoutEvents, BuildingFromTheLayoutFiresNothing) {
    // The layout selects a combo entry, sets an edit's text and a slider's value and
    // shows a tab page: the host hears none of it.
    EXPECT_TRUE(host_->others.empty());
    EXPECT_TRUE(host_->commands.empty());
    EXPECT_EQ(Get<ui::SComboBox>("cbx_side_color_effect")->GetCurSel(), 0);
    EXPECT_EQ(Get<ui::SEdit>("edit_macro_repeat_times")->text(), "1");
    // Afterwards events flow again, with the previous selection remembered.
    Get<ui::SComboBox>("cbx_side_color_effect")->SetCurSel(1);
    ASSERT_EQ(host_->others.size(), 1u);
    EXPECT_EQ(host_->others[0], std::make_pair(ui::ev::kSelChanged, 1));
}

TEST_F(LayoutEvents, SelectionSliderTabAndEditEvents) {
    auto* combo = Get<ui::SComboBox>("cbx_in_lv");
    for (int i = 0; i < 4; ++i) combo->AddItem(QString("Level %1").arg(i), 10 * i);
    EXPECT_TRUE(host_->others.empty());  // filling is no user choice
    EXPECT_EQ(combo->GetItemData(3), 30);
    combo->SetCurSel(1, false);
    EXPECT_TRUE(host_->others.empty());
    combo->SetCurSel(2);
    ASSERT_EQ(host_->others.size(), 1u);
    EXPECT_EQ(host_->others.back(), std::make_pair(ui::ev::kSelChanged, 2));
    EXPECT_FALSE(combo->SetCurSel(2));  // unchanged: no event
    combo->SetCurSel(9);                // out of range clears
    EXPECT_EQ(combo->GetCurSel(), -1);
    host_->others.clear();

    auto* bar = Get<ui::SSliderBar>("bar_side_brightness");
    int pos = -1;
    host_->On(ui::ev::kSliderPos, QStringLiteral("bar_side_brightness"), [&](ui::EventArgs& a) {
        pos = a.pos;
        return true;
    });
    bar->SetValue(20);
    EXPECT_EQ(pos, -1);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // what the user's key or click does
    EXPECT_EQ(pos, 21);

    auto* tabs = Get<ui::STabCtrl>("tab_color_effect");
    std::pair<int, int> change{-1, -1};
    host_->On(ui::ev::kTabSelChanged, 0x10005, [&](ui::EventArgs& a) {
        change = {a.cur, a.prev};
        return true;
    });
    testutil::Mouse(tabs, QEvent::MouseButtonPress, tabs->ItemRect(2).center());
    EXPECT_EQ(change, std::make_pair(2, 1));
    EXPECT_TRUE(tabs->GetPage(2)->isVisibleTo(tabs));
    EXPECT_FALSE(tabs->SetCurSel(7));
    EXPECT_EQ(tabs->GetCurSel(), 2);
    EXPECT_TRUE(tabs->SetCurSel(0, false));  // quietly
    EXPECT_EQ(change, std::make_pair(2, 1));
    EXPECT_TRUE(tabs->GetPage(0)->isVisibleTo(tabs));

    testutil::Mouse(tabs, QEvent::MouseMove, tabs->ItemRect(0).center());
    testutil::Mouse(tabs, QEvent::MouseMove, tabs->ItemRect(1).center());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(tabs, &leave);
    const std::vector<std::pair<int, int>> hover = {
        {ui::ev::kTabItemHover, 0}, {ui::ev::kTabItemLeave, 0}, {ui::ev::kTabItemHover, 1}, {ui::ev::kTabItemLeave, 1}};
    EXPECT_EQ(host_->others, hover);

    int edits = 0;
    host_->On(ui::EventIdOf("on_edit_changed"), QStringLiteral("edit_macro_repeat_times"), [&](ui::EventArgs&) {
        ++edits;
        return true;
    });
    Get<ui::SEdit>("edit_macro_repeat_times")->setText("5");  // code changes notify too
    EXPECT_EQ(edits, 1);
}

TEST_F(LayoutEvents, MessagesPostedFromAnotherThreadArriveOnTheUiThread) {
    struct Host : ui::HostWindow {
        using ui::HostWindow::HostWindow;
        std::vector<std::tuple<uint32_t, uintptr_t, intptr_t>> got;
        std::thread::id thread;
        void OnMessage(uint32_t m, uintptr_t w, intptr_t l) override {
            got.emplace_back(m, w, l);
            thread = std::this_thread::get_id();
        }
    } host(QStringLiteral("LAYOUT:test"));
    ASSERT_TRUE(host.Create());
    std::thread reader([&] {
        for (int i = 0; i < 3; ++i) host.PostMessage(0x401, uintptr_t(i), -i);
    });
    reader.join();
    EXPECT_TRUE(host.got.empty());  // queued, not called on the poster's thread
    QApplication::processEvents();
    ASSERT_EQ(host.got.size(), 3u);
    EXPECT_EQ(host.got[2], std::make_tuple(0x401u, uintptr_t(2), intptr_t(-2)));
    EXPECT_EQ(host.thread, std::this_thread::get_id());
}

TEST(LayoutLoaderErrors, MissingOrBrokenLayoutsFail) {
    testutil::App();
    QTemporaryDir dir;
    testutil::WriteFile(dir, "layout/broken.ui", "<ui><widget class=");
    ui::UiApp app(dir.path(), true);
    ui::HostWindow missing(QStringLiteral("LAYOUT:nothing"));
    EXPECT_FALSE(missing.Create());
    ui::HostWindow broken(QStringLiteral("LAYOUT:broken"));
    EXPECT_FALSE(broken.Create());
    ui::LayoutLoader loader(app);
    EXPECT_EQ(loader.LoadLayout("LAYOUT:broken", nullptr), nullptr);
    EXPECT_FALSE(loader.errorString().isEmpty());
}

}  // namespace
