// The layouts built through the UI layer, in English and Chinese, saved as PNGs at
// 100 % and 200 % under <build>/screenshots; and the generated pictures have the
// sizes the widgets and the skin table expect.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <vector>

#include "ExpectedWidgets.h"
#include "UiresFiles.h"
#include "ui/LayoutLoader.h"
#include "ui/ListAdapter.h"
#include "ui/MessageBox.h"
#include "ui/NamedIds.h"
#include "ui/PixelProbe.h"
#include "ui/PopupMenu.h"
#include "ui/SListView.h"
#include "ui/STabCtrl.h"
#include "ui/TranslatorManager.h"
#include "ui/UiApp.h"
#include "ui/WidgetTree.h"
#ifdef KBCONF_HAVE_WIDGETS
#include "widgets/CoordButtonImage.h"
#include "widgets/CustomWidgets.h"
#endif

namespace {

QApplication* App() {
    static int argc = 1;
    static char name[] = "test_uires_render";
    static char* argv[] = {name, nullptr};
    // Headless even when started without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return app;
}

QString Uires() { return QStringLiteral(KBCONF_SOURCE_DIR "/uires"); }

QString Shot(const QString& file) {
    const QString dir = QStringLiteral(KBCONF_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + u'/' + file;
}

class UiresRender : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        App();
        // The style sheet names its pictures as "uires:img/…".
        QDir::addSearchPath(QStringLiteral("uires"), Uires());
        ui_ = new ui::UiApp(Uires(), true);
#ifdef KBCONF_HAVE_WIDGETS
        RegisterCustomWidgets(*ui_);
        CoordButtonImage::SetBaseFolder(QStringLiteral(KBCONF_SOURCE_DIR));
#endif
        ASSERT_TRUE(ui_->LoadUiDef(QStringLiteral("UIDEF:XML_INIT")));
    }
    static void TearDownTestSuite() {
        delete ui_;
        ui_ = nullptr;
    }

    // Builds a layout, shows it offscreen and saves it at 1x and 2x.
    static std::unique_ptr<QWidget> Render(const QString& layout, const QString& shotName) {
        ui::LayoutLoader loader(*ui_);
        std::unique_ptr<QWidget> w(loader.LoadLayout(QStringLiteral("LAYOUT:") + layout, nullptr));
        EXPECT_TRUE(w) << loader.errorString().toStdString();
        if (!w) return w;
        w->setAttribute(Qt::WA_DontShowOnScreen);
        w->show();
        Save(w.get(), shotName);
        return w;
    }

    static void Save(QWidget* w, const QString& shotName) {
        QApplication::processEvents();
        for (int scale : {1, 2}) {
            QImage img(w->size() * scale, QImage::Format_ARGB32_Premultiplied);
            img.setDevicePixelRatio(scale);
            img.fill(QColor(0x0f, 0x11, 0x15));
            w->render(&img);
            EXPECT_TRUE(img.save(Shot(shotName + (scale == 2 ? "@2x.png" : ".png"))));
        }
    }

    static ui::UiApp* ui_;
};

ui::UiApp* UiresRender::ui_ = nullptr;

// Sample rows, so that the screenshots show the row templates filled.
class SampleGroups : public ui::ListAdapter {
public:
    int GetCount() const override { return 3; }
    void FillRow(int row, QWidget* rowWidget, const ui::RowTemplate& tpl) override {
        BuildIfEmpty(rowWidget, tpl);
        static const char* const names[] = {"Group 0", "Reload cancel", "Burst fire"};
        if (auto* e = qobject_cast<QLineEdit*>(ui::FindChildByName(rowWidget, QStringLiteral("group_name"))))
            e->setText(QString::fromLatin1(names[row]));
    }
};

