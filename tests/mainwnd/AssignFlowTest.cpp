// The assignment flow on the emulated keyboard: a click on the picture opens
// the dialog, the user chooses there (with keys pressed on the emulated
// keyboard), and after OK, Cancel or Delete the key does - or no longer does -
// its new job on the virtual keyboard; record.xml and macro.xml say the same.
#include <QAbstractButton>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

#include "MainWindowFixture.h"
#include "assigndlg/MacroRecordDlg.h"
#include "ui/SComboBox.h"
#include "ui/SListView.h"
#include "widgets/CoordButtonImage.h"
#include "widgets/STabCtrl2.h"

namespace {

constexpr const char* kConfig =
    "<funkey><k name=\"Play Pause\" code=\"C00CD\"/><k name=\"Calculator\" code=\"C0192\"/></funkey>"
    "<combkey><k name=\"Copy\" code=\"458976:0,458758:10\"/></combkey>";

// Key C is assigned to type D before the window starts.
constexpr const char* kRecordC =
    "<?xml version=\"1.0\"?>\n"
    "<record code=\"70006\" play=\"1\" type=\"1\" repeat=\"1\" name=\"C\" group=\"D\">\n"
    "\t<item code=\"70007\" state=\"0\" delay=\"0\" name=\"\" />\n"
    "</record>\n";

class AssignFlow : public mwtest::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        AppConfig::Instance().ResetForTest();
        AppConfig::Instance().LoadFromBuffer(kConfig);
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        AppConfig::Instance().ResetForTest();
    }

    // Clicks picture key keyId as the mouse does, runs `inside` once the dialog
    // is up (it must end the dialog) and returns the dialog's end value.
    int Assign(int keyId, const std::function<void(MacroRecordDlg&)>& inside) {
        int end = -100;
        dlg->onAssignmentDone = [&](int v) { end = v; };
        bool ran = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            MacroRecordDlg* d = dlg->AssignmentDialog();
            if (ran || !d || !d->isVisible()) return;
            ran = true;
            poll.stop();
            inside(*d);
        });
        poll.start(5);
        ClickKey(keyId);
        return end;
    }

    void ClickKey(int keyId) {
        CoordButtonImage* picture = dlg->KeyboardPicture();
        CoordButton key;
        ASSERT_TRUE(picture->GetKeyInfo(keyId, &key));
        const QPointF at = QRectF(key.Rect()).center();
        for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(t, at, picture->mapToGlobal(at), Qt::LeftButton,
                          t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(picture, &e);
        }
    }

    static void Click(MacroRecordDlg& d, const char* name) {
        if (auto* b = qobject_cast<QAbstractButton*>(d.FindChildByName(QString::fromLatin1(name)))) b->click();
    }
    static void Page(MacroRecordDlg& d, int page) {
        qobject_cast<STabCtrl2*>(d.FindChildByName(QStringLiteral("tab_macro_mode_selection")))->SetCurSel(page);
    }
    static ui::SComboBox* Combo(MacroRecordDlg& d, const char* name) {
        return qobject_cast<ui::SComboBox*>(d.FindChildByName(QString::fromLatin1(name)));
    }

    bool Holds(uint8_t usage) {
        const auto keys = Virtual().PressedKeys();
        return std::find(keys.begin(), keys.end(), usage) != keys.end();
    }
    std::string Record() { return mwtest::ReadFile(Path("record.xml")); }
    CoordButton PictureKey(int id) {
        CoordButton key;
        dlg->KeyboardPicture()->GetKeyInfo(id, &key);
        return key;
    }
};

