// The host's configuration: command line and INI file, the private server's database, the
// switches in t_comparameters, and the settings dialog's save.
#include "host/host_config.h"
#include "host/host_dialogs.h"
#include "platform/program_folder.h"
#include "test_db.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace protask;
using protask::testing::ExecScript;

namespace {

QString stored(const QString &sql)
{
    TDataSet q(nvDMBase::instance().connection());
    q.open(sql);
    return q.value(0, 0).toString();
}

TEST(HostConfig, CommandLineWinsOverTheIniFileAndWithoutAServerThePrivateOneIsUsed)
{
    const QString previous = ProgramFolder();
    QTemporaryDir home;
    const QStringList run = {QStringLiteral("host"), QStringLiteral("--home"), home.path()};
    HostConfig c = ParseHostConfig(run, QStringLiteral("/opt/x"));
    EXPECT_TRUE(c.usePrivateServer);
    EXPECT_EQ(c.home, home.path());
    EXPECT_EQ(c.db.database, QStringLiteral("protask"));
    EXPECT_EQ(c.pluginPath, QStringLiteral("/opt/x/libprotask.so"));

    QFile ini(home.path() + QStringLiteral("/protask-host.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Database]\nhost=db.example\nport=3307\nuser=clerk\npassword=secret\nname=suite\n");
    ini.close();
    c = ParseHostConfig(run, QStringLiteral("/x"));
    EXPECT_FALSE(c.usePrivateServer);
    EXPECT_EQ(QStringList({c.db.host, QString::number(c.db.port), c.db.user, c.db.password, c.db.database}),
              QStringList({QStringLiteral("db.example"), QStringLiteral("3307"), QStringLiteral("clerk"),
                           QStringLiteral("secret"), QStringLiteral("suite")}));

    c = ParseHostConfig(
        run
            + QStringList({QStringLiteral("--db-name"), QStringLiteral("other"), QStringLiteral("--db-port"),
                           QStringLiteral("3310"), QStringLiteral("--user"), QStringLiteral("系统管理员")}),
        QStringLiteral("/x"));
    EXPECT_EQ(QStringList({c.db.database, QString::number(c.db.port), c.db.host, c.signInUser}),
              QStringList({QStringLiteral("other"), QStringLiteral("3310"), QStringLiteral("db.example"),
                           QStringLiteral("系统管理员")}));

    EXPECT_THROW(ParseHostConfig({QStringLiteral("host"), QStringLiteral("--db-port"), QStringLiteral("abc")},
                                 QStringLiteral("/x")),
                 std::runtime_error);
    EXPECT_THROW(ParseHostConfig({QStringLiteral("host"), QStringLiteral("--no-such")}, QStringLiteral("/x")),
                 std::runtime_error);
    SetProgramFolder(previous);
}

// The database name comes from the command line or the INI file: whatever it holds, the
// private server gets exactly that database, and the schema is loaded into it once.
TEST(PrivateDatabase, IsCreatedUnderItsExactNameAndLoadedOnce)
{
    QTemporaryDir dir;
    QFile schema(dir.filePath(QStringLiteral("schema.sql")));
    ASSERT_TRUE(schema.open(QIODevice::WriteOnly));
    schema.write("CREATE TABLE t_probe (FID INT PRIMARY KEY);\n");
    schema.close();
    TDataSet q(nvDMBase::instance().connection());
    const QString tool = protask::testing::SourceDir() + QStringLiteral("/scripts/protask-db");

    for (const QString &name :
         {QStringLiteral("t_host_plain"), QStringLiteral("t_host `tick` db"), QStringLiteral("t_host'quote")}) {
        SCOPED_TRACE(name.toStdString());
        const QString quoted = sqlQuotedIdentifier(name);
        q.exec(QStringLiteral("DROP DATABASE IF EXISTS ") + quoted);
        ConnectionSettings server = protask::testing::TestConnectionSettings(QStringLiteral("host-config"));
        server.database = name;

        EXPECT_TRUE(CreateDatabaseOnFirstUse(tool, server, schema.fileName()));
        q.exec(QStringLiteral("insert into %1.t_probe values (1)").arg(quoted));
        EXPECT_FALSE(CreateDatabaseOnFirstUse(tool, server, schema.fileName())) << "a database with tables is kept";
        EXPECT_EQ(stored(QStringLiteral("select count(*) from %1.t_probe").arg(quoted)), QStringLiteral("1"));
        q.exec(QStringLiteral("DROP DATABASE ") + quoted);
    }
}

using Switches = protask::testing::DatabaseTest;

TEST_F(Switches, AreReadFromAndWrittenToTheParameterTable)
{
    ExecScript(QStringLiteral("insert into t_comparameters(FName, FTypeID, FBoolValue, FIntValue, FFloatValue) values "
                              "('FIsCheckBill', 2, 1, null, null), ('FIsUseRight', 1, null, 1, null), "
                              "('FTaxRate', 4, null, null, 13), ('FWarnNegativeBatchStock', 2, 1, null, null)"));
    nvDMBase &dm = nvDMBase::instance();
    dm.switches = HostSwitches();
    LoadHostSwitches(dm);
    EXPECT_TRUE(dm.switches.checkWorkflow);
    EXPECT_EQ(dm.switches.rightsSwitch, 1);
    EXPECT_DOUBLE_EQ(dm.switches.defaultTaxRate, 13.0);
    EXPECT_TRUE(dm.switches.warnNegativeBatchStock);
    EXPECT_FALSE(dm.switches.forbidNegativeBatchStock);
    EXPECT_FALSE(dm.switches.checkOnSave);

    HostSwitches changed = dm.switches;
    changed.checkWorkflow = false;
    changed.forbidNegativeStock = true;
    changed.defaultTaxRate = 6.5;
    SaveHostSwitches(changed);
    dm.switches = HostSwitches();
    LoadHostSwitches(dm);
    EXPECT_FALSE(dm.switches.checkWorkflow);
    EXPECT_TRUE(dm.switches.forbidNegativeStock);
    EXPECT_DOUBLE_EQ(dm.switches.defaultTaxRate, 6.5);
    EXPECT_EQ(dm.switches.rightsSwitch, 1);
    EXPECT_EQ(stored(QStringLiteral("select count(*) from t_comparameters where FName = 'FIsCheckBill'")),
              QStringLiteral("1"))
        << "saving updates the row instead of adding one";
}

// The settings dialog's save, driven without exec(): one transaction over the company row and
// the parameters, after a dropped connection is reopened, and never a silent failure.
class SettingsSave : public protask::testing::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ExecScript(QStringLiteral(
            "insert into t_comCompany(FID, FName, FNumberDecimal, FPriceDecimal) values (1, '旧公司', 2, 2);"
            "insert into t_comparameters(FName, FTypeID, FBoolValue) values ('FIsCheckBill', 2, 0)"));
        nvDMBase::instance().switches = HostSwitches();
        // The user renames the company and turns the check step on.
        dialog = std::make_unique<SettingsDialog>();
        dialog->findChild<QLineEdit *>(QStringLiteral("edt_FName"))->setText(QStringLiteral("新公司"));
        dialog->findChild<QCheckBox *>(QStringLiteral("FIsCheckBill"))->setChecked(true);
    }
    void TearDown() override
    {
        ExecScript(QStringLiteral("DROP TRIGGER IF EXISTS t_comparameters_refused"));
        DatabaseTest::TearDown();
    }
    QString company() const { return stored(QStringLiteral("select FName from t_comCompany where FID = 1")); }
    std::unique_ptr<SettingsDialog> dialog;
};

TEST_F(SettingsSave, AfterTheServerDroppedTheConnectionTheSaveReopensItAndWrites)
{
    protask::testing::KillConnection(nvDMBase::instance().connection());
    EXPECT_TRUE(dialog->save());
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(company(), QStringLiteral("新公司"));
    EXPECT_EQ(stored(QStringLiteral("select FBoolValue from t_comparameters where FName = 'FIsCheckBill'")),
              QStringLiteral("1"));
    EXPECT_TRUE(nvDMBase::instance().switches.checkWorkflow);
}

TEST_F(SettingsSave, AParameterTheServerRefusesIsReportedAndNothingIsSaved)
{
    ExecScript(QStringLiteral("CREATE TRIGGER t_comparameters_refused BEFORE UPDATE ON t_comparameters FOR EACH ROW "
                              "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'parameters are read-only'"));
    EXPECT_FALSE(dialog->save());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("保存失败：parameters are read-only"));
    EXPECT_EQ(prompter.entries().last().kind, PromptKind::Error);
    EXPECT_EQ(company(), QStringLiteral("旧公司")) << "the company row goes back with the parameters";
    EXPECT_FALSE(nvDMBase::instance().switches.checkWorkflow) << "the switches in use stay as stored";
}

} // namespace
