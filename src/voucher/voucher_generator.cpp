#include "voucher/voucher_generator.h"

#include "core/db_actions.h"
#include "core/values.h"
#include "platform/prompter.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace protask {

VoucherProgress::~VoucherProgress() = default;

namespace {

QString num(qint64 value) { return sqlNumber(value); }

// Table and column names come from the template tables; anything but a plain name gives no
// amount rather than a statement built from it.
bool plainName(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}

struct StateLine {
    int state;
    const char *text;
};
// The report's groups in their order; bills missing from the header table have no number and
// are listed by their ID.
constexpr StateLine kStateLines[] = {
    {VoucherState::NotChecked, "] 未审核"},
    {VoucherState::HasVoucher, "] 已经生成过凭证"},
    {VoucherState::BeforeClosingDate, "] 单据日期的财务期间已经结帐"},
    {VoucherState::Requested, "] 单据不存在或已被删除"},
    {VoucherState::NeedsEmployee, "] 科目需要设置职员"},
    {VoucherState::NeedsDept, "] 科目需要设置部门"},
    {VoucherState::NeedsSupplier, "] 科目需要设置供应商"},
    {VoucherState::NeedsCustomer, "] 科目需要设置客户"},
    {VoucherState::NoAmount, "] 借方或贷方没有金额"},
    {VoucherState::Unbalanced, "] 借贷不相等"},
};

struct DimensionColumns {
    int billType;
    const char *supplier;
    const char *customer;
};
// The header columns naming a bill's supplier and customer; other bill types have neither.
// clang-format off
constexpr DimensionColumns kDimensionColumns[] = {
    // bill type  supplier        customer
    {3002,        "FClientID",    ""},
    {3042,        "FClientID",    ""},
    {3004,        "",             "FClientID"},
    {3010,        "",             "FClientID"},
    {3041,        "",             "FClientID"},
    {3006,        "FSupplierID",  "FCustomerID"},
    {3020,        "FItemID",      ""},
    {3019,        "",             "FItemID"},
};
// clang-format on

// The columns of the work table after its key, as the rows are built and written.
struct WorkColumn {
    const char *name;
    const char *type;
};
constexpr WorkColumn kVoucherColumns[] = {
    {"FDate", "date"},
    {"FYear", "int(11)"},
    {"FVoucherTypeID", "int(11)"},
    {"Fperiod", "int(11)"},
    {"FGroupID", "int(11)"},
    {"Fnumber", "int(11)"},
    {"Fnote", "varchar(255)"},
    {"FAttachmentNumber", "int(11)"},
    {"FSID", "int(11)"},
    {"FListCount", "int(11)"},
    {"FDebitAmount", "decimal(28,6)"},
    {"FCreditAmount", "decimal(28,6)"},
    {"FBillerID", "int(11)"},
    {"FBillDate", "datetime"},
    {"FCheckerID", "int(11)"},
    {"FIsChecked", "bit(1)"},
    {"FCheckerDate", "datetime"},
    {"FPostID", "int(11)"},
    {"FIsPost", "bit(1)"},
    {"FPostDate", "datetime"},
    {"FApproveID", "int(11)"},
    {"FFromBillTypeID", "int(11)"},
    {"FFromBillID", "int(11)"},
    {"FFromBillNo", "varchar(50)"},
    {"FIsCloseAcc", "int(1)"},
    {"FIsBillCreate", "int(1)"},
    {"FIsCustomer", "int(1)"},
    {"FIsSupplier", "int(1)"},
    {"FIsDept", "int(1)"},
    {"FIsEmployee", "int(1)"},
    {"FFormFID", "int(11)"},
    {"FListFID", "int(11)"},
    {"FListSID", "int(11)"},
    {"FListNote", "varchar(500)"},
    {"FListAccountID", "int(11)"},
    {"FListDC", "int(1)"},
    {"FListDebitAmount", "decimal(28,6)"},
    {"FListCreditAmount", "decimal(28,6)"},
    {"FListCustomerID", "int(11)"},
    {"FListSupplierID", "int(11)"},
    {"FListDeptID", "int(11)"},
    {"FListEmployeeID", "int(11)"},
    {"FListCurrencyId", "int(11)"},
};

QString createVoucherTable()
{
    QString sql = QStringLiteral("Create temporary Table  TmpVoucher  (  FID int(11) NOT NULL AUTO_INCREMENT, ");
    for (const WorkColumn &c : kVoucherColumns)
        sql += QLatin1Char(' ') + QLatin1String(c.name) + QLatin1Char(' ') + QLatin1String(c.type)
            + QStringLiteral(" DEFAULT NULL, ");
    sql += QStringLiteral(" FVoucherID int null , FTotalTypeID int null,  FTypeID int null,  PRIMARY KEY (`FID`))");
    return sql;
}

const char *const kCreateTidTable =
    "Create temporary Table  tmpTID ( `FID1` int(11) NOT NULL AUTO_INCREMENT,  `FID` int(11) Null,  `FBillNo` "
    "varchar(50) null, `FBillDate` Date null , `FIsChecked` int(1) null,  `FFormTableName` varchar(50) null, "
    "`FVoucherID` int null default 0, `FDebitAmount` decimal(28,6) DEFAULT NULL,  `FCreditAmount` decimal(28,6) "
    "DEFAULT NULL,  `FTypeID` int(4) null,  PRIMARY KEY (`FID1`))";

void logFailure(const QString &text)
{
    try {
        WriteTextLog(QStringLiteral("生成凭证失败：") + text);
    } catch (...) {
        // The log is a trace; the run's outcome stands without it.
    }
}

QString joinIds(const QList<int> &ids)
{
    QStringList parts;
    for (int id : ids)
        parts << num(id);
    return parts.join(QLatin1Char(','));
}

} // namespace

