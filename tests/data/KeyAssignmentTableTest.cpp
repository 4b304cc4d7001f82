#include "data/KeyAssignmentTable.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "data/FileSizeLimit.h"
#include "data/TempDir.h"

namespace {

class KeyAssignmentTableTest : public ::testing::Test {
protected:
    KeyAssignmentTable& table = KeyAssignmentTable::Instance();
    TempDir dir;
    void SetUp() override { table.ResetForTest(); }
    void TearDown() override { table.ResetForTest(); }

    std::vector<std::int32_t> Codes() const {
        std::vector<std::int32_t> out;
        for (const KeyAssignment& a : *table.Snapshot()) out.push_back(a.code);
        return out;
    }
};

KeyAssignment Entry(std::int32_t code, std::string group = "g") {
    KeyAssignment a;
    a.code = code;
    a.type = KeyAssignment::SingleKey;
    a.value = 9;
    a.play = 1;
    a.repeat = 1;
    a.name = "key";
    a.group = std::move(group);
    a.steps = {MacroStep{0x70004, 1, 0, "A"}};
    return a;
}

TEST_F(KeyAssignmentTableTest, GoldenFileLoadsAndSavesTheSameBytes) {
    const std::string path = dir.File("record.xml");
    const std::string golden = ReadText(TestData("record.xml"));
    WriteText(path, golden);
    ASSERT_TRUE(table.Load(path));
    const auto entries = table.Snapshot();
    ASSERT_EQ(entries->size(), 3u);
    EXPECT_EQ((*entries)[0].code, 0x70029);
    EXPECT_EQ((*entries)[1].play, -1);
    EXPECT_EQ((*entries)[1].steps[1].delay, -1);
    EXPECT_EQ((*entries)[1].group, "\xe5\xae\x8f 1");
    EXPECT_TRUE((*entries)[2].steps.empty());
    ASSERT_TRUE(table.Save());
    EXPECT_EQ(ReadText(path), golden);

    // Loading again replaces, it does not append.
    ASSERT_TRUE(table.Load(path));
    EXPECT_EQ(table.Snapshot()->size(), 3u);
}

TEST_F(KeyAssignmentTableTest, WrittenForm) {
    ASSERT_FALSE(table.Load(dir.File("record.xml")));  // missing: nothing written
    EXPECT_FALSE(std::filesystem::exists(dir.File("record.xml")));
    KeyAssignment a = Entry(0x70029);
    a.steps[0].state = -1;
    a.steps[0].code = -2;
    a.repeat = -3;
    ASSERT_TRUE(table.SetAssignment(a));
    EXPECT_EQ(ReadText(dir.File("record.xml")),
              "<?xml version=\"1.0\"?>\n"
              "<record code=\"70029\" play=\"1\" type=\"1\" repeat=\"-3\" name=\"key\" group=\"g\">\n"
              "\t<item code=\"fffffffe\" state=\"4294967295\" delay=\"0\" name=\"A\" />\n"
              "</record>\n");
    ASSERT_TRUE(table.ClearAll());
    EXPECT_EQ(ReadText(dir.File("record.xml")), "<?xml version=\"1.0\"?>\n");
    ASSERT_TRUE(table.Load(dir.File("record.xml")));
    EXPECT_TRUE(table.Snapshot()->empty());
}

TEST_F(KeyAssignmentTableTest, CodesAreReadAsSignedHexAndClamped) {
    const struct {
        const char* code;
        std::int32_t value;
    } cases[] = {
        {"70004", 0x70004},
        {"0x70004", 0x70004},
        {"0X70004", 0x70004},
        {" +70004", 0x70004},
        {"-1", -1},
        {"7fffffff", 0x7FFFFFFF},
        {"80000000", 0x7FFFFFFF},
        {"ffffffff", 0x7FFFFFFF},
        {"123456789abc", 0x7FFFFFFF},
        {"zz", 0},
        {"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(table.LoadFromBuffer(std::string("<r code=\"") + c.code + "\"><s code=\"" + c.code + "\"/></r>"));
        ASSERT_EQ(table.Snapshot()->size(), 1u);
        EXPECT_EQ(table.Snapshot()->at(0).code, c.value);
        EXPECT_EQ(table.Snapshot()->at(0).steps.at(0).code, c.value);
    }
}