class SampleSteps : public ui::McListAdapter {
public:
    int GetCount() const override { return 5; }
    void FillRow(int row, QWidget* rowWidget, const ui::RowTemplate& tpl) override {
        BuildIfEmpty(rowWidget, tpl);
        struct Step {
            const char* code;
            const char* name;
            bool down;
            int delay;
        };
        static const Step steps[] = {{"700e1", "Left Shift", true, 20},
                                     {"70004", "A", true, 48},
                                     {"70004", "A", false, 35},
                                     {"700e1", "Left Shift", false, 120},
                                     {"c00cd", "Play Pause", true, 0}};
        const Step& s = steps[row];
        auto set = [&](const char* name, const QString& text) {
            if (auto* l = qobject_cast<QLabel*>(ui::FindChildByName(rowWidget, QString::fromLatin1(name))))
                l->setText(text);
        };
        set("key_code", QString::fromLatin1(s.code));
        set("key_name", QString::fromLatin1(s.name));
        if (QWidget* state = ui::FindChildByName(rowWidget, QStringLiteral("key_state")))
            ui::SetTrText(state, QStringLiteral("KeyAndDelayAdapter"),
                          QString::fromLatin1(s.down ? "key down" : "replace"));
        if (auto* e = qobject_cast<QLineEdit*>(ui::FindChildByName(rowWidget, QStringLiteral("key_delay"))))
            e->setText(QString::number(s.delay));
    }
};

QString TextOf(QWidget* root, const char* name) {
    QWidget* w = ui::FindChildByName(root, QString::fromLatin1(name));
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    return {};
}

}  // namespace

