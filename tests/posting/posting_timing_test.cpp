// Time to check and to uncheck a 100-line purchase and a 100-line sales-out whose batch
// products are allocated over several batches each; median of 20 runs, commit included.
// Run by hand: posting_tests --gtest_also_run_disabled_tests --gtest_filter='PostingTiming.*'
#include "posting_engine.h"
#include "posting_test_util.h"
#include "test_db.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

constexpr int kRuns = 20;
constexpr int kLines = 100;
// One batch product per line (100..199, a box of 12 besides the piece), each with three
// batches: the line names X1, which holds 2, so every line takes from two batch rows. No two
// lines share a batch row: releasing a bill adds back one out-batch record per batch row.
constexpr int kProducts = kLines;
constexpr int kFirstProduct = 100;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double timed(bool checkIt, int type, int bill, const QString &form)
{
    QElapsedTimer t;
    t.start();
    int code = 0;
    TransactionGuard tx(Db());
    const bool ok = checkIt ? CheckUpdateData(type, bill, form, code) : UnCheckUpdateData(type, bill, form, code);
    EXPECT_TRUE(ok) << code;
    tx.commit();
    return t.nsecsElapsed() / 1e6;
}

QList<QVariantMap> hundredLines()
{
    QList<QVariantMap> lines;
    for (int n = 0; n < kLines; ++n) {
        const int product = kFirstProduct + n;
        QVariantMap line{{"FProductID", product},
                         {"FUnitID", n % 4 == 0 ? kUnitBox : kUnitPiece},
                         {"FNumber", n % 4 == 0 ? 1 : 3},
                         {"FPrice", 2.5},
                         {"FAmount", 7.5},
                         {"FTobeDiscountAmount", 7.5},
                         {"FFromOrderListID", kSaleOrderLine}};
        line.insert(QStringLiteral("FBatchNo1"), QStringLiteral("X1"));
        line.insert(QStringLiteral("FKFDate"), QDate(2026, 1, 1));
        lines << line;
    }
    return lines;
}

TEST(PostingTiming, DISABLED_CheckAndUncheckOfHundredLineBills)
{
    EmptyAllTables();
    SeedWorld();
    for (int p = kFirstProduct; p < kFirstProduct + kProducts; ++p) {
        SeedProduct(p, QStringLiteral("批次商品%1").arg(p), true);
        SeedProductUnit(p, 1, kUnitPiece, 1);
        SeedProductUnit(p, 2, kUnitBox, kBoxRatio);
        SeedBatch(kStore, p, QStringLiteral("X1"), QDate(2026, 1, 1), 2);
        SeedBatch(kStore, p, QStringLiteral("X2"), QDate(2026, 2, 1), 30);
        SeedBatch(kStore, p, QStringLiteral("X3"), QDate(2026, 3, 1), 30);
    }
    const QVariantMap header{{"FStorehouseID", kStore}, {"FClientID", kClient}, {"FAmount", 750}, {"FCashID", kCash}};
    QVariantMap purchase = header;
    purchase.insert(QStringLiteral("FPayAmount"), 100);
    QVariantMap sale = header;
    sale.insert(QStringLiteral("FReceiveAmount"), 100);
    SeedBill(3002, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), 1, purchase, hundredLines());
    SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), 2, sale, hundredLines());

    struct Bill {
        const char *name;
        int type;
        int id;
        QString form;
    };
    for (const Bill &b : {Bill{"purchase 3002", 3002, 1, QStringLiteral("t_PurForm")},
                          Bill{"sales-out 3004 with batch allocation", 3004, 2, QStringLiteral("t_SaleOutForm")}}) {
        std::vector<double> checks;
        std::vector<double> unchecks;
        for (int run = 0; run < kRuns; ++run) {
            checks.push_back(timed(true, b.type, b.id, b.form));
            unchecks.push_back(timed(false, b.type, b.id, b.form));
        }
        std::printf("[ posting ] %s, %d lines: check median %.1f ms (min %.1f, max %.1f), uncheck median %.1f ms (min %.1f, "
                    "max %.1f)\n",
                    b.name, kLines, median(checks), *std::min_element(checks.begin(), checks.end()),
                    *std::max_element(checks.begin(), checks.end()), median(unchecks),
                    *std::min_element(unchecks.begin(), unchecks.end()), *std::max_element(unchecks.begin(), unchecks.end()));
    }
    // Every run was taken back: the batches hold what they held at the start.
    EXPECT_DOUBLE_EQ(Number(QStringLiteral("select sum(FNumber) from t_comProductBatchNo where FProductID >= %1").arg(kFirstProduct)),
                     kProducts * (2 + 2 * 30));
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_comProductOutBatchNo")), 0);
}

} // namespace
