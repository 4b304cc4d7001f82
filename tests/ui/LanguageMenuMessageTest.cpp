#include <gtest/gtest.h>

#include <QLabel>
#include <QTimer>
#include <memory>

#include "QtTestApp.h"
#include "ui/HostWindow.h"
#include "ui/LanguageTranslator.h"
#include "ui/MessageBox.h"
#include "ui/PixelProbe.h"
#include "ui/PopupMenu.h"
#include "ui/SButton.h"
#include "ui/SComboBox.h"
#include "ui/SMCListView.h"
#include "ui/STabCtrl.h"
#include "ui/STabPage.h"
#include "ui/UiApp.h"

namespace {

const QByteArray kCn = R"(<?xml version="1.0" encoding="UTF-8"?>
<language name="lang_cn">
  <context name="win">
    <message><source>Lighting</source><translation>灯效</translation></message>
    <message><source>Wave</source><translation>波浪</translation></message>
    <message><source>More</source><translation>更多</translation></message>
    <message><source>Delay</source><translation>延时</translation></message>
  </context>
  <context name="CMainDlg">
    <message><source>Please insert USB device!</source><translation>请插入USB设备！</translation></message>
  </context>
  <context name="">
    <message><source>Warning</source><translation>警告</translation></message>
  </context>
  <context name="menu_tray">
    <message><source>Exit</source><translation>退出</translation></message>
  </context>
</language>)";

const QByteArray kEn = R"(<language name="lang_en"><context name="win"/></language>)";

const QByteArray kWin = R"(<ui version="4.0"><widget class="window" name="root">
  <property name="geometry"><rect><x>0</x><y>0</y><width>300</width><height>200</height></rect></property>
  <widget class="text" name="heading"><property name="text"><string>Lighting</string></property></widget>
  <widget class="text" name="version"><property name="text"><string>Lighting</string></property></widget>
  <widget class="button" name="btn_more"><property name="tip"><string>More</string></property></widget>
  <widget class="tabctrl" name="tabs">
    <property name="geometry"><rect><x>0</x><y>40</y><width>300</width><height>100</height></rect></property>
    <widget class="page" name="p0"><property name="title"><string>Wave</string></property></widget>
  </widget>
  <widget class="combobox" name="macro_play_mode">
    <property name="values"><string>2,3</string></property>
    <item><property name="text"><string>Wave</string></property></item>
    <item><property name="text"><string>Lighting</string></property></item>
  </widget>
  <widget class="mclistview" name="steps">
    <property name="headers"><string>Code|Delay</string></property>
  </widget>
</widget></ui>)";

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        testutil::App();
        testutil::WriteFile(dir_, "translator/lang_cn.xml", kCn);
        testutil::WriteFile(dir_, "translator/lang_en.xml", kEn);
        testutil::WriteFile(dir_, "layout/win.ui", kWin);
        testutil::WriteFile(dir_, "translator/broken.xml", "<language><context");
        testutil::WriteFile(dir_, "translator/notlang.xml", "<strings/>");
        testutil::WriteFile(dir_, "smenu/menu_tray.xml",
                            R"(<menu><item id="1" text="Check for upgrade"/><sep/><item id="6" text="Exit"/></menu>)");
        testutil::WriteFile(
            dir_, "smenuex/menu_more.xml",
            R"(<menuRoot><item id="2" text="Chinese" check="1"/><item id="3" text="English"/></menuRoot>)");
        testutil::WriteFile(dir_, "smenu/bad.xml", R"(<popup><item id="1"/></popup>)");
        app_ = std::make_unique<ui::UiApp>(dir_.path(), true);
    }
    void TearDown() override { app_->Translators().Install(nullptr); }

    QTemporaryDir dir_;
    std::unique_ptr<ui::UiApp> app_;
};

TEST_F(LanguageTest, TranslatorContextsAndFallback) {
    ui::LanguageTranslator t;
    ASSERT_TRUE(t.LoadXml(kCn));
    EXPECT_EQ(t.Name(), "lang_cn");
    EXPECT_EQ(t.Lookup("win", "Lighting"), QString::fromUtf8("灯效"));
    EXPECT_EQ(t.Lookup("CMainDlg", "Lighting"), "");                        // other context
    EXPECT_EQ(t.Lookup("CMainDlg", "Warning"), QString::fromUtf8("警告"));  // empty context as fallback
    EXPECT_EQ(t.Lookup("win", "Unknown"), "");
    EXPECT_FALSE(ui::LanguageTranslator().LoadXml("<strings/>"));
    EXPECT_FALSE(ui::LanguageTranslator().LoadXml(""));
}