bool BillTypeMakesVouchers(int billType)
{
    static constexpr int kTypes[] = {3002, 3004, 3006, 3011, 3015, 3016, 3019, 3020, 3021, 3022, 3041, 3042};
    return std::find(std::begin(kTypes), std::end(kTypes), billType) != std::end(kTypes);
}

QString VoucherStateText(int state)
{
    for (const StateLine &l : kStateLines) {
        if (l.state == state)
            return QString::fromUtf8(l.text);
    }
    return QString();
}

QString VoucherDimensionColumn(VoucherDimension dimension, int billType)
{
    switch (dimension) {
    case VoucherDimension::Employee: return QStringLiteral("FBillerID");
    case VoucherDimension::Dept: return QString(); // the bills keep no department column
    case VoucherDimension::Supplier:
    case VoucherDimension::Customer:
        for (const DimensionColumns &d : kDimensionColumns) {
            if (d.billType == billType)
                return QString::fromLatin1(dimension == VoucherDimension::Supplier ? d.supplier : d.customer);
        }
        return QString();
    }
    return QString();
}

TBillCreateVoucher::TBillCreateVoucher(const QSqlDatabase &db, int userId)
    : m_db(db), m_userId(userId), qryVoucher(db), qryModel(db)
{}

TBillCreateVoucher::~TBillCreateVoucher() = default;

void TBillCreateVoucher::exec(const QString &sql)
{
    sSQL = sql;
    qryVoucher.exec(sSQL);
}

