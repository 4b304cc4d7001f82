#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <memory>

#include "QtTestApp.h"
#include "ui/HostWindow.h"
#include "ui/SEdit.h"
#include "ui/SListView.h"
#include "ui/SMCListView.h"
#include "ui/UiApp.h"

namespace {

const QByteArray kLayout = R"(<ui version="4.0"><widget class="window" name="root">
  <property name="geometry"><rect><x>0</x><y>0</y><width>500</width><height>200</height></rect></property>
  <widget class="listview" name="macro_group">
    <property name="geometry"><rect><x>0</x><y>0</y><width>150</width><height>100</height></rect></property>
    <widget class="window" name="template">
      <property name="geometry"><rect><x>0</x><y>0</y><width>150</width><height>25</height></rect></property>
      <widget class="edit" name="group_name">
        <property name="geometry"><rect><x>2</x><y>2</y><width>140</width><height>21</height></rect></property>
      </widget>
    </widget>
  </widget>
  <widget class="mclistview" name="key_info">
    <property name="geometry"><rect><x>160</x><y>0</y><width>330</width><height>130</height></rect></property>
    <property name="headers"><string>Code|Key|State|Delay</string></property>
    <property name="colWidths"><string>60,100,80,90</string></property>
    <widget class="window" name="template">
      <property name="geometry"><rect><x>0</x><y>0</y><width>330</width><height>20</height></rect></property>
      <widget class="window" name="col1"><widget class="text" name="key_code"/></widget>
      <widget class="window" name="col2"><widget class="text" name="key_name"/></widget>
      <widget class="window" name="col3"><widget class="text" name="key_state"/></widget>
      <widget class="window" name="col4"><widget class="editex" name="key_delay"/></widget>
    </widget>
  </widget>
</widget></ui>)";

class NamesAdapter : public ui::ListAdapter {
public:
    QStringList names;
    int fills = 0;
    int GetCount() const override { return int(names.size()); }
    void FillRow(int row, QWidget* w, const ui::RowTemplate& tpl) override {
        ++fills;
        BuildIfEmpty(w, tpl);
        auto* edit = ui::FindChildByName2<ui::SEdit>(w, "group_name");
        ASSERT_TRUE(edit);
        ui::SetItemIndex(edit, row);
        edit->setText(names[row]);
    }
};

class StepsAdapter : public ui::McListAdapter {
public:
    int count = 0;
    int GetCount() const override { return count; }
    void FillRow(int row, QWidget* w, const ui::RowTemplate& tpl) override {
        BuildIfEmpty(w, tpl);
        qobject_cast<QLabel*>(ui::FindChildByName(w, "key_code"))->setText(QString::number(row, 16));
    }
    bool OnSort(int column, QVector<ui::SortMark>& marks) override {
        const ui::SortMark next =
            marks[column] == ui::SortMark::Ascending ? ui::SortMark::Descending : ui::SortMark::Ascending;
        marks.fill(ui::SortMark::None);
        marks[column] = next;
        return true;
    }
};

class ListViews : public ::testing::Test {
protected:
    void SetUp() override {
        testutil::App();
        testutil::WriteFile(dir_, "layout/lists.ui", kLayout);
        app_ = std::make_unique<ui::UiApp>(dir_.path(), true);
        host_ = std::make_unique<ui::HostWindow>(QStringLiteral("LAYOUT:lists"));
        ASSERT_TRUE(host_->Create());
        groups_ = host_->FindChildByName2<ui::SListView>("macro_group");
        steps_ = host_->FindChildByName2<ui::SMCListView>("key_info");
        ASSERT_TRUE(groups_ && steps_);
        host_->On(ui::ev::kSelChanged, QStringLiteral("macro_group"), [this](ui::EventArgs& a) {
            selEvents_.push_back({a.cur, a.prev});
            return true;
        });
    }

    QTemporaryDir dir_;
    std::unique_ptr<ui::UiApp> app_;
    std::unique_ptr<ui::HostWindow> host_;
    ui::SListView* groups_ = nullptr;
    ui::SMCListView* steps_ = nullptr;
    std::vector<std::pair<int, int>> selEvents_;
};

TEST_F(ListViews, RowsComeFromTheTemplateAndCarryTheirIndex) {
    EXPECT_FALSE(groups_->GetRowTemplate().IsEmpty());
    EXPECT_EQ(groups_->ItemHeight(), 25);
    EXPECT_EQ(ui::FindChildByName(groups_, "template"), nullptr);  // the template left the view
    NamesAdapter a;
    a.names = {"Group 0", "Group 1", "Group 2"};
    groups_->SetAdapter(&a);
    ASSERT_EQ(groups_->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QWidget* row = groups_->GetRow(i);
        EXPECT_EQ(ui::ItemIndex(row), i);
        auto* edit = ui::FindChildByName2<ui::SEdit>(row, "group_name");
        EXPECT_EQ(edit->text(), a.names[i]);
        EXPECT_EQ(ui::ItemIndex(edit), i);
    }
    // A refresh fills the same row widgets again rather than building new ones.
    QWidget* firstEdit = ui::FindChildByName(groups_->GetRow(0), "group_name");
    a.names[0] = "Renamed";
    a.NotifyDataSetChanged();
    EXPECT_EQ(ui::FindChildByName(groups_->GetRow(0), "group_name"), firstEdit);
    EXPECT_EQ(qobject_cast<ui::SEdit*>(firstEdit)->text(), "Renamed");
}

