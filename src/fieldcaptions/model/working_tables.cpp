#include "fieldcaptions/model/working_tables.h"

#include "core/values.h"
#include "fieldcaptions/model/field_names.h"

#include <algorithm>

namespace protask {

namespace {

QString text(const TDataSet &q, const char *field)
{
    return ValueToTrimmedText(q.fieldByName(QString::fromLatin1(field)));
}
int number(const TDataSet &q, const char *field) { return ValueToInt(q.fieldByName(QString::fromLatin1(field))); }

QList<HeaderFieldName> readHeaderRows(int billType, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral("select * from tmp_form  where  FBillTypeID=") + QuotedStr(QString::number(billType), db));
    QList<HeaderFieldName> rows;
    for (; !q.eof(); q.next())
        rows.append({number(q, "FID"), number(q, "FBillTypeID"), text(q, "FFieldName"), text(q, "FSetName"),
                     number(q, "FIsChange") == 1});
    return rows;
}

QList<ColumnFieldName> readColumnRows(int billType, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral("select * from tmp_list where FBillTypeID=") + QuotedStr(QString::number(billType), db)
                  + QStringLiteral(" order by FSID asc"));
    QList<ColumnFieldName> rows;
    for (; !q.eof(); q.next()) {
        ColumnFieldName c;
        c.fid = number(q, "FID");
        c.order = number(q, "FSID");
        c.billType = number(q, "FBillTypeID");
        c.field = text(q, "FFieldName");
        c.defaultName = text(q, "FDefaultName");
        c.setName = text(q, "FSetName");
        c.shown = number(q, "FIsShow");
        c.defaultShown = number(q, "FDefaultIsShow");
        c.system = number(q, "FIsSystem");
        c.systemOrder = number(q, "FSystemSID");
        c.changed = number(q, "FIsChange") == 1;
        rows.append(c);
    }
    return rows;
}

} // namespace

void CreateWorkingTables(const QSqlDatabase &db)
{
    DropTempTable(QStringLiteral("tmp_form"), db);
    DropTempTable(QStringLiteral("tmp_List"), db);
    TDataSet q(db);
    // The suite created these as "type = HEAP", which MariaDB no longer accepts; ENGINE=MEMORY
    // is the same in-memory table. MySQL 5.7 on refuses a primary key over a column declared
    // DEFAULT NULL, so FFieldName is NOT NULL, as a key column always was.
    ExecQuery(q,
              QStringLiteral("CREATE temporary TABLE tmp_form ( FID int(11) NOT NULL, FBillTypeID int(11) NOT NULL, "
                             "FFieldName varchar(200) NOT NULL, FSetName varchar(200) NULL, FIsChange int(11) NULL, "
                             "PRIMARY KEY (`FBillTypeID`,`FFieldName`))ENGINE=MEMORY"));
    ExecQuery(q,
              QStringLiteral("CREATE temporary TABLE tmp_list ( FID int(11) NOT NULL, FSID int(11) NOT NULL, "
                             "FBillTypeID int(11) NOT NULL, FFieldName varchar(200) NOT NULL, FDefaultName "
                             "varchar(200) NULL, FSetName varchar(200) NULL, FIsShow int(11) NULL, FDefaultIsShow "
                             "int(11) NULL, FIsSystem int(11) NULL, FSystemSID int(11) NULL, FIsChange int(11) NULL, "
                             "PRIMARY KEY (`FBillTypeID`,`FFieldName`))ENGINE=MEMORY"));
}

QList<FieldNameNode> LoadFieldNameNodes(int billType, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral("select distinct Fbilltypeid,FbilltypeName,0 as parentID from  t_comfieldname where  "
                             "Fbilltypeid not like '20%' ")
                  + (billType != 0 ? QStringLiteral(" and Fbilltypeid=") + sqlNumber(billType)
                                   : QStringLiteral(" and Fbilltypeid not like '40%' "))
                  + QStringLiteral(" order by Fbilltypeid"));
    QList<FieldNameNode> nodes;
    for (; !q.eof(); q.next())
        nodes.append({number(q, "Fbilltypeid"), text(q, "FbilltypeName")});
    return nodes;
}