TEST_F(AssignFlow, SingleKeyMediaKeyAndFunction) {
    ASSERT_TRUE(Start());
    QImage before(dlg->size(), QImage::Format_ARGB32_Premultiplied);
    dlg->render(&before);
    Virtual().ClearReports();

    // A types B: captured from the keyboard on the single-key page.
    EXPECT_EQ(
        Assign(4,
               [&](MacroRecordDlg& d) {
                   Page(d, 1);
                   Keys().Tap(7, 5);
                   EXPECT_TRUE(mwtest::WaitFor([] { return MacroLibrary::Instance().Config().skcode == 0x70005; }));
                   EXPECT_EQ(Virtual().ReportCount(), 0u);
                   Click(d, "btnOK");
               }),
        1);
    EXPECT_EQ(Record(),
              "<?xml version=\"1.0\"?>\n"
              "<record code=\"70004\" play=\"1\" type=\"1\" repeat=\"1\" name=\"A\" group=\"B\">\n"
              "\t<item code=\"70005\" state=\"0\" delay=\"0\" name=\"\" />\n"
              "</record>\n");
    EXPECT_EQ(PictureKey(4).label, "A : B");
    EXPECT_EQ(PictureKey(4).checked, 1u);
    EXPECT_TRUE(dlg->AssignKeys().empty());
    Keys().Press(7, 4);
    EXPECT_TRUE(mwtest::WaitFor([&] { return Holds(5); }));
    Keys().Release(7, 4);
    EXPECT_TRUE(mwtest::WaitFor([&] { return !Virtual().AnyPressed(); }));

    // Escape plays Calculator, chosen on the media page.
    EXPECT_EQ(Assign(0x29,
                     [&](MacroRecordDlg& d) {
                         Page(d, 2);
                         Combo(d, "cmb_media_keys")->SetCurSel(1);
                         Click(d, "btnOK");
                     }),
              1);
    Keys().Press(7, 0x29);
    EXPECT_TRUE(mwtest::WaitFor([&] { return Virtual().Consumer() == 0x0192; }));
    Keys().Release(7, 0x29);
    EXPECT_TRUE(mwtest::WaitFor([&] { return Virtual().Consumer() == 0; }));

    // Tab plays the combination: downs in order a millisecond longer, then ups.
    EXPECT_EQ(Assign(0x2B,
                     [&](MacroRecordDlg& d) {
                         Page(d, 3);
                         Combo(d, "cmb_function_keys")->SetCurSel(0);
                         Click(d, "btnOK");
                     }),
              1);
    const std::string record = Record();
    EXPECT_NE(record.find("<record code=\"7002b\" play=\"2\" type=\"3\" repeat=\"1\" name=\"Tab\" group=\"Copy\">\n"
                          "\t<item code=\"700e0\" state=\"1\" delay=\"1\" name=\"\" />\n"
                          "\t<item code=\"70006\" state=\"1\" delay=\"11\" name=\"\" />\n"
                          "\t<item code=\"700e0\" state=\"0\" delay=\"0\" name=\"\" />\n"
                          "\t<item code=\"70006\" state=\"0\" delay=\"10\" name=\"\" />\n"),
              std::string::npos)
        << record;
    Virtual().ClearReports();
    Keys().Tap(7, 0x2B);
    EXPECT_TRUE(mwtest::WaitFor([&] { return Virtual().ReportCount() >= 5 && !Virtual().AnyPressed(); }));
    std::string seen;
    for (const auto& r : Virtual().Reports()) seen += r.Describe() + "\n";
    EXPECT_EQ(seen.substr(0, 30), "kbd e0\nkbd 06 e0\nkbd 06\nkbd -\n") << seen;

    // The picture shows the three labelled keys.
    EXPECT_EQ(PictureKey(0x29).label, "Escape : Calculator");
    EXPECT_EQ(PictureKey(0x2B).label, "Tab : Copy");
    QImage after(dlg->size(), QImage::Format_ARGB32_Premultiplied);
    dlg->render(&after);
    const QRect a = PictureKey(4).Rect().translated(dlg->KeyboardPicture()->mapTo(dlg.get(), QPoint()));
    int changed = 0;
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x) changed += before.pixel(x, y) != after.pixel(x, y);
    EXPECT_GT(changed, a.width() * a.height() / 10) << "key A looks assigned";
    EXPECT_TRUE(SaveShot(QStringLiteral("mainwnd_assigned_keys.png")));
}