bool TBillCreateVoucher::CreateVoucherMain(int billType, int templateId, const QString &listTable,
                                           const QString &formTable, const QString &billIds)
{
    FBillTypeID = billType;
    FVoucherModeID = templateId;
    // The list splices its table names with blanks around them.
    FListTableName = listTable.trimmed();
    FFormTableName = formTable.trimmed();
    FSLBillID.clear();
    m_report.clear();
    for (const QString &part : billIds.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = part.trimmed().toInt(&ok);
        if (ok && id > 0 && !FSLBillID.contains(id))
            FSLBillID << id;
    }
    FBillID = joinIds(FSLBillID);
    if (FSLBillID.isEmpty() || !plainName(FFormTableName) || !plainName(FListTableName))
        return false;
    bool tablesMade = false;
    try {
        QVariant closing;
        FVoucherAccDate = ReadParameter(QStringLiteral("FAccCloseDate"), closing, m_db) && !IsBlankValue(closing)
            ? closing.toDateTime().date()
            : QDate();
        tablesMade = true;
        if (!createTables() || !classifyBills() || !chooseTemplate()) {
            dropTables();
            return false;
        }
        FormInfo->open();
        if (!buildRows()) {
            FormInfo->close();
            dropTables();
            return false;
        }
        QList<int> problems;
        qryVoucher.open(
            QStringLiteral("select FFromBillID from TmpVoucher where IfNull(FTypeID,0) <> 0 group by FFromBillID"));
        for (int r = 0; r < qryVoucher.recordCount(); ++r)
            problems << ValueToInt(qryVoucher.value(r, 0));
        exec(QStringLiteral("Update TmpVoucher set FTotalTypeID = 1 where FFromBillID  in (") + QStringLiteral("-1")
             + (problems.isEmpty() ? QString() : QStringLiteral(",") + joinIds(problems)) + QStringLiteral(") "));
        QList<int> bills;
        qryVoucher.open(QStringLiteral("select FFromBillID from TmpVoucher where IfNull(FTotalTypeID,0) = 0  group by "
                                       "FFromBillID order by FBillDate, FFromBillNo "));
        for (int r = 0; r < qryVoucher.recordCount(); ++r)
            bills << ValueToInt(qryVoucher.value(r, 0));
        // The report is read before writing: after a lost connection the work tables are gone.
        const QString report = buildReport(static_cast<int>(bills.size()));
        if (!writeVouchers(bills)) {
            FormInfo->close();
            dropTables();
            return false;
        }
        FormInfo->close();
        m_report = report;
        dropTables();
        if (m_viewer)
            m_viewer(m_report);
        return true;
    } catch (const DbError &e) {
        logFailure(e.message());
        FormInfo->close();
        if (tablesMade)
            dropTables();
        return false;
    }
}

bool TBillCreateVoucher::createTables()
{
    // A run cut short on this connection may have left them behind.
    dropTables();
    exec(QString::fromLatin1(kCreateTidTable));
    exec(createVoucherTable());
    exec(QStringLiteral("delete from `tmpTID`"));
    exec(QStringLiteral("delete from `tmpVoucher`"));
    return true;
}

bool TBillCreateVoucher::classifyBills()
{
    QStringList values;
    for (int id : FSLBillID)
        values << QStringLiteral("(") + num(id) + QStringLiteral(",100)");
    exec(QStringLiteral("insert into tmpTID(FID,FTypeID ) values ") + values.join(QLatin1Char(',')));
    const QString join =
        QStringLiteral("update tmpTID T1 inner join ") + FFormTableName + QStringLiteral(" T2  on T1.FID = T2.FID ");
    exec(join
         + QStringLiteral(
             " set T1.FBillNo = T2.FBillNo, T1.FBillDate = T2.FBillDate,     T1.FIsChecked = T2.FIsChecked "));
    exec(join + QStringLiteral(" set T1.FTypeID = 1 ") + QStringLiteral(" where IfNull(T2.FIsChecked,0) = 0"));
    exec(join + QStringLiteral(" set T1.FTypeID = 2 ")
         + QStringLiteral(" where IfNull(T2.FIsChecked,0) = 1 and IfNull(T2.FIsCreateVoucher,0) = 1 "));
    exec(join + QStringLiteral(" set T1.FTypeID = 0 ")
         + QStringLiteral(" where IfNull(T2.FIsChecked,0) = 1 and IfNull(T2.FIsCreateVoucher,0) = 0 "));
    if (FVoucherAccDate.isValid()) {
        exec(join + QStringLiteral(" set T1.FTypeID = 4 ")
             + QStringLiteral(" where IfNull(T1.FTypeID,0) = 0 and T2.FBillDate < ")
             + QuotedStr(FVoucherAccDate.toString(QStringLiteral("yyyy-MM-dd")), m_db));
    }
    return true;
}