QList<HeaderFieldName> LoadHeaderNode(int billType, const QSqlDatabase &db)
{
    QList<HeaderFieldName> rows = readHeaderRows(billType, db);
    if (!rows.isEmpty())
        return rows;
    TDataSet q(db);
    ExecQuery(q,
              QStringLiteral("insert into tmp_form(FID,FBillTypeID,FFieldName,FSetName,FIsChange) "
                             "select FID,FBillTypeID,FFieldName,")
                  + kEffectiveCaption
                  + QStringLiteral(" as FSetname,0 from t_comFieldName where FFormOrListID = 0 and FBillTypeID = ")
                  + sqlNumber(billType));
    return readHeaderRows(billType, db);
}

QList<ColumnFieldName> LoadColumnNode(int billType, const QSqlDatabase &db)
{
    QList<ColumnFieldName> rows = readColumnRows(billType, db);
    if (!rows.isEmpty())
        return rows;
    TDataSet q(db);
    ExecQuery(q,
              QStringLiteral("insert into tmp_list(FID,FBillTypeID,FFieldName,FSetName,FDefaultName,FIsShow,FSID,"
                             "FIsSystem,FSystemSID,FDefaultIsShow,FIsChange) "
                             "select FID,FBillTypeID,FFieldName,FSetName,FDefaultName,")
                  + kEffectiveShown + QStringLiteral(" FIsShow,") + kEffectiveOrder
                  + QStringLiteral(" FSID,FIsSystem,FSystemSID,FDefaultIsShow,0 from t_comFieldName where "
                                   "FFormOrListID = 1 and FBillTypeID = ")
                  + sqlNumber(billType));
    return readColumnRows(billType, db);
}

int WriteHeaderEdits(const QList<HeaderFieldName> &edits, const QSqlDatabase &db)
{
    int written = 0;
    TDataSet q(db);
    for (const HeaderFieldName &e : edits) {
        const QString where = QStringLiteral(" where FBillTypeID=") + sqlNumber(e.billType)
            + QStringLiteral(" and FFieldName=") + QuotedStr(e.field, db);
        OpenQuery(q, QStringLiteral("select FSetName from tmp_form") + where);
        if (q.isEmpty() || text(q, "FSetName") == e.caption)
            continue;
        ExecQuery(q,
                  QStringLiteral("update tmp_form set FSetName=") + QuotedStr(e.caption, db)
                      + QStringLiteral(",FIsChange=1") + where);
        ++written;
    }
    return written;
}

int WriteColumnEdits(int billType, const QList<ColumnFieldName> &rows, bool withOrder, const QSqlDatabase &db)
{
    const QList<ColumnFieldName> stored = readColumnRows(billType, db);
    int written = 0;
    TDataSet q(db);
    for (const ColumnFieldName &row : rows) {
        const auto it = std::find_if(stored.begin(), stored.end(), [&row](const ColumnFieldName &s) {
            return s.field.compare(row.field, Qt::CaseInsensitive) == 0;
        });
        if (it == stored.end())
            continue;
        const int order = withOrder ? row.order : it->order;
        if (order == it->order && row.setName == it->setName && row.shown == it->shown)
            continue;
        ExecQuery(q,
                  QStringLiteral("update tmp_list set FSID=") + sqlNumber(order) + QStringLiteral(",FSetName=")
                      + QuotedStr(row.setName, db) + QStringLiteral(",FIsShow=") + sqlNumber(row.shown)
                      + QStringLiteral(",FIsChange=1 where FBillTypeID=") + sqlNumber(billType)
                      + QStringLiteral(" and FFieldName=") + QuotedStr(it->field, db));
        ++written;
    }
    return written;
}

void ResetColumnsToDefaults(int billType, const QSqlDatabase &db)
{
    TDataSet q(db);
    ExecQuery(q,
              QStringLiteral("update tmp_list set FIsChange=1,FSetName=null,FSID=FSystemSID,FIsShow=FDefaultIsShow "
                             "where FBillTypeID=")
                  + sqlNumber(billType));
}

