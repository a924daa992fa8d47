#include "host/host_config.h"
#include "platform/program_folder.h"
#include "test_db.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace protask;

namespace {

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override { previous = ProgramFolder(); }
    void TearDown() override { SetProgramFolder(previous); }
    QTemporaryDir home;
    QString previous;
};

TEST_F(ConfigTest, WithoutAServerTheHostUsesItsPrivateOne)
{
    const HostConfig c = ParseHostConfig({QStringLiteral("host"), QStringLiteral("--home"), home.path()}, QStringLiteral("/opt/x"));
    EXPECT_TRUE(c.usePrivateServer);
    EXPECT_EQ(c.home, home.path());
    EXPECT_EQ(c.db.database, QStringLiteral("protask"));
    EXPECT_EQ(c.pluginPath, QStringLiteral("/opt/x/libprotask.so"));
}

TEST_F(ConfigTest, CommandLineWinsOverTheIniFile)
{
    QFile ini(home.path() + QStringLiteral("/protask-host.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Database]\nhost=db.example\nport=3307\nuser=clerk\npassword=secret\nname=suite\n");
    ini.close();

    HostConfig c = ParseHostConfig({QStringLiteral("host"), QStringLiteral("--home"), home.path()}, QStringLiteral("/x"));
    EXPECT_FALSE(c.usePrivateServer);
    EXPECT_EQ(c.db.host, QStringLiteral("db.example"));
    EXPECT_EQ(c.db.port, 3307);
    EXPECT_EQ(c.db.user, QStringLiteral("clerk"));
    EXPECT_EQ(c.db.password, QStringLiteral("secret"));
    EXPECT_EQ(c.db.database, QStringLiteral("suite"));

    c = ParseHostConfig({QStringLiteral("host"), QStringLiteral("--home"), home.path(), QStringLiteral("--db-name"),
                         QStringLiteral("other"), QStringLiteral("--db-port"), QStringLiteral("3310"), QStringLiteral("--user"),
                         QStringLiteral("系统管理员")},
                        QStringLiteral("/x"));
    EXPECT_EQ(c.db.database, QStringLiteral("other"));
    EXPECT_EQ(c.db.port, 3310);
    EXPECT_EQ(c.db.host, QStringLiteral("db.example"));
    EXPECT_EQ(c.signInUser, QStringLiteral("系统管理员"));

    EXPECT_THROW(ParseHostConfig({QStringLiteral("host"), QStringLiteral("--db-port"), QStringLiteral("abc")}, QStringLiteral("/x")),
                 std::runtime_error);
    EXPECT_THROW(ParseHostConfig({QStringLiteral("host"), QStringLiteral("--no-such")}, QStringLiteral("/x")), std::runtime_error);
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

    for (const QString &name : {QStringLiteral("t_host_plain"), QStringLiteral("t_host `tick` db"), QStringLiteral("t_host'quote")}) {
        SCOPED_TRACE(name.toStdString());
        const QString quoted = sqlQuotedIdentifier(name);
        q.exec(QStringLiteral("DROP DATABASE IF EXISTS ") + quoted);
        ConnectionSettings server = protask::testing::TestConnectionSettings(QStringLiteral("host-config"));
        const QString tool = protask::testing::SourceDir() + QStringLiteral("/scripts/protask-db");
        server.database = name;

        EXPECT_TRUE(CreateDatabaseOnFirstUse(tool, server, schema.fileName()));
        q.open(QStringLiteral("select count(*) as n from information_schema.TABLES where TABLE_SCHEMA = ")
               + sqlQuoted(name, q.database()) + QStringLiteral(" and TABLE_NAME = 't_probe'"));
        EXPECT_EQ(q.fieldByName(QStringLiteral("n")).toInt(), 1);
        q.exec(QStringLiteral("insert into %1.t_probe values (1)").arg(quoted));

        EXPECT_FALSE(CreateDatabaseOnFirstUse(tool, server, schema.fileName())) << "a database with tables is kept";
        q.open(QStringLiteral("select count(*) as n from %1.t_probe").arg(quoted));
        EXPECT_EQ(q.fieldByName(QStringLiteral("n")).toInt(), 1);
        q.exec(QStringLiteral("DROP DATABASE ") + quoted);
    }
}

TEST(HostSwitches, AreReadFromAndWrittenToTheParameterTable)
{
    protask::testing::EmptyAllTables();
    protask::testing::ExecScript(QStringLiteral(
        "insert into t_comparameters(FName, FTypeID, FBoolValue) values ('FIsCheckBill', 2, 1);"
        "insert into t_comparameters(FName, FTypeID, FIntValue) values ('FIsUseRight', 1, 1);"
        "insert into t_comparameters(FName, FTypeID, FFloatValue) values ('FTaxRate', 4, 13);"
        "insert into t_comparameters(FName, FTypeID, FBoolValue) values ('FWarnNegativeBatchStock', 2, 1)"));
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

    TDataSet q(dm.connection());
    q.open(QStringLiteral("select count(*) as n from t_comparameters where FName = 'FIsCheckBill'"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("n")).toInt(), 1) << "saving updates the row instead of adding one";
}

} // namespace