TEST_F(KeyAssignmentTableTest, LenientAttributesAndAnyElementNames) {
    ASSERT_TRUE(
        table.LoadFromBuffer("<a type=\"-1\" repeat=\" 3x\" play=\"-7\">text<b state=\"1\" delay=\"-1\"/><c/></a>"
                             "<other/>"));
    const auto entries = table.Snapshot();
    ASSERT_EQ(entries->size(), 2u);
    const KeyAssignment& a = (*entries)[0];
    EXPECT_EQ(a.type, -1);
    EXPECT_EQ(a.repeat, 3);
    EXPECT_EQ(a.play, -7);
    EXPECT_EQ(a.value, 0);
    ASSERT_EQ(a.steps.size(), 2u);
    EXPECT_EQ(a.steps[0], (MacroStep{0, 1, -1, ""}));
    EXPECT_EQ((*entries)[1], KeyAssignment{});
}

TEST_F(KeyAssignmentTableTest, BrokenFileLeavesEntries) {
    table.SetAssignment(Entry(1));
    const std::string path = dir.File("record.xml");
    WriteText(path, "<record code=\"5\">");
    EXPECT_FALSE(table.Load(path));
    EXPECT_EQ(Codes(), std::vector<std::int32_t>{1});
    EXPECT_EQ(ReadText(path), "<record code=\"5\">");
    EXPECT_FALSE(table.Load(""));
}

// `records` records holding `steps` steps between them.
std::string RecordFile(size_t records, size_t steps) {
    std::string s;
    for (size_t r = 0; r < records; ++r) {
        s += "<record code=\"" + std::to_string(r) + "\">";
        for (size_t i = r; i < steps; i += records) s += "<item code=\"7002e\" state=\"1\" delay=\"9\" name=\"=\"/>";
        s += "</record>\n";
    }
    return s;
}

std::string Repeat(const std::string& unit, size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += unit;
    return s;
}

TEST_F(KeyAssignmentTableTest, FilesBeyondTheLimitsAreBrokenAndKeptAsTheyAre) {
    constexpr size_t kRecords = KeyAssignmentTable::kMaxRecords, kSteps = KeyAssignmentTable::kMaxSteps;
    constexpr XmlLimits kLimits = KeyAssignmentTable::kFileLimits;
    const std::string path = dir.File("record.xml");
    WriteText(path, RecordFile(kRecords, kSteps));
    ASSERT_TRUE(table.Load(path));
    EXPECT_EQ(table.Snapshot()->size(), kRecords);

    const struct {
        const char* what;
        std::string contents;
    } cases[] = {
        {"a record too many", RecordFile(kRecords + 1, kSteps)},
        {"a step too many", RecordFile(kRecords, kSteps + 1)},
        {"too large", RecordFile(1, 1) + std::string(kLimits.maxBytes, ' ')},
        {"too many tags", RecordFile(1, 1) + Repeat("<!---->", kLimits.maxTags)},
        {"too many attributes", "<record" + Repeat(" a=\"\"", kLimits.maxAttributes + 1) + "/>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        table.ResetForTest();
        table.SetAssignment(Entry(1));
        WriteText(path, c.contents);
        EXPECT_FALSE(table.Load(path));
        EXPECT_EQ(Codes(), std::vector<std::int32_t>{1});
        EXPECT_EQ(ReadText(path), c.contents);  // never rewritten because of it
    }
}

// What the table saves must load again, so changes stop at the limits.
TEST_F(KeyAssignmentTableTest, ChangesBeyondTheLimitsAreRefused) {
    const std::string path = dir.File("record.xml");
    table.Load(path);
    KeyAssignment big = Entry(1);
    big.steps.assign(KeyAssignmentTable::kMaxSteps, MacroStep{0x70067, 1, 10, "Keypad ="});
    ASSERT_TRUE(table.SetAssignment(big));
    const std::string saved = ReadText(path);
    EXPECT_FALSE(table.SetAssignment(Entry(2)));  // one step more
    EXPECT_EQ(Codes(), std::vector<std::int32_t>{1});
    EXPECT_EQ(ReadText(path), saved);
    ASSERT_TRUE(table.Load(path));
    EXPECT_EQ(table.Snapshot()->front().steps.size(), KeyAssignmentTable::kMaxSteps);
    EXPECT_TRUE(table.SetAssignment(Entry(1)));  // a replacement may shrink it

    WriteText(path, RecordFile(KeyAssignmentTable::kMaxRecords, 0));
    ASSERT_TRUE(table.Load(path));
    EXPECT_FALSE(table.SetAssignment(Entry(100000)));  // one record more
    EXPECT_TRUE(table.SetAssignment(Entry(7)));        // replaces record 7
    EXPECT_EQ(table.Snapshot()->size(), KeyAssignmentTable::kMaxRecords);
}

TEST_F(KeyAssignmentTableTest, SetRemoveClear) {
    table.Load(dir.File("record.xml"));
    table.SetAssignment(Entry(1));
    table.SetAssignment(Entry(2));
    table.SetAssignment(Entry(3));
    table.SetAssignment(Entry(2, "new"));  // replaced in place
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(KeyAssignmentTable::Find(*table.Snapshot(), 2)->group, "new");
    EXPECT_EQ(KeyAssignmentTable::Find(*table.Snapshot(), 2)->value, 9);
    EXPECT_EQ(KeyAssignmentTable::Find(*table.Snapshot(), 4), nullptr);

    const std::string saved = ReadText(dir.File("record.xml"));
    EXPECT_TRUE(table.RemoveAssignment(1));
    EXPECT_FALSE(table.RemoveAssignment(1));
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{2, 3}));
    EXPECT_EQ(ReadText(dir.File("record.xml")), saved);  // remove does not save
    ASSERT_TRUE(table.Save());
    EXPECT_EQ(ReadText(dir.File("record.xml")).find("code=\"1\""), std::string::npos);
    ASSERT_TRUE(table.ClearAll());
    EXPECT_TRUE(Codes().empty());
}

