// From the emulated keyboard's keys, through the emulated filter driver and the
// listener's reader thread, to what the dialog captures or records - and what
// the virtual keyboard does (nothing) while the dialog is open.
#include <QLabel>

#include "DialogRig.h"
#include "widgets/STabCtrl2.h"

namespace {

using dlgtest::DialogRig;

constexpr const char* kAIsB = "<record code=\"70004\" play=\"1\"><item code=\"70005\"/></record>";

bool Holds(const std::vector<uint8_t>& keys, uint8_t usage) {
    return std::find(keys.begin(), keys.end(), usage) != keys.end();
}

TEST(AssignDialogE2E, SingleKeyIsCapturedFromTheKeyboard) {
    DialogRig rig;
    rig.StartWindow(kAIsB);
    rig.Open("<config type=\"1\" skcode=\"0\"/>");
    auto* text = rig.Find<QLabel>("edit_single_key");
    const MacroRecordConfig& cfg = rig.library.Config();
    EXPECT_TRUE(rig.driver.Capturing());
    EXPECT_EQ(text->text(), "");

    rig.keys.Press(7, 6);  // C
    ASSERT_TRUE(DialogRig::WaitUntil([&] { return cfg.skcode == 0x70006; }));
    EXPECT_EQ(text->text(), "C");
    rig.keys.Press(7, 7);  // D, while C is still down
    rig.keys.Release(7, 6);
    rig.keys.Release(7, 7);
    ASSERT_TRUE(DialogRig::WaitUntil([&] { return cfg.skcode == 0x70007; }));
    // A key the name table does not know is still captured, without a name.
    rig.keys.Tap(7, 0xE8);
    ASSERT_TRUE(DialogRig::WaitUntil([&] { return cfg.skcode == 0x700E8; }));
    EXPECT_EQ(text->text(), "");
    // The assigned key is captured like any other and does not fire.
    rig.keys.Tap(7, 4);
    ASSERT_TRUE(DialogRig::WaitUntil([&] { return cfg.skcode == 0x70004; }));
    EXPECT_EQ(text->text(), "A");
    QApplication::processEvents();
    EXPECT_EQ(cfg.skcode, 0x70004) << "releases change nothing";
    EXPECT_EQ(rig.keyboard->ReportCount(), 0u);
}

TEST(AssignDialogE2E, RecordsFromTheKeyboardInEachDelayMode) {
    const struct {
        int mode;
        const char* steps;  // the group had one step with delay 99 before recording
    } cases[] = {
        // Real time: the intervals between the key events; nothing was measured
        // before the first event, so the old last step keeps its delay.
        {0, "70009 0 99 F\n70004 1 30 A\n70004 0 45 A\n70005 1 20 B\n70005 0 0 B\n"},
        {1, "70009 0 50 F\n70004 1 50 A\n70004 0 50 A\n70005 1 50 B\n70005 0 0 B\n"},
        {2, "70009 0 0 F\n70004 1 0 A\n70004 0 0 A\n70005 1 0 B\n70005 0 0 B\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        DialogRig rig;
        rig.StartWindow(kAIsB);
        rig.Open("<config mode=\"" + std::to_string(c.mode) +
                 "\" delay=\"50\" group=\"1\"/><macro><group name=\"Empty\"/>"
                 "<group name=\"Rec\"><item code=\"458761\" state=\"0\" delay=\"99\" name=\"F\"/></group></macro>");
        // A release into an empty group is dropped: a macro never starts with one.
        rig.ClickGroup(0);
        rig.Click("chk_macro_record");
        ASSERT_TRUE(rig.dlg->CaptureRunning());
        rig.dlg->PostMessage(MacroRecordDlg::kKeyMessage, 0x70009, 0);
        QApplication::processEvents();
        EXPECT_EQ(rig.StepsOf(0), "");

        rig.ClickGroup(1);
        size_t n = 1;
        auto next = [&](bool press, uint16_t usage, int64_t thenMs) {
            press ? rig.keys.Press(7, usage) : rig.keys.Release(7, usage);
            ++n;
            ASSERT_TRUE(DialogRig::WaitUntil([&] { return rig.library.Groups()[1].steps.size() == n; }));
            rig.clock.Advance(thenMs);
        };
        next(true, 4, 30);
        next(false, 4, 45);
        next(true, 5, 20);
        next(false, 5, 0);
        EXPECT_EQ(rig.StepsOf(1), c.steps);
        EXPECT_EQ(rig.Steps()->GetCount(), 5);
        EXPECT_EQ(rig.keyboard->ReportCount(), 0u) << "the assigned key A did not fire";

        rig.Click("chk_macro_record");
        ASSERT_TRUE(rig.library.Save());
        EXPECT_NE(rig.MacroXml().find("<item code=\"458757\" state=\"0\" delay=\"0\" name=\"B\" />\n\t</group>"),
                  std::string::npos);
        if (c.mode == 0) {
            EXPECT_EQ(rig.dlg->LastEventTime(), 1095);
            rig.dlg->grab().save(dlgtest::ScreenshotPath("assigndlg_recorded_macro.png"));
        }
    }
}

TEST(AssignDialogE2E, OpeningReleasesHeldKeysAndNothingFiresWhileOpen) {
    DialogRig rig;
    rig.StartWindow(kAIsB);
    rig.keys.Press(7, 4);
    ASSERT_TRUE(rig.keyboard->WaitForReports(1, 5000));
    EXPECT_TRUE(Holds(rig.keyboard->PressedKeys(), 5));

    // A is still held while the dialog opens: its release will reach the dialog.
    rig.Open("<config type=\"1\"/>");
    EXPECT_FALSE(rig.keyboard->AnyPressed());
    const size_t reports = rig.keyboard->ReportCount();
    rig.keys.Release(7, 4);
    rig.keys.Tap(7, 6);
    ASSERT_TRUE(DialogRig::WaitUntil([&] { return rig.library.Config().skcode == 0x70006; }));
    rig.keys.Tap(7, 4);
    ASSERT_TRUE(DialogRig::WaitUntil([&] { return rig.library.Config().skcode == 0x70004; }));
    EXPECT_EQ(rig.keyboard->ReportCount(), reports);

    // Closed: the window's receiver gets the keys again.
    rig.dlg.reset();
    rig.keys.Press(7, 4);
    ASSERT_TRUE(rig.keyboard->WaitForReports(reports + 1, 5000));
    EXPECT_TRUE(Holds(rig.keyboard->PressedKeys(), 5));
    rig.keys.Release(7, 4);
    ASSERT_TRUE(rig.keyboard->WaitForReports(reports + 2, 5000));
    EXPECT_FALSE(rig.keyboard->AnyPressed());
}

}  // namespace