bool TBillCreateVoucher::chooseTemplate()
{
    if (FVoucherModeID == 0) {
        qryModel.open(QStringLiteral("SELECT * FROM T_VoucherModelForm  WHERE FIsDefault = 1 and FBillTypeID = ")
                      + num(FBillTypeID));
        if (qryModel.isEmpty()) {
            Prompter::current().information(QString::fromUtf8(VoucherMessage::NoDefaultTemplate));
            return false;
        }
        FVoucherModeID = ValueToInt(qryModel.fieldByName(QStringLiteral("FID")));
    }
    qryModel.open(QStringLiteral("select * from T_VoucherModelList   where FFormID = ") + num(FVoucherModeID));
    if (qryModel.recordCount() < 2) {
        Prompter::current().information(QString::fromUtf8(VoucherMessage::TemplateTooShort));
        return false;
    }
    return true;
}

QString TBillCreateVoucher::templateSelection(bool sideAsSign) const
{
    return QStringLiteral("  SELECT T1.FID,T1.FBillTypeID,T1.FVoucherGroup,T2.FSID,T2.FNote,T2.FAccountID, ")
        + (sideAsSign ? QStringLiteral("case when T2.FCR = '借' then -1 when T2.FCR = '贷' then 1 end as FCR")
                      : QStringLiteral("T2.FCR"))
        + QStringLiteral(
               ", T2.FAmountFromFieldName,T2.FFormula,T3.FFromTableName,T3.FListTableName,T3.FFormOrList,     "
               "T4.FIsCustomer,T4.FIsSupplier,T4.FIsDept,T4.FIsEmployee  FROM t_vouchermodelform T1 LEFT JOIN "
               "t_vouchermodelList T2  ON T1.FID = T2.FFormID  LEFT JOIN (SELECT "
               "FBillTypeID,FFromTableName,FListTableName,FFormOrList,   "
               "FAmountFromFieldCNName,FAmountFromFieldName FROM t_vouchermodelfield WHERE FBillTypeID = ")
        + num(FBillTypeID)
        + QStringLiteral(") T3   ON T1.FBillTypeID = T3.FBillTypeID AND T2.FAmountFromFieldName = "
                         "T3.FAmountFromFieldName  AND T2.FAmountFromFieldCNName = T3.FAmountFromFieldCNName   LEFT "
                         "JOIN t_voucheraccount T4 ON T2.FAccountID = T4.FID  WHERE T1.FID = ")
        + num(FVoucherModeID);
}