bool SaveWorkingTables(bool withHeader, const QSqlDatabase &db)
{
    bool changed = false;
    TDataSet rows(db);
    TDataSet q(db);
    if (withHeader) {
        OpenQuery(rows, QStringLiteral("select * from tmp_form where FIsChange=1 "));
        for (; !rows.eof(); rows.next()) {
            ExecQuery(q,
                      QStringLiteral("update  t_comfieldname set FSetName=") + QuotedStr(text(rows, "FSetName"), db)
                          + QStringLiteral(" where FBillTypeID=") + sqlNumber(number(rows, "FBillTypeID"))
                          + QStringLiteral(" and FFieldName=") + QuotedStr(text(rows, "FFieldName"), db));
            changed = true;
        }
    }
    OpenQuery(rows, QStringLiteral("select * from tmp_list where FIsChange=1"));
    for (; !rows.eof(); rows.next()) {
        // A check box that answered "checked" as -1 is stored as shown.
        const int shown = number(rows, "FIsShow") == -1 ? 1 : number(rows, "FIsShow");
        ExecQuery(q,
                  QStringLiteral("update  t_comfieldname set FSetName=") + QuotedStr(text(rows, "FSetName"), db)
                      + QStringLiteral(" ,FSID=") + sqlNumber(number(rows, "FSID")) + QStringLiteral(" ,FIsShow=")
                      + sqlNumber(shown) + QStringLiteral(" where FBillTypeID=")
                      + sqlNumber(number(rows, "FBillTypeID")) + QStringLiteral(" and FFieldName=")
                      + QuotedStr(text(rows, "FFieldName"), db));
        changed = true;
    }
    return changed;
}

QList<MasterFieldName> LoadMasterFieldNames(const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral("select FID,FFieldName,") + kEffectiveCaption
                  + QStringLiteral(" as FSetname, FBillTypeID from t_comFieldName   where FBillTypeID=")
                  + sqlNumber(FieldNameCode::Products) + QStringLiteral(" or FBillTypeID=")
                  + sqlNumber(FieldNameCode::Customers) + QStringLiteral(" or FBillTypeID=")
                  + sqlNumber(FieldNameCode::Suppliers));
    QList<MasterFieldName> rows;
    for (; !q.eof(); q.next())
        rows.append({number(q, "FID"), number(q, "FBillTypeID"), text(q, "FFieldName"), text(q, "FSetname")});
    return rows;
}

bool SaveMasterFieldName(const MasterFieldName &row, const QString &newText, const QSqlDatabase &db)
{
    if (newText == row.caption)
        return false;
    TDataSet q(db);
    static const QString productFields[] = {QStringLiteral("FProductDefined1"), QStringLiteral("FProductDefined2"),
                                            QStringLiteral("FProductDefined3")};
    const bool productField = row.billType == FieldNameCode::Products
        && std::any_of(std::begin(productFields), std::end(productFields),
                       [&row](const QString &f) { return f.compare(row.field, Qt::CaseInsensitive) == 0; });
    if (productField) {
        ExecQuery(q,
                  QStringLiteral("update t_comFieldName set FSetName=") + QuotedStr(newText, db)
                      + QStringLiteral(" where FFieldName=") + QuotedStr(row.field, db)
                      + QStringLiteral(" or FFieldName=") + QuotedStr(QStringLiteral("R_") + row.field, db));
    } else {
        ExecQuery(q,
                  QStringLiteral("update t_comFieldName set FSetName=") + QuotedStr(newText, db)
                      + QStringLiteral(" where FBillTypeID=") + sqlNumber(row.billType)
                      + QStringLiteral(" and FFieldName=") + QuotedStr(row.field, db));
    }
    return true;
}

void SaveReportDefaults(const QSqlDatabase &db)
{
    TDataSet q(db);
    ExecQuery(q,
              QStringLiteral("update t_comfieldname  set FDefaultIsShow=") + kEffectiveShown
                  + QStringLiteral(",FDefaultName=case when ifnull(FSetName,'')='' then FDefaultName else FSetName "
                                   "end ,FSystemSID=")
                  + kEffectiveOrder + QStringLiteral("  where FbilltypeID>") + sqlNumber(FieldNameCode::FirstReport));
}

} // namespace protask
