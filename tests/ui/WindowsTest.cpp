// The real main window and key-assignment dialog built from the shipped layouts:
// every widget the windows look up is there with its class and id, and both are
// saved as PNGs in English and Chinese at 100 % and 200 %.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTimer>
#include <memory>
#include <vector>

#include <QAbstractButton>
#include <map>
#include "QtTestApp.h"
#include "ui/HostDialog.h"
#include "ui/HostWindow.h"
#include "ui/LayoutLoader.h"
#include "ui/NamedIds.h"
#include "ui/PixelProbe.h"
#include "ui/SComboBox.h"
#include "ui/SEdit.h"
#include "ui/SListView.h"
#include "ui/SMCListView.h"
#include "ui/STabCtrl.h"
#include "ui/STabPage.h"
#include "ui/UiApp.h"
#include "widgets/CoordButtonImage.h"
#include "widgets/CustomWidgets.h"

namespace {

struct Lookup {
    const char* layout;
    const char* name;
    const char* cls;
};

// What the main window and the dialog find by name or id, with the class they ask for.
const Lookup kLookups[] = {
    {"XML_MAINWND", "title", "text"},
    {"XML_MAINWND", "btn_more", "imgbtn"},
    {"XML_MAINWND", "btn_min", "button"},
    {"XML_MAINWND", "img_keyboard", "cbimg"},
    {"XML_MAINWND", "cbx_color_effect", "combobox"},
    {"XML_MAINWND", "tab_color_effect", "tabctrl"},
    {"XML_MAINWND", "bar_general_speed_0", "sliderbar"},
    {"XML_MAINWND", "bar_const_brightness_0", "sliderbar"},
    {"XML_MAINWND", "radio_direction_left_0", "radio"},
    {"XML_MAINWND", "radio_direction_right_0", "radio"},
    {"XML_MAINWND", "bar_general_speed_1", "sliderbar"},
    {"XML_MAINWND", "bar_const_brightness_1", "sliderbar"},
    {"XML_MAINWND", "bar_const_brightness_2", "sliderbar"},
    {"XML_MAINWND", "bar_general_speed_3", "sliderbar"},
    {"XML_MAINWND", "bar_const_brightness_3", "sliderbar"},
    {"XML_MAINWND", "radio_loader_left_3", "radio"},
    {"XML_MAINWND", "radio_loader_center_3", "radio"},
    {"XML_MAINWND", "radio_loader_right_3", "radio"},
    {"XML_MAINWND", "btn_restore_factory", "button"},
    {"XML_MAINWND", "cbx_in_lv", "combobox"},
    {"XML_MAINWND", "version", "text"},
    {"XML_MAINWND", "cbx_side_color_effect", "combobox"},
    {"XML_MAINWND", "text_side_brightness", "window"},
    {"XML_MAINWND", "bar_side_brightness", "sliderbar"},
    {"macro", "btnMin", "button"},
    {"macro", "btnRestore", "button"},
    {"macro", "btnCancel", "button"},
    {"macro", "btnOK", "button"},
    {"macro", "btnDelete", "button"},
    {"macro", "text_recording_keys", "text"},
    {"macro", "tab_macro_mode_selection", "tabctrl2"},
    {"macro", "item_up", "button"},
    {"macro", "item_down", "button"},
    {"macro", "item_delete", "button"},
    {"macro", "item_clear", "button"},
    {"macro", "groupDel", "button"},
    {"macro", "groupAdd", "button"},
    {"macro", "groupImport", "button"},
    {"macro", "groupExport", "button"},
    {"macro", "macro_group", "listview"},
    {"macro", "key_info", "mclistview"},
    {"macro", "edit_macro_repeat_times", "edit"},
    {"macro", "edit_macro_delay_time", "edit"},
    {"macro", "chk_macro_realy_delay", "radio"},
    {"macro", "chk_macro_fixed_delay", "radio"},
    {"macro", "chk_macro_no_delay", "radio"},
    {"macro", "chk_macro_record", "checkex"},
    {"macro", "macro_play_mode", "combobox"},
    {"macro", "chk_single_record", "checkex"},
    {"macro", "edit_single_key", "text"},
    {"macro", "cmb_media_keys", "combobox"},
    {"macro", "cmb_function_keys", "combobox"},
    {"SYS_XML_MSGBOX", "msgtitle", "text"},
    {"SYS_XML_MSGBOX", "msgicon", "window"},
    {"SYS_XML_MSGBOX", "msgtext", "text"},
    {"SYS_XML_MSGBOX", "button1st", "button"},
    {"SYS_XML_MSGBOX", "button2nd", "button"},
};

class Groups : public ui::ListAdapter {
public:
    QStringList names = {"Group 0", "Rapid fire", "Build order", "Grenade jump"};
    int GetCount() const override { return int(names.size()); }
    void FillRow(int row, QWidget* w, const ui::RowTemplate& tpl) override {
        BuildIfEmpty(w, tpl);
        if (auto* e = qobject_cast<QLineEdit*>(ui::FindChildByName(w, "group_name"))) e->setText(names[row]);
    }
};

class Steps : public ui::McListAdapter {
public:
    struct Step {
        uint32_t code;
        const char* name;
        int state;
        int delay;
    };
    std::vector<Step> steps = {{0x70004, "A", 1, 35}, {0x70004, "A", 0, 20}, {0x700E1, "Left Shift", 1, 12},
                               {0x70016, "S", 1, 48}, {0x70016, "S", 0, 15}, {0x700E1, "Left Shift", 0, 0}};
    int GetCount() const override { return int(steps.size()); }
    void FillRow(int row, QWidget* w, const ui::RowTemplate& tpl) override {
        BuildIfEmpty(w, tpl);
        const Step& s = steps[size_t(row)];
        auto set = [&](const char* name, const QString& text) {
            QWidget* c = ui::FindChildByName(w, name);
            if (auto* l = qobject_cast<QLabel*>(c)) l->setText(text);
            if (auto* e = qobject_cast<QLineEdit*>(c)) e->setText(text);
        };
        set("key_code", QString::number(s.code, 16));
        set("key_name", s.name);
        set("key_state", ui::TranslatorManager::Tr("KeyAndDelayAdapter", s.state == 1 ? "key down" : "replace"));
        set("key_delay", QString::number(s.delay));
    }
};

class Windows : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testutil::App();
        app_ = new ui::UiApp(testutil::SourceUires(), true);
        RegisterCustomWidgets(*app_);
        app_->LoadUiDef(QStringLiteral("UIDEF:XML_INIT"));
    }
    static void TearDownTestSuite() {
        app_->Translators().Install(nullptr);
        delete app_;
        app_ = nullptr;
    }
    void SetUp() override {
        if (!app_->Provider().Exists("LAYOUT:XML_MAINWND") || !app_->Provider().Exists("LAYOUT:macro"))
            GTEST_SKIP() << "layouts not in the tree yet";
    }
    static ui::UiApp* app_;
};
ui::UiApp* Windows::app_ = nullptr;

