#include "billlist/model/list_actions.h"
#include "billlist/model/list_query.h"
#include "core/sql_helpers.h"
#include "grid/grid_columns.h"
#include "test_db.h"

#include <tuple>

using namespace protask;
using namespace protask::testing;
using namespace Qt::StringLiterals;

namespace {

const ListDateRange kAllDates{false, {}, {}};
const ListDateRange kDecember{true, QDate(2026, 12, 1), QDate(2026, 12, 31)};

// The bill numbers the task list shows, in its order: "RWD2 RWD6".
QString listed(const ListDateRange &range, const ListFind &find, ListQueryShape shape)
{
    TDataSet q(Db());
    OpenQuery(q, BuildListQuery(3049, range, find, shape).sql);
    QStringList numbers;
    for (q.first(); !q.eof(); q.next())
        numbers << q.fieldByName(u"FBillNo"_s).toString();
    return numbers.join(u' ');
}

// Six tasks around December 2026. RWD1 ends November a second before midnight, RWD2 starts
// December at midnight, RWD4 is on the last day at 23:59 and RWD5 at midnight after it.
// RWD2 has two lines that carry the same mark; RWD6 has no lines at all.
class ListQuery : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ExecScript(
            u"insert into t_comUnit(FID,FNo,FName,FCode) values (1,'U1','把','B');"
            "insert into t_comProducts(FID,FNo,FName,FCode,FProductDefined1) values (1,'CP001','办公椅','BGY',null),"
            " (2,'CL001','螺栓','LS','镀锌'), (3,'CL002','油漆','YQ',null);"
            "insert into t_comEmployee(FID,FNo,FName,FCode) values (1,'E1','O''Brien','OB'), (2,'E2','张伟','ZW');"
            "insert into t_comdepartment(FID,FNo,FName,FCode) values (1,'D1','生产部','SCB'), (2,'D2','装配部','ZPB');"
            "insert into t_comUser(FID,FName) values (1,'系统管理员');"
            "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FProductID,FUnitID,FNumber,FManagerID,FDeptID,FBillerID,"
            "FNote,FFormDefined2,FIsChecked) values"
            " (1,'RWD1','2026-11-30 23:59:59',1,1,1,2,2,1,'十一月',null,0),"
            " (2,'RWD2','2026-12-01 00:00:00',1,1,2,2,2,1,'50% 预付',null,0),"
            " (3,'RWD3','2026-12-15 18:00:00',1,1,3,1,2,1,'500件',null,0),"
            " (4,'RWD4','2026-12-31 23:59:00',1,1,4,2,2,1,'A_B',null,1),"
            " (5,'RWD5','2027-01-01 00:00:00',1,1,5,2,2,1,'AXB',null,0),"
            " (6,'RWD6','2026-12-10 09:00:00',1,1,6,2,1,1,null,'C:\\\\TEMP',null);"
            "insert into t_ProTaskList(FID,FFormID,FSID,FProductID,FNumber,FListDefined1) values"
            " (1,2,1,2,1,'LINEMARK'), (2,2,2,2,1,'linemark'), (3,3,1,3,1,null), (4,4,1,2,1,null),"
            " (5,1,1,3,1,null), (6,5,1,3,1,null)"_s);
    }
};

ListDateRange oneDay(int month, int dayOfMonth)
{
    const QDate d(month == 1 ? 2027 : 2026, month, dayOfMonth);
    return {true, d, d};
}

// Every case runs through both statement shapes: they must list the same bills in the same order.
// The date bounds run from midnight of the first day to the end of the last; a find matches a
// line column (two lines match, the task is listed once), the lines' product, the header's
// product, manager and department and a task without lines, % and _ only themselves; the checked state
// (a blank flag is unchecked) counts only with the workflow on.
TEST_F(ListQuery, DatesFindTextAndCheckedStateListTheMatchingTasksOnceInDateOrder)
{
    // find text, dates, checked-state box, workflow, bills listed
    const std::tuple<const char *, ListDateRange, const char *, bool, const char *> cases[] = {
        {"", kDecember, "全部", true, "RWD2 RWD6 RWD3 RWD4"},
        {"", oneDay(12, 31), "全部", true, "RWD4"},
        {"", oneDay(11, 30), "全部", true, "RWD1"},
        {"", oneDay(1, 1), "全部", true, "RWD5"},
        {"", kAllDates, "全部", true, "RWD1 RWD2 RWD6 RWD3 RWD4 RWD5"},
        {"办公椅", kAllDates, "全部", true, "RWD1 RWD2 RWD6 RWD3 RWD4 RWD5"},
        {"linemark", kAllDates, "全部", true, "RWD2"},
        {"镀锌", kAllDates, "全部", true, "RWD2 RWD4"},
        {" ls ", kAllDates, "全部", true, "RWD2 RWD4"},
        {"油漆", kDecember, "全部", true, "RWD3"},
        {"o'brien", kAllDates, "全部", true, "RWD3"},
        {"'", kAllDates, "全部", true, "RWD3"},
        {"装配", kDecember, "全部", true, "RWD2 RWD3 RWD4"},
        {"c:\\temp", kAllDates, "全部", true, "RWD6"},
        {"\\", kAllDates, "全部", true, "RWD6"},
        {"50%", kAllDates, "全部", true, "RWD2"},
        {"%", kAllDates, "全部", true, "RWD2"},
        {"a_b", kAllDates, "全部", true, "RWD4"},
        {"_", kAllDates, "全部", true, "RWD4"},
        {"没有", kAllDates, "全部", true, ""},
        {"", kDecember, "已审核", true, "RWD4"},
        {"", kDecember, "未审核", true, "RWD2 RWD6 RWD3"},
        {"", kDecember, "已审核", false, "RWD2 RWD6 RWD3 RWD4"},
        {"rwd", kAllDates, "未审核", true, "RWD1 RWD2 RWD6 RWD3 RWD5"}};
    for (const auto &[typed, range, state, workflow, expected] : cases) {
        SCOPED_TRACE(::testing::Message() << "find: " << typed << ", " << state << ", workflow " << workflow);
        const ListFind find = MakeListFind(QString::fromUtf8(typed), QString::fromUtf8(state), workflow);
        EXPECT_EQ(listed(range, find, ListQueryShape::DistinctJoin), QString::fromUtf8(expected));
        EXPECT_EQ(listed(range, find, ListQueryShape::SubqueryFind), QString::fromUtf8(expected));
    }
}