TEST_F(UiresRender, LayoutsInBothLanguages) {
    struct Case {
        const char* lang;
        const char* suffix;
        const char* title;   // "title" of the main window
        const char* okText;  // "btnOK" of the dialog
    };
    for (const Case& c : {Case{"lang_en", "en", "kbconf Gaming Keyboard Center", "OK"},
                          Case{"lang_cn", "cn", "kbconf 游戏键盘控制中心", "确定"}}) {
        SCOPED_TRACE(c.lang);
        ASSERT_TRUE(ui_->SetLanguage(QString::fromLatin1(c.lang)));
        auto main = Render(QStringLiteral("XML_MAINWND"), QStringLiteral("uires_XML_MAINWND_") + c.suffix);
        ASSERT_TRUE(main);
        EXPECT_EQ(TextOf(main.get(), "title"), QString::fromUtf8(c.title));
        EXPECT_EQ(main->size(), QSize(1040, 700));
#ifdef KBCONF_HAVE_WIDGETS
        // A few assigned keys, as the window marks them at start.
        auto* picture =
            qobject_cast<CoordButtonImage*>(ui::FindChildByName(main.get(), QStringLiteral("img_keyboard")));
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->Keys().size(), 116);
        const QImage unmarked = probe::Grab(main.get());
        for (int usage : {0x1A, 0x04, 0x16, 0x07, 0x68, 0x3A, 0xCD}) picture->SetKeyChecked(usage, true);
        // The mouse resting on G.
        CoordButton g;
        ASSERT_TRUE(picture->GetKeyInfo(0x0A, &g));
        const QPointF at = QRectF(g.Rect()).center();
        QMouseEvent move(QEvent::MouseMove, at, picture->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(picture, &move);
        EXPECT_EQ(picture->TipText(), QStringLiteral("G"));
        // With the shipped pictures: marked keys (a letter, a consumer key) and the
        // hovered one look different from before, an untouched key does not.
        const QImage marked = probe::Grab(main.get());
        const QPoint origin = probe::RectIn(main.get(), picture).topLeft();
        for (int usage : {0x04, 0xCD, 0x0A, 0x05}) {
            CoordButton key;
            ASSERT_TRUE(picture->GetKeyInfo(usage, &key));
            const int changed = probe::Differing(unmarked, marked, key.Rect().translated(origin));
            if (usage == 0x05)
                EXPECT_EQ(changed, 0) << "B changed";
            else
                EXPECT_GT(changed, key.Rect().width()) << "key " << usage << " looks as before";
        }
        Save(main.get(), QStringLiteral("uires_XML_MAINWND_marked_") + c.suffix);
#endif

        auto dlg = Render(QStringLiteral("macro"), QStringLiteral("uires_macro_") + c.suffix);
        ASSERT_TRUE(dlg);
        EXPECT_EQ(TextOf(dlg.get(), "btnOK"), QString::fromUtf8(c.okText));
        SampleGroups groups;
        SampleSteps steps;
        auto* groupList = qobject_cast<ui::SListView*>(ui::FindChildByName(dlg.get(), QStringLiteral("macro_group")));
        auto* stepList = qobject_cast<ui::SListView*>(ui::FindChildByName(dlg.get(), QStringLiteral("key_info")));
        ASSERT_TRUE(groupList && stepList);
        groupList->SetAdapter(&groups);
        stepList->SetAdapter(&steps);
        QApplication::processEvents();
        const QImage empty = probe::Grab(dlg.get());
        groupList->SetSel(1);
        stepList->SetSel(1);
        if (auto* keys = qobject_cast<QLabel*>(ui::FindChildByName(dlg.get(), QStringLiteral("text_recording_keys"))))
            keys->setText(QStringLiteral("F13"));
        std::vector<QAbstractButton*> checked;
        for (const char* on : {"chk_macro_fixed_delay", "chk_macro_record"}) {
            auto* b = qobject_cast<QAbstractButton*>(ui::FindChildByName(dlg.get(), QString::fromLatin1(on)));
            ASSERT_TRUE(b) << on;
            b->setChecked(true);
            checked.push_back(b);
        }
        QApplication::processEvents();
        // The filled shot shows what was set: the checked boxes and selected rows
        // look different from before, the unselected first rows do not.
        const QImage filled = probe::Grab(dlg.get());
        for (QAbstractButton* b : checked) {
            EXPECT_TRUE(b->isVisibleTo(dlg.get())) << b->objectName().toStdString();
            EXPECT_GT(probe::Differing(empty, filled, probe::RectIn(dlg.get(), b)), 20)
                << b->objectName().toStdString() << " looks unchecked";
        }
        for (ui::SListView* list : {groupList, stepList}) {
            EXPECT_GT(probe::Differing(empty, filled, probe::RectIn(dlg.get(), list->GetRow(1))), 50)
                << list->objectName().toStdString() << ": the selected row looks like the others";
            EXPECT_EQ(probe::Differing(empty, filled, probe::RectIn(dlg.get(), list->GetRow(0))), 0);
        }
        Save(dlg.get(), QStringLiteral("uires_macro_filled_") + c.suffix);
        auto* pages =
            qobject_cast<ui::STabCtrl*>(ui::FindChildByName(dlg.get(), QStringLiteral("tab_macro_mode_selection")));
        ASSERT_NE(pages, nullptr);
        ASSERT_EQ(pages->GetPageCount(), 4);
        for (int p = 1; p < 4; ++p) {
            pages->SetCurSel(p);
            Save(dlg.get(), QStringLiteral("uires_macro_page%1_").arg(p) + c.suffix);
        }

        auto box = Render(QStringLiteral("SYS_XML_MSGBOX"), QStringLiteral("uires_msgbox_") + c.suffix);
        ASSERT_TRUE(box);
        {
            // The longest question the main window asks, as its message box shows it.
            ui::MessageBoxRequest ask;
            ask.text = ui::TranslatorManager::Tr(
                QStringLiteral("CMainDlg"),
                QStringLiteral("All settings will be restored, are you sure you want to continue?"));
            ask.caption = ui::TranslatorManager::Tr(QStringLiteral("CMainDlg"), QStringLiteral("Warning"));
            ask.type = ui::MB_OKCANCEL;
            ui::MessageBoxDlg dlgBox(ask);
            ASSERT_TRUE(dlgBox.Create());
            dlgBox.setAttribute(Qt::WA_DontShowOnScreen);
            dlgBox.show();
            Save(&dlgBox, QStringLiteral("uires_msgbox_restore_") + c.suffix);
            dlgBox.hide();
        }

        for (const char* res : {"SMENU:menu_tray", "SMENUEX:menu_more"}) {
            ui::PopupMenu menu;
            ASSERT_TRUE(menu.LoadMenu(QString::fromLatin1(res))) << res;
            EXPECT_EQ(menu.ItemIds(), (QList<int>{1, 6}));
            QMenu* m = menu.Menu();
            m->setAttribute(Qt::WA_DontShowOnScreen);
            m->adjustSize();
            m->show();
            const QString file = QStringLiteral("uires_%1_").arg(QString::fromLatin1(res).section(u':', 1)) + c.suffix;
            Save(m, file);
            m->hide();
        }
    }
}