bool TBillCreateVoucher::buildRows()
{
    FormInfo->setCaption(QString::fromUtf8(VoucherMessage::Collecting));
    FormInfo->setMaximum(100);
    FormInfo->setPosition(30);
    exec(QStringLiteral("delete from `tmpVoucher`"));
    exec(QStringLiteral(
             "INSERT INTO TmpVoucher(FDate,FYear,Fperiod,FVoucherTypeID,Fnumber,Fnote, "
             "FAttachmentNumber,FSID,FListCount,FDebitAmount,FCreditAmount,FBillerID,  "
             "FBillDate,FCheckerID,FIsChecked,FCheckerDate,FPostID,FIsPost,FPostDate,  "
             "FApproveID,FFromBillTypeID,FFromBillID,FFromBillNo,FIsCloseAcc,FIsBillCreate,   "
             "FListSID,FListNote,FListAccountID,FListDC, FIsCustomer,FIsSupplier,FIsDept,FIsEmployee) SELECT "
             "TT2.FBillDate,YEAR(TT2.FBillDate) AS FYear, MONTH(TT2.FBillDate) AS FPeriod,    1 AS FVoucherTypeID, "
             "NULL AS FNumber,TT1.FNote,    0 AS FAttachmentNumber, 0 AS FSID,0,NULL,NULL, ")
         + num(m_userId)
         + QStringLiteral(",   DATE(NOW()), 0 AS FCheckerID, 0, NULL, 0 AS FPostId,0,NULL,   -1 AS FApproveID, "
                          "TT1.FBillTypeID,TT2.FID AS FFromBillID, TT2.FBillNo,0, 1 AS FIsBillcreate,    "
                          "TT1.FSID,TT1.FNote,TT1.FAccountID,TT1.FCR,    "
                          "TT1.FIsCustomer,TT1.FIsSupplier,TT1.FIsDept,TT1.FIsEmployee  FROM (")
         + templateSelection(true) + QStringLiteral(" ) TT1, ") + FFormTableName
         + QStringLiteral(" TT2,  tmpTID TT3  WHERE TT2.FID = TT3.FID and IfNull(TT3.FTypeID,0) = 0  and TT2.FID IN (")
         + FBillID + QStringLiteral(")"));
    qryModel.open(templateSelection(false));
    if (qryModel.isEmpty())
        return false;
    for (int r = 0; r < qryModel.recordCount(); ++r) {
        qryModel.setRecNo(r);
        if (!fillLine(qryModel))
            return false;
    }
    FormInfo->setPosition(50);
    exec(QStringLiteral("update TmpVoucher set FListCreditAmount = null where FListDC = -1 "));
    exec(QStringLiteral("update TmpVoucher set FListDebitAmount = null where FListDC = 1 "));
    FormInfo->setPosition(70);
    const struct {
        int state;
        const char *flag;
        const char *value;
    } dimensions[] = {{VoucherState::NeedsEmployee, "FIsEmployee", "FListEmployeeID"},
                      {VoucherState::NeedsDept, "FIsDept", "FListDeptID"},
                      {VoucherState::NeedsSupplier, "FIsSupplier", "FListSupplierID"},
                      {VoucherState::NeedsCustomer, "FIsCustomer", "FListCustomerID"}};
    for (const auto &d : dimensions) {
        exec(QStringLiteral("update TmpVoucher Set FTypeID = ") + num(d.state) + QStringLiteral(" where IfNull(")
             + QLatin1String(d.flag) + QStringLiteral(",0) = 1 and IfNull(") + QLatin1String(d.value)
             + QStringLiteral(",0) = 0"));
    }
    exec(QStringLiteral("update TmpVoucher Set FTypeID = 20  where IfNull(FListDebitAmount,0) = 0 and "
                        "IfNull(FListCreditAmount,0) = 0 and IfNull(FTypeID,0) = 0 "));
    FormInfo->setPosition(100);
    qryVoucher.open(QStringLiteral("SELECT FFromBillID,  SUM(FListDebitAmount) AS FListDebitAmount, "
                                   "SUM(FListCreditAmount) AS FListCreditAmount  FROM TmpVoucher  GROUP BY FFromBillID "
                                   " HAVING SUM(FListDebitAmount) <>  SUM(FListCreditAmount) "));
    if (!qryVoucher.isEmpty()) {
        QList<int> unbalanced;
        for (int r = 0; r < qryVoucher.recordCount(); ++r)
            unbalanced << ValueToInt(qryVoucher.value(r, 0));
        exec(QStringLiteral("update TmpVoucher set FTypeID = 21 where IfNull(FTypeID,0) = 0 and FFromBillID In (")
             + joinIds(unbalanced) + QStringLiteral(")"));
    }
    exec(QStringLiteral(
        "update tmpTID T1 inner join (select FFromBillID, sum(FListDebitAmount) as FDebitAmount, sum(FListCreditAmount) "
        "as FCreditAmount  from tmpVoucher where IfNull(FTypeID,0) = 0 group by FFromBillID ) T2 on T1.FID = "
        "T2.FFromBillID  set T1.FDebitAmount = T2.FDebitAmount, T1.FCreditAmount = T2.FCreditAmount "));
    exec(QStringLiteral("update tmpVoucher T1 inner join tmpTID T2 on T1.FFromBillID = T2.FID  set T1.FDebitAmount = "
                        "T2.FDebitAmount, T1.FCreditAmount = T2.FCreditAmount  where IfNull(T1.FTypeID,0) = 0 "));
    return true;
}

