#include "billlist/model/list_actions.h"

#include "billedit/model/bill_actions.h"
#include "billlist/model/list_query.h"
#include "core/bill_types.h"
#include "core/db_actions.h"
#include "core/rights.h"
#include "core/values.h"
#include "platform/host_messages.h"
#include "platform/prompter.h"
#include "posting/batch_steps.h"

namespace protask {

namespace {

QString text(const char *s) { return QString::fromUtf8(s); }

quint32 bit(ListAction action) { return 1u << int(action); }

bool rowExists(const QString &sql, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q, sql);
    return !q.isEmpty();
}

QVariant fieldOf(const QVariantMap &values, const char *name) { return values.value(QString::fromLatin1(name)); }

ListRow rowFrom(const std::function<QVariant(const char *)> &field)
{
    ListRow r;
    const QVariant id = field("FID");
    r.id = IsBlankValue(id) ? 0 : id.toInt();
    r.billNo = ValueToTrimmedText(field("FBillNo"));
    const QVariant date = field("FBillDate");
    r.billDate = date.typeId() == QMetaType::QDate ? date.toDate() : date.toDateTime().date();
    r.billTypeId = field("FBillTypeID");
    r.checked = field("FIsChecked").toString().trimmed() == u"1";
    return r;
}

// The bill as the shared posting sees it: a stored bill of the row's effective type, logged
// under the list's title.
BillRef storedBill(const ListContext &list, const ListRow &row, int billType)
{
    BillRef b;
    b.billType = billType;
    b.formTable = list.formTable;
    b.listTable = list.listTable;
    b.caption = list.title;
    b.billId = row.id;
    b.statusId = BillStatus::Saved;
    b.billNo = row.billNo;
    b.initBillNo = row.billNo;
    b.billDate = row.billDate;
    return b;
}

bool rowStateEnabled(const ListContext &list, ListAction action, const ListRow &row)
{
    for (const ListButtonState &s : ListRowStates(list, &row)) {
        if (s.action == action)
            return s.enabled;
    }
    return true;
}

// The lines' quantities of a bill in base units, per storehouse (`storehouse`: the column with
// its alias; empty: per product only) and product, that its storehouse balance does not cover.
QString shortageSql(const QString &formTable, const QString &listTable, int billId, const QString &storehouse)
{
    const bool byStore = !storehouse.isEmpty();
    return QStringLiteral("SELECT  TT2.FProductID, TT2.FProductName,SUM(IFNULL(TT1.FNumber,0)) AS "
                          "FNumber,SUM(IFNULL(TT2.FNumber,0)) FROM (  SELECT ")
        + (byStore ? storehouse + QStringLiteral(" as FStorehouseID, ") : QString())
        + QStringLiteral("T2.FProductID,T4.FName as FProductName,  "
                         "  SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.FNumber,0)  "
                         "   ELSE IFNULL(T2.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber "
                         "  FROM ")
        + formTable + QStringLiteral(" T1 INNER JOIN ") + listTable
        + QStringLiteral(" T2 ON T1.FID = T2.FFormID  "
                         "   LEFT JOIN t_comProductUnit T3 ON T2.FProductID = T3.FProductID AND T2.FUnitId = "
                         "T3.FUnitID  "
                         "   left join t_comProducts T4 on T2.FProductID = T4.FID "
                         "  WHERE T1.FID = ")
        + sqlNumber(billId) + QStringLiteral(" GROUP BY ") + (byStore ? storehouse + QStringLiteral(", ") : QString())
        + QStringLiteral("T2.FProductID,T4.FName  ")
        + (byStore ? QStringLiteral(" ) TT2 LEFT JOIN t_Balance TT1   ON TT1.FProductID = TT2.FProductID AND "
                                    "TT1.FStorehouseID = TT2.FStorehouseID  ")
                   : QStringLiteral(" ) TT2 LEFT JOIN t_Balance TT1   ON TT1.FProductID = TT2.FProductID  "))
        // Each line group of the bill is compared once with the balance rows it meets: summing its
        // quantity once per storehouse holding the product would report a shortage where the
        // storehouses together cover it.
        + (byStore ? QStringLiteral(" GROUP BY TT2.FStorehouseID, TT2.FProductID, TT2.FProductName,TT2.FNumber  ")
                   : QStringLiteral(" GROUP BY TT2.FProductID, TT2.FProductName,TT2.FNumber  "))
        + QStringLiteral(" HAVING SUM(IFNULL(TT1.FNumber,0)) < IFNULL(TT2.FNumber,0)");
}

QString dismantlingShortageSql(const QString &formTable, int billId)
{
    return QStringLiteral("SELECT  TT2.FProductID, TT2.FProductName,SUM(IFNULL(TT1.FNumber,0)) AS "
                          "FNumber,SUM(IFNULL(TT2.FNumber,0)) FROM (  SELECT T1.FStorehouseID, T1.FProductID,T4.FName "
                          "as FProductName,    SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.FNumber,0)     "
                          "ELSE IFNULL(T1.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber   FROM ")
        + formTable
        + QStringLiteral(" T1    LEFT JOIN t_comProductUnit T3 ON T1.FProductID = T3.FProductID AND T1.FUnitId = "
                         "T3.FUnitID     left join t_comProducts T4 on T1.FProductID = T4.FID   WHERE T1.FID = ")
        + sqlNumber(billId)
        + QStringLiteral(" GROUP BY T1.FStorehouseID, T1.FProductID,T4.FName   ) TT2 LEFT JOIN t_Balance TT1   ON "
                         "TT1.FProductID = TT2.FProductID AND TT1.FStorehouseID = TT2.FStorehouseID   GROUP BY "
                         "TT1.FProductID, TT2.FProductName,TT2.FNumber   HAVING SUM(IFNULL(TT1.FNumber,0)) < "
                         "SUM(IFNULL(TT2.FNumber,0))");
}

// A refusal inside a transaction, shown after the rollback.
struct Refusal {
    PromptKind kind = PromptKind::Warning;
    QString message;
};

} // namespace