TEST_F(LanguageTest, LiveSwitchReappliesEveryText) {
    ui::HostWindow w(QStringLiteral("LAYOUT:win"));
    ASSERT_TRUE(w.Create());
    auto* heading = qobject_cast<QLabel*>(w.FindChildByName("heading"));
    auto* version = qobject_cast<QLabel*>(w.FindChildByName("version"));
    auto* more = w.FindChildByName("btn_more");
    auto* tabs = w.FindChildByName2<ui::STabCtrl>("tabs");
    auto* steps = w.FindChildByName2<ui::SMCListView>("steps");
    auto* combo = w.FindChildByName2<ui::SComboBox>("macro_play_mode");
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->GetItemData(1), 3);  // item values from the layout
    auto* code = new QLabel(&w);
    ui::SetTrText(code, "CMainDlg", "Please insert USB device!");
    EXPECT_EQ(heading->text(), "Lighting");

    version->setText("V1.02");  // set by code: must survive switches
    ASSERT_TRUE(app_->SetLanguage("lang_cn"));
    QApplication::processEvents();  // the language-change event is posted
    EXPECT_EQ(app_->Translators().CurrentName(), "lang_cn");
    EXPECT_EQ(heading->text(), QString::fromUtf8("灯效"));
    EXPECT_EQ(more->toolTip(), QString::fromUtf8("更多"));
    EXPECT_EQ(tabs->GetPage(0)->Title(), QString::fromUtf8("波浪"));
    EXPECT_EQ(steps->Header()->Caption(1), QString::fromUtf8("延时"));
    EXPECT_EQ(code->text(), QString::fromUtf8("请插入USB设备！"));
    EXPECT_EQ(version->text(), "V1.02");
    EXPECT_EQ(ui::TranslatorManager::Tr("CMainDlg", "Warning"), QString::fromUtf8("警告"));

    ASSERT_TRUE(app_->SetLanguage("lang_en"));  // identity translation
    QApplication::processEvents();
    EXPECT_EQ(heading->text(), "Lighting");
    EXPECT_EQ(tabs->GetPage(0)->Title(), "Wave");
    EXPECT_EQ(combo->itemText(1), "Lighting");
    EXPECT_EQ(code->text(), "Please insert USB device!");
    EXPECT_EQ(version->text(), "V1.02");

    // A translation that does not load changes nothing.
    EXPECT_FALSE(app_->SetLanguage("broken"));
    EXPECT_FALSE(app_->SetLanguage("notlang"));
    EXPECT_FALSE(app_->SetLanguage("missing"));
    EXPECT_EQ(app_->Translators().CurrentName(), "lang_en");
}

TEST_F(LanguageTest, MenusFromBothResourceKinds) {
    ui::PopupMenu tray;
    ASSERT_TRUE(tray.LoadMenu("SMENU:menu_tray"));
    EXPECT_EQ(tray.ItemIds(), (QList<int>{1, 6}));
    EXPECT_EQ(tray.Menu()->actions().size(), 3);  // with the separator
    EXPECT_TRUE(tray.Menu()->actions()[1]->isSeparator());

    app_->SetLanguage("lang_cn");
    ui::PopupMenu translated;
    ASSERT_TRUE(translated.LoadMenu("SMENU:menu_tray"));
    EXPECT_EQ(translated.ActionOf(6)->text(), QString::fromUtf8("退出"));
    EXPECT_EQ(translated.ActionOf(1)->text(), "Check for upgrade");  // no translation: the source

    ui::PopupMenu more;
    ASSERT_TRUE(more.LoadMenu("SMENUEX:menu_more"));
    EXPECT_EQ(more.ItemIds(), (QList<int>{2, 3}));
    EXPECT_TRUE(more.ActionOf(2)->isChecked());

    EXPECT_FALSE(ui::PopupMenu().LoadMenu("SMENU:bad"));
    EXPECT_FALSE(ui::PopupMenu().LoadMenu("SMENU:missing"));
}