TEST_F(AssignFlow, RecordedMacroPlaysInEachModeAndReplacesInPlace) {
    files.push_back({QStringLiteral("record.xml"), kRecordC});
    ASSERT_TRUE(Start());
    const struct {
        int entry;  // play mode list entry
        int play;   // its value
        const char* stop;
    } modes[] = {
        {0, 2, "ends by itself"}, {1, 3, "release"}, {2, 4, "second press"}, {3, 5, "other key"}, {4, 6, "any key"}};
    for (const auto& m : modes) {
        SCOPED_TRACE(m.stop);
        EXPECT_EQ(Assign(4,
                         [&](MacroRecordDlg& d) {
                             if (MacroLibrary::Instance().Groups().empty()) {
                                 Click(d, "groupAdd");
                                 auto* groups = qobject_cast<ui::SListView*>(d.FindChildByName("macro_group"));
                                 QMouseEvent e(QEvent::MouseButtonPress, QPointF(4, 4), QPointF(4, 4), Qt::LeftButton,
                                               Qt::LeftButton, Qt::NoModifier);
                                 QApplication::sendEvent(groups->GetRow(0), &e);
                                 Click(d, "chk_macro_record");
                                 Keys().Tap(7, 5);
                                 EXPECT_TRUE(mwtest::WaitFor(
                                     [] { return MacroLibrary::Instance().Groups()[0].steps.size() == 2; }));
                                 Click(d, "chk_macro_record");
                             }
                             Combo(d, "macro_play_mode")->SetCurSel(m.entry);
                             qobject_cast<QLineEdit*>(d.FindChildByName("edit_macro_repeat_times"))->setText("2");
                             Click(d, "btnOK");
                         }),
                  1);
        const std::string record = Record();
        EXPECT_EQ(record.rfind(kRecordC, 0), 0u) << "C stays first: " << record;
        EXPECT_EQ(record.find("code=\"70004\""), record.rfind("code=\"70004\"")) << "A replaced, not added";
        EXPECT_NE(record.find("<record code=\"70004\" play=\"" + std::to_string(m.play) +
                              "\" type=\"0\" repeat=\"2\" name=\"A\" group=\"Group 0\">"),
                  std::string::npos)
            << record;

        Virtual().ClearReports();
        Keys().Press(7, 4);
        EXPECT_TRUE(mwtest::WaitFor([&] { return Virtual().ReportCount() >= 4; })) << "B typed";
        switch (m.play) {
        case 2:
            Keys().Release(7, 4);
            break;
        case 3:
            Keys().Release(7, 4);
            break;
        case 4:
        case 6:
            Keys().Release(7, 4);
            Keys().Tap(7, 4);
            break;
        case 5:
            Keys().Release(7, 4);
            Keys().Tap(7, 6);
            break;
        }
        // Playback marks its end before it sends the closing release.
        EXPECT_TRUE(mwtest::WaitFor([&] {
            return dlg->KeyActions().PlayState().code == 0 && !Virtual().AnyPressed() &&
                   (m.play != 2 || Virtual().ReportCount() >= 5);
        })) << "stopped";
        if (m.play == 2) {
            std::string seen;
            for (const auto& r : Virtual().Reports()) seen += r.Describe() + "\n";
            EXPECT_EQ(seen, "kbd 05\nkbd -\nkbd 05\nkbd -\nkbd -\n") << "two passes, then the release";
        }
        if (m.play == 5) {
            std::string seen;
            for (const auto& r : Virtual().Reports()) seen += r.Describe() + "\n";
            EXPECT_EQ(seen.find("07"), std::string::npos) << "the stopping key does nothing else: " << seen;
        }
    }
}

TEST_F(AssignFlow, CancelKeepsSettingsAndDeleteRemovesTheKey) {
    files.push_back({QStringLiteral("record.xml"), kRecordC});
    ASSERT_TRUE(Start());
    EXPECT_EQ(PictureKey(6).label, "C : D");
    Virtual().ClearReports();

    EXPECT_EQ(Assign(6,
                     [&](MacroRecordDlg& d) {
                         // While the dialog is open, the assigned key does not fire.
                         Keys().Tap(7, 6);
                         QTest::qWait(50);
                         EXPECT_EQ(Virtual().ReportCount(), 0u);
                         qobject_cast<QLineEdit*>(d.FindChildByName("edit_macro_repeat_times"))->setText("9");
                         Click(d, "btnCancel");
                     }),
              2);
    EXPECT_EQ(Record(), kRecordC);
    EXPECT_NE(mwtest::ReadFile(Path("macro.xml")).find("repeat=\"9\""), std::string::npos);

    EXPECT_EQ(Assign(6, [&](MacroRecordDlg& d) { Click(d, "btnDelete"); }), CMainDlg::kDeleteEndValue);
    EXPECT_EQ(Record(), "<?xml version=\"1.0\"?>\n");
    EXPECT_EQ(PictureKey(6).label, "");
    EXPECT_EQ(PictureKey(6).checked, 0u);
    Keys().Tap(7, 6);
    QTest::qWait(50);
    EXPECT_EQ(Virtual().ReportCount(), 0u) << "C is an ordinary key again";
}

}  // namespace