std::vector<std::string>* g_warnings = nullptr;

void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& msg) {
    if (g_warnings && type != QtDebugMsg && type != QtInfoMsg) g_warnings->push_back(msg.toStdString());
}

TEST_F(UiresRender, StyleSheetParses) {
    // Qt drops a whole style sheet that does not parse, with nothing but a warning.
    std::vector<std::string> warnings;
    g_warnings = &warnings;
    const QtMessageHandler previous = qInstallMessageHandler(CollectWarnings);
    ASSERT_TRUE(ui_->LoadUiDef(QStringLiteral("UIDEF:XML_INIT")));
    ui::LayoutLoader loader(*ui_);
    std::unique_ptr<QWidget> w(loader.LoadLayout(QStringLiteral("LAYOUT:macro"), nullptr));
    ASSERT_TRUE(w);
    w->setAttribute(Qt::WA_DontShowOnScreen);
    w->show();
    QApplication::processEvents();
    qInstallMessageHandler(previous);
    g_warnings = nullptr;
    for (const std::string& m : warnings) EXPECT_EQ(m.find("style"), std::string::npos) << m;
    EXPECT_FALSE(qApp->styleSheet().isEmpty());
}

TEST_F(UiresRender, LookupsFindEveryWidgetByNameAndId) {
    // What the windows do at initialisation: find by name or id anywhere in the
    // tree, with a class check. Row-template widgets live in the rows, not the tree.
    std::map<std::string, std::unique_ptr<QWidget>> roots;
    for (const uires::Expected& e : uires::kWidgets) {
        SCOPED_TRACE(std::string(e.layout) + ": " + e.name);
        const std::string inside = e.inside ? e.inside : "";
        if (inside == "macro_group" || inside.rfind("col", 0) == 0) continue;
        auto& root = roots[e.layout];
        if (!root) {
            ui::LayoutLoader loader(*ui_);
            root.reset(loader.LoadLayout(QStringLiteral("LAYOUT:") + QString::fromLatin1(e.layout), nullptr));
            ASSERT_TRUE(root);
#ifdef KBCONF_HAVE_WIDGETS
            EXPECT_TRUE(loader.UnknownClasses().isEmpty()) << loader.UnknownClasses().join(u',').toStdString();
#endif
        }
        QWidget* byName = ui::FindChildByName(root.get(), QString::fromLatin1(e.name), QString::fromLatin1(e.cls));
        EXPECT_NE(byName, nullptr) << "not found as " << e.cls;
        if (const int id = ui::FindNamedId(e.name); id != 0 && byName) {
            EXPECT_EQ(ui::FindChildById(root.get(), id, QString::fromLatin1(e.cls)), byName) << "id " << id;
        }
    }
}