bool TBillCreateVoucher::fillLine(const TDataSet &line)
{
    const QString sid = num(ValueToInt(line.fieldByName(QStringLiteral("FSID"))));
    const QString from = ValueToTrimmedText(line.fieldByName(QStringLiteral("FFromTableName")));
    const QString list = ValueToTrimmedText(line.fieldByName(QStringLiteral("FListTableName")));
    const QString column = ValueToTrimmedText(line.fieldByName(QStringLiteral("FAmountFromFieldName")));
    const int formOrList = ValueToInt(line.fieldByName(QStringLiteral("FFormOrList")));
    // A header column is summed over the headers alone, once per bill; a line column over the
    // bill's lines. Any other line keeps no amount and is reported for it.
    QString amounts;
    if (formOrList == 1 && plainName(from) && plainName(column)) {
        amounts = QStringLiteral("     select T1.FID,  sum(IfNull(T1.") + column
            + QStringLiteral(",0)) as FAmount  from ") + from + QStringLiteral(" T1      where T1.FID in( ") + FBillID
            + QStringLiteral(")  group by T1.FID ");
    } else if (formOrList == 2 && plainName(from) && plainName(list) && plainName(column)) {
        amounts = QStringLiteral("     select T1.FID,  sum(IfNull(T2.") + column
            + QStringLiteral(",0)) as FAmount  from ") + from + QStringLiteral(" T1      left join ") + list
            + QStringLiteral(" T2 on T1.FID = T2.FFormID      where T1.FID in( ") + FBillID
            + QStringLiteral(")  group by T1.FID ");
    }
    if (!amounts.isEmpty()) {
        exec(QStringLiteral("update TmpVoucher TT1 inner join (") + amounts
             + QStringLiteral(") TT2    on TT1.FFromBillID = TT2.FID  set TT1.FListDebitAmount = TT2.FAmount,      "
                              "TT1.FListCreditAmount = TT2.FAmount  where TT1.FListSID = ")
             + sid);
    }
    const struct {
        const char *flag;
        VoucherDimension dimension;
        const char *set;
    } needs[] = {{"FIsEmployee", VoucherDimension::Employee, " set T1.FListEmployeeID = IfNull(T2."},
                 {"FIsDept", VoucherDimension::Dept, " set T1.FListDeptID = IfNull(T2."},
                 {"FIsSupplier", VoucherDimension::Supplier, " set T1.FListSupplierID = IfNull(T2."},
                 {"FIsCustomer", VoucherDimension::Customer, " set T1.FListCustomerID = IfNull(T2."}};
    for (const auto &n : needs) {
        if (ValueToInt(line.fieldByName(QLatin1String(n.flag))) != 1)
            continue;
        const QString source = VoucherDimensionColumn(n.dimension, FBillTypeID);
        if (source.isEmpty())
            continue;
        exec(QStringLiteral("update TmpVoucher T1 inner join ") + FFormTableName
             + QStringLiteral(" T2  on T1.FFromBillID = T2.FID ") + QString::fromUtf8(n.set) + source
             + QStringLiteral(",0) where T1.FListSID = ") + sid);
    }
    return true;
}

