// The main window on the emulated keyboard: start with and without a keyboard,
// the lighting panel from widget to file and wire, assignments carried out from
// the first second, hot plug, restore factory, the upgrade check and the
// language switch.
#include <QCoreApplication>
#include <QMenu>

#include "MainWindowFixture.h"
#include "app/SingleInstance.h"
#include "protocol/Packets.h"
#include "ui/PopupMenu.h"
#include "ui/SComboBox.h"
#include "ui/SRadioBox.h"
#include "ui/SSliderBar.h"
#include "ui/STabCtrl.h"
#include "ui/SWindow.h"
#include "ui/TranslatorManager.h"
#include "widgets/CoordButtonImage.h"

using mwtest::MainWindowTest;
using mwtest::ReadFile;
using mwtest::WaitFor;

namespace {

// Slot i: speed i % 5, brightness i % 6, deriction i % 2, selection i.
QByteArray LedEffectFile(int sel) {
    QByteArray s = "<?xml version=\"1.0\"?>\n<effect sel=\"" + QByteArray::number(sel) + "\">\n";
    for (int i = 0; i < 20; ++i)
        s += "\t<item speed=\"" + QByteArray::number(i % 5) + "\" brightness=\"" + QByteArray::number(i % 6) +
             "\" deriction=\"" + QByteArray::number(i % 2) + "\" selection=\"" + QByteArray::number(i) + "\" />\n";
    return s + "</effect>\n";
}

QString VersionText(CMainDlg& d) {
    QWidget* w = d.FindChildByName(QStringLiteral("version"));
    return w ? w->property("text").toString() : QString();
}

}  // namespace

TEST_F(MainWindowTest, WithoutKeyboardOneWarningThenTheWindowIsGone) {
    model = "none";
    EXPECT_FALSE(Start());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Please insert USB device!");
    EXPECT_EQ(boxes[0].caption, "Warning");
    EXPECT_EQ(boxes[0].type, ui::MB_OK);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_TRUE(dlg->IsDestroyed());
    EXPECT_FALSE(dlg->isVisible());
    // Nothing was written at start-up but the lighting files' reset values.
    EXPECT_FALSE(QFile::exists(Path("record.xml")));
    EXPECT_FALSE(QFile::exists(Path("macro.xml")));
}

TEST_F(MainWindowTest, StartsOnEachModelShowingItsVersionAndSendsTheStartupSlotTwoSecondsLater) {
    struct Row {
        const char* model;
        bool asksVersion;
    };
    for (const Row& row : {Row{"7080", true}, Row{"7fff", false}}) {
        SCOPED_TRACE(row.model);
        TearDown();
        SetUp();
        model = row.model;
        files = {{QStringLiteral("ledeffect.xml"), LedEffectFile(7)}};
        ASSERT_TRUE(Start());
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(VersionText(*dlg), "Firmware: v1.0");
        const auto first = KeyboardReports();
        EXPECT_EQ(!KeyboardReports("get_feature").empty(), row.asksVersion);
        EXPECT_EQ(Keyboard().Lighting().effectPackets, 0) << "nothing is sent while the panel fills";
        // The start-up slot goes out as a feature report whatever the model;
        // 0x7FFF has no feature report and refuses it.
        if (!row.asksVersion) {
            ASSERT_TRUE(WaitFor([&] { return !KeyboardReports("set_feature_refused").empty(); }, 4000));
            const auto refused = KeyboardReports("set_feature_refused");
            EXPECT_EQ(platform::sim::SimReport::Hex(refused.back().bytes), "07 ff ff 07 01 02 01 07");
            EXPECT_GE(refused.back().ms - (first.empty() ? 0 : first.front().ms), 1900);
            continue;
        }
        ASSERT_TRUE(WaitFor([&] { return Keyboard().Lighting().effectPackets == 1; }, 4000));
        const auto all = KeyboardReports();
        ASSERT_FALSE(all.empty());
        const auto& slot = all.back();
        // The selected effect's slot (7: speed 2, brightness 1, deriction 1, selection 7).
        const auto lighting = Keyboard().Lighting();
        EXPECT_EQ(lighting.speed, 2);
        EXPECT_EQ(lighting.brightness, 1);
        const int64_t since = first.empty() ? 0 : first.front().ms;
        EXPECT_GE(slot.ms - since, 1900) << slot.Format();
    }
}