ListRow ListRowFromValues(const QVariantMap &values)
{
    return rowFrom([&](const char *name) { return fieldOf(values, name); });
}

ListRow ListRowAt(const TDataSet &list, int row)
{
    if (row < 0 || row >= list.recordCount())
        return {};
    return rowFrom([&](const char *name) {
        const QString field = QString::fromLatin1(name);
        return list.hasField(field) ? list.value(row, field) : QVariant();
    });
}

ListRow ReadListRow(const QString &formTable, int billId, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral("select FID, FBillNo, FBillDate, FIsChecked from ") + formTable.trimmed()
                  + QStringLiteral(" where FID = ") + QString::number(billId));
    return ListRowAt(q, 0);
}

ListContext OpenListContext(int billType, const HostSwitches &switches, const QSqlDatabase &db)
{
    ListContext c;
    c.billType = billType;
    c.title = BillListTitle(billType);
    const ListQuery tables = BuildListQuery(billType, {}, {}, ListQueryShape::SubqueryFind, db);
    c.formTable = tables.formTable;
    c.listTable = tables.listTable;
    c.switches = switches;

    const BillListType *type = FindBillListType(billType);
    if (!type || !type->addReturn)
        c.hiddenButtons |= bit(ListAction::AddReturn);
    if (!type || !type->voucher)
        c.hiddenButtons |= bit(ListAction::CreateVoucher) | bit(ListAction::DisplayVoucher);
    if (!switches.checkWorkflow) {
        c.hiddenButtons |= bit(ListAction::Check) | bit(ListAction::UnCheck) | bit(ListAction::Display);
        return c;
    }
    if (switches.rightsSwitch == 0)
        return c;
    if (billType == kRetailList)
        c.hiddenButtons |= bit(ListAction::Edit) | bit(ListAction::Check) | bit(ListAction::UnCheck)
            | bit(ListAction::Print) | bit(ListAction::Preview) | bit(ListAction::ExportOut);
    // A right can hide a button, never show one that the bill type hides.
    for (const ListActionInfo &info : ListActionTable()) {
        if (info.rightOperation != 0 && c.buttonVisible(info.action)
            && !CheckOperationRight(billType, info.rightOperation, db))
            c.hiddenButtons |= bit(info.action);
    }
    return c;
}

QList<ListButtonState> ListRowStates(const ListContext &list, const ListRow *current)
{
    if (!list.switches.checkWorkflow || !current || current->id == 0)
        return {};
    const bool checked = current->checked;
    const QList<ListButtonState> states = {
        {ListAction::Edit, !checked},   {ListAction::Delete, !checked || list.billType == kRetailList},
        {ListAction::Check, !checked},  {ListAction::Display, checked},
        {ListAction::UnCheck, checked},
    };
    QList<ListButtonState> visible;
    for (const ListButtonState &s : states) {
        if (list.buttonVisible(s.action))
            visible.append(s);
    }
    return visible;
}

