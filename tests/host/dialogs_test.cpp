// The settings dialog's save, driven without exec(): one transaction over the company row
// and the parameters, after a dropped connection is reopened, and never a silent failure.
#include "host/host_config.h"
#include "host/host_dialogs.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"
#include "test_db.h"

#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace protask;
using protask::testing::ExecScript;

namespace {

class SettingsSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        protask::testing::EmptyAllTables();
        ExecScript(QStringLiteral("insert into t_comCompany(FID, FName, FNumberDecimal, FPriceDecimal) values (1, '旧公司', 2, 2);"
                                  "insert into t_comparameters(FName, FTypeID, FBoolValue) values ('FIsCheckBill', 2, 0)"));
        nvDMBase::instance().switches = HostSwitches();
        scope = std::make_unique<PrompterScope>(prompter);
    }
    void TearDown() override
    {
        ExecScript(QStringLiteral("DROP TRIGGER IF EXISTS t_comparameters_refused"));
        nvDMBase::instance().switches = HostSwitches();
    }

    // The user renames the company and turns the check step on.
    static void edit(SettingsDialog &dialog)
    {
        dialog.findChild<QLineEdit *>(QStringLiteral("edt_FName"))->setText(QStringLiteral("新公司"));
        dialog.findChild<QCheckBox *>(QStringLiteral("FIsCheckBill"))->setChecked(true);
    }
    static QString stored(const QString &sql)
    {
        TDataSet q(nvDMBase::instance().connection());
        q.open(sql);
        return q.value(0, 0).toString();
    }

    ScriptedPrompter prompter;
    std::unique_ptr<PrompterScope> scope;
};

TEST_F(SettingsSave, AfterTheServerDroppedTheConnectionTheSaveReopensItAndWrites)
{
    SettingsDialog dialog;
    edit(dialog);
    protask::testing::KillConnection(nvDMBase::instance().connection());

    EXPECT_TRUE(dialog.save());
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(stored(QStringLiteral("select FName from t_comCompany where FID = 1")), QStringLiteral("新公司"));
    EXPECT_EQ(stored(QStringLiteral("select FBoolValue from t_comparameters where FName = 'FIsCheckBill'")), QStringLiteral("1"));
    EXPECT_TRUE(nvDMBase::instance().switches.checkWorkflow);
}

TEST_F(SettingsSave, AParameterTheServerRefusesIsReportedAndNothingIsSaved)
{
    ExecScript(QStringLiteral("CREATE TRIGGER t_comparameters_refused BEFORE UPDATE ON t_comparameters FOR EACH ROW "
                              "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'parameters are read-only'"));
    SettingsDialog dialog;
    edit(dialog);

    EXPECT_FALSE(dialog.save());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("保存失败：parameters are read-only"));
    EXPECT_EQ(prompter.entries().last().kind, PromptKind::Error);
    EXPECT_EQ(stored(QStringLiteral("select FName from t_comCompany where FID = 1")), QStringLiteral("旧公司"))
        << "the company row goes back with the parameters";
    EXPECT_FALSE(nvDMBase::instance().switches.checkWorkflow) << "the switches in use stay as stored";
}

} // namespace