TEST_F(Windows, LayoutsBuildOnlyKnownClasses) {
    for (const char* layout : {"XML_MAINWND", "macro", "SYS_XML_MSGBOX"}) {
        ui::LayoutLoader loader(*app_);
        std::unique_ptr<QWidget> w(loader.LoadLayout(QStringLiteral("LAYOUT:") + layout, nullptr));
        ASSERT_TRUE(w) << layout << ": " << loader.errorString().toStdString();
        EXPECT_TRUE(loader.UnknownClasses().isEmpty())
            << layout << ": " << loader.UnknownClasses().join(", ").toStdString();
    }
}

TEST_F(Windows, EveryLookedUpWidgetHasItsClassAndId) {
    std::map<std::string, std::unique_ptr<QWidget>> hosts;
    for (const Lookup& l : kLookups) {
        auto& host = hosts[l.layout];
        if (!host) {
            auto* h = new ui::HostWindow(QStringLiteral("LAYOUT:") + l.layout);
            ASSERT_TRUE(h->Create()) << l.layout;
            host.reset(h);
        }
        const int id = ui::FindNamedId(l.name);
        ASSERT_NE(id, 0) << l.name;
        QWidget* byId = ui::FindChildById(host.get(), id, l.cls);
        EXPECT_TRUE(byId) << l.layout << "/" << l.name << " as " << l.cls;
        EXPECT_EQ(byId, ui::FindChildByName(host.get(), l.name, l.cls)) << l.name;
    }
    // The tab control of the dialog holds four pages; the keyboard picture has its keys.
    auto* tabs = ui::FindChildByName2<ui::STabCtrl>(hosts["macro"].get(), "tab_macro_mode_selection");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->GetPageCount(), 4);
    auto* kb = ui::FindChildByName2<CoordButtonImage>(hosts["XML_MAINWND"].get(), "img_keyboard");
    ASSERT_TRUE(kb);
    EXPECT_GT(kb->Keys().size(), 100);
    EXPECT_TRUE(kb->GetKeyInfo(0x29));  // Esc
}

