#include "host/host_config.h"
#include "host/host_dialogs.h"
#include "platform/program_folder.h"
#include "test_db.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace protask;
using namespace protask::testing;
using namespace Qt::StringLiterals;

namespace {

TEST(HostConfig, CommandLineWinsOverTheIniFileAndWithoutAServerThePrivateOneIsUsed)
{
    const QString previous = ProgramFolder();
    QTemporaryDir home;
    const QStringList run = {u"host"_s, u"--home"_s, home.path()};
    HostConfig c = ParseHostConfig(run, u"/opt/x"_s);
    EXPECT_TRUE(c.usePrivateServer);
    EXPECT_EQ(c.home, home.path());
    EXPECT_EQ(c.db.database, u"protask"_s);
    EXPECT_EQ(c.pluginPath, u"/opt/x/libprotask.so"_s);

    QFile ini(home.path() + u"/protask-host.ini"_s);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Database]\nhost=db.example\nport=3307\nuser=clerk\npassword=secret\nname=suite\n");
    ini.close();
    c = ParseHostConfig(run, u"/x"_s);
    EXPECT_FALSE(c.usePrivateServer);
    EXPECT_EQ(QStringList({c.db.host, QString::number(c.db.port), c.db.user, c.db.password, c.db.database}),
              QStringList({u"db.example"_s, u"3307"_s, u"clerk"_s, u"secret"_s, u"suite"_s}));

    c = ParseHostConfig(
        run + QStringList{u"--db-name"_s, u"other"_s, u"--db-port"_s, u"3310"_s, u"--user"_s, u"系统管理员"_s},
        u"/x"_s);
    EXPECT_EQ(QStringList({c.db.database, QString::number(c.db.port), c.db.host, c.signInUser}),
              QStringList({u"other"_s, u"3310"_s, u"db.example"_s, u"系统管理员"_s}));

    EXPECT_THROW(ParseHostConfig({u"host"_s, u"--db-port"_s, u"abc"_s}, u"/x"_s), std::runtime_error);
    EXPECT_THROW(ParseHostConfig({u"host"_s, u"--no-such"_s}, u"/x"_s), std::runtime_error);
    SetProgramFolder(previous);
}

// Whatever the database's name holds, the private server gets exactly that database, loaded once.
TEST(PrivateDatabase, IsCreatedUnderItsExactNameAndLoadedOnce)
{
    QTemporaryDir dir;
    QFile schema(dir.filePath(u"schema.sql"_s));
    ASSERT_TRUE(schema.open(QIODevice::WriteOnly));
    schema.write("CREATE TABLE t_probe (FID INT PRIMARY KEY);\n");
    schema.close();
    const QString tool = SourceDir() + u"/scripts/protask-db"_s;
    const QString name = u"t_host `tick` 'quote"_s;
    const QString quoted = sqlQuotedIdentifier(name);
    ExecScript(u"DROP DATABASE IF EXISTS "_s + quoted);
    ConnectionSettings server = TestConnectionSettings(u"host-config"_s);
    server.database = name;
    EXPECT_TRUE(CreateDatabaseOnFirstUse(tool, server, schema.fileName()));
    ExecScript(u"insert into %1.t_probe values (1)"_s.arg(quoted));
    EXPECT_FALSE(CreateDatabaseOnFirstUse(tool, server, schema.fileName())) << "a database with tables is kept";
    EXPECT_EQ(scalar(u"select count(*) from %1.t_probe"_s.arg(quoted)).toInt(), 1);
    ExecScript(u"DROP DATABASE "_s + quoted);
}

using Settings = DatabaseTest;

// The settings dialog saves the company row and the parameters in one transaction, never fails
// silently, reopens a dropped connection, and what it saves reads back as it showed it.
TEST_F(Settings, SwitchesAreReadAndTheDialogSavesThemWithTheCompany)
{
    ExecScript(u"insert into t_comCompany(FID, FName, FNumberDecimal, FPriceDecimal) values (1, '旧公司', 2, 2);"
               "insert into t_comparameters(FName, FTypeID, FBoolValue, FIntValue, FFloatValue) values "
               "('FIsCheckBill', 2, 0, null, null), ('FIsUseRight', 1, null, 1, null), "
               "('FTaxRate', 4, null, null, 13), ('FWarnNegativeBatchStock', 2, 1, null, null);"
               "CREATE TRIGGER t_comparameters_refused BEFORE UPDATE ON t_comparameters FOR EACH ROW "
               "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'parameters are read-only'"_s);
    HostSwitches &switches = nvDMBase::instance().switches;
    switches = HostSwitches();
    LoadHostSwitches(nvDMBase::instance());
    EXPECT_EQ(switches.rightsSwitch, 1);
    EXPECT_DOUBLE_EQ(switches.defaultTaxRate, 13.0);
    EXPECT_TRUE(switches.warnNegativeBatchStock);
    EXPECT_FALSE(switches.forbidNegativeBatchStock);

    SettingsDialog dialog;
    dialog.findChild<QLineEdit *>(u"edt_FName"_s)->setText(u"新公司"_s);
    dialog.findChild<QCheckBox *>(u"FIsCheckBill"_s)->setChecked(true);
    dialog.findChild<QCheckBox *>(u"FForbidNegativeStock"_s)->setChecked(true);
    dialog.findChild<QDoubleSpinBox *>(u"FTaxRate"_s)->setValue(6.5);
    const auto company = []() { return scalar(u"select FName from t_comCompany where FID = 1"_s).toString(); };
    EXPECT_FALSE(dialog.save());
    ExecScript(u"DROP TRIGGER t_comparameters_refused"_s);
    EXPECT_EQ(prompter.lastText(), u"保存失败：parameters are read-only"_s);
    EXPECT_EQ(prompter.entries().last().kind, PromptKind::Error);
    EXPECT_EQ(company(), u"旧公司"_s) << "the company row goes back with the parameters";
    EXPECT_FALSE(switches.checkWorkflow) << "the switches in use stay as stored";

    prompter.clear();
    KillConnection(nvDMBase::instance().connection());
    EXPECT_TRUE(dialog.save());
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join(u'\n').toStdString();
    EXPECT_EQ(company(), u"新公司"_s);
    EXPECT_TRUE(switches.checkWorkflow);
    switches = HostSwitches();
    LoadHostSwitches(nvDMBase::instance());
    EXPECT_TRUE(switches.checkWorkflow);
    EXPECT_TRUE(switches.forbidNegativeStock);
    EXPECT_FALSE(switches.askOnNegativeStock);
    EXPECT_DOUBLE_EQ(switches.defaultTaxRate, 6.5);
    EXPECT_TRUE(switches.warnNegativeBatchStock);
    EXPECT_EQ(switches.rightsSwitch, 1);
    EXPECT_EQ(scalar(u"select count(*) from t_comparameters where FName = 'FIsCheckBill'"_s).toInt(), 1)
        << "saving updates the row instead of adding one";
}

} // namespace