TEST_F(UiresRender, KeyboardPicturesMatchTheCoordinateFile) {
    pugi::xml_document doc = uires::Load("keyboard/keyboard.xml");
    const QSize size(doc.child("positions").attribute("width").as_int(),
                     doc.child("positions").attribute("height").as_int());
    ASSERT_FALSE(size.isEmpty());
    for (const char* name : {"bg", "chking", "chked"}) {
        SCOPED_TRACE(name);
        const QImage one(Uires() + "/keyboard/" + name + ".png");
        const QImage two(Uires() + "/keyboard/" + name + "@2x.png");
        EXPECT_EQ(one.size(), size) << "the widget cuts key areas out at the file's coordinates";
        EXPECT_EQ(two.size(), size * 2);
        EXPECT_TRUE(one.hasAlphaChannel());
    }

    // The pictures were drawn from this file: at every key's edge the background
    // lets the key colour through and the checked look is lit. A key moved in the
    // file without redrawing the pictures fails here.
    const QImage bgImage(Uires() + "/keyboard/bg.png"), checkedImage(Uires() + "/keyboard/chked.png");
    for (pugi::xml_node k : doc.child("positions").children()) {
        int x = 0, y = 0, w = 0, h = 0;
        std::sscanf(k.attribute("rect").value(), "%d,%d,%d,%d", &x, &y, &w, &h);
        const QPoint ring(x + 2, y + h / 2);
        EXPECT_EQ(qAlpha(bgImage.pixel(ring)), 0) << k.attribute("name").value();
        EXPECT_EQ(qAlpha(checkedImage.pixel(ring)), 255) << k.attribute("name").value();
    }

    // What the picture shows: key colours, then the background, then the checked look of a few keys.
    QImage shot(size, QImage::Format_ARGB32_Premultiplied);
    shot.fill(QColor(0x17, 0x1a, 0x21));
    const QImage bg(Uires() + "/keyboard/bg.png"), chked(Uires() + "/keyboard/chked.png"),
        chking(Uires() + "/keyboard/chking.png");
    QPainter p(&shot);
    int i = 0;
    for (pugi::xml_node k : doc.child("positions").children()) {
        int x = 0, y = 0, w = 0, h = 0;
        std::sscanf(k.attribute("rect").value(), "%d,%d,%d,%d", &x, &y, &w, &h);
        p.fillRect(QRect(x, y, w, h), QColor(QString::fromLatin1(k.attribute("color").value())));
    }
    p.drawImage(QRect(QPoint(), size), bg);
    for (pugi::xml_node k : doc.child("positions").children()) {
        int x = 0, y = 0, w = 0, h = 0;
        std::sscanf(k.attribute("rect").value(), "%d,%d,%d,%d", &x, &y, &w, &h);
        const QRect r(x, y, w, h);
        if (i % 17 == 3)
            p.drawImage(r, chked, r);
        else if (i == 40)
            p.drawImage(r, chking, r);
        ++i;
    }
    p.end();
    EXPECT_TRUE(shot.save(Shot("uires_keyboard_marked.png")));
}

TEST_F(UiresRender, SkinPicturesHoldWholeFrames) {
    pugi::xml_document doc = uires::Load("values/skin.xml");
    int count = 0;
    QImage sheet(800, 1100, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0x0f, 0x11, 0x15));
    QPainter painter(&sheet);
    painter.setPen(QColor(0x8a, 0x93, 0xa6));
    int y = 8;
    for (pugi::xml_node s : doc.child("skin").children("imgframe")) {
        const QString src = QString::fromUtf8(s.attribute("src").value());
        SCOPED_TRACE(src.toStdString());
        const int states = s.attribute("states").as_int(1);
        const QString path = ui_->Provider().FilePath(src);
        ASSERT_FALSE(path.isEmpty()) << "no picture";
        const QImage one(path);
        ASSERT_FALSE(one.isNull());
        EXPECT_EQ(one.width() % states, 0) << one.width() << " px for " << states << " frames";
        // A contact sheet of every skin, frames side by side, for people to look at.
        painter.drawText(QRect(8, y, 160, std::max(one.height(), 16)), Qt::AlignVCenter,
                         QString::fromUtf8(s.attribute("name").value()));
        painter.drawImage(QPoint(172, y), one);
        y += std::max(one.height(), 16) + 8;
        const QString twin = ui_->Provider().FilePath(src + "@2x");
        if (!twin.isEmpty()) {
            EXPECT_EQ(QImage(twin).size(), one.size() * 2);
        }
        ++count;
    }
    painter.end();
    EXPECT_TRUE(sheet.copy(0, 0, sheet.width(), std::min(y, sheet.height())).save(Shot("uires_skins.png")));
    EXPECT_GT(count, 10);
    const QImage icon(ui_->Provider().FilePath(QStringLiteral("ICON:ICON_LOGO")));
    EXPECT_EQ(icon.size(), QSize(256, 256));
}
