#include "billlist/model/list_actions.h"
#include "billlist/model/list_query.h"
#include "platform/host_messages.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace protask;
using namespace Qt::StringLiterals;

namespace {

ListContext list(int billType, bool workflow, quint32 hidden = 0)
{
    ListContext c;
    c.billType = billType;
    c.switches.checkWorkflow = workflow;
    c.hiddenButtons = hidden;
    return c;
}

ListRow row(int id, bool checked, const QVariant &kind = {})
{
    ListRow r;
    r.id = id;
    r.checked = checked;
    r.billTypeId = kind;
    return r;
}

// A row's kind (1 or 2) picks the bill type of a two-kind list that opens it; the posting
// actions follow it only where the two kinds post apart. A row without a kind, another action
// or a list of one kind keep the list's type.
TEST(ListRules, TwoKindListsResolveTheRowsKindPerAction)
{
    using A = ListAction;
    // list, action, the row's kind, the bill type
    const std::tuple<int, ListAction, QVariant, int> cases[] = {
        {3002, A::Edit, 2, 3015},         {3015, A::Edit, 1, 3002},           {3015, A::Display, QVariant(), 3015},
        {3002, A::Check, 2, 3015},        {3002, A::Check, QVariant(), 3002}, {3015, A::UnCheck, 0, 3002},
        {3004, A::UnCheck, u"2"_s, 3016}, {3004, A::Delete, 2, 3016},         {3019, A::Edit, 2, 3020},
        {3019, A::Check, 2, 3019},        {3049, A::Edit, 2, 3049},           {3002, A::Print, 2, 3002},
        {3004, A::Edit, u"x"_s, 3004},
    };
    for (const auto &[list, action, kind, expected] : cases)
        EXPECT_EQ(EffectiveBillType(list, action, kind), expected)
            << list << " action " << int(action) << " kind " << kind.toString().toStdString();
}

TEST(ListRules, ReturnsAreRedOnlyInThePurchaseAndSalesOutLists)
{
    EXPECT_EQ(ListRowColourOf(3002, 2), ListRowColour::Red);
    EXPECT_EQ(ListRowColourOf(3016, u"2"_s), ListRowColour::Red);
    EXPECT_EQ(ListRowColourOf(3004, 1), ListRowColour::Default);
    EXPECT_EQ(ListRowColourOf(3015, QVariant()), ListRowColour::Default);
    EXPECT_EQ(ListRowColourOf(3019, 2), ListRowColour::Default);
}

// The row buttons' states by their captions, "修改+ 查看-": enabled (+) or not (-).
QString states(const ListContext &list, const ListRow *row)
{
    QStringList out;
    for (const ListButtonState &s : ListRowStates(list, row)) {
        for (const ListActionInfo &info : ListActionTable()) {
            if (info.action == s.action)
                out << info.caption.trimmed() + (s.enabled ? u'+' : u'-');
        }
    }
    return out.join(u' ');
}

TEST(ListRules, RowStatesFollowTheCheckedFlagOnlyWithTheWorkflow)
{
    const ListRow open = row(7, false);
    const ListRow done = row(7, true);
    EXPECT_EQ(states(list(3049, true), &open), u"修改+ 删除+ 审核+ 查看- 反审核-"_s);
    EXPECT_EQ(states(list(3049, true), &done), u"修改- 删除- 审核- 查看+ 反审核+"_s);
    EXPECT_EQ(states(list(3005, true), &done), u"修改- 删除+ 审核- 查看+ 反审核+"_s)
        << "the retail list deletes checked rows";
    EXPECT_EQ(states(list(3049, true, 1u << int(ListAction::Check) | 1u << int(ListAction::Delete)), &open),
              u"修改+ 查看- 反审核-"_s)
        << "hidden buttons are not touched";
    EXPECT_EQ(states(list(3049, false), &done), QString());
    EXPECT_EQ(states(list(3049, true), nullptr), QString()) << "an empty list leaves the buttons";
}

TEST(ListRules, RequestsToTheHostGoThroughTheGuards)
{
    using A = ListAction;
    using R = ListHostRequest;
    const std::optional<ListHostRequest> none;
    // list, action, row, request
    const std::tuple<ListContext, ListAction, ListRow, std::optional<ListHostRequest>> cases[] = {
        {list(3049, true), A::Add, {}, R{HostMsg::NewBill, 3049, 0, false}},
        {list(3002, true), A::AddReturn, {}, R{HostMsg::NewBill, 3015, 0, false}},
        {list(3004, false), A::AddReturn, {}, R{HostMsg::NewBill, 3016, 0, false}},
        {list(3049, true), A::AddReturn, {}, none},
        {list(3002, true, 1u << int(A::Add)), A::AddReturn, {}, none},
        {list(3004, true), A::Edit, row(9, false, 2), R{HostMsg::OpenWindow, 3016, 9, false}},
        {list(3049, true), A::Display, row(9, true), R{HostMsg::DisplayBill, 3049, 9, false}},
        {list(3049, true), A::Display, row(9, false), none}, // disabled for an unchecked row
        {list(3049, true), A::Edit, row(9, true), none},
        {list(3049, false), A::Edit, row(9, true), R{HostMsg::OpenWindow, 3049, 9, false}},
        {list(3049, true), A::Edit, row(0, false), none}, // no row
        {list(3049, true, 1u << int(A::Edit)), A::Edit, row(9, false), none},
        {list(3049, true), A::Close, {}, R{HostMsg::CloseForm, 3049, 0, true}},
    };
    for (const auto &[context, action, current, expected] : cases)
        EXPECT_EQ(ListHostRequestFor(context, action, current), expected)
            << context.billType << " action " << int(action) << " row " << current.id;

    EXPECT_EQ(ListDoubleClickAction(list(3049, false), row(9, true)), ListAction::Edit);
    EXPECT_EQ(ListDoubleClickAction(list(3049, true), row(9, true)), ListAction::Display);
    EXPECT_EQ(ListDoubleClickAction(list(3049, true), row(9, false)), ListAction::Edit);
    EXPECT_FALSE(ListActionAllowed(list(3049, false), ListAction::Check, row(9, false)))
        << "without the workflow saving posts: there is no check";
    EXPECT_TRUE(ListActionAllowed(list(3049, false, 1u << int(ListAction::Delete)), ListAction::Delete, row(9, true)))
        << "hidden buttons guard only with the workflow on";
}

TEST(ListRules, RowsAreReadFromTheirFieldValues)
{
    const ListRow r = ListRowFromValues({{u"FID"_s, 12},
                                         {u"FBillNo"_s, u" RWD1 "_s},
                                         {u"FBillDate"_s, QDateTime(QDate(2026, 12, 31), QTime(23, 59))},
                                         {u"FBillTypeID"_s, 2},
                                         {u"FIsChecked"_s, 1}});
    EXPECT_EQ(r.id, 12);
    EXPECT_EQ(r.billNo, u"RWD1"_s);
    EXPECT_EQ(r.billDate, QDate(2026, 12, 31));
    EXPECT_TRUE(r.checked);
    EXPECT_FALSE(ListRowFromValues({{u"FID"_s, QVariant()}, {u"FIsChecked"_s, u"0"_s}}).checked);
    EXPECT_EQ(ListRowFromValues({}).id, 0);
}

} // namespace
