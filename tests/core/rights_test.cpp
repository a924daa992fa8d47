#include "core/rights.h"
#include "test_db.h"

using namespace protask;
using namespace Qt::StringLiterals;
using protask::testing::ExecScript;

namespace {

// User 2 has right type 1 and holds the production task window and its Add right; Check
// exists but is not granted. User 1 is the administrator (type 0).
class Rights : public protask::testing::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ExecScript(u"insert into t_comUser(FID, FName, FRightType) values (1, '系统管理员', 0), (2, '张会计', 1);"
                   "insert into t_comRight(FID, Fvalue) values (1, 'Bill.Protask'), (2, 'Bill.Protask.Add'),"
                   " (3, 'Bill.Protask.Check'), (4, 'Com.Customer'), (5, 'Bill.InPurchase.UnCheck');"
                   "insert into t_comUserRight(FUserID, FRightID) values (2, 1), (2, 2), (2, 5)"_s);
        dm.switches.checkWorkflow = true;
        dm.switches.rightsSwitch = 1;
        dm.userId = 2;
    }
    nvDMBase &dm = nvDMBase::instance();
};

TEST_F(Rights, WithTheWorkflowOffOrTheSwitchClearNothingIsAsked)
{
    // Without the table the checks would fail if they ran a statement.
    ExecScript(u"RENAME TABLE t_comUserRight TO t_comUserRight_away"_s);
    dm.switches.checkWorkflow = false;
    EXPECT_TRUE(CheckWindowRight(3049));
    EXPECT_TRUE(CheckOperationRight(3049, 7));
    dm.switches.checkWorkflow = true;
    dm.switches.rightsSwitch = 0;
    EXPECT_TRUE(CheckWindowRight(3049));
    EXPECT_TRUE(CheckOperationRight(3049, 7));
    ExecScript(u"RENAME TABLE t_comUserRight_away TO t_comUserRight"_s);
    EXPECT_TRUE(prompter.entries().isEmpty());
}

TEST_F(Rights, OperationRightsAreTheWindowPrefixAndTheOperationSuffix)
{
    EXPECT_TRUE(CheckOperationRight(3049, 1));  // Bill.Protask.Add
    EXPECT_FALSE(CheckOperationRight(3049, 3)); // Bill.Protask.Check exists but is not granted
    EXPECT_TRUE(CheckOperationRight(3049, 2));  // no suffix: the bare prefix
    EXPECT_TRUE(CheckOperationRight(3009, 7));  // a window without a prefix is never restricted
    EXPECT_FALSE(CheckOperationRight(2004, 1));
    // Windows that share a prefix share its rights.
    EXPECT_TRUE(CheckOperationRight(3002, 4));
    EXPECT_TRUE(CheckOperationRight(3015, 4));
    EXPECT_FALSE(CheckOperationRight(3015, 3));
    EXPECT_TRUE(prompter.entries().isEmpty()) << "operation checks show nothing";
    // Right names are matched exactly after trimming.
    EXPECT_TRUE(HasRight(u"  Bill.Protask.Add "_s));
    EXPECT_FALSE(HasRight(u"   "_s));
    EXPECT_FALSE(HasRight(u"Bill.Protask' or '1'='1"_s));

    dm.userId = 99; // no t_comUser row: type -1, but operation rights are still checked by name
    EXPECT_EQ(GetUserRightType(), -1);
    EXPECT_FALSE(CheckOperationRight(3049, 1));
}

TEST_F(Rights, WindowRightsRestrictOnlyUsersOfRightType1)
{
    EXPECT_EQ(GetUserRightType(), 1);
    EXPECT_TRUE(CheckWindowRight(3049));
    EXPECT_FALSE(CheckWindowRight(2004));
    EXPECT_EQ(prompter.texts(), QStringList{u"您未被授权"_s});
    EXPECT_EQ(prompter.entries()[0].kind, PromptKind::Information);
    ExecScript(u"delete from t_comUserRight where FRightID = 1"_s);
    EXPECT_FALSE(CheckWindowRight(3049)) << "the prefix alone is the window right";

    dm.userId = 1; // type 0: never restricted
    EXPECT_TRUE(CheckWindowRight(2004));
    dm.userId = 99; // no row: type -1, window rights pass
    EXPECT_TRUE(CheckWindowRight(2004));
    EXPECT_TRUE(CheckWindowRight(3009));
}

} // namespace