TEST_F(LanguageTest, MenuCommandsReachTheOwnersHost) {
    struct Host : ui::HostWindow {
        using ui::HostWindow::HostWindow;
        int last = 0;
        bool OnCommand(ui::EventArgs& a) override {
            last = a.id;
            return true;
        }
    } host(QStringLiteral("LAYOUT:win"));
    ASSERT_TRUE(host.Create());
    QWidget* owner = host.FindChildByName("btn_more");
    ui::PopupMenu::SendCommand(owner, 6);
    EXPECT_EQ(host.last, 6);
}

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        testutil::App();
        app_ = std::make_unique<ui::UiApp>(testutil::SourceUires(), true);
    }
    void TearDown() override {
        ui::SetMessageBoxHook(nullptr);
        app_->Translators().Install(nullptr);
    }
    std::unique_ptr<ui::UiApp> app_;
};

TEST_F(MessageBoxTest, HookAnswersInsteadOfShowing) {
    std::vector<ui::MessageBoxRequest> seen;
    ui::SetMessageBoxHook([&](const ui::MessageBoxRequest& r) {
        seen.push_back(r);
        return ui::IDCANCEL;
    });
    EXPECT_EQ(ui::MessageBox(nullptr, "Restore?", "Warning", ui::MB_OKCANCEL), ui::IDCANCEL);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Warning");
    EXPECT_EQ(seen[0].type, ui::MB_OKCANCEL);
}

TEST_F(MessageBoxTest, BoxFromTheLayoutEndsWithTheButtonPressed) {
    if (!app_->Provider().Exists("LAYOUT:SYS_XML_MSGBOX")) GTEST_SKIP() << "no message box layout";
    app_->LoadUiDef("UIDEF:XML_INIT");
    struct Case {
        int type;
        const char* button;
        int result;
        bool cancelShown;
    } cases[] = {
        {ui::MB_OK, "button1st", ui::IDOK, false},
        {ui::MB_OKCANCEL, "button1st", ui::IDOK, true},
        {ui::MB_OKCANCEL, "button2nd", ui::IDCANCEL, true},
    };
    for (auto& c : cases) {
        ui::MessageBoxDlg dlg({nullptr, "Please insert USB device!", "Warning", c.type});
        ASSERT_TRUE(dlg.Create());
        EXPECT_EQ(qobject_cast<QLabel*>(dlg.FindChildByName("msgtext"))->text(), "Please insert USB device!");
        EXPECT_EQ(qobject_cast<QLabel*>(dlg.FindChildByName("msgtitle"))->text(), "Warning");
        auto* cancel = dlg.FindChildByName2<ui::SButton>("button2nd");
        EXPECT_EQ(cancel->isVisibleTo(&dlg), c.cancelShown);
        auto* press = dlg.FindChildByName2<ui::SButton>(c.button);
        QTimer::singleShot(0, press, [press] { press->click(); });
        EXPECT_EQ(dlg.DoModal(), c.result);
    }
    // Escape or the close box: Cancel.
    ui::MessageBoxDlg dlg({nullptr, "text", "Warning", ui::MB_OKCANCEL});
    ASSERT_TRUE(dlg.Create());
    QTimer::singleShot(0, &dlg, [&] { dlg.reject(); });
    EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
}

TEST_F(MessageBoxTest, Screenshots) {
    if (!app_->Provider().Exists("LAYOUT:SYS_XML_MSGBOX")) GTEST_SKIP() << "no message box layout";
    app_->LoadUiDef("UIDEF:XML_INIT");
    QImage previous;
    for (const char* lang : {"lang_en", "lang_cn"}) {
        ASSERT_TRUE(app_->SetLanguage(lang));
        const QString text =
            ui::TranslatorManager::Tr("CMainDlg", "All settings will be restored, are you sure you want to continue?");
        ui::MessageBoxDlg dlg({nullptr, text, ui::TranslatorManager::Tr("CMainDlg", "Warning"), ui::MB_OKCANCEL});
        ASSERT_TRUE(dlg.Create());
        dlg.setAttribute(Qt::WA_DontShowOnScreen);
        dlg.show();
        QApplication::processEvents();
        // The question is drawn in the language of the shot.
        QWidget* textWidget = dlg.FindChildByName("msgtext");
        ASSERT_TRUE(textWidget);
        const QImage shot = probe::Grab(&dlg);
        const QRect textArea = probe::RectIn(&dlg, textWidget);
        EXPECT_GT(probe::Ink(shot, textArea), 50) << "no text drawn";
        if (!previous.isNull()) {
            EXPECT_GT(probe::Differing(previous, shot, textArea), 50) << "same text in both";
        }
        previous = shot;
        EXPECT_TRUE(testutil::SaveShots(&dlg, QString("msgbox_") + (lang[5] == 'c' ? "cn" : "en")));
        dlg.hide();
    }
}

}  // namespace