QString TBillCreateVoucher::buildReport(int written)
{
    qryVoucher.open(QStringLiteral("select count(distinct FFromBillID) as FCount from TmpVoucher where "
                                   "IfNull(FTotalTypeID,0) = 1"));
    int failed = ValueToInt(qryVoucher.fieldByName(QStringLiteral("FCount")));
    qryVoucher.open(QStringLiteral("select count(*) as FCount from tmpTID where IfNull(FTypeID,0) <> 0"));
    failed += ValueToInt(qryVoucher.fieldByName(QStringLiteral("FCount")));
    QStringList lines;
    lines << QString::fromUtf8(VoucherMessage::Written) + QString::number(written)
            + QString::fromUtf8(VoucherMessage::Rows)
          << QString() << QString::fromUtf8(VoucherMessage::Rule)
          << QString::fromUtf8(VoucherMessage::NotWritten) + QString::number(failed)
            + QString::fromUtf8(VoucherMessage::Rows);
    for (const StateLine &s : kStateLines) {
        if (s.state == VoucherState::Requested)
            qryVoucher.open(QStringLiteral("select FID from tmpTID where FTypeID = 100 order by FID1"));
        else if (s.state < 10)
            qryVoucher.open(QStringLiteral("select FBillNo from tmpTID where FTypeID = ") + num(s.state)
                            + QStringLiteral(" order by FID1"));
        else
            qryVoucher.open(QStringLiteral("select FFromBillNo from TmpVoucher where FTypeID = ") + num(s.state)
                            + QStringLiteral(" group by FFromBillNo order by FFromBillNo"));
        for (int r = 0; r < qryVoucher.recordCount(); ++r)
            lines << QStringLiteral("    单据编号[") + ValueToTrimmedText(qryVoucher.value(r, 0))
                    + QString::fromUtf8(s.text);
        if (!qryVoucher.isEmpty())
            lines << QString();
    }
    return lines.join(QLatin1Char('\n'));
}

bool TBillCreateVoucher::writeVouchers(const QList<int> &bills)
{
    FormInfo->setCaption(QString::fromUtf8(VoucherMessage::Writing));
    FormInfo->setMaximum(static_cast<int>(bills.size()));
    if (bills.isEmpty())
        return true;
    TransactionOptions options;
    // The bills are marked in the same transaction as their vouchers are written.
    options.landed = [this, bills](const QSqlDatabase &db) {
        TDataSet q(db);
        q.open(QStringLiteral("select count(*) as FCount from ") + FFormTableName + QStringLiteral(" where FID in (")
               + joinIds(bills) + QStringLiteral(") and IfNull(FIsCreateVoucher,0) = 1"));
        return ValueToInt(q.fieldByName(QStringLiteral("FCount"))) == bills.size();
    };
    const TransactionResult result = RunTransaction(
        m_db, [this, &bills]() { return writeAttempt(bills); }, options);
    if (!result.committed && result.error)
        logFailure(result.error->message());
    return result.committed;
}

