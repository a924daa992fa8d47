#include "fieldcaptions/model/field_names.h"

#include "core/db_actions.h"
#include "core/values.h"

namespace protask {

const QString kEffectiveCaption =
    QStringLiteral("case when IfNull(FSetName,'') = '' then FDefaultName else FSetName end");
const QString kEffectiveShown = QStringLiteral("case when ifnull(FIsShow,'')='' then FDefaultIsShow else FIsShow end");
const QString kEffectiveOrder = QStringLiteral("case when ifnull(FSID,'')='' then FSystemSID else FSID end");

bool DefaultFieldName::isColumn() const { return QLatin1String(field).startsWith(QLatin1String("R_")); }

namespace {

// The production task: three free header fields and the material grid. The quantity per
// unit and the cost price share their order number; the tie is kept as the suite has it.
const DefaultFieldName kProtaskFieldNames[] = {
    {"FFormDefined1", "自定义1", 0, 0, 1},
    {"FFormDefined2", "自定义2", 0, 0, 1},
    {"FFormDefined3", "自定义3", 0, 0, 1},
    {"R_FProductNo", "材料编码", 0, 20, 1},
    {"R_FProductName", "材料名称", 1, 30, 1},
    {"R_FBatchNo1", "批次", 0, 40, 1},
    {"R_FKFDate", "生产日期", 0, 42, 1},
    {"R_FKFPeriod", "保质期(天)", 0, 45, 1},
    {"R_FPeriodDate", "有效期至", 0, 47, 1},
    {"R_FUnitName", "单位", 0, 50, 1},
    {"R_FNumber", "总耗量", 1, 60, 1},
    {"R_FSingleNumber", "单耗量", 1, 70, 1},
    {"R_FPrice", "成本单价", 1, 70, 1},
    {"R_FAmount", "成本金额", 1, 90, 1},
    {"R_FProductDefined1", "商品自定义1", 0, 150, 0},
    {"R_FProductDefined2", "商品自定义2", 0, 160, 0},
    {"R_FProductDefined3", "商品自定义3", 0, 170, 0},
    {"R_FListDefined1", "单据自定义1", 0, 180, 0},
    {"R_FListDefined2", "单据自定义2", 0, 190, 0},
    {"R_FListDefined3", "单据自定义3", 0, 200, 0},
    {"R_FNote", "备注", 0, 210, 1},
    {"R_FFinishNumber", "已完成数量", 0, 220, 1},
};

} // namespace

QList<DefaultFieldName> DefaultFieldNames(int billType)
{
    if (billType == 3049)
        return QList<DefaultFieldName>(std::begin(kProtaskFieldNames), std::end(kProtaskFieldNames));
    return {};
}

bool SeedFieldNames(int billType, const QString &billCaption, const QSqlDatabase &db, int *inserted)
{
    const QList<DefaultFieldName> rows = DefaultFieldNames(billType);
    int added = 0;
    const TransactionResult r = RunTransaction(db, [&]() {
        added = 0;
        TDataSet q(db);
        for (const DefaultFieldName &row : rows) {
            const QString field = QString::fromLatin1(row.field);
            OpenQuery(q,
                      QStringLiteral("select * from t_comFieldName where FFieldName =") + QuotedStr(field, db)
                          + QStringLiteral(" and FBillTypeID = ") + sqlNumber(billType));
            if (!q.isEmpty())
                continue;
            ExecQuery(q,
                      QStringLiteral("insert into t_comFieldName(FID, FBillTypeID, FFormOrListID, FBillTypeName,"
                                     "FFieldName, FDefaultName, FIsSystem, FSystemSID, FDefaultIsShow) values(")
                          + sqlNumber(GetNextID(QStringLiteral("t_comfieldname"), QStringLiteral("FID"), db)) + u','
                          + sqlNumber(billType) + u',' + sqlNumber(row.isColumn() ? 1 : 0) + u','
                          + QuotedStr(billCaption, db) + u',' + QuotedStr(field, db) + u','
                          + QuotedStr(QString::fromUtf8(row.caption), db) + u',' + sqlNumber(row.system) + u','
                          + sqlNumber(row.order) + u',' + sqlNumber(row.shown) + u')');
            ++added;
        }
        return true;
    });
    if (!r.committed && r.error && !r.reported)
        throw *r.error;
    if (inserted)
        *inserted = r.committed ? added : 0;
    return r.committed;
}

EffectiveFieldName ReadEffectiveFieldName(int billType, const QString &field, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral("select ") + kEffectiveCaption + QStringLiteral(" as FSetname, ") + kEffectiveShown
                  + QStringLiteral(" as FIsShow, ") + kEffectiveOrder
                  + QStringLiteral(" as FSID from t_comFieldName where FBillTypeID = ") + sqlNumber(billType)
                  + QStringLiteral(" and FFieldName = ") + QuotedStr(field, db));
    EffectiveFieldName e;
    if (q.isEmpty())
        return e;
    e.found = true;
    e.caption = ValueToTrimmedText(q.fieldByName(QStringLiteral("FSetname")));
    e.shown = ValueToInt(q.fieldByName(QStringLiteral("FIsShow"))) != 0;
    e.order = ValueToInt(q.fieldByName(QStringLiteral("FSID")));
    return e;
}

} // namespace protask
