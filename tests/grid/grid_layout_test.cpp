#include "grid/grid_columns.h"
#include "grid/grid_layout.h"
#include "grid/grid_view.h"
#include "platform/program_folder.h"
#include "test_db.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>

using namespace protask;
using namespace Qt::StringLiterals;

namespace {

// Each test keeps its layouts in a program folder of its own.
class GridLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        SetProgramFolder(folder.path());
        build(view);
    }
    static void build(TGridView &v)
    {
        BuildGridColumns(&v, u"FID,FProductName,FUnitName,FNumber,FNote"_s, u"FID,商品名称,单位,数量,备注"_s, QString(),
                         u"0,1,1,1,1"_s, u"10,120,60,80,150"_s);
    }
    void TearDown() override { SetProgramFolder(savedFolder); }

    int column(const char *name) const { return view.columnIndex(QString::fromUtf8(name)); }
    void writeFile(const QString &name, const QByteArray &content)
    {
        QDir().mkpath(folder.filePath(u"LSIniFile"_s));
        QFile file(GridLayoutPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // Captions as shown, hidden ones marked.
    QString captions(const TGridView &v) const
    {
        QStringList list;
        for (int i = 0; i < v.model()->columnCountValue(); ++i)
            list << v.model()->column(i).caption + (v.isColumnVisible(i) ? "" : "(hidden)");
        return list.join(u' ');
    }
    // Each column's position and width, in column order.
    QString layout(const TGridView &v) const
    {
        QStringList list;
        for (int i = 0; i < v.model()->columnCountValue(); ++i)
            list << u"%1:%2"_s.arg(v.columnPosition(i)).arg(v.columnWidth(i));
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
    QFile file(GridLayoutPath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_FALSE(text.contains("Caption") || text.contains("Visible")) << text.constData();
    EXPECT_TRUE(text.contains("Width=210")) << text.constData();

    TGridView restored, hand;
    build(restored);
    build(hand);
    EXPECT_TRUE(RestoreGridLayout(&restored, name));
    EXPECT_EQ(layout(restored), u"0:10 2:210 3:60 1:80 4:150"_s);
    EXPECT_EQ(restored.table()->columnWidth(column("FProductName")), 210);
    EXPECT_EQ(captions(restored), u"FID(hidden) 商品名称 单位 数量 备注"_s);

    // A hand-made file may say anything about captions and visibility; a hidden column keeps
    // its width for when it is shown.
    writeFile(u"hand"_s,
              "[FID]\nVisible=true\nCaption=编号\nWidth=40\n[FNote]\nVisible=false\nCaption=附注\nPosition=0\n");
    EXPECT_TRUE(RestoreGridLayout(&hand, u"hand"_s));
    EXPECT_EQ(captions(hand), u"FID(hidden) 商品名称 单位 数量 备注"_s);
    EXPECT_EQ(layout(hand), u"1:40 2:120 3:60 4:80 0:150"_s);
    hand.setColumnVisible(column("FID"), true);
    EXPECT_EQ(hand.table()->columnWidth(column("FID")), 40);
}

TEST_F(GridLayout, DamagedOrMissingFilesRestoreWhatTheyCan)
{
    EXPECT_FALSE(RestoreGridLayout(&view, u"never-saved"_s));
    EXPECT_EQ(layout(view), u"0:10 1:120 2:60 3:80 4:150"_s);
    writeFile(u"damaged"_s,
              QByteArray("\x01\xff garbage without a section\n[FNote\n=\n[")
                  + "\n[FUnitName]\nWidth=abc\nPosition=99\n[FNumber]\nWidth=-5\nPosition=-1\n"
                    "[FNoSuchColumn]\nWidth=90\nPosition=0\n[FProductName]\nWidth=95\nPosition=x\n");
    EXPECT_NO_THROW(RestoreGridLayout(&view, u"damaged"_s));
    EXPECT_EQ(layout(view), u"0:10 1:95 2:60 3:80 4:150"_s);

    // A file where the folder should be: the save fails.
    QFile blocker(folder.filePath(u"LSIniFile"_s));
    QDir(folder.filePath(u"LSIniFile"_s)).removeRecursively();
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(SaveGridLayout(&view, u"any"_s));
}

} // namespace
