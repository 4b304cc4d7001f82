// The dialog's own behaviour: what it reads and corrects at start, group and
// step editing and what reaches macro.xml, its end values, the capture control
// of its pages, import and export, and how each page looks.
#include <QComboBox>
#include <QLabel>

#include "DialogRig.h"
#include "ui/SComboBox.h"
#include "widgets/SCheckBoxEx.h"
#include "widgets/STabCtrl2.h"

namespace {

using dlgtest::DialogRig;

constexpr const char* kTwoGroups =
    "<config type=\"0\" repeat=\"3\" mode=\"1\" delay=\"25\" media=\"1\" function=\"1\" group=\"1\" skcode=\"458757\" "
    "play=\"2\"/><macro><group name=\"Group 0\"><item code=\"458756\" state=\"1\" delay=\"5\" name=\"A\"/>"
    "<item code=\"458756\" state=\"0\" delay=\"0\" name=\"A\"/></group>"
    "<group name=\"Jump\"><item code=\"458796\" state=\"1\" delay=\"7\" name=\"Space\"/>"
    "<item code=\"786637\" state=\"0\" delay=\"9\" name=\"Play Pause\"/>"
    "<item code=\"458796\" state=\"0\" delay=\"0\" name=\"Space\"/></group></macro>";

TEST(MacroRecordDlg, StartShowsTheStoredChoices) {
    DialogRig rig;
    rig.assign = {{5, "B"}, {4, "A"}};
    rig.Open(kTwoGroups);
    const MacroRecordConfig& cfg = rig.library.Config();

    EXPECT_EQ(rig.Find<QLabel>("text_recording_keys")->text(), "A,B");
    EXPECT_EQ(rig.Groups()->GetSel(), 1);
    EXPECT_EQ(rig.Steps()->GetCount(), 3);
    EXPECT_EQ(rig.Find<QLabel>("edit_single_key")->text(), "B");
    EXPECT_TRUE(rig.Find<QAbstractButton>("chk_macro_fixed_delay")->isChecked());
    EXPECT_FALSE(rig.Find<QAbstractButton>("chk_macro_realy_delay")->isChecked());
    EXPECT_EQ(rig.Find<QLineEdit>("edit_macro_delay_time")->text(), "25");
    EXPECT_TRUE(rig.Find<QLineEdit>("edit_macro_delay_time")->isEnabled());
    EXPECT_EQ(rig.Find<QLineEdit>("edit_macro_repeat_times")->text(), "3");
    EXPECT_FALSE(rig.Find<QAbstractButton>("chk_macro_record")->isChecked());
    // Play mode entry 2 is "toggle", whose value playback knows as 4.
    EXPECT_EQ(rig.Find<ui::SComboBox>("macro_play_mode")->GetCurSel(), 2);
    EXPECT_EQ(cfg.playValue, 4);
    auto* media = rig.Find<ui::SComboBox>("cmb_media_keys");
    ASSERT_EQ(media->GetCount(), 2);
    EXPECT_EQ(media->itemText(0), "Play Pause");
    EXPECT_EQ(media->GetCurSel(), 1);
    EXPECT_EQ(rig.Find<ui::SComboBox>("cmb_function_keys")->GetCurSel(), 1);
    // Cells of a step row: code in lower-case hex, name, state, delay.
    QWidget* row = rig.Steps()->GetRow(1);
    EXPECT_EQ(row->findChild<QLabel*>("key_code")->text(), "c00cd");
    EXPECT_EQ(row->findChild<QLabel*>("key_name")->text(), "Play Pause");
    EXPECT_EQ(row->findChild<QLabel*>("key_state")->text(), "replace");
    EXPECT_EQ(rig.Steps()->GetRow(0)->findChild<QLabel*>("key_state")->text(), "key down");
    EXPECT_EQ(row->findChild<QLineEdit*>("key_delay")->text(), "9");
    // Filling the rows renamed nothing and moved no delay.
    EXPECT_EQ(rig.library.Groups()[1].name, "Jump");
    EXPECT_EQ(rig.StepsOf(1), "7002c 1 7 Space\nc00cd 0 9 Play Pause\n7002c 0 0 Space\n");
}

TEST(MacroRecordDlg, OutOfRangeSettingsAreCorrectedAtStart) {
    const struct {
        const char* what;
        std::string xml;
        int group, mode, groupSel;
        bool delayEnabled;
        const char* delayText;
    } cases[] = {
        {"group past the end", "<config group=\"2\" mode=\"0\" delay=\"40\"/><macro><group name=\"x\"/></macro>", 0, 0,
         0, false, "40"},
        {"mode 3", "<config group=\"0\" mode=\"3\" delay=\"40\"/><macro><group name=\"x\"/></macro>", 0, 0, 0, false,
         "40"},
        {"no delay", "<config group=\"-1\" mode=\"2\" delay=\"40\"/><macro><group name=\"x\"/></macro>", 0, 2, 0, false,
         "0"},
        {"empty library", "<config group=\"-1\" mode=\"0\"/>", 0, 0, -1, false, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DialogRig rig;
        rig.Open(c.xml);
        EXPECT_EQ(rig.library.Config().group, c.group);
        EXPECT_EQ(rig.library.Config().mode, c.mode);
        EXPECT_EQ(rig.Groups()->GetSel(), c.groupSel);
        EXPECT_EQ(rig.Find<QLineEdit>("edit_macro_delay_time")->isEnabled(), c.delayEnabled);
        EXPECT_EQ(rig.Find<QLineEdit>("edit_macro_delay_time")->text(), c.delayText);
        // The corrected mode is what the file holds; the 0 shown in mode 2 is not stored.
        EXPECT_NE(rig.MacroXml().find("mode=\"" + std::to_string(c.mode) + "\""), std::string::npos);
        EXPECT_EQ(rig.library.Config().delay, c.xml.find("delay") != std::string::npos ? 40 : 0);
    }
}

TEST(MacroRecordDlg, EndValuesAndWhatOkTakes) {
    const struct {
        const char* what;
        const char* button;
        int page;
        int endValue;
        int group;  // library's group afterwards
    } cases[] = {
        {"OK on the macro page", "btnOK", 0, 1, 0},
        {"OK on the media page", "btnOK", 2, 1, 0},
        {"OK on the function page keeps group", "btnOK", 3, 1, 1},
        {"Cancel", "btnCancel", 0, 2, 1},
        {"Delete", "btnDelete", 0, 65596, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DialogRig rig;
        rig.Open(kTwoGroups);
        rig.Find<STabCtrl2>("tab_macro_mode_selection")->SetCurSel(c.page);
        rig.ClickGroup(0);
        rig.library.Config().group = 1;  // OK must copy the selection, not keep this
        rig.Find<QLineEdit>("edit_macro_repeat_times")->setText("7");
        QTimer::singleShot(0, rig.dlg.get(), [&] {
            rig.Click(c.button);
            rig.Click("btnOK");  // a second end is ignored
        });
        EXPECT_EQ(rig.dlg->DoModal(), c.endValue);
        EXPECT_EQ(rig.library.Config().group, c.group);
        // Settings changed in the dialog stay saved, whatever the end.
        EXPECT_NE(rig.MacroXml().find("repeat=\"7\""), std::string::npos);
    }
    DialogRig empty;
    empty.Open("<config group=\"0\"/>");
    QTimer::singleShot(0, empty.dlg.get(), [&] { empty.Click("btnOK"); });
    EXPECT_EQ(empty.dlg->DoModal(), 1);
    EXPECT_EQ(empty.library.Config().group, -1) << "OK with no group selected";
}

TEST(MacroRecordDlg, GroupAndStepEditingReachMacroXml) {
    DialogRig rig;
    rig.Open(kTwoGroups);
    rig.ClickGroup(1);

    // Steps: down moves, up on row 0 and down on the last row do nothing.
    rig.Steps()->SetSel(0, false);
    rig.Click("item_down");
    EXPECT_EQ(rig.Steps()->GetSel(), 1);
    rig.Steps()->SetSel(0, false);
    rig.Click("item_up");
    rig.Steps()->SetSel(2, false);
    rig.Click("item_down");
    EXPECT_EQ(rig.StepsOf(1), "c00cd 0 9 Play Pause\n7002c 1 7 Space\n7002c 0 0 Space\n");
    rig.Steps()->SetSel(2, false);
    rig.Click("item_up");
    EXPECT_EQ(rig.Steps()->GetSel(), 1);
    rig.Steps()->SetSel(0, false);
    rig.Click("item_delete");
    EXPECT_EQ(rig.StepsOf(1), "7002c 0 0 Space\n7002c 1 7 Space\n");

    // Delay edits: a number with trailing text, no number, nothing.
    QLineEdit* delay = rig.RowEdit(rig.Steps(), 0, "key_delay");
    delay->setText("12ab");
    EXPECT_EQ(rig.library.Groups()[1].steps[0].delay, 12);
    delay->setText("ab");
    EXPECT_EQ(delay->text(), "12");
    rig.RowEdit(rig.Steps(), 1, "key_delay")->setText("");
    EXPECT_EQ(rig.library.Groups()[1].steps[1].delay, 0);
    rig.RowEdit(rig.Steps(), 1, "key_delay")->setText(" -4");
    EXPECT_EQ(rig.library.Groups()[1].steps[1].delay, -4);
    const std::string beforeRename = rig.MacroXml();
    EXPECT_EQ(beforeRename.find("delay=\"12\""), std::string::npos) << "step edits are not saved by themselves";

    // Groups: rename by typing (saved), add, delete.
    rig.RowEdit(rig.Groups(), 0, "group_name")->setText("Walk");
    rig.Click("groupAdd");
    rig.Click("groupAdd");
    EXPECT_EQ(rig.Groups()->GetCount(), 4);
    rig.Groups()->SetSel(3, false);
    rig.Click("groupDel");
    EXPECT_EQ(rig.Groups()->GetSel(), -1);
    EXPECT_EQ(rig.library.Config().group, -1);
    EXPECT_EQ(rig.Steps()->GetCount(), 0);
    rig.Click("groupAdd");  // with no group chosen, the new first row is chosen
    EXPECT_EQ(rig.library.Config().group, 0);
    EXPECT_EQ(rig.Groups()->GetSel(), 0);
    rig.Groups()->SetSel(0, false);
    rig.Click("groupDel");  // the group behind takes the row and shows its steps
    EXPECT_EQ(rig.Groups()->GetSel(), 0);
    EXPECT_EQ(rig.Steps()->GetCount(), 2);

    // The header marks a column without reordering anything.
    rig.Steps()->ClickHeader(3);
    rig.Steps()->ClickHeader(3);
    EXPECT_EQ(rig.Steps()->SortMarks()[3], ui::SortMark::Descending);

    ASSERT_TRUE(rig.library.Save());  // what the window does after OK
    EXPECT_EQ(rig.MacroXml(),
              "<?xml version=\"1.0\"?>\n"
              "<config type=\"0\" repeat=\"3\" mode=\"1\" delay=\"25\" media=\"1\" function=\"1\" group=\"0\" "
              "skcode=\"458757\" play=\"2\" />\n"
              "<macro>\n"
              "\t<group name=\"Jump\">\n"
              "\t\t<item code=\"458796\" state=\"0\" delay=\"12\" name=\"Space\" />\n"
              "\t\t<item code=\"458796\" state=\"1\" delay=\"4294967292\" name=\"Space\" />\n"
              "\t</group>\n"
              "\t<group name=\"Group 2\" />\n"
              "\t<group name=\"Group 3\" />\n"
              "</macro>\n");
}

TEST(MacroRecordDlg, PagesControlTheCapture) {
    DialogRig rig;
    rig.Open("<config type=\"0\" group=\"0\"/><macro><group name=\"x\"/></macro>");
    auto* tabs = rig.Find<STabCtrl2>("tab_macro_mode_selection");
    const std::string before = rig.MacroXml();

    tabs->SetCurSel(1);
    EXPECT_TRUE(rig.listener->IsRunning());
    EXPECT_TRUE(rig.driver.Capturing());
    EXPECT_EQ(rig.library.Config().type, 1);
    EXPECT_NE(rig.MacroXml().find("type=\"1\""), std::string::npos);
    tabs->SetCurSel(2);
    EXPECT_FALSE(rig.listener->IsRunning());
    tabs->SetCurSel(0);
    EXPECT_FALSE(rig.listener->IsRunning()) << "recording never started";

    rig.Click("chk_macro_record");
    EXPECT_TRUE(rig.dlg->CaptureRunning());
    EXPECT_EQ(rig.Find<QAbstractButton>("chk_macro_record")->text(), "Stop record");
    tabs->SetCurSel(3);
    EXPECT_FALSE(rig.listener->IsRunning());
    tabs->SetCurSel(0);  // recording resumes
    EXPECT_TRUE(rig.listener->IsRunning());
    EXPECT_TRUE(rig.driver.Capturing());
    rig.Click("chk_macro_record");
    EXPECT_FALSE(rig.listener->IsRunning());
    EXPECT_EQ(rig.Find<QAbstractButton>("chk_macro_record")->text(), "Start record");

    // Closing the dialog gives the reader back to the window.
    rig.dlg.reset();
    EXPECT_TRUE(rig.listener->IsRunning());
}

TEST(MacroRecordDlg, RecordSwitchNeedsAChosenGroup) {
    DialogRig rig;
    rig.Open("<config group=\"0\"/>");
    rig.Click("chk_macro_record");
    auto* sw = rig.Find<QAbstractButton>("chk_macro_record");
    EXPECT_FALSE(sw->isChecked());
    EXPECT_EQ(sw->text(), "Start record");
    EXPECT_FALSE(rig.listener->IsRunning());
    EXPECT_EQ(rig.library.Config().recording, 0);
}

TEST(MacroRecordDlg, DelayModesAndTheirEdit) {
    DialogRig rig;
    rig.Open("<config mode=\"0\" delay=\"30\"/>");
    auto* edit = rig.Find<QLineEdit>("edit_macro_delay_time");
    EXPECT_FALSE(edit->isEnabled());
    rig.Click("chk_macro_fixed_delay");
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_EQ(edit->text(), "30");
    edit->setText("75");
    EXPECT_EQ(rig.library.Config().delay, 75);
    EXPECT_NE(rig.MacroXml().find("mode=\"1\" delay=\"75\""), std::string::npos);
    rig.Click("chk_macro_no_delay");
    EXPECT_EQ(edit->text(), "0");
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_EQ(rig.library.Config().delay, 75) << "the 0 shown in mode 2 is not stored";
    EXPECT_NE(rig.MacroXml().find("mode=\"2\" delay=\"75\""), std::string::npos);
    rig.Click("chk_macro_realy_delay");
    EXPECT_EQ(rig.library.Config().mode, 0);
    EXPECT_FALSE(edit->isEnabled());
}

TEST(MacroRecordDlg, ImportAndExportThroughTheButtons) {
    DialogRig rig;
    rig.Open(kTwoGroups);
    EXPECT_TRUE(rig.Find<QWidget>("groupImport")->isVisible());
    EXPECT_TRUE(rig.Find<QWidget>("groupExport")->isVisible());
    std::vector<std::string> messages;
    ui::SetMessageBoxHook([&](const ui::MessageBoxRequest& r) {
        messages.push_back(r.text.toStdString());
        return ui::IDOK;
    });
    QString answer;
    QString suggested;
    MacroRecordDlg::SetFileChooser([&](QWidget*, bool, const QString& name) {
        suggested = name;
        return answer;
    });

    rig.Groups()->SetSel(-1, false);
    rig.Click("groupExport");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Select the macro group to export.");

    rig.ClickGroup(1);
    answer = QString::fromStdString(rig.File("jump.xml"));
    rig.Click("groupExport");
    EXPECT_EQ(suggested, "Jump.xml");
    rig.Click("groupImport");
    ASSERT_EQ(rig.Groups()->GetCount(), 3);
    EXPECT_EQ(rig.library.Groups()[2].name, "Jump 2");
    EXPECT_EQ(rig.library.Groups()[2].steps, rig.library.Groups()[1].steps);
    EXPECT_EQ(rig.RowEdit(rig.Groups(), 2, "group_name")->text(), "Jump 2");
    EXPECT_NE(rig.MacroXml().find("Jump 2"), std::string::npos) << "saved at once";

    const std::string saved = rig.MacroXml();
    WriteText(rig.File("bad.xml"), "<group name=\"x\"><item code=\"0\" state=\"1\"/></group>");
    answer = QString::fromStdString(rig.File("bad.xml"));
    rig.Click("groupImport");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "Step 1 of group 1 in the file has no valid key. Nothing was imported.");
    EXPECT_EQ(rig.Groups()->GetCount(), 3);
    EXPECT_EQ(rig.MacroXml(), saved);

    answer.clear();  // the user cancelled the file dialog
    rig.Click("groupImport");
    rig.Click("groupExport");
    EXPECT_EQ(messages.size(), 2u);
}

// Pixels that differ between two shots inside rect.
int Differing(const QImage& a, const QImage& b, const QRect& rect) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

TEST(MacroRecordDlg, EveryPageInBothLanguages) {
    const char* pageWidgets[] = {"macro_group", "edit_single_key", "cmb_media_keys", "cmb_function_keys"};
    std::map<std::string, QImage> shots;
    QRect pageArea;
    for (const char* lang : {"lang_en", "lang_cn"}) {
        SCOPED_TRACE(lang);
        DialogRig rig(lang);
        rig.assign = {{4, "A"}, {41, "Escape"}};
        rig.Open(kTwoGroups);
        rig.ClickGroup(1);
        auto* tabs = rig.Find<STabCtrl2>("tab_macro_mode_selection");
        pageArea = QRect(tabs->mapTo(rig.dlg.get(), tabs->PageRect().topLeft()), tabs->PageRect().size());
        for (int page = 0; page < 4; ++page) {
            tabs->SetCurSel(page);
            for (int w = 0; w < 4; ++w) EXPECT_EQ(rig.Find<QWidget>(pageWidgets[w])->isVisible(), w == page) << page;
            const QImage img = rig.dlg->grab().toImage();
            const std::string name = "assigndlg_page" + std::to_string(page) + "_" + (lang + 5);
            EXPECT_TRUE(img.save(dlgtest::ScreenshotPath(QString::fromStdString(name + ".png"))));
            shots[name] = img;
        }
        // Texts the dialog sets itself follow the language too.
        rig.Find<STabCtrl2>("tab_macro_mode_selection")->SetCurSel(0);
        rig.Click("chk_macro_record");
        const QString stop = rig.Find<QAbstractButton>("chk_macro_record")->text();
        EXPECT_EQ(stop, lang == std::string("lang_cn") ? QString::fromUtf8("停止录制") : QString("Stop record"));
        EXPECT_EQ(rig.Steps()->GetRow(0)->findChild<QLabel*>("key_state")->text(),
                  lang == std::string("lang_cn") ? QString::fromUtf8("按下") : QString("key down"));
        EXPECT_EQ(rig.Find<ui::SComboBox>("cmb_media_keys")->itemText(0),
                  lang == std::string("lang_cn") ? QString::fromUtf8("播放/暂停") : QString("Play Pause"));
        QString message;
        ui::SetMessageBoxHook([&](const ui::MessageBoxRequest& r) {
            message = r.caption + u'|' + r.text;
            return ui::IDOK;
        });
        rig.Groups()->SetSel(-1, false);
        rig.Click("groupExport");
        EXPECT_EQ(message, lang == std::string("lang_cn") ? QString::fromUtf8("警告|请先选中要导出的宏组。")
                                                          : QString("Warning|Select the macro group to export."));
    }
    // Each page draws something of its own, and each language its own words.
    for (int a = 0; a < 4; ++a) {
        const QImage& en = shots["assigndlg_page" + std::to_string(a) + "_en"];
        EXPECT_GT(Differing(en, shots["assigndlg_page" + std::to_string(a) + "_cn"], pageArea), 500) << a;
        for (int b = a + 1; b < 4; ++b)
            EXPECT_GT(Differing(en, shots["assigndlg_page" + std::to_string(b) + "_en"], pageArea), 2000) << a << b;
    }
}

}  // namespace