bool ListActionAllowed(const ListContext &list, ListAction action, const ListRow &row)
{
    const ListActionInfo &info = ListActionInfoOf(action);
    if (info.needsRow && row.id == 0)
        return false;
    if (action == ListAction::AddReturn && !list.buttonVisible(ListAction::Add))
        return false;
    if (!list.switches.checkWorkflow)
        return action != ListAction::Check && action != ListAction::UnCheck;
    if (!info.guardButton.isEmpty() && !list.buttonVisible(action == ListAction::AddReturn ? ListAction::Add : action))
        return false;
    return !info.needsRow || rowStateEnabled(list, action, row);
}

ListAction ListDoubleClickAction(const ListContext &list, const ListRow &row)
{
    if (!list.switches.checkWorkflow)
        return ListAction::Edit;
    return row.checked ? ListAction::Display : ListAction::Edit;
}

std::optional<ListHostRequest> ListHostRequestFor(const ListContext &list, ListAction action, const ListRow &row)
{
    if (!ListActionAllowed(list, action, row))
        return std::nullopt;
    switch (action) {
    case ListAction::Add: return ListHostRequest{HostMsg::NewBill, list.billType, 0, false};
    case ListAction::AddReturn:
        if (list.billType == 3002)
            return ListHostRequest{HostMsg::NewBill, 3015, 0, false};
        if (list.billType == 3004)
            return ListHostRequest{HostMsg::NewBill, 3016, 0, false};
        return std::nullopt;
    case ListAction::Edit:
    case ListAction::Display:
        return ListHostRequest{action == ListAction::Edit ? HostMsg::OpenWindow : HostMsg::DisplayBill,
                               EffectiveBillType(list.billType, action, row.billTypeId), row.id, false};
    case ListAction::Close: return ListHostRequest{HostMsg::CloseForm, list.billType, 0, true};
    default: return std::nullopt;
    }
}

QStringList ListHiddenColumns(int billType, bool checkWorkflow, const QSqlDatabase &db)
{
    QStringList hidden;
    if (!checkWorkflow)
        hidden << QStringLiteral("FIsChecked") << QStringLiteral("FCheckName");
    if (billType == 3006 && GetUserRightType(db) != 2)
        hidden << QStringLiteral("FPayTobeAmount") << QStringLiteral("FPayAmount");
    return hidden;
}

int ListRowToKeep(const TDataSet &list, int billId, int oldRow)
{
    if (list.recordCount() == 0)
        return -1;
    if (billId != 0 && list.hasField(QStringLiteral("FID"))) {
        for (int r = 0; r < list.recordCount(); ++r) {
            if (list.value(r, QStringLiteral("FID")).toInt() == billId)
                return r;
        }
    }
    return qBound(0, oldRow, list.recordCount() - 1);
}