TEST_F(ListViews, SelectionWithAndWithoutNotificationAndOnRefresh) {
    NamesAdapter a;
    a.names = {"a", "b", "c"};
    groups_->SetAdapter(&a);
    groups_->SetSel(2);
    EXPECT_EQ(groups_->GetSel(), 2);
    EXPECT_TRUE(selEvents_.empty());
    groups_->SetSel(1, true);
    EXPECT_EQ(selEvents_, (std::vector<std::pair<int, int>>{{1, 2}}));
    groups_->SetSel(5);
    EXPECT_EQ(groups_->GetSel(), -1);

    groups_->SetSel(2);
    a.names.removeLast();  // the selected row goes away
    a.NotifyDataSetChanged();
    EXPECT_EQ(groups_->GetSel(), -1);
    groups_->SetSel(1);
    a.names << "d";
    a.NotifyDataSetChanged();
    EXPECT_EQ(groups_->GetSel(), 1);  // still in range: kept
}

TEST_F(ListViews, ArrowKeysMoveTheSelection) {
    NamesAdapter a;
    a.names = {"a", "b", "c"};
    groups_->SetAdapter(&a);
    auto key = [&](Qt::Key k) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(groups_, &e);
    };
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);  // stays on the last row
    key(Qt::Key_Up);
    EXPECT_EQ(groups_->GetSel(), 1);
    EXPECT_EQ(selEvents_, (std::vector<std::pair<int, int>>{{0, -1}, {1, 0}, {2, 1}, {1, 2}}));
}

TEST_F(ListViews, ClickingInsideARowSelectsItThenReportsTheClick) {
    NamesAdapter a;
    a.names = {"a", "b", "c"};
    groups_->SetAdapter(&a);
    int clickedRow = -1, selAtClick = -2;
    ui::Subscribe(groups_->GetRow(2), ui::ev::kItemClick, [&](ui::EventArgs& e) {
        clickedRow = e.cur;
        selAtClick = groups_->GetSel();
        return true;
    });
    QWidget* edit = ui::FindChildByName(groups_->GetRow(2), "group_name");
    testutil::Mouse(edit, QEvent::MouseButtonPress, {3, 3});
    EXPECT_EQ(clickedRow, 2);
    EXPECT_EQ(selAtClick, 2);  // the selection is already there when the click is reported
    EXPECT_EQ(selEvents_, (std::vector<std::pair<int, int>>{{2, -1}}));
}

TEST_F(ListViews, ScrollPositionIsClampedToTheMaximum) {
    StepsAdapter a;
    a.count = 50;
    steps_->SetAdapter(&a);
    steps_->resize(330, 130);
    const int max = steps_->GetScrollMax();
    EXPECT_EQ(max, 50 * 20 - (130 - 28));  // rows minus the view below the header
    steps_->SetScrollPos(1000000);
    EXPECT_EQ(steps_->GetScrollPos(), max);
    steps_->SetScrollPos(-5);
    EXPECT_EQ(steps_->GetScrollPos(), 0);
    a.count = 2;
    a.NotifyDataSetChanged();
    steps_->SetScrollPos(1000000);
    EXPECT_EQ(steps_->GetScrollPos(), 0);  // everything fits
}

TEST_F(ListViews, CellsFollowTheColumnsAndHeaderClicksSetSortMarks) {
    StepsAdapter a;
    a.count = 3;
    steps_->SetAdapter(&a);
    steps_->resize(330, 130);
    QWidget* row = steps_->GetRow(1);
    EXPECT_EQ(qobject_cast<QLabel*>(ui::FindChildByName(row, "key_code"))->text(), "1");
    const int xs[] = {0, 60, 160, 240};
    for (int c = 0; c < 4; ++c) {
        QWidget* cell = ui::FindChildByName(row, QString("col%1").arg(c + 1));
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->mapTo(row, QPoint(0, 0)).x(), xs[c]) << c;
    }
    EXPECT_TRUE(ui::IsClass(ui::FindChildByName(row, "key_delay"), "editex") ||
                ui::ClassName(ui::FindChildByName(row, "key_delay")) == "window");  // editex needs the widgets library

    int headerClicks = 0;
    host_->On(ui::ev::kHeaderClick, QStringLiteral("key_info"), [&](ui::EventArgs& e) {
        headerClicks += e.cur + 1;
        return true;
    });
    using M = ui::SortMark;
    steps_->ClickHeader(1);
    EXPECT_EQ(steps_->SortMarks(), (QVector<M>{M::None, M::Ascending, M::None, M::None}));
    steps_->ClickHeader(1);
    EXPECT_EQ(steps_->SortMarks(), (QVector<M>{M::None, M::Descending, M::None, M::None}));
    // Through the header itself, on column 3.
    ui::SHeaderCtrl* header = steps_->Header();
    header->resize(330, 28);
    testutil::Mouse(header, QEvent::MouseButtonPress, header->ColumnRect(3).center());
    EXPECT_EQ(steps_->SortMarks(), (QVector<M>{M::None, M::None, M::None, M::Ascending}));
    EXPECT_EQ(headerClicks, 2 + 2 + 4);
    EXPECT_EQ(header->Caption(2), "State");
}

TEST_F(ListViews, RowsMayGoAwayDuringTheirOwnClick) {
    NamesAdapter a;
    a.names = {"a", "b"};
    groups_->SetAdapter(&a);
    ui::Subscribe(groups_->GetRow(1), ui::ev::kItemClick, [&](ui::EventArgs&) {
        a.names.clear();
        a.NotifyDataSetChanged();  // e.g. "delete group" from the row's own click
        return true;
    });
    testutil::Mouse(groups_->GetRow(1), QEvent::MouseButtonPress, {3, 3});
    EXPECT_EQ(groups_->GetCount(), 0);
    QApplication::processEvents();  // the row is deleted later, not under its own event
}

}  // namespace
