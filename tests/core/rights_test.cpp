#include "platform/nv_dm_base.h"
#include "platform/prompter.h"
#include "core/rights.h"
#include "test_db.h"

#include <gtest/gtest.h>

using namespace protask;
using protask::testing::ExecScript;

namespace {

class RightsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        protask::testing::EmptyAllTables();
        ExecScript(QStringLiteral(
            "insert into t_comUser(FID, FName, FRightType) values (1, '系统管理员', 0), (2, '张会计', 1);"
            "insert into t_comRight(FID, Fvalue) values (1, 'Bill.Protask'), (2, 'Bill.Protask.Add'), (3, 'Bill.Protask.Check'),"
            " (4, 'Com.Customer');"
            "insert into t_comUserRight(FUserID, FRightID) values (2, 1), (2, 2)"));
        dm.switches.checkWorkflow = true;
        dm.switches.rightsSwitch = 1;
        dm.userId = 2;
        scope = std::make_unique<PrompterScope>(prompter);
    }
    void TearDown() override
    {
        dm.switches = HostSwitches();
        dm.userId = 0;
    }
    nvDMBase &dm = nvDMBase::instance();
    ScriptedPrompter prompter;
    std::unique_ptr<PrompterScope> scope;
};

TEST(RightNames, PrefixesAndSuffixesKeepTheirSpelling)
{
    EXPECT_EQ(GetRightPrefix(3049), QStringLiteral("Bill.Protask"));
    EXPECT_EQ(GetRightPrefix(3015), QStringLiteral("Bill.InPurchase"));
    EXPECT_EQ(GetRightPrefix(3042), QStringLiteral("Bill.Pay"));
    EXPECT_EQ(GetRightPrefix(2013), QStringLiteral("Com.Product"));
    EXPECT_EQ(GetRightPrefix(2010), QStringLiteral("Com.company"));
    EXPECT_EQ(GetRightPrefix(3030), QStringLiteral("Bill.period"));
    EXPECT_EQ(GetRightPrefix(4009), QStringLiteral("Report.Receivelist"));
    EXPECT_EQ(GetRightPrefix(4051), QStringLiteral("Report.InfinishTotal"));
    EXPECT_EQ(GetRightPrefix(3009), QString());
    EXPECT_EQ(GetRightSuffix(1), QStringLiteral(".Add"));
    EXPECT_EQ(GetRightSuffix(4), QStringLiteral(".UnCheck"));
    EXPECT_EQ(GetRightSuffix(10), QStringLiteral(".ExportOut"));
    EXPECT_EQ(GetRightSuffix(2), QString());
    EXPECT_EQ(GetRightSuffix(9), QString());
}

TEST_F(RightsTest, WithTheWorkflowOffOrTheSwitchClearNothingIsAsked)
{
    // Without any table the checks would fail if they ran a statement.
    ExecScript(QStringLiteral("RENAME TABLE t_comUserRight TO t_comUserRight_away"));
    dm.switches.checkWorkflow = false;
    EXPECT_TRUE(CheckWindowRight(3049));
    EXPECT_TRUE(CheckOperationRight(3049, 7));
    dm.switches.checkWorkflow = true;
    dm.switches.rightsSwitch = 0;
    EXPECT_TRUE(CheckWindowRight(3049));
    EXPECT_TRUE(CheckOperationRight(3049, 7));
    ExecScript(QStringLiteral("RENAME TABLE t_comUserRight_away TO t_comUserRight"));
    EXPECT_TRUE(prompter.entries().isEmpty());
}

TEST_F(RightsTest, OperationRightsLookUpPrefixAndSuffix)
{
    EXPECT_TRUE(CheckOperationRight(3049, 1));   // Bill.Protask.Add
    EXPECT_FALSE(CheckOperationRight(3049, 3));  // Bill.Protask.Check exists but is not granted
    EXPECT_TRUE(CheckOperationRight(3049, 2));   // no suffix: the bare prefix
    EXPECT_TRUE(CheckOperationRight(3009, 7));   // a window without a prefix is never restricted
    EXPECT_FALSE(CheckOperationRight(2004, 1));
    EXPECT_TRUE(prompter.entries().isEmpty()) << "operation checks show nothing";

    dm.userId = 99; // no t_comUser row: type -1, but operation rights are still checked by name
    EXPECT_EQ(GetUserRightType(), -1);
    EXPECT_FALSE(CheckOperationRight(3049, 1));
}

TEST_F(RightsTest, WindowRightsRestrictOnlyUsersOfRightType1)
{
    EXPECT_EQ(GetUserRightType(), 1);
    EXPECT_TRUE(CheckWindowRight(3049));
    EXPECT_FALSE(CheckWindowRight(2004));
    EXPECT_EQ(prompter.texts(), QStringList({QStringLiteral("您未被授权")}));
    EXPECT_EQ(prompter.entries()[0].kind, PromptKind::Information);

    ExecScript(QStringLiteral("delete from t_comUserRight where FRightID = 1"));
    EXPECT_FALSE(CheckWindowRight(3049)) << "the prefix alone is the window right";

    dm.userId = 1; // type 0: never restricted
    EXPECT_TRUE(CheckWindowRight(2004));
    dm.userId = 99; // no row: type -1, window rights pass
    EXPECT_TRUE(CheckWindowRight(2004));
    EXPECT_TRUE(CheckWindowRight(3009));
}

TEST_F(RightsTest, RightNamesAreMatchedExactlyAfterTrimming)
{
    EXPECT_TRUE(HasRight(QStringLiteral("  Bill.Protask.Add ")));
    EXPECT_FALSE(HasRight(QStringLiteral("   ")));
    EXPECT_FALSE(HasRight(QStringLiteral("Bill.Protask' or '1'='1")));
}

} // namespace