ListOutcome DeleteListBill(const ListContext &list, const ListRow &row, const QSqlDatabase &db)
{
    if (!ListActionAllowed(list, ListAction::Delete, row))
        return ListOutcome::Ignored;
    const int id = row.id;
    Prompter &prompter = Prompter::current();

    bool referenced = false;
    for (const ListReferenceTest &test : ListReferenceTests(list.billType)) {
        const QString &table = test.onLines ? list.listTable : list.formTable;
        // What another workstation made from this bill a moment ago counts, on any node.
        if (!rowExists(causalRead(QStringLiteral("select * from ") + table + ListReferenceCondition(test, id), db), db))
            continue;
        prompter.information(test.message);
        if (test.stops)
            return ListOutcome::Refused;
        referenced = true;
    }
    if (IsPeriodClosed(list.formTable, id, false, db)) {
        prompter.warning(text(ListMessage::PeriodClosed));
        return ListOutcome::Refused;
    }
    if (HasVoucher(list.formTable, id, false, db)) {
        prompter.warning(text(ListMessage::VoucherMade));
        return ListOutcome::Refused;
    }
    if (referenced)
        return ListOutcome::Refused;
    if (!prompter.askYesNo(text(ListMessage::ConfirmDelete), PromptKind::Warning))
        return ListOutcome::Cancelled;

    // Without the check workflow every saved bill is posted; the retail list posts on saving too.
    const bool unpost = list.billType == kRetailList || !list.switches.checkWorkflow;
    StoredBillSteps steps;
    const BillRef bill = storedBill(list, row, EffectiveBillType(list.billType, ListAction::Delete, row.billTypeId));
    Refusal refusal;
    TransactionOptions options;
    options.landed = [&](const QSqlDatabase &c) {
        return !rowExists(
            QStringLiteral("select FID from ") + list.formTable + QStringLiteral(" where FID = ") + sqlNumber(id), c);
    };
    const TransactionResult r = RunTransaction(
        db,
        [&]() {
            refusal = {};
            TDataSet q(db);
            q.open(QStringLiteral("select FIsChecked from ") + list.formTable + QStringLiteral(" where FID = ")
                   + sqlNumber(id) + QStringLiteral(" for update"));
            if (q.isEmpty())
                return true; // another workstation deleted it meanwhile
            // Checked by another workstation since the row was read: deleting it now would
            // leave its posting behind. The refreshed list shows it checked.
            if (!unpost && ValueToInt(q.fieldByName(QStringLiteral("FIsChecked"))) == 1) {
                refusal = {PromptKind::Error, text(ListMessage::DeleteFailed)};
                return false;
            }
            int errorCode = 0;
            if (unpost && !steps.UnpostBill(bill, errorCode)) {
                refusal = {PromptKind::Warning, text(ListMessage::UnpostFailed)};
                return false;
            }
            if (!list.listTable.trimmed().isEmpty())
                ExecQuery(q,
                          QStringLiteral("delete from ") + list.listTable + QStringLiteral(" where FFormID = ")
                              + sqlNumber(id));
            ExecQuery(
                q, QStringLiteral("delete from ") + list.formTable + QStringLiteral(" where FID = ") + sqlNumber(id));
            WriteOperationLog(QStringLiteral("删除操作 - 单据号:") + row.billNo, list.title, db);
            return true;
        },
        options);
    if (r.committed)
        return ListOutcome::Done;
    if (r.reported)
        return ListOutcome::Failed;
    if (r.refused)
        prompter.show(refusal.kind, refusal.message);
    else
        prompter.error(text(ListMessage::DeleteFailed));
    return ListOutcome::Failed;
}

ListOutcome CheckListBill(const ListContext &list, const ListRow &row, const QSqlDatabase &db)
{
    if (!ListActionAllowed(list, ListAction::Check, row))
        return ListOutcome::Ignored;
    if (IsBeforeClosingDate(list.formTable, true, row.billDate, db) || HasVoucher(list.formTable, row.id, true, db))
        return ListOutcome::Refused;
    if (list.billType == 3017 && RebateAlreadyCounted(row.id, db))
        return ListOutcome::Refused;
    const int billType = EffectiveBillType(list.billType, ListAction::Check, row.billTypeId);
    if (!ListStockTest(billType, list.formTable, list.listTable, row.id, list.switches, db)
        || !CheckBatchNoStockOnCheck(billType, row.id, db))
        return ListOutcome::Refused;
    StoredBillSteps steps;
    return PostStoredBill(steps, storedBill(list, row, billType), true, text(ListMessage::CheckFailed), db)
        ? ListOutcome::Done
        : ListOutcome::Failed;
}

ListOutcome UncheckListBill(const ListContext &list, const ListRow &row, const QSqlDatabase &db)
{
    if (!ListActionAllowed(list, ListAction::UnCheck, row))
        return ListOutcome::Ignored;
    if (IsPeriodClosed(list.formTable, row.id, true, db) || HasVoucher(list.formTable, row.id, true, db))
        return ListOutcome::Refused;
    const int billType = EffectiveBillType(list.billType, ListAction::UnCheck, row.billTypeId);
    if (!CheckBatchNoStockOnUnCheck(billType, row.id, db))
        return ListOutcome::Refused;
    StoredBillSteps steps;
    return PostStoredBill(steps, storedBill(list, row, billType), false, text(ListMessage::UncheckFailed), db)
        ? ListOutcome::Done
        : ListOutcome::Failed;
}