// One attempt of the write: everything it needs is read again, so that a replay after a
// deadlock or a duplicate number starts from what the other workstation committed.
bool TBillCreateVoucher::writeAttempt(const QList<int> &bills)
{
    // Both reads lock the largest key: a second workstation waits here until this one is done.
    const int formBase = GetNextID(QStringLiteral("t_voucherForm"), QStringLiteral("FID"), m_db);
    const int listBase = GetNextID(QStringLiteral("t_voucherList"), QStringLiteral("FID"), m_db);
    QHash<qint64, int> earlierInPeriod; // vouchers of this run per period so far
    for (int i = 0; i < bills.size(); ++i) {
        FormInfo->setPosition(i);
        const QString id = num(bills.at(i));
        qryVoucher.open(QStringLiteral("select FBillDate from tmpVoucher where FFromBillID = ") + id);
        FBillDate = qryVoucher.fieldByName(QStringLiteral("FBillDate")).toDateTime().date();
        FVoucherYear = FBillDate.year();
        FVoucherMonth = FBillDate.month();
        const QString period = QStringLiteral(" where FYear = ") + QuotedStr(QString::number(FVoucherYear), m_db)
            + QStringLiteral(" and FPeriod = ") + QuotedStr(QString::number(FVoucherMonth), m_db);
        // Locking reads: they see what another workstation committed while this one waited.
        const auto nextInPeriod = [&](const char *column) {
            qryVoucher.open(QStringLiteral("select Max(IfNull(") + QLatin1String(column)
                            + QStringLiteral(",0)) as FID from t_voucherForm") + period
                            + QStringLiteral(" for update"));
            const QVariant v = qryVoucher.fieldByName(QStringLiteral("FID"));
            return IsBlankValue(v) ? 1 : ValueToInt(v) + 1;
        };
        const qint64 key = qint64(FVoucherYear) * 100 + FVoucherMonth;
        const int earlier = earlierInPeriod.value(key, 0);
        earlierInPeriod.insert(key, earlier + 1);
        const int sid = nextInPeriod("FSID") + earlier;
        const int number = nextInPeriod("Fnumber") + earlier;
        exec(QStringLiteral("update tmpVoucher set FFormFID = ") + num(formBase + 1 + i)
             + QStringLiteral(",FFromBillTypeID = ") + num(FBillTypeID) + QStringLiteral(",FVoucherTypeID = 1,FYear = ")
             + QuotedStr(QString::number(FVoucherYear), m_db) + QStringLiteral(",FPeriod = ")
             + QuotedStr(QString::number(FVoucherMonth), m_db) + QStringLiteral(",Fnumber = ") + num(number)
             + QStringLiteral(",FAttachmentNumber = 0,FSID = ") + num(sid) + QStringLiteral(",FBillerID = ")
             + num(m_userId) + QStringLiteral(",FBillDate = DATE(NOW()) where FFromBillID = ") + id);
    }
    exec(QStringLiteral("update tmpVoucher set FListFID = IfNull(FID,0) + IfNull(") + num(listBase)
         + QStringLiteral(",0)"));
    exec(QStringLiteral("update tmpVoucher T1 inner join t_BillType T2 on T1.FFromBillTypeID = T2.FBillTypeID  set "
                        "T1.FListNote = CONCAT(T2.FBillName,'_', T1.FFromBillNo) "));
    exec(QStringLiteral(
        "insert into t_VoucherForm(FID,FDate,Fyear,FVoucherTypeID,FPeriod,FNumber,FAttachmentNumber,FSID,FDebitAmount,"
        "FCreditAmount,FBillerID,FBilldate,FIsBillcreate,FFromBillTypeID,FFromBillID,FFromBillNo, "
        "FIsChecked,FIsPost,FIsCloseAcc)  select FFormFID,FDate,Fyear,FVoucherTypeID,FPeriod,FNumber,FAttachmentNumber,"
        "   FSID,FDebitAmount,FCreditAmount,FBillerID,FBilldate,1 ,FFromBillTypeID,FFromBillID,FFromBillNo,0,0,0  from "
        "tmpVoucher where IfNull(FTotalTypeID,0) = 0  group by "
        "FFormFID,FDate,Fyear,FVoucherTypeID,FPeriod,FNumber,FAttachmentNumber,   "
        "FSID,FDebitAmount,FCreditAmount,FBillerID,FBilldate,FFromBillTypeID,FFromBillID,FFromBillNo"));
    exec(QStringLiteral(
        " insert into t_voucherList(FID,FFormID,FSID,FNote,FAccountID,FDC,FDebitAmount,FCreditAmount,FCustomerID,"
        "FSupplierID,FDeptID,FEmployeeID,FDebitAmountFor,FCreditAmountFor) select "
        "FListFID,FFormFID,FListSID,FListNote,FListAccountID,FListDC,FListDebitAmount,FListCreditAmount,    "
        "FListCustomerID,FListSupplierID,FListDeptID,FListEmployeeID,FListDebitAmount,FListCreditAmount  from "
        "tmpVoucher where IfNull(FTotalTypeID,0) = 0 "));
    exec(QStringLiteral("update ") + FFormTableName
         + QStringLiteral(" T1 inner join tmpVoucher T2 on T1.FID = T2.FFromBillID  set T1.FVoucherID = T2.FFormFID, "
                          "T1.FIsCreateVoucher = 1  where IfNull(T2.FTotalTypeID,0) = 0"));
    return true;
}

void TBillCreateVoucher::dropTables()
{
    try {
        DropTempTable(QStringLiteral("tmpTID"), m_db);
        DropTempTable(QStringLiteral("tmpVoucher"), m_db);
    } catch (const DbError &e) {
        // A lost connection took them with it.
        logFailure(e.message());
    }
}

} // namespace protask
