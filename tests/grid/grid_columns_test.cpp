// Grid columns built from the lists of the module, and the layouts users keep.
#include "core/sql_helpers.h"
#include "grid/grid_columns.h"
#include "grid/grid_layout.h"
#include "grid/grid_view.h"
#include "platform/program_folder.h"
#include "test_db.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>

#include <stdexcept>

using namespace protask;
using namespace Qt::StringLiterals;
using protask::testing::ExecScript;

namespace {

// The company shows quantities with 3 places and prices with 4.
class GridColumns : public protask::testing::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ExecScript(u"insert into t_comCompany(FID, FName, FNumberDecimal, FPriceDecimal) values (1, '本公司', 3, 4)"_s);
    }
    const TGridColumn &col(const char *name) { return view.model()->column(view.columnIndex(QString::fromUtf8(name))); }
    // The editor kind of every column, numbered as in the kind lists (0: plain text).
    QString kinds()
    {
        QStringList list;
        for (const TGridColumn &c : view.model()->columns())
            list << QString::number(static_cast<int>(c.editorKind));
        return list.join(u' ');
    }
    QString number(const char *name) { return u"%1 %2"_s.arg(col(name).decimals).arg(col(name).displayFormat); }

    TGridView view;
};

TEST_F(GridColumns, KindsApplyByPositionAndMissingKindsArePlainText)
{
    ASSERT_TRUE(BuildGridColumns(&view, u"FA,FB,FC,FD,FE,FF,FG,FH"_s, u"A,B,C,D,E,F,G,H"_s, u"1,2,3,4,5,6,7"_s,
                                 u"1,0,1,yes"_s, u"10,20,30,40,50,60,70,80"_s));
    EXPECT_EQ(kinds(), u"1 2 3 4 5 6 7 0"_s);
    EXPECT_EQ(col("FD").checkedValue + col("FD").uncheckedValue, u"10"_s);
    EXPECT_EQ(number("FB"), u"3 ,0.000;-,0.000"_s);
    EXPECT_EQ(number("FC"), u"4 ,0.0000;-,0.0000"_s);
    EXPECT_EQ(col("FG").displayFormat, u",0.00;-,0.00"_s);
    // "1" is visible, anything else (also a missing entry) hidden
    QList<bool> visible;
    for (int i = 0; i < 5; ++i)
        visible.append(view.isColumnVisible(i));
    EXPECT_EQ(visible, (QList<bool>{true, false, true, false, false}));
    EXPECT_EQ(view.table()->columnWidth(view.columnIndex(u"FC"_s)), 30);
    EXPECT_EQ(view.model()->headerData(2, Qt::Horizontal).toString(), u"C"_s);
    EXPECT_EQ(view.model()->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
}

TEST_F(GridColumns, EachBuildReadsTheCompanyDecimalsAgain)
{
    const auto shown = [this] {
        EXPECT_TRUE(BuildGridColumns(&view, u"FNumber,FPrice"_s, u"数量,单价"_s, u"2,3"_s, u"1,1"_s, u"80,80"_s));
        view.model()->setRowCount(1);
        view.model()->setCell(0, 0, 1234.5);
        view.model()->setCell(0, 1, 1234.5);
        return view.model()->displayText(0, 0) + u' ' + view.model()->displayText(0, 1);
    };
    EXPECT_EQ(shown(), u"1,234.500 1,234.5000"_s);
    ExecScript(u"update t_comCompany set FNumberDecimal = 0, FPriceDecimal = null"_s);
    EXPECT_EQ(shown(), u"1,235 1,234.50"_s);
    EXPECT_EQ(number("FNumber") + u" | "_s + number("FPrice"), u"0 ,0.;-,0. | 2 ,0.00;-,0.00"_s);
    ExecScript(u"delete from t_comCompany"_s);
    EXPECT_EQ(shown(), u"1,234.50 1,234.50"_s) << "without a company row";
}

TEST_F(GridColumns, BadListsLeaveTheColumnsAsTheyWere)
{
    ASSERT_TRUE(BuildGridColumns(&view, u"FA,FB"_s, u"A,B"_s, QString(), u"1,1"_s, u"10,20"_s));
    EXPECT_FALSE(BuildGridColumns(&view, u" "_s, u"X"_s, QString(), u"1"_s, u"10"_s));
    EXPECT_FALSE(BuildGridColumns(&view, u"FX"_s, QString(), QString(), u"1"_s, u"10"_s));
    EXPECT_THROW(BuildGridColumns(&view, u"FX,FY"_s, u"X,Y"_s, QString(), u"1,1"_s, u"10,wide"_s),
                 std::invalid_argument);
    ASSERT_EQ(view.model()->columnCountValue(), 2);
    EXPECT_EQ(view.model()->column(1).name, u"FB"_s);

    view.setObjectName(u"R"_s);
    ASSERT_TRUE(BuildGridColumnsNamed(&view, u"FProductName"_s, u"商品名称"_s, QString(), u"1"_s, u"120"_s));
    EXPECT_EQ(view.model()->column(0).name + u' ' + view.model()->column(0).field, u"R_FProductName FProductName"_s);
}

// The production task list: its footer, and the list's helpers for check boxes, hidden
// columns and visible positions.
TEST_F(GridColumns, TheTaskListFromTheColumnTable)
{
    EXPECT_EQ(FindGridColumnSet(9999), nullptr);
    ASSERT_TRUE(BuildGridFromColumnTable(&view, 3049));
    const int number = view.columnIndex(u"FNumber"_s);
    view.model()->setRowCount(2);
    view.model()->setCell(0, number, u"1200.50000000"_s);
    view.model()->setCell(1, number, u"3"_s);
    EXPECT_EQ(view.footerText(view.columnIndex(u"FBillDate"_s)), u"合计: 2 行"_s);
    EXPECT_EQ(view.footerText(number), u"1,203.50"_s);

    SetCheckBoxColumn(&view, u"fischecked"_s, 0);
    EXPECT_EQ(col("FIsChecked").editorKind, GridEditorKind::Text);
    SetCheckBoxColumn(&view, u"fischecked"_s, 1);
    EXPECT_EQ(col("FIsChecked").editorKind, GridEditorKind::CheckBox);
    EXPECT_EQ(FindVisibleColumnIndex(&view, u"FNumber"_s), 4);
    EXPECT_FALSE(HideColumns(&view, u" "_s));
    EXPECT_TRUE(HideColumns(&view, u"FBillNo,FNoSuchColumn"_s));
    EXPECT_EQ(FindVisibleColumnIndex(&view, u"FNumber"_s), 3);
    EXPECT_EQ(FindVisibleColumnIndex(&view, u"FBillNo"_s), -1);
    EXPECT_EQ(FindColumnIndex(&view, u"fbillno"_s), 3);
    EXPECT_EQ(FindColumnIndex(&view, u"FNone"_s), -1);
}

// Each test keeps its layouts in a program folder of its own.
class GridLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        SetProgramFolder(folder.path());
        build(view);
    }
    void TearDown() override { SetProgramFolder(savedFolder); }
    static void build(TGridView &v)
    {
        BuildGridColumns(&v, u"FID,FProductName,FUnitName,FNumber,FNote"_s, u"FID,商品名称,单位,数量,备注"_s, QString(),
                         u"0,1,1,1,1"_s, u"10,120,60,80,150"_s);
    }
    int column(const char *name) const { return view.columnIndex(QString::fromUtf8(name)); }
    void writeFile(const QString &name, const QByteArray &content)
    {
        QDir().mkpath(folder.filePath(u"LSIniFile"_s));
        QFile file(GridLayoutPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // Each column's position and width, in column order; hidden columns marked.
    static QString layout(const TGridView &v)
    {
        QStringList list;
        for (int i = 0; i < v.model()->columnCountValue(); ++i)
            list << u"%1:%2%3"_s.arg(v.columnPosition(i)).arg(v.columnWidth(i)).arg(v.isColumnVisible(i) ? "" : "h");
        return list.join(u' ');
    }

    QString savedFolder = ProgramFolder();
    QTemporaryDir folder;
    TGridView view;
};

TEST_F(GridLayout, OrderAndWidthsComeBackButNeverCaptionsOrVisibility)
{
    // A file an older version wrote, with captions and visibility in it.
    const QString name = u"生产任务单"_s;
    writeFile(name, "[FNumber]\nCaption=Qty\nVisible=false\nWidth=33\n[FOldColumn]\nCaption=Old\nVisible=true\n");
    QHeaderView *header = view.table()->horizontalHeader();
    header->moveSection(header->visualIndex(column("FNumber")), 1);
    view.table()->setColumnWidth(column("FProductName"), 210);
    ASSERT_TRUE(SaveGridLayout(&view, name));
    const QByteArray text = protask::testing::ReadFileBytes(GridLayoutPath(name));
    EXPECT_FALSE(text.contains("Caption") || text.contains("Visible")) << text.constData();
    EXPECT_TRUE(text.contains("Width=210")) << text.constData();

    TGridView restored, hand;
    build(restored);
    build(hand);
    EXPECT_TRUE(RestoreGridLayout(&restored, name));
    EXPECT_EQ(layout(restored), u"0:10h 2:210 3:60 1:80 4:150"_s);
    EXPECT_EQ(restored.model()->column(3).caption, u"数量"_s);

    // A hand-made file may say anything about captions and visibility; a hidden column keeps
    // its width for when it is shown.
    writeFile(u"hand"_s,
              "[FID]\nVisible=true\nCaption=编号\nWidth=40\n[FNote]\nVisible=false\nCaption=附注\nPosition=0\n");
    EXPECT_TRUE(RestoreGridLayout(&hand, u"hand"_s));
    EXPECT_EQ(layout(hand), u"1:40h 2:120 3:60 4:80 0:150"_s);
    EXPECT_EQ(hand.model()->column(0).caption + hand.model()->column(4).caption, u"FID备注"_s);
    hand.setColumnVisible(column("FID"), true);
    EXPECT_EQ(hand.table()->columnWidth(column("FID")), 40);
}

TEST_F(GridLayout, DamagedOrMissingFilesRestoreWhatTheyCan)
{
    EXPECT_FALSE(RestoreGridLayout(&view, u"never-saved"_s));
    EXPECT_EQ(layout(view), u"0:10h 1:120 2:60 3:80 4:150"_s);
    writeFile(u"damaged"_s,
              QByteArray("\x01\xff garbage without a section\n[FNote\n=\n[")
                  + "\n[FUnitName]\nWidth=abc\nPosition=99\n[FNumber]\nWidth=-5\nPosition=-1\n"
                    "[FNoSuchColumn]\nWidth=90\nPosition=0\n[FProductName]\nWidth=95\nPosition=x\n");
    EXPECT_NO_THROW(RestoreGridLayout(&view, u"damaged"_s));
    EXPECT_EQ(layout(view), u"0:10h 1:95 2:60 3:80 4:150"_s);

    // A file where the folder should be: the save fails.
    QDir(folder.filePath(u"LSIniFile"_s)).removeRecursively();
    QFile blocker(folder.filePath(u"LSIniFile"_s));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(SaveGridLayout(&view, u"any"_s));
}

} // namespace