TEST_F(Windows, RowTemplatesHoldTheNamedCells) {
    ui::HostDialog dlg(QStringLiteral("LAYOUT:macro"));
    ASSERT_TRUE(dlg.Create());
    auto* groups = dlg.FindChildByName2<ui::SListView>("macro_group");
    auto* steps = dlg.FindChildByName2<ui::SMCListView>("key_info");
    ASSERT_TRUE(groups && steps);
    Groups g;
    Steps s;
    groups->SetAdapter(&g);
    steps->SetAdapter(&s);
    EXPECT_TRUE(ui::FindChildByName(groups->GetRow(0), "group_name", "edit"));
    QWidget* row = steps->GetRow(0);
    for (const char* cell : {"col1", "col2", "col3", "col4"}) EXPECT_TRUE(ui::FindChildByName(row, cell)) << cell;
    EXPECT_TRUE(ui::FindChildByName(row, "key_code", "text"));
    EXPECT_TRUE(ui::FindChildByName(row, "key_name", "text"));
    EXPECT_TRUE(ui::FindChildByName(row, "key_state", "text"));
    EXPECT_TRUE(ui::FindChildByName(row, "key_delay", "editex"));
    EXPECT_EQ(steps->Header()->ColumnCount(), 4);
}

TEST_F(Windows, ADialogEndsOnceWithTheFirstEndValue) {
    ui::HostDialog dlg(QStringLiteral("LAYOUT:macro"));
    dlg.setAttribute(Qt::WA_DontShowOnScreen);
    constexpr int kEscape = -1;  // the window's own cancel (Escape, close button)
    struct Case {
        std::vector<int> ends;
        int result;
    };
    const Case cases[] = {
        {{ui::IDOK, ui::IDCANCEL}, ui::IDOK},
        {{65596, ui::IDOK, kEscape}, 65596},
        {{kEscape, ui::IDOK}, ui::IDCANCEL},
        {{ui::IDCANCEL}, ui::IDCANCEL},  // each run starts afresh
    };
    for (const Case& c : cases) {
        QTimer::singleShot(0, &dlg, [&] {
            for (int v : c.ends) v == kEscape ? dlg.reject() : dlg.EndDialog(v);
        });
        EXPECT_EQ(dlg.DoModal(), c.result) << testing::PrintToString(c.ends);
        EXPECT_EQ(dlg.EndValue(), c.result);
    }
}

// Every text a window shows, by widget name: texts, tooltips, titles, tab pages,
// header captions and combo entries.
std::map<std::string, QString> Texts(QWidget* root) {
    std::map<std::string, QString> out;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        const std::string n = w->objectName().toStdString();
        if (n.empty()) continue;
        if (auto* l = qobject_cast<QLabel*>(w)) out[n + ".text"] = l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) out[n + ".text"] = b->text();
        if (!w->toolTip().isEmpty()) out[n + ".tip"] = w->toolTip();
        if (auto* p = qobject_cast<ui::STabPage*>(w)) out[n + ".title"] = p->Title();
        if (auto* m = qobject_cast<ui::SMCListView*>(w))
            for (int c = 0; c < m->Header()->ColumnCount(); ++c)
                out[n + ".col" + std::to_string(c)] = m->Header()->Caption(c);
        if (auto* c = qobject_cast<ui::SComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) out[n + ".item" + std::to_string(i)] = c->itemText(i);
    }
    return out;
}