bool ListStockTest(int billType, const QString &formTable, const QString &listTable, int billId,
                   const HostSwitches &switches, const QSqlDatabase &db)
{
    const StockOutFlags flags = GetStockOutFlags(billType);
    const bool forbid = switches.forbidNegativeStock && flags.blocksOnShortage;
    const bool ask = switches.askOnNegativeStock && flags.warnsOnShortage;
    // Neither refusing nor asking: whatever the balance, the check goes on.
    if (!forbid && !ask)
        return true;
    Prompter &prompter = Prompter::current();
    TDataSet q(db);
    if (billType == BillType::Dismantling) {
        OpenQuery(q, dismantlingShortageSql(formTable, billId));
        if (q.isEmpty())
            return true;
        const QString name = ValueToTrimmedText(q.fieldByName(QStringLiteral("FProductName")));
        if (forbid) {
            prompter.warning(QStringLiteral("拆卸商品[") + name + QStringLiteral("]库存不足"));
            return false;
        }
        return prompter.askYesNo(QStringLiteral("拆卸商品[") + name
                                 + QStringLiteral("]库存不足,是否允许负库存继续执行?"));
    }
    const QString column = billType == 3018 ? QStringLiteral("FOutStorehouseID") : QStringLiteral("FStorehouseID");
    OpenQuery(q, QStringLiteral("DESCRIBE  ") + formTable + QStringLiteral(" ") + column);
    // The alias names the column in the grouping too: header and lines may both have it.
    const QString storehouse = q.isEmpty()
        ? QString()
        : (billType == BillType::Assembly ? QStringLiteral("T2.") : QStringLiteral("T1.")) + column;
    OpenQuery(q, shortageSql(formTable, listTable, billId, storehouse));
    QStringList names;
    for (q.first(); !q.eof(); q.next())
        names << ValueToTrimmedText(q.fieldByName(QStringLiteral("FProductName")));
    if (names.isEmpty())
        return true;
    const QString joined = names.join(QLatin1Char(','));
    if (forbid) {
        prompter.warning(QStringLiteral("存在商品[ ") + joined + QStringLiteral(" ]库存不足"));
        return false;
    }
    return prompter.askYesNo(QStringLiteral("存在商品[ ") + joined
                             + QStringLiteral(" ]库存不足,是否允许负库存继续执行?"));
}

bool RebateAlreadyCounted(int billId, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral("select T1.FClientID,T1.FBeginDate, T1.FEndDate,T2.FProductID  from T_returnForm T1 "
                             "left join t_returnlist T2 on T1.FID = T2.FFormID  where IfNull(T2.FIsSelected,0) = 1 "
                             "and T1.FID = ")
                  + sqlNumber(billId));
    if (q.isEmpty())
        return false;
    const int clientId = ValueToInt(q.fieldByName(QStringLiteral("FClientID")));
    const QDate begin = q.fieldByName(QStringLiteral("FBeginDate")).toDate();
    const QDate end = q.fieldByName(QStringLiteral("FEndDate")).toDate();
    QStringList products;
    for (; !q.eof(); q.next()) {
        const QVariant p = q.fieldByName(QStringLiteral("FProductID"));
        if (!IsBlankValue(p))
            products << sqlNumber(ValueToInt(p));
    }
    const QString sql =
        QStringLiteral("select distinct IfNull(FReturnFromFormID,0) as FReturnFromFormID  from t_PurForm T1 inner join "
                       "t_PurList T2 on T1.FID = T2.FFormID  left join t_comProducts T3 on T2.FProductID = T3.FID  "
                       "left join t_comUnit T4 on T2.FUnitID = T4.FID  where T1.FClientID = ")
        + sqlNumber(clientId) + QStringLiteral(" and T1.FBillDate >= ") + QuotedStr(begin.toString(u"yyyy-MM-dd"), db)
        + QStringLiteral(" and T1.FBillDate <=") + QuotedStr(end.toString(u"yyyy-MM-dd"), db)
        + QStringLiteral(" and FIsPresent = 0 and IfNull(T2.FReturnFromFormID,0) <> 0 ")
        + QStringLiteral(" and IfNull(T2.FReturnFromFormID,0) <> ") + sqlNumber(billId)
        + (products.isEmpty()
               ? QString()
               : QStringLiteral(" and T2.FProductID in( ") + products.join(QLatin1Char(',')) + QStringLiteral(")"));
    if (!rowExists(sql, db))
        return false;
    Prompter::current().information(text(ListMessage::RebateCounted));
    return true;
}

} // namespace protask
