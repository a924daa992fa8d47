#include "grid/grid_columns.h"
#include "grid/grid_layout.h"
#include "grid/grid_view.h"
#include "platform/program_folder.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace protask;

namespace {

class GridLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedFolder = ProgramFolder();
        ASSERT_TRUE(folder.isValid());
        SetProgramFolder(folder.path());
    }
    void TearDown() override { SetProgramFolder(savedFolder); }

    static std::unique_ptr<TGridView> makeView()
    {
        auto view = std::make_unique<TGridView>();
        BuildGridColumns(view.get(), QStringLiteral("FID,FProductName,FUnitName,FNumber,FNote"),
                         QStringLiteral("FID,商品名称,单位,数量,备注"), QString(), QStringLiteral("0,1,1,1,1"),
                         QStringLiteral("10,120,60,80,150"));
        return view;
    }
    static int column(const TGridView &view, const char *name) { return view.columnIndex(QString::fromUtf8(name)); }
    static QHeaderView *header(const TGridView &view) { return view.table()->horizontalHeader(); }
    void writeFile(const QString &name, const QByteArray &content)
    {
        QDir().mkpath(folder.path() + QStringLiteral("/LSIniFile"));
        QFile file(GridLayoutPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray readFile(const QString &name)
    {
        QFile file(GridLayoutPath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList captions(const TGridView &view)
    {
        QStringList list;
        for (int i = 0; i < view.model()->columnCountValue(); ++i)
            list.append(view.model()->column(i).caption + (view.isColumnVisible(i) ? QString() : QStringLiteral("(hidden)")));
        return list;
    }

    QTemporaryDir folder;
    QString savedFolder;
};

TEST_F(GridLayout, SavedOrderAndWidthsComeBackWithoutCaptionOrVisibleKeys)
{
    const QString name = QStringLiteral("生产任务单");
    // A file an older version wrote, with captions and visibility in it.
    writeFile(name, "[FNumber]\nCaption=Qty\nVisible=false\nWidth=33\n[FOldColumn]\nCaption=Old\nVisible=true\n");

    auto saved = makeView();
    header(*saved)->moveSection(header(*saved)->visualIndex(column(*saved, "FNumber")), 1);
    saved->table()->setColumnWidth(column(*saved, "FProductName"), 210);
    ASSERT_TRUE(SaveGridLayout(saved.get(), name));
    const QByteArray text = readFile(name);
    EXPECT_FALSE(text.contains("Caption")) << text.constData();
    EXPECT_FALSE(text.contains("Visible")) << text.constData();
    EXPECT_TRUE(text.contains("Width=210")) << text.constData();

    auto restored = makeView();
    const QStringList before = captions(*restored);
    EXPECT_TRUE(RestoreGridLayout(restored.get(), name));
    EXPECT_EQ(restored->columnPosition(column(*restored, "FNumber")), 1);
    EXPECT_EQ(restored->columnPosition(column(*restored, "FID")), 0);
    EXPECT_EQ(restored->columnPosition(column(*restored, "FProductName")), 2);
    EXPECT_EQ(restored->columnPosition(column(*restored, "FNote")), 4);
    EXPECT_EQ(restored->table()->columnWidth(column(*restored, "FProductName")), 210);
    EXPECT_EQ(restored->columnWidth(column(*restored, "FProductName")), 210);
    EXPECT_EQ(captions(*restored), before);
}

TEST_F(GridLayout, RestoreNeverTakesCaptionsOrVisibilityFromTheFile)
{
    writeFile(QStringLiteral("hand"), "[FID]\nVisible=true\nCaption=编号\nWidth=40\n"
                                      "[FNote]\nVisible=false\nCaption=附注\nPosition=0\n");
    auto view = makeView();
    const QStringList before = captions(*view);
    EXPECT_TRUE(RestoreGridLayout(view.get(), QStringLiteral("hand")));
    EXPECT_EQ(captions(*view), before);
    EXPECT_EQ(view->columnPosition(column(*view, "FNote")), 0);
    EXPECT_EQ(view->columnWidth(column(*view, "FID")), 40); // kept for when it is shown
    view->setColumnVisible(column(*view, "FID"), true);
    EXPECT_EQ(view->table()->columnWidth(column(*view, "FID")), 40);
}

TEST_F(GridLayout, DamagedOrMissingFilesRestoreWhatTheyCan)
{
    auto view = makeView();
    EXPECT_FALSE(RestoreGridLayout(view.get(), QStringLiteral("never-saved")));
    EXPECT_EQ(view->columnWidth(column(*view, "FNote")), 150);

    writeFile(QStringLiteral("damaged"), QByteArray("\x01\xff garbage without a section\n[FNote\n=\n[")
                                             + "\n[FUnitName]\nWidth=abc\nPosition=99\n"
                                               "[FNumber]\nWidth=-5\nPosition=-1\n"
                                               "[FNoSuchColumn]\nWidth=90\nPosition=0\n"
                                               "[FProductName]\nWidth=95\nPosition=x\n");
    EXPECT_NO_THROW(RestoreGridLayout(view.get(), QStringLiteral("damaged")));
    EXPECT_EQ(view->columnWidth(column(*view, "FProductName")), 95);
    EXPECT_EQ(view->columnWidth(column(*view, "FUnitName")), 60);
    EXPECT_EQ(view->columnWidth(column(*view, "FNumber")), 80);
    for (int i = 0; i < view->model()->columnCountValue(); ++i)
        EXPECT_EQ(view->columnPosition(i), i);
}

TEST_F(GridLayout, SaveReportsAFolderItCannotCreate)
{
    QFile blocker(folder.path() + QStringLiteral("/LSIniFile"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    auto view = makeView();
    EXPECT_FALSE(SaveGridLayout(view.get(), QStringLiteral("any")));
}

} // namespace
