#include "posting_engine.h"

#include "account_steps.h"
#include "nv_dm_base.h"
#include "posting_common.h"
#include "posting_dispatch.h"

namespace protask {

namespace {

bool hasPostingSteps(int billType) { return billType >= 3001 && billType <= 3090; }

// The cost marks answer nothing to the entries; they run in a savepoint of their own.
void markCostRecalculation(int billType, int billId, const QSqlDatabase &db)
{
    RunIgnorableStep(db, QStringLiteral("cost_marks"), [&] { return MarkBillCalFlag(billType, billId, db); });
}

} // namespace

bool CheckUpdateData(int billType, int billId, const QString &headerTable, int &errorCode, const QSqlDatabase &db)
{
    ClearLastPostingError();
    errorCode = 0;
    markCostRecalculation(billType, billId, db);
    if (hasPostingSteps(billType) && !RunPostingSteps(CheckSteps(billType), billType, billId, headerTable, errorCode, db))
        return false;
    // 3047 posts nothing and leaves its checked flag to its own module.
    if (billType == 3047)
        return true;
    if (headerTable.trimmed().isEmpty()) {
        errorCode = 8;
        return false;
    }
    TDataSet q(db);
    if (!PostExec(q, QStringLiteral("update ") + headerTable + QStringLiteral(" set FIsChecked = 1, FCheckerID = ")
                         + QString::number(nvDMBase::instance().userId) + QStringLiteral(" ,FCheckerDate = now() where FID = ")
                         + QString::number(billId))) {
        errorCode = 7;
        return false;
    }
    return true;
}

bool UnCheckUpdateData(int billType, int billId, const QString &headerTable, int &errorCode, const QSqlDatabase &db)
{
    ClearLastPostingError();
    errorCode = -1;
    if (billId == 0)
        return true;
    markCostRecalculation(billType, billId, db);
    if (hasPostingSteps(billType) && !RunPostingSteps(UnCheckSteps(billType), billType, billId, headerTable, errorCode, db))
        return false;
    if (billType == 3047)
        return true;
    TDataSet q(db);
    if (!PostExec(q, QStringLiteral("update ") + headerTable
                         + QStringLiteral(" set FIsChecked = 0, FCheckerID = null,FCheckerDate = null where FID = ")
                         + QString::number(billId))) {
        errorCode = 7;
        return false;
    }
    return true;
}

} // namespace protask
