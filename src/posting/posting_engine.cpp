#include "posting/posting_engine.h"

#include "core/bill_types.h"

#include "platform/nv_dm_base.h"
#include "posting/account_steps.h"
#include "posting/posting_common.h"
#include "posting/posting_dispatch.h"

namespace protask {

namespace {

bool hasPostingSteps(int billType) { return billType >= 3001 && billType <= 3090; }

// The cost marks answer nothing to the entries; they run in a savepoint of their own.
void markCostRecalculation(int billType, int billId, const QSqlDatabase &db)
{
    RunIgnorableStep(db, QStringLiteral("cost_marks"), [&] { return MarkBillCalFlag(billType, billId, db); });
}

// The flag is the last write; a server error there reports its own code.
void writeCheckedFlag(const QString &headerTable, const QString &assignments, int &errorCode, const QSqlDatabase &db)
{
    const int before = errorCode;
    errorCode = PostingCode::CheckedFlag;
    TDataSet q(db);
    PostExec(q, QStringLiteral("update ") + headerTable + assignments);
    errorCode = before;
}

} // namespace

bool CheckUpdateData(int billType, int billId, const QString &headerTable, int &errorCode, const QSqlDatabase &db)
{
    errorCode = PostingCode::CheckStart;
    markCostRecalculation(billType, billId, db);
    if (hasPostingSteps(billType)
        && !RunPostingSteps(CheckSteps(billType), billType, billId, headerTable, errorCode, db))
        return false;
    // 3047 posts nothing and leaves its checked flag to its own module.
    if (billType == BillType::CostFlagOnly)
        return true;
    if (headerTable.trimmed().isEmpty()) {
        errorCode = PostingCode::NoHeaderTable;
        return false;
    }
    writeCheckedFlag(headerTable,
                     QStringLiteral(" set FIsChecked = 1, FCheckerID = ") + QString::number(nvDMBase::instance().userId)
                         + QStringLiteral(" ,FCheckerDate = now() where FID = ") + QString::number(billId),
                     errorCode, db);
    return true;
}

bool UnCheckUpdateData(int billType, int billId, const QString &headerTable, int &errorCode, const QSqlDatabase &db)
{
    errorCode = PostingCode::UnCheckStart;
    if (billId == 0)
        return true;
    markCostRecalculation(billType, billId, db);
    if (hasPostingSteps(billType)
        && !RunPostingSteps(UnCheckSteps(billType), billType, billId, headerTable, errorCode, db))
        return false;
    if (billType == BillType::CostFlagOnly)
        return true;
    writeCheckedFlag(headerTable,
                     QStringLiteral(" set FIsChecked = 0, FCheckerID = null,FCheckerDate = null where FID = ")
                         + QString::number(billId),
                     errorCode, db);
    return true;
}

} // namespace protask
