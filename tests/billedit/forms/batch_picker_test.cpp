// The batch picker: the batches it lists and the answer it gives, driven without exec().
#include "billedit/product_batch_form.h"

#include "grid/grid_view.h"
#include "test_db.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace protask;
using protask::testing::ExecScript;

namespace {

class BatchPickerTest : public protask::testing::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ExecScript(QStringLiteral(
            "insert into t_comStorehouse(FID, FName) values (1, '主仓'), (2, '分仓');"
            "insert into t_comProducts(FID, FNo, FName) values (4, 'M1', 'Milk');"
            "insert into t_comProductBatchNo(FID, FStorehouseID, FProductID, FBatchNo1, FNumber, FKFDate, FKFPeriod, "
            "FPeriodDate) values (11, 1, 4, 'B-c', 5, '2024-02-01', 30, '2024-03-02'),"
            " (12, 1, 4, 'B-a', -2, '2024-01-15', 30, '2024-02-14'), (13, 1, 4, 'B-z', 0, '2024-01-01', 30, null),"
            " (14, 2, 4, 'B-b', 3, '2023-12-01', 30, '2023-12-31')"));
        picker.FProductID = 4;
        picker.FStorehouseID = 1;
        picker.LoadData();
    }

    QString shown(int row) const
    {
        QStringList cells;
        const TGridModel *model = picker.grid()->model();
        for (int c = 0; c < model->columnCountValue(); ++c) {
            if (picker.grid()->isColumnVisible(c))
                cells << model->displayText(row, c);
        }
        return cells.join(u'|');
    }

    TFBaseForm_ProductBatchNo picker;
};

TEST_F(BatchPickerTest, ListsTheProductsBatchesWithStockInTheStorehouse)
{
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("库存批号"));
    EXPECT_EQ(picker.productNoText(), QStringLiteral("M1"));
    EXPECT_EQ(picker.productNameText(), QStringLiteral("Milk"));
    ASSERT_EQ(picker.grid()->model()->rowCountValue(), 2);
    EXPECT_EQ(shown(0), QStringLiteral("B-a|-2.00|Milk|主仓|2024-01-15|30|2024-02-14"));
    EXPECT_EQ(shown(1), QStringLiteral("B-c|5.00|Milk|主仓|2024-02-01|30|2024-03-02"));
    EXPECT_EQ(picker.selectedRow(), -1) << "nothing is chosen until the user picks";
}

TEST_F(BatchPickerTest, OkAnswersTheSelectedBatchOrNone)
{
    picker.acceptSelection();
    EXPECT_EQ(picker.FID, 0);
    EXPECT_FALSE(picker.bRet);
    EXPECT_EQ(picker.result(), QDialog::Rejected);

    picker.selectRow(1);
    picker.acceptSelection();
    EXPECT_EQ(picker.FID, 11);
    EXPECT_TRUE(picker.bRet);
    EXPECT_EQ(picker.result(), QDialog::Accepted);

    picker.selectRow(-1);
    Q_EMIT picker.grid()->table()->doubleClicked(picker.grid()->model()->index(0, 4));
    EXPECT_EQ(picker.FID, 12) << "a double click takes the row clicked";
    EXPECT_TRUE(picker.bRet);

    picker.exitDialog();
    EXPECT_FALSE(picker.bRet);
    EXPECT_EQ(picker.result(), QDialog::Rejected);
}

} // namespace