// The grid binds its columns by name: the statement must give every one of them.
TEST_F(ListQuery, TheStatementGivesEveryColumnTheTaskGridShows)
{
    const GridColumnSet *set = FindGridColumnSet(3049);
    ASSERT_NE(set, nullptr);
    for (const ListQueryShape shape : {ListQueryShape::DistinctJoin, ListQueryShape::SubqueryFind}) {
        TDataSet q(Db());
        OpenQuery(q, BuildListQuery(3049, kDecember, {}, shape).sql);
        for (const QString &field : set->fields.split(u','))
            EXPECT_TRUE(q.hasField(field)) << field.toStdString();
        ASSERT_EQ(q.recordCount(), 4);
        EXPECT_EQ(q.value(2, u"FManagerName"_s).toString(), u"O'Brien"_s);
        EXPECT_EQ(q.value(0, u"FDeptName"_s).toString(), u"装配部"_s);
        EXPECT_EQ(q.value(3, u"FIsChecked"_s).toString(), u"1"_s);
        EXPECT_EQ(q.value(1, u"FIsChecked"_s).toString(), u"0"_s) << "a blank flag reads 0";
    }
}

TEST_F(ListQuery, RangePresetsFollowTheServersToday)
{
    const QDate today = ListToday(); // the pinned clock: Tuesday 15 December 2026
    ASSERT_EQ(today, QDate(2026, 12, 15));
    const ListDateRange custom{true, QDate(2026, 3, 2), QDate(2026, 4, 9)};
    const ListDateRange disabled{false, QDate(2026, 3, 2), QDate(2026, 4, 9)};
    // range box item, the pickers before, the pickers after
    const std::tuple<const char *, ListDateRange, ListDateRange> presets[] = {
        {"今日", custom, {true, QDate(2026, 12, 15), QDate(2026, 12, 15)}},
        {"本周", custom, {true, QDate(2026, 12, 14), QDate(2026, 12, 20)}},
        {"本月", disabled, {true, QDate(2026, 12, 1), QDate(2026, 12, 31)}},
        {"本年", custom, {true, QDate(2026, 1, 1), QDate(2026, 12, 31)}},
        {"全部", custom, {false, QDate(2026, 3, 2), QDate(2026, 4, 9)}},
        {"自定义", disabled, custom},
    };
    for (const auto &[item, pickers, expected] : presets)
        EXPECT_EQ(ApplyRangeItem(QString::fromUtf8(item), today, pickers), expected) << item;
    EXPECT_EQ(OpeningDateRange(today), (ListDateRange{true, QDate(2026, 12, 1), QDate(2026, 12, 31)}));
}

// A refresh finds its task by key (the list form's test); a task gone leaves its place.
TEST_F(ListQuery, ARefreshWhoseTaskIsGoneStaysOnItsPlace)
{
    const ::protask::ListQuery month = BuildListQuery(3049, kDecember, {});
    ExecScript(u"delete from t_ProTaskForm where FID = 6"_s);
    TDataSet after(Db());
    OpenQuery(after, month.sql); // RWD2, RWD3, RWD4
    EXPECT_EQ(ListRowToKeep(after, 6, 1), 1);
    EXPECT_EQ(ListRowToKeep(after, 6, 9), 2) << "within the rows there are";
    ExecScript(u"delete from t_ProTaskForm"_s);
    OpenQuery(after, month.sql);
    EXPECT_EQ(ListRowToKeep(after, 3, 2), -1);
}

} // namespace