TEST_F(MainWindowTest, LightingControlsStoreThenSendPaced) {
    files = {{QStringLiteral("ledeffect.xml"), LedEffectFile(7)}};
    startupDelayMs = 600000;  // keep the start-up packet out of the way
    ASSERT_TRUE(Start());
    auto* effects = dlg->FindChildByName2<ui::SComboBox>(QStringLiteral("cbx_color_effect"));
    auto* tabs = dlg->FindChildByName2<ui::STabCtrl>(QStringLiteral("tab_color_effect"));
    auto* side = dlg->FindChildByName2<ui::SComboBox>(QStringLiteral("cbx_side_color_effect"));
    auto slider = [&](const char* n) { return dlg->FindChildByName2<ui::SSliderBar>(QString::fromUtf8(n)); };
    ASSERT_TRUE(effects && tabs && side);
    EXPECT_EQ(effects->GetCurSel(), 7);
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_EQ(slider("bar_general_speed_1")->GetValue(), 2);
    EXPECT_EQ(slider("bar_const_brightness_1")->GetValue(), 1);

    struct Step {
        const char* what;
        std::function<void()> act;
        int sel;             // ledeffect.xml "sel" afterwards
        int page;            // effect page shown afterwards
        const char* packet;  // the last packet on the wire
    };
    const Step steps[] = {
        {"choose effect 9", [&] { effects->SetCurSel(9); }, 9, 1, "07 ff ff 0a 03 04 00 00"},
        {"page-1 speed to 3", [&] { slider("bar_general_speed_1")->setValue(3); }, 9, 1, "07 ff ff 0a 03 03 00 00"},
        {"page-1 brightness to 5", [&] { slider("bar_const_brightness_1")->setValue(5); }, 9, 1,
         "07 ff ff 0a 05 03 00 00"},
        {"choose effect 0", [&] { effects->SetCurSel(0); }, 0, 2, "07 ff ff 00 00 00 00 00"},
        {"page-2 brightness to 4", [&] { slider("bar_const_brightness_2")->setValue(4); }, 0, 2,
         "07 ff ff 00 04 00 00 00"},
        {"a page-0 slider re-sends unchanged", [&] { slider("bar_general_speed_0")->setValue(2); }, 0, 2,
         "07 ff ff 00 04 00 00 00"},
        {"a loader radio re-sends unchanged", [&] { dlg->FindChildById2<ui::SRadioBox>(65552)->click(); }, 0, 2,
         "07 ff ff 00 04 00 00 00"},
    };
    int64_t last = -1000;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        const size_t before = KeyboardReports("set_feature").size();
        s.act();
        QCoreApplication::processEvents();
        const auto sent = KeyboardReports("set_feature");
        ASSERT_EQ(sent.size(), before + 1);
        EXPECT_EQ(platform::sim::SimReport::Hex(sent.back().bytes), s.packet);
        EXPECT_GE(sent.back().ms - last, 99) << "packets stay 100 ms apart";
        last = sent.back().ms;
        EXPECT_EQ(tabs->GetCurSel(), s.page);
        EXPECT_NE(ReadFile(Path("ledeffect.xml")).find("sel=\"" + std::to_string(s.sel) + "\""), std::string::npos);
    }
    // The file holds what was stored: slot 9 speed 3 brightness 5, slot 0 brightness 4.
    LedEffectTable::Instance().Load(Path("ledeffect.xml").toStdString());
    EXPECT_EQ(LedEffectTable::Instance().CopySlot(9)->speed, 3);
    EXPECT_EQ(LedEffectTable::Instance().CopySlot(9)->brightness, 5);
    EXPECT_EQ(LedEffectTable::Instance().CopySlot(0)->brightness, 4);

    // Side light: the list, then the slider; the caption follows the effect.
    QWidget* caption = dlg->FindChildByName(QStringLiteral("text_side_brightness"));
    side->SetCurSel(1);
    EXPECT_EQ(caption->property("text").toString(), "Speed");
    side->SetCurSel(4);
    EXPECT_EQ(caption->property("text").toString(), "Brightness");
    slider("bar_side_brightness")->setValue(6);
    QCoreApplication::processEvents();
    const auto sent = KeyboardReports("set_feature");
    EXPECT_EQ(platform::sim::SimReport::Hex(sent.back().bytes).substr(0, 20), "07 ff ff 20 00 00 64");
    EXPECT_EQ(SideLightTable::Instance().GetSelected(), 4);
    EXPECT_EQ(SideLightTable::Instance().GetSlot(4)->first >> 4, 6);
    EXPECT_EQ(Keyboard().Lighting().sideLevel, 6);
}