TEST_F(Windows, LiveSwitchShowsWhatAFreshWindowShows) {
    for (const char* layout : {"LAYOUT:XML_MAINWND", "LAYOUT:macro"}) {
        ASSERT_TRUE(app_->SetLanguage("lang_en"));
        ui::HostWindow live(QString::fromLatin1(layout));
        ASSERT_TRUE(live.Create());
        const auto english = Texts(&live);
        ASSERT_TRUE(app_->SetLanguage("lang_cn"));
        QApplication::processEvents();
        const auto switched = Texts(&live);
        ui::HostWindow fresh(QString::fromLatin1(layout));
        ASSERT_TRUE(fresh.Create());
        EXPECT_EQ(switched, Texts(&fresh)) << layout;
        EXPECT_EQ(live.windowTitle(), fresh.windowTitle());  // the task bar shows it too
        int changed = 0;
        for (const auto& [key, text] : switched) changed += english.at(key) != text;
        EXPECT_GT(changed, 20) << layout;  // the switch really changed the window
    }
    app_->SetLanguage("lang_en");
}

TEST_F(Windows, Screenshots) {
    for (const char* lang : {"lang_en", "lang_cn"}) {
        ASSERT_TRUE(app_->SetLanguage(lang));
        const QString suffix = lang[5] == 'c' ? "cn" : "en";

        ui::HostWindow main(QStringLiteral("LAYOUT:XML_MAINWND"));
        ASSERT_TRUE(main.Create());
        main.setAttribute(Qt::WA_DontShowOnScreen);
        main.show();
        QApplication::processEvents();
        auto* kb = main.FindChildByName2<CoordButtonImage>("img_keyboard");
        ASSERT_TRUE(kb);
        const QImage before = probe::Grab(&main);
        for (int32_t id : {0x04, 0x1A, 0x16, 0x07, 0x2C}) kb->SetKeyChecked(id, true);  // assigned keys
        kb->SetKeyLabel("Rapid fire", 0x04);
        auto* version = qobject_cast<QLabel*>(main.FindChildByName("version"));
        ASSERT_TRUE(version);
        version->setText("V1.02");
        QApplication::processEvents();
        // The shot shows what was set: the assigned keys marked, an unassigned
        // key (B) as before, and the version text.
        const QImage after = probe::Grab(&main);
        const QPoint at = probe::RectIn(&main, kb).topLeft();
        for (int32_t id : {0x04, 0x2C, 0x05}) {
            CoordButton key;
            ASSERT_TRUE(kb->GetKeyInfo(id, &key));
            const int changed = probe::Differing(before, after, key.Rect().translated(at));
            if (id == 0x05)
                EXPECT_EQ(changed, 0) << "an unassigned key changed";
            else
                EXPECT_GT(changed, key.Rect().width()) << "key " << id << " does not look assigned";
        }
        EXPECT_GT(probe::Differing(before, after, probe::RectIn(&main, version)), 0) << "version text not drawn";
        EXPECT_TRUE(testutil::SaveShots(&main, "mainwnd_" + suffix));

        ui::HostDialog dlg(QStringLiteral("LAYOUT:macro"));
        ASSERT_TRUE(dlg.Create());
        dlg.setAttribute(Qt::WA_DontShowOnScreen);
        Groups g;
        Steps s;
        auto* groups = dlg.FindChildByName2<ui::SListView>("macro_group");
        dlg.FindChildByName2<ui::SMCListView>("key_info")->SetAdapter(&s);
        groups->SetAdapter(&g);
        dlg.show();
        QApplication::processEvents();
        const QImage unselected = probe::Grab(&dlg);
        groups->SetSel(1);
        if (auto* t = dlg.FindChildByName("text_recording_keys")) qobject_cast<QLabel*>(t)->setText("A,S");
        QApplication::processEvents();
        // The selected group row looks selected; the row above it does not change.
        const QImage selected = probe::Grab(&dlg);
        ASSERT_TRUE(groups->GetRow(0) && groups->GetRow(1));
        EXPECT_GT(probe::Differing(unselected, selected, probe::RectIn(&dlg, groups->GetRow(1))), 50)
            << "the selected row looks like the others";
        EXPECT_EQ(probe::Differing(unselected, selected, probe::RectIn(&dlg, groups->GetRow(0))), 0);
        EXPECT_TRUE(testutil::SaveShots(&dlg, "macro_" + suffix));
        dlg.hide();
    }
}

}  // namespace
