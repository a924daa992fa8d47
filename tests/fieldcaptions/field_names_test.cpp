#include "fieldcaptions/model/field_names.h"
#include "fieldcaptions/model/working_tables.h"
#include "test_db.h"

#include <QSqlQuery>

using namespace protask;
using namespace protask::testing;

namespace {

QString one(const QString &sql)
{
    QSqlQuery q(Db());
    if (!q.exec(sql) || !q.next())
        return QStringLiteral("<none>");
    return q.value(0).toString();
}

class FieldNames : public DatabaseTest {};

// One header row and two columns tell every seeded field from the others.
struct SeededRow {
    const char *field;
    const char *expected; // FFormOrListID|FDefaultName|FIsSystem|FSystemSID|FDefaultIsShow|FBillTypeName
};

TEST_F(FieldNames, SeedingTwiceAddsNothingAndKeepsTheUsersSettings)
{
    ExecScript(QStringLiteral("insert into t_comFieldName(FID,FBillTypeID,FFormOrListID,FFieldName,FDefaultName) "
                              "values(40,3002,1,'R_FNumber','数量')"));
    int inserted = -1;
    ASSERT_TRUE(SeedFieldNames(3049, QStringLiteral("生产任务单"), Db(), &inserted));
    EXPECT_EQ(inserted, 22);
    EXPECT_EQ(one(QStringLiteral("select concat(min(FID),'-',max(FID)) from t_comFieldName where FBillTypeID=3049")),
              QStringLiteral("41-62"))
        << "keys follow the largest key of the table";

    const SeededRow rows[] = {
        {"FFormDefined1", "0|自定义1|0|0|1|生产任务单"},
        {"R_FProductName", "1|材料名称|1|30|1|生产任务单"},
        {"R_FProductDefined1", "1|商品自定义1|0|150|0|生产任务单"},
    };
    for (const SeededRow &row : rows) {
        EXPECT_EQ(one(QStringLiteral("select concat_ws('|',FFormOrListID,FDefaultName,FIsSystem,FSystemSID,"
                                     "FDefaultIsShow,FBillTypeName) from t_comFieldName where FBillTypeID=3049 and "
                                     "FFieldName='%1'")
                          .arg(QLatin1String(row.field))),
                  QString::fromUtf8(row.expected))
            << row.field;
    }

    ExecScript(QStringLiteral("update t_comFieldName set FSetName='用量',FIsShow=0,FSID=5 where FBillTypeID=3049 and "
                              "FFieldName='R_FNumber';"
                              "delete from t_comFieldName where FBillTypeID=3049 and FFieldName='R_FNote'"));
    ASSERT_TRUE(SeedFieldNames(3049, QStringLiteral("生产任务单"), Db(), &inserted));
    EXPECT_EQ(inserted, 1) << "only the missing row comes back";
    EXPECT_EQ(one(QStringLiteral("select count(*) from t_comFieldName where FBillTypeID=3049")), QStringLiteral("22"));
    const EffectiveFieldName number = ReadEffectiveFieldName(3049, QStringLiteral("R_FNumber"));
    EXPECT_EQ(number.caption, QStringLiteral("用量"));
    EXPECT_FALSE(number.shown);
    EXPECT_EQ(number.order, 5);

    ASSERT_TRUE(SeedFieldNames(3001, QStringLiteral("采购订单"), Db(), &inserted));
    EXPECT_EQ(inserted, 0) << "a bill type without a default list gets nothing";
}

struct EffectiveCase {
    const char *setName;  // SQL literal
    const char *isShow;   // SQL literal
    const char *sid;      // SQL literal
    const char *expected; // caption|shown|order
};

class EffectiveValues : public DatabaseCaseTest<EffectiveCase> {};

TEST_P(EffectiveValues, UserValueWhenSetElseTheDefault)
{
    const EffectiveCase &c = GetParam();
    ExecScript(
        QStringLiteral("insert into t_comFieldName(FID,FBillTypeID,FFormOrListID,FFieldName,FDefaultName,FSetName,"
                       "FIsShow,FDefaultIsShow,FSID,FSystemSID) values(1,3049,1,'R_FNote','备注',%1,%2,1,%3,210)")
            .arg(QString::fromUtf8(c.setName), QLatin1String(c.isShow), QLatin1String(c.sid)));
    const EffectiveFieldName e = ReadEffectiveFieldName(3049, QStringLiteral("r_fnote"));
    ASSERT_TRUE(e.found);
    EXPECT_EQ(e.caption + u'|' + QString::number(e.shown) + u'|' + QString::number(e.order),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(FieldNames, EffectiveValues,
                         ::testing::Values(EffectiveCase{"null", "null", "null", "备注|1|210"},
                                           EffectiveCase{"''", "0", "0", "备注|0|0"},
                                           EffectiveCase{"' '", "null", "3", "备注|1|3"},
                                           EffectiveCase{"'说明'", "0", "null", "说明|0|210"}));

class WorkingCopy : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ASSERT_TRUE(SeedFieldNames(3049, QStringLiteral("生产任务单")));
        CreateWorkingTables();
    }
    void TearDown() override
    {
        DropTempTable(QStringLiteral("tmp_form"));
        DropTempTable(QStringLiteral("tmp_list"));
        DatabaseTest::TearDown();
    }
};

TEST_F(WorkingCopy, EditsStayInTheCopyUntilSavedAndOnlyChangedRowsAreWritten)
{
    ExecScript(QStringLiteral("update t_comFieldName set FSetName='合同号' where FFieldName='FFormDefined1'"));
    const QList<HeaderFieldName> header = LoadHeaderNode(3049);
    ASSERT_EQ(header.size(), 3);
    EXPECT_EQ(header.first().caption, QStringLiteral("合同号"));
    QList<ColumnFieldName> columns = LoadColumnNode(3049);
    ASSERT_EQ(columns.size(), 19);
    EXPECT_EQ(columns.first().field, QStringLiteral("R_FProductNo"));
    EXPECT_EQ(columns.last().field, QStringLiteral("R_FFinishNumber"));

    // A second view of the node reads the copy, not the table.
    ExecScript(QStringLiteral("update t_comFieldName set FSetName='客户单号' where FFieldName='FFormDefined1'"));
    EXPECT_EQ(LoadHeaderNode(3049).first().caption, QStringLiteral("合同号"));

    HeaderFieldName edit = header.at(1);
    EXPECT_EQ(WriteHeaderEdits({header.at(0), edit}), 0) << "unchanged texts are not written";
    edit.caption = QStringLiteral("交期");
    EXPECT_EQ(WriteHeaderEdits({edit}), 1);

    for (ColumnFieldName &c : columns)
        c.order = 1000; // the grid's own numbering
    columns[0].setName = QStringLiteral("物料编码");
    columns[1].shown = 0; // a system column is refused in the grid, not here
    EXPECT_EQ(WriteColumnEdits(3049, columns, false), 2) << "without a move the order numbers are not edits";
    ExecQuery(QStringLiteral("update tmp_list set FIsShow=-1 where FFieldName='R_FNote'"));
    ExecQuery(QStringLiteral("update tmp_list set FIsChange=1 where FFieldName='R_FNote'"));

    EXPECT_TRUE(SaveWorkingTables(true));
    EXPECT_EQ(
        one(QStringLiteral("select group_concat(concat(FFieldName,'=',FSetName) order by FFieldName) from "
                           "t_comFieldName where FSetName is not null")),
        QStringLiteral("FFormDefined1=客户单号,FFormDefined2=交期,R_FNote=,R_FProductName=,R_FProductNo=物料编码"))
        << "FFormDefined1 was not edited, so the later change in the table stays";
    EXPECT_EQ(one(QStringLiteral("select concat(FIsShow,'/',FSID) from t_comFieldName where FFieldName='R_FNote'")),
              QStringLiteral("1/210"));
    EXPECT_EQ(
        one(QStringLiteral("select concat(FIsShow,'/',FSID) from t_comFieldName where FFieldName='R_FProductName'")),
        QStringLiteral("0/30"));

    ResetColumnsToDefaults(3049);
    EXPECT_TRUE(SaveWorkingTables(false));
    EXPECT_EQ(one(QStringLiteral("select count(*) from t_comFieldName where FFormOrListID=1 and (FSetName<>'' or "
                                 "FSID<>FSystemSID or FIsShow<>FDefaultIsShow)")),
              QStringLiteral("0"));
    EXPECT_EQ(one(QStringLiteral("select FSetName from t_comFieldName where FFieldName='FFormDefined2'")),
              QStringLiteral("交期"))
        << "header rows are left out when the header is not part of the settings";
}

} // namespace