TEST_F(MainWindowTest, AssignmentsInRecordXmlAreMarkedLabelledAndCarriedOutFromTheStart) {
    files = {{QStringLiteral("record.xml"),
              "<?xml version=\"1.0\"?>\n"
              "<record code=\"70004\" play=\"1\" type=\"1\" repeat=\"1\" name=\"A\" group=\"B\">\n"
              "\t<item code=\"70005\" state=\"0\" delay=\"0\" name=\"\" />\n"
              "</record>\n"
              "<record code=\"7003a\" play=\"1\" type=\"2\" repeat=\"1\" name=\"F1\" group=\"Mute\">\n"
              "\t<item code=\"c00e2\" state=\"0\" delay=\"0\" name=\"\" />\n"
              "</record>\n"}};
    ASSERT_TRUE(Start());
    CoordButtonImage* pic = dlg->KeyboardPicture();
    ASSERT_NE(pic, nullptr);
    CoordButton a, f1, b;
    ASSERT_TRUE(pic->GetKeyInfo(4, &a));
    ASSERT_TRUE(pic->GetKeyInfo(0x3a, &f1));
    ASSERT_TRUE(pic->GetKeyInfo(5, &b));
    EXPECT_TRUE(a.checked);
    EXPECT_EQ(a.label, "A : B");
    EXPECT_TRUE(f1.checked);
    EXPECT_EQ(f1.label, "F1 : Mute");
    EXPECT_FALSE(b.checked);

    // A marked key looks different from an unmarked one.
    ASSERT_TRUE(SaveShot(QStringLiteral("app_main_en_marked.png")));
    QImage img(pic->size(), QImage::Format_ARGB32_Premultiplied);
    pic->render(&img);
    EXPECT_NE(img.pixel(a.Rect().center()), img.pixel(b.Rect().center()));

    Keys().Press(7, 4);
    ASSERT_TRUE(WaitFor([&] { return Virtual().PressedKeys() == std::vector<uint8_t>{5}; }));
    Keys().Release(7, 4);
    ASSERT_TRUE(WaitFor([&] { return !Virtual().AnyPressed(); }));
    Keys().Press(7, 0x3a);
    ASSERT_TRUE(WaitFor([&] { return Virtual().Consumer() == 0xe2; }));
    Keys().Release(7, 0x3a);
    ASSERT_TRUE(WaitFor([&] { return !Virtual().AnyPressed(); }));
}

TEST_F(MainWindowTest, UnrelatedDeviceChangesNothingLosingTheKeyboardEndsTheProgramWithNoKeyHeld) {
    files = {{QStringLiteral("record.xml"),
              "<?xml version=\"1.0\"?>\n"
              "<record code=\"70004\" play=\"1\" type=\"1\" repeat=\"1\" name=\"A\" group=\"B\">\n"
              "\t<item code=\"70005\" state=\"0\" delay=\"0\" name=\"\" />\n"
              "</record>\n"}};
    ASSERT_TRUE(Start());
    const int queries = Keyboard().Lighting().versionQueries;
    auto mouse = sim->Setup().mouse;
    Bus().Unplug(mouse.get());
    Bus().Plug(mouse);
    QTest::qWait(50);
    EXPECT_FALSE(dlg->IsDestroyed());
    // Another device's arrival refreshes the version without closing the keyboard.
    EXPECT_EQ(Keyboard().Lighting().versionQueries, queries + 1);
    EXPECT_TRUE(dlg->Link().keyboard.IsOpen());

    Keys().Press(7, 4);  // B held through the remap
    ASSERT_TRUE(WaitFor([&] { return Virtual().AnyPressed(); }));
    bool ended = false;
    QObject::connect(dlg.get(), &CMainDlg::windowDestroyed, [&] { ended = true; });
    Bus().Unplug(&Keyboard());
    ASSERT_TRUE(WaitFor([&] { return ended; }));
    EXPECT_TRUE(dlg->IsDestroyed());
    EXPECT_FALSE(Virtual().AnyPressed());
}

