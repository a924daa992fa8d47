#include "billlist/model/list_actions.h"
#include "billlist/model/list_query.h"
#include "platform/host_messages.h"

#include <gtest/gtest.h>

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

TEST(ListRules, TwoKindListsResolveTheRowsKindPerAction)
{
    struct Case {
        int list;
        ListAction action;
        QVariant kind;
        int expected;
    };
    const Case cases[] = {
        {3002, ListAction::Edit, 2, 3015},    {3002, ListAction::Display, 1, 3002},
        {3015, ListAction::Edit, 1, 3002},    {3015, ListAction::Display, QVariant(), 3015},
        {3002, ListAction::Check, 2, 3015},   {3002, ListAction::Check, QVariant(), 3002},
        {3015, ListAction::UnCheck, 0, 3002}, {3004, ListAction::UnCheck, u"2"_s, 3016},
        {3004, ListAction::Delete, 2, 3016},  {3019, ListAction::Edit, 2, 3020},
        {3020, ListAction::Display, 1, 3019}, {3019, ListAction::Check, 2, 3019},
        {3025, ListAction::Display, 2, 3026}, {3041, ListAction::Edit, 2, 3042},
        {3022, ListAction::Check, 1, 3022},   {3049, ListAction::Edit, 2, 3049},
        {3002, ListAction::Print, 2, 3002},   {3004, ListAction::Edit, u"x"_s, 3004},
    };
    for (const Case &c : cases)
        EXPECT_EQ(EffectiveBillType(c.list, c.action, c.kind), c.expected)
            << c.list << " action " << int(c.action) << " kind " << c.kind.toString().toStdString();
}

TEST(ListRules, ReturnsAreRedOnlyInThePurchaseAndSalesOutLists)
{
    EXPECT_EQ(ListRowColourOf(3002, 2), ListRowColour::Red);
    EXPECT_EQ(ListRowColourOf(3016, u"2"_s), ListRowColour::Red);
    EXPECT_EQ(ListRowColourOf(3004, 1), ListRowColour::Default);
    EXPECT_EQ(ListRowColourOf(3015, QVariant()), ListRowColour::Default);
    EXPECT_EQ(ListRowColourOf(3019, 2), ListRowColour::Default);
    EXPECT_EQ(ListRowColourOf(3049, 2), ListRowColour::Default);
}

TEST(ListRules, RowStatesFollowTheCheckedFlagOnlyWithTheWorkflow)
{
    using S = QList<ListButtonState>;
    const auto states = [](const S &list) {
        QStringList out;
        for (const ListButtonState &s : list)
            out << QString::number(int(s.action)) + (s.enabled ? u"+"_s : u"-"_s);
        out.sort();
        return out.join(u' ');
    };
    const auto expect = [&](std::initializer_list<std::pair<ListAction, bool>> list) {
        S s;
        for (const auto &[a, e] : list)
            s.append({a, e});
        return states(s);
    };
    const ListRow open = row(7, false);
    const ListRow done = row(7, true);
    using A = ListAction;
    EXPECT_EQ(states(ListRowStates(list(3049, true), &open)),
              expect({{A::Edit, true}, {A::Delete, true}, {A::Check, true}, {A::Display, false}, {A::UnCheck, false}}));
    EXPECT_EQ(
        states(ListRowStates(list(3049, true), &done)),
        expect({{A::Edit, false}, {A::Delete, false}, {A::Check, false}, {A::Display, true}, {A::UnCheck, true}}));
    EXPECT_EQ(states(ListRowStates(list(3005, true), &done)),
              expect({{A::Edit, false}, {A::Delete, true}, {A::Check, false}, {A::Display, true}, {A::UnCheck, true}}))
        << "the retail list deletes checked rows";
    EXPECT_EQ(states(ListRowStates(list(3049, true, 1u << int(A::Check) | 1u << int(A::Delete)), &open)),
              expect({{A::Edit, true}, {A::Display, false}, {A::UnCheck, false}}))
        << "hidden buttons are not touched";
    EXPECT_TRUE(ListRowStates(list(3049, false), &done).isEmpty());
    EXPECT_TRUE(ListRowStates(list(3049, true), nullptr).isEmpty()) << "an empty list leaves the buttons";
}

TEST(ListRules, RequestsToTheHostGoThroughTheGuards)
{
    using R = std::optional<ListHostRequest>;
    const R none;
    struct Case {
        ListContext list;
        ListAction action;
        ListRow row;
        R expected;
    };
    const Case cases[] = {
        {list(3049, true), ListAction::Add, {}, ListHostRequest{HostMsg::NewBill, 3049, 0, false}},
        {list(3002, true), ListAction::AddReturn, {}, ListHostRequest{HostMsg::NewBill, 3015, 0, false}},
        {list(3004, false), ListAction::AddReturn, {}, ListHostRequest{HostMsg::NewBill, 3016, 0, false}},
        {list(3049, true), ListAction::AddReturn, {}, none},
        {list(3002, true, 1u << int(ListAction::Add)), ListAction::AddReturn, {}, none},
        {list(3004, true), ListAction::Edit, row(9, false, 2), ListHostRequest{HostMsg::OpenWindow, 3016, 9, false}},
        {list(3049, true), ListAction::Display, row(9, true), ListHostRequest{HostMsg::DisplayBill, 3049, 9, false}},
        {list(3049, true), ListAction::Display, row(9, false), none}, // disabled for an unchecked row
        {list(3049, true), ListAction::Edit, row(9, true), none},
        {list(3049, false), ListAction::Edit, row(9, true), ListHostRequest{HostMsg::OpenWindow, 3049, 9, false}},
        {list(3049, true), ListAction::Edit, row(0, false), none}, // no row
        {list(3049, true, 1u << int(ListAction::Edit)), ListAction::Edit, row(9, false), none},
        {list(3049, true), ListAction::Close, {}, ListHostRequest{HostMsg::CloseForm, 3049, 0, true}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ListHostRequestFor(c.list, c.action, c.row), c.expected)
            << c.list.billType << " action " << int(c.action) << " row " << c.row.id;

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
