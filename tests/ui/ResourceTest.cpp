#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ui/NamedIds.h"
#include "ui/ResourceProvider.h"

namespace {

TEST(NamedIds, TableIsCompleteSortedAndExact) {
    auto table = ui::NamedIdTable();
    ASSERT_EQ(table.size(), 69u);
    EXPECT_EQ(table[0].name, "_name_start");
    EXPECT_EQ(table[0].id, 0xFFFF);
    for (std::size_t i = 1; i < table.size(); ++i) EXPECT_LT(table[i - 1].name, table[i].name);

    // Ids 0x10000..0x10043 each appear exactly once.
    std::vector<int> ids;
    for (auto& e : table)
        if (e.id != 0xFFFF) ids.push_back(e.id);
    std::sort(ids.begin(), ids.end());
    ASSERT_EQ(ids.size(), 68u);
    for (int i = 0; i < 68; ++i) EXPECT_EQ(ids[i], 0x10000 + i);
}

TEST(NamedIds, LookupBothWays) {
    struct Case {
        const char* name;
        int id;
    } cases[] = {
        {"title", 0x10000},
        {"img_keyboard", 0x10003},
        {"tab_macro_mode_selection", 65564},
        {"chk_macro_realy_delay", 0x10032},
        {"btnOK", 0x1003B},
        {"button3rd", 0x10043},
        {"col1", 0x10028},
        {"key_delay", 0x1002F},
        {"msgtext", 0x1003F},
    };
    for (auto& c : cases) {
        EXPECT_EQ(ui::FindNamedId(c.name), c.id) << c.name;
        EXPECT_EQ(ui::FindIdName(c.id), c.name);
    }
    EXPECT_EQ(ui::FindNamedId("chk_macro_really_delay"), 0);  // the real spelling is not an entry
    EXPECT_EQ(ui::FindNamedId("BTNOK"), 0);                   // names are case-sensitive
    EXPECT_TRUE(ui::FindIdName(0x10044).empty());
}

class ProviderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        Write("layout/XML_MAINWND.ui", "main");
        Write("layout/macro.ui", "dialog");
        Write("layout/Macro2.ui", "upper");
        Write("values/string.xml", "strings");
        Write("Translator/lang_cn.xml", "cn");
        Write("img/a.png", "a-png");
        Write("img/a.svg", "a-svg");
    }
    void Write(const QString& rel, const QByteArray& data) {
        const QString path = dir_.filePath(rel);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QTemporaryDir dir_;
};

TEST_F(ProviderTest, MapsTypeAndNameToFiles) {
    ui::ResourceProvider p(dir_.path());
    struct Case {
        const char* res;
        QByteArray content;
    } cases[] = {
        {"LAYOUT:XML_MAINWND", "main"},
        {"layout:xml_mainwnd", "main"},  // type and name case-insensitive
        {"LAYOUT:macro", "dialog"},
        {"LAYOUT:MACRO2", "upper"},
        {"values:string", "strings"},
        {"translator:lang_cn", "cn"},  // folder written in other case
        {"img:a", "a-png"},            // first file by sorted name wins
        {"a", "a-png"},                // no type means an image
        {"LAYOUT:missing", ""},
        {"values:", ""},
        {"nosuchtype:x", ""},
    };
    for (auto& c : cases) EXPECT_EQ(p.Read(c.res), c.content) << c.res;
    EXPECT_TRUE(p.Exists("layout:macro"));
    EXPECT_FALSE(p.Exists("layout:mac"));
}

TEST_F(ProviderTest, ExactNameBeatsCaseInsensitiveMatch) {
    Write("layout/MACRO.ui", "shouting");
    ui::ResourceProvider p(dir_.path());
    EXPECT_EQ(p.Read("LAYOUT:macro"), "dialog");
    EXPECT_EQ(p.Read("LAYOUT:MACRO"), "shouting");
}

TEST(ProviderSource, TreeResourcesNamedByTheShellResolve) {
    ui::ResourceProvider p(QStringLiteral(KBCONF_SOURCE_DIR "/uires"));
    if (!QFileInfo(p.Root() + "/layout").isDir()) GTEST_SKIP() << "resources not in the tree yet";
    for (const char* res : {"UIDEF:XML_INIT", "LAYOUT:XML_MAINWND", "LAYOUT:macro", "LAYOUT:SYS_XML_MSGBOX",
                            "values:string", "values:color", "values:skin", "ICON:ICON_LOGO", "translator:lang_cn",
                            "translator:lang_en", "SMENU:menu_tray", "SMENUEX:menu_more", "kb_macro:bg_png"})
        EXPECT_TRUE(p.Exists(res)) << res;
}

}  // namespace