TEST_F(MainWindowTest, RestoreFactoryAskedFirstThenResetsFilesAndSurvivesTheKeyboardLeaving) {
    files = {{QStringLiteral("ledeffect.xml"), LedEffectFile(7)},
             {QStringLiteral("record.xml"),
              "<?xml version=\"1.0\"?>\n"
              "<record code=\"70004\" play=\"1\" type=\"1\" repeat=\"1\" name=\"A\" group=\"B\">\n"
              "\t<item code=\"70005\" state=\"0\" delay=\"0\" name=\"\" />\n"
              "</record>\n"}};
    ASSERT_TRUE(Start());
    const std::string record = ReadFile(Path("record.xml"));

    answer = ui::IDCANCEL;
    dlg->RestoreFactory();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "All settings will be restored, are you sure you want to continue?");
    EXPECT_EQ(boxes[0].type, ui::MB_OKCANCEL);
    EXPECT_EQ(boxes[0].owner, dlg.get());
    EXPECT_EQ(ReadFile(Path("record.xml")), record);
    EXPECT_FALSE(dlg->FactoryResetPending());

    answer = ui::IDOK;
    Keyboard().SetReenumerateOnReset(true, 50, 300);
    bool ended = false;
    QObject::connect(dlg.get(), &CMainDlg::windowDestroyed, [&] { ended = true; });
    dlg->RestoreFactory();
    EXPECT_TRUE(dlg->FactoryResetPending());
    EXPECT_EQ(ReadFile(Path("record.xml")), "<?xml version=\"1.0\"?>\n");
    EXPECT_NE(ReadFile(Path("ledeffect.xml")).find("sel=\"20\""), std::string::npos);
    CoordButton a;
    ASSERT_TRUE(dlg->KeyboardPicture()->GetKeyInfo(4, &a));
    EXPECT_FALSE(a.checked);
    EXPECT_EQ(Keyboard().Lighting().resets, 1);
    // The keyboard drops off the bus and comes back; the window waits for it.
    ASSERT_TRUE(WaitFor([&] { return !Bus().IsPlugged(&Keyboard()); }));
    ASSERT_TRUE(WaitFor([&] { return !dlg->FactoryResetPending(); }));
    EXPECT_FALSE(ended);
    EXPECT_TRUE(dlg->Link().keyboard.IsOpen());
    // An assigned key no longer is one.
    Keys().Tap(7, 4);
    QTest::qWait(30);
    EXPECT_TRUE(Virtual().Reports().empty() || !Virtual().AnyPressed());
}

TEST_F(MainWindowTest, UpgradeCheckSaysWhatItFound) {
    ASSERT_TRUE(Start());
    dlg->OnMenuCommand(CMainDlg::kCommandUpgrade);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The firmware is already the latest version and no upgrade is required.");

    // Another version: silently re-read and shown.
    Keyboard().SetVersion(0x0102);
    dlg->Link().firmwareVersion = 0x0101;
    dlg->OnMenuCommand(CMainDlg::kCommandUpgrade);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(VersionText(*dlg), "Firmware: v1.2");

    dlg->Link().keyboard.Close();
    dlg->OnMenuCommand(CMainDlg::kCommandUpgrade);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Please insert USB device");
}

TEST_F(MainWindowTest, LanguageSwitchesLiveAndTheMenusReachTheWindow) {
    files = {{QStringLiteral("record.xml"),
              "<?xml version=\"1.0\"?>\n"
              "<record code=\"7003a\" play=\"1\" type=\"2\" repeat=\"1\" name=\"F1\" group=\"Mute\">\n"
              "\t<item code=\"c00e2\" state=\"0\" delay=\"0\" name=\"\" />\n"
              "</record>\n"}};
    ASSERT_TRUE(Start());
    ASSERT_TRUE(SaveShot(QStringLiteral("app_main_en.png")));
    ui::Fire(dlg->FindChildByName(QStringLiteral("zh_cn")), ui::ev::kCommand);
    QCoreApplication::processEvents();
    EXPECT_EQ(VersionText(*dlg), QString::fromUtf8("固件: v1.0"));
    CoordButton f1;
    ASSERT_TRUE(dlg->KeyboardPicture()->GetKeyInfo(0x3a, &f1));
    EXPECT_EQ(f1.label, QString::fromUtf8("F1 : 静音"));
    ASSERT_TRUE(SaveShot(QStringLiteral("app_main_cn.png")));
    ui::Fire(dlg->FindChildByName(QStringLiteral("jp")), ui::ev::kCommand);
    QCoreApplication::processEvents();
    EXPECT_EQ(VersionText(*dlg), "Firmware: v1.0");

    // Menu command 6 (tray or "more" menu) closes the window like its close button.
    bool ended = false;
    QObject::connect(dlg.get(), &CMainDlg::windowDestroyed, [&] { ended = true; });
    ui::PopupMenu::SendCommand(dlg->FindChildByName(QStringLiteral("tray_icon")), CMainDlg::kCommandExit);
    ASSERT_TRUE(WaitFor([&] { return ended; }));
}