TEST_F(KeyAssignmentTableTest, SaveFailingPartWayKeepsThePreviousFile) {
    const std::string path = dir.File("record.xml");
    table.Load(path);
    ASSERT_TRUE(table.SetAssignment(Entry(1)));
    const std::string previous = ReadText(path);
    KeyAssignment big = Entry(2);
    big.steps.assign(200, MacroStep{0x70004, 1, 10, "A"});
    bool ok = true;
    {
        FileSizeLimit limit(previous.size() + 10);
        ASSERT_TRUE(limit.active());
        ok = table.SetAssignment(big);
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(ReadText(path), previous);
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{1, 2}));  // memory keeps the change
    EXPECT_EQ(dir.EntryCount(), 1u);
    EXPECT_TRUE(table.Save());  // and the next save writes it
}

TEST_F(KeyAssignmentTableTest, SnapshotStaysConsistentWhileChanged) {
    const auto before = table.Snapshot();
    table.SetAssignment(Entry(1));
    EXPECT_TRUE(before->empty());  // a held snapshot never changes
    EXPECT_EQ(table.Snapshot()->size(), 1u);
}

// The filter listener reads from its own thread while the UI thread changes
// the table: every snapshot must be a whole, valid list.
TEST_F(KeyAssignmentTableTest, ConcurrentReaderSeesWholeLists) {
    std::atomic<bool> done{false};
    std::atomic<long> reads{0};
    std::atomic<bool> torn{false};
    std::thread reader([&] {
        while (!done.load()) {
            const auto snap = table.Snapshot();
            // Each writer step leaves codes 1..n, each with its own group text.
            for (size_t i = 0; i < snap->size(); ++i) {
                const KeyAssignment& a = (*snap)[i];
                if (a.code != static_cast<std::int32_t>(i + 1) || a.group != std::to_string(a.code) ||
                    a.steps.size() != 1)
                    torn = true;
            }
            ++reads;
        }
    });
    for (int round = 0; round < 200; ++round) {
        for (int code = 1; code <= 8; ++code) table.SetAssignment(Entry(code, std::to_string(code)));
        for (int code = 8; code >= 1; --code) table.RemoveAssignment(code);
    }
    done = true;
    reader.join();
    EXPECT_FALSE(torn.load());
    EXPECT_GT(reads.load(), 0);
}

}  // namespace
