// The program folder: where it is, what seeding copies into it, and its INI files.
#include "platform/program_folder.h"
#include "test_db.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace protask;
using protask::testing::ReadFileBytes;

namespace {

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(dir.path()); }
    void TearDown() override { SetProgramFolder(previous); }
    QString previous = ProgramFolder();
    QTemporaryDir dir;
};

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

TEST_F(ProgramFolderTest, PathsUseTheFolderWhateverSeparatorAndTheEnvironmentWhenNotSet)
{
    EXPECT_EQ(ProgramPath(QStringLiteral("Reports\\Bill\\生产任务单(标准).grf")),
              dir.path() + QStringLiteral("/Reports/Bill/生产任务单(标准).grf"));
    EXPECT_EQ(ProgramPath(QStringLiteral("/log/20240131.txt")), dir.path() + QStringLiteral("/log/20240131.txt"));

    SetProgramFolder(QString());
    qputenv("PROTASK_HOME", "/tmp/protask-home-probe");
    EXPECT_EQ(ProgramFolder(), QStringLiteral("/tmp/protask-home-probe"));
    qunsetenv("PROTASK_HOME");
    EXPECT_TRUE(ProgramFolder().endsWith(QStringLiteral("/protask")));
    EXPECT_FALSE(ProgramFolder().startsWith(QStringLiteral("/usr")));
}

TEST_F(ProgramFolderTest, SeedingCopiesShippedFilesButKeepsTheUsersOwn)
{
    QTemporaryDir shipped;
    writeFile(shipped.path() + QStringLiteral("/help/生产任务单.htm"), "shipped help");
    writeFile(shipped.path() + QStringLiteral("/Reports/Bill/生产任务单(标准).grf"), "shipped template");
    writeFile(ProgramPath(QStringLiteral("Reports/Bill/生产任务单(标准).grf")), "edited by the user");

    SeedProgramFolder(shipped.path());
    EXPECT_EQ(ReadFileBytes(ProgramPath(QStringLiteral("help/生产任务单.htm"))), QByteArray("shipped help"));
    EXPECT_EQ(ReadFileBytes(ProgramPath(QStringLiteral("Reports/Bill/生产任务单(标准).grf"))),
              QByteArray("edited by the user"));
}

TEST_F(ProgramFolderTest, IniValuesRoundTripIncludingChineseTexts)
{
    const QString vane = QStringLiteral("vane.ini"), main = QStringLiteral("Main"),
                  key = QStringLiteral("AppendBlankRow");
    EXPECT_FALSE(ReadIniValue(vane, main, key, false).toBool());
    ASSERT_TRUE(WriteIniValue(vane, main, key, true));
    EXPECT_TRUE(ReadIniValue(vane, main, key).toBool());
    EXPECT_TRUE(QFile::exists(ProgramPath(vane)));

    const QString grid = QStringLiteral("LSIniFile/生产任务单.ini");
    ASSERT_TRUE(WriteIniValue(grid, QStringLiteral("R_FNumber"), QStringLiteral("Width"), 120));
    EXPECT_EQ(ReadIniValue(grid, QStringLiteral("R_FNumber"), QStringLiteral("Width")).toInt(), 120);
}

} // namespace