TEST_F(MainWindowTest, MinimiseHidesIntoTheTrayOnlyWhereThereIsOne) {
    ASSERT_TRUE(Start());
    ui::Fire(dlg->FindChildByName(QStringLiteral("btn_min")), ui::ev::kCommand);
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        EXPECT_FALSE(dlg->isVisible());
    } else {
        EXPECT_TRUE(dlg->isVisible()) << "without a tray the window must stay reachable";
    }
    dlg->hide();
    SShellNotifyIcon::ToggleWindow(dlg.get());
    EXPECT_TRUE(dlg->isVisible());
    SShellNotifyIcon::ToggleWindow(dlg.get());
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(MainWindowTest, ASecondStartFindsTheWindowByItsPropertyUntilItIsDestroyed) {
    ASSERT_TRUE(Start());
    dlg->hide();
    EXPECT_EQ(ActivateWindowsWithProperty(QStringLiteral("kbconf-test-instance")), 1);
    EXPECT_TRUE(dlg->isVisible());
    dlg->showMinimized();
    ActivateWindowsWithProperty(QStringLiteral("kbconf-test-instance"));
    EXPECT_FALSE(dlg->isMinimized());
    dlg->DestroyWindow();
    EXPECT_EQ(ActivateWindowsWithProperty(QStringLiteral("kbconf-test-instance")), 0);
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(MainWindowTest, ScreenshotsOfTheRestoreQuestionAndTheMenusInBothLanguages) {
    ASSERT_TRUE(Start());
    for (const char* lang : {"en", "cn"}) {
        SCOPED_TRACE(lang);
        ASSERT_TRUE(dlg->SwitchLanguage(std::string(lang) == "cn"));
        QCoreApplication::processEvents();
        ui::MessageBoxRequest question{
            dlg.get(),
            ui::TranslatorManager::Tr(QStringLiteral("CMainDlg"), QStringLiteral("All settings will be restored, are "
                                                                                 "you sure you want to continue?")),
            ui::TranslatorManager::Tr(QStringLiteral("CMainDlg"), QStringLiteral("Warning")), ui::MB_OKCANCEL};
        ui::MessageBoxDlg box(question);
        ASSERT_TRUE(box.Create());
        const QImage boxShot = box.grab().toImage();
        EXPECT_TRUE(boxShot.save(mwtest::ScreenshotPath(QStringLiteral("app_restore_question_%1.png").arg(lang))));
        // Two buttons on it: OK and Cancel.
        ASSERT_NE(box.FindChildByName(QStringLiteral("button1st")), nullptr);
        ASSERT_NE(box.FindChildByName(QStringLiteral("button2nd")), nullptr);
        EXPECT_TRUE(box.FindChildByName(QStringLiteral("button2nd"))->isVisibleTo(&box));

        for (const char* res : {"smenuex:menu_more", "SMENU:menu_tray"}) {
            ui::PopupMenu menu;
            ASSERT_TRUE(menu.LoadMenu(QString::fromUtf8(res)));
            EXPECT_EQ(menu.ItemIds(), (QList<int>{CMainDlg::kCommandUpgrade, CMainDlg::kCommandExit}));
            const QString exitText = menu.ActionOf(CMainDlg::kCommandExit)->text();
            EXPECT_EQ(exitText, std::string(lang) == "cn" ? QString::fromUtf8("退出") : QStringLiteral("Exit"));
            menu.Menu()->adjustSize();
            const QString name = QString::fromUtf8(res).section(u':', 1);
            EXPECT_TRUE(
                menu.Menu()->grab().save(mwtest::ScreenshotPath(QStringLiteral("app_%1_%2.png").arg(name, lang))));
        }
    }
    dlg->SwitchLanguage(false);
}
