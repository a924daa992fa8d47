#include "platform/nv_dm_base.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "core/sql_helpers.h"
#include "core/local_dataset.h"
#include "test_db.h"
#include "core/values.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace protask;
using protask::testing::ExecScript;

namespace {

class SqlHelpersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        protask::testing::EmptyAllTables();
        scope = std::make_unique<PrompterScope>(prompter);
    }
    QVariant one(const QString &sql)
    {
        TDataSet q(Db());
        q.open(sql);
        return q.value(0, 0);
    }
    ScriptedPrompter prompter;
    std::unique_ptr<PrompterScope> scope;
};

TEST_F(SqlHelpersTest, OpenQueryRunsNothingForBlankText)
{
    TDataSet q(Db());
    q.open(QStringLiteral("select 1 as x"));
    EXPECT_EQ(OpenQuery(q, QStringLiteral("   \n ")), -1);
    EXPECT_TRUE(q.isActive()) << "the query is not touched";
    EXPECT_EQ(OpenQuery(q, QStringLiteral("select FID from t_comUnit")), 0);
    ExecScript(QStringLiteral("insert into t_comUnit(FID, FName) values (1, 'a'), (2, 'b')"));
    EXPECT_EQ(OpenQuery(q, QStringLiteral(" select FID from t_comUnit ")), 2);
    EXPECT_THROW(ExecQuery(q, QStringLiteral("update t_no_such set x = 1")), DbError);
}

TEST_F(SqlHelpersTest, NextIdIsTheLargestPlusOne)
{
    EXPECT_EQ(GetNextID(QStringLiteral("t_comUnit"), QStringLiteral("FID")), 1);
    ExecScript(QStringLiteral("insert into t_comUnit(FID, FName) values (41, 'a'), (7, 'b')"));
    EXPECT_EQ(GetNextID(QStringLiteral("t_comUnit"), QStringLiteral("FID")), 42);
}

TEST_F(SqlHelpersTest, NextIdInsideATransactionHoldsOffASecondSave)
{
    ExecScript(QStringLiteral("insert into t_comUnit(FID, FName) values (41, 'a')"));
    TransactionGuard tx(Db());
    EXPECT_EQ(GetNextID(QStringLiteral("t_comUnit"), QStringLiteral("FID")), 42);

    const QString name = QStringLiteral("second-save");
    {
        QSqlDatabase other = openConnection(protask::testing::TestConnectionSettings(name));
        TDataSet o(other);
        o.exec(QStringLiteral("SET SESSION innodb_lock_wait_timeout = 1"));
        TransactionGuard tx2(other);
        try {
            GetNextID(QStringLiteral("t_comUnit"), QStringLiteral("FID"), other);
            ADD_FAILURE() << "the second save read the key while the first held it";
        } catch (const DbError &e) {
            EXPECT_EQ(e.kind(), DbErrorKind::LockWaitTimeout);
        }
        other.close();
    }
    QSqlDatabase::removeDatabase(name);
}

TEST_F(SqlHelpersTest, NamedRecordsAreCreatedOnceAndFoundAfterwards)
{
    EXPECT_EQ(GetOrAddNamedRecord(QStringLiteral("t_comClient"), QStringLiteral("FName"), QStringLiteral("   "),
                                  QStringLiteral("FID"), {}, {}, {}), 0);
    EXPECT_EQ(one(QStringLiteral("select count(*) from t_comClient")).toInt(), 0);

    const int id = GetOrAddNamedRecord(QStringLiteral("t_comClient"), QStringLiteral("FName"), QStringLiteral(" 华美家具 "),
                                       QStringLiteral("FID"), QStringLiteral(",Ftype"), QStringLiteral(",1"),
                                       QStringLiteral(" and FType = 1"));
    EXPECT_EQ(id, 1);
    EXPECT_EQ(GetOrAddNamedRecord(QStringLiteral("t_comClient"), QStringLiteral("FName"), QStringLiteral("华美家具"),
                                  QStringLiteral("FID"), QStringLiteral(",Ftype"), QStringLiteral(",1"),
                                  QStringLiteral(" and FType = 1")), id);
    EXPECT_EQ(one(QStringLiteral("select concat(FType, '|', FNo, '|', FCode) from t_comClient where FID = 1")).toString(),
              QStringLiteral("1||HMJJ"));
    // The same name as a supplier is another record.
    EXPECT_EQ(GetOrAddNamedRecord(QStringLiteral("t_comClient"), QStringLiteral("FName"), QStringLiteral("华美家具"),
                                  QStringLiteral("FID"), QStringLiteral(",Ftype"), QStringLiteral(",2"),
                                  QStringLiteral(" and FType = 2")), 2);
}

TEST_F(SqlHelpersTest, NamesWithQuotesBackslashesPercentAndEmojiAreStoredExactly)
{
    const QStringList names = {QStringLiteral("O'Neil五金"), QStringLiteral("A\\B 车间"), QStringLiteral("100%棉"),
                               QStringLiteral("a_b"), QStringLiteral("笑脸😀工坊"),
                               // names that differ only in a character outside the basic plane
                               QStringLiteral("杯😀"), QStringLiteral("杯😁"), QStringLiteral("杯𠀀")};
    for (const QString &n : names) {
        const int id = GetOrAddNamedRecord(QStringLiteral("t_comdepartment"), QStringLiteral("FName"), n, QStringLiteral("FID"),
                                           {}, {}, {});
        ASSERT_GT(id, 0);
        EXPECT_EQ(one(QStringLiteral("select FName from t_comdepartment where FID = %1").arg(id)).toString(), n);
        EXPECT_EQ(GetOrAddNamedRecord(QStringLiteral("t_comdepartment"), QStringLiteral("FName"), n, QStringLiteral("FID"), {},
                                      {}, {}), id);
    }
    EXPECT_EQ(one(QStringLiteral("select count(*) from t_comdepartment")).toInt(), names.size());
}

TEST_F(SqlHelpersTest, ProductsAreCreatedWithTheirBaseUnitAndSecondUnitsAreFound)
{
    int unit = -1;
    EXPECT_EQ(GetOrAddProduct(QVariant(), QStringLiteral("  "), QStringLiteral("个"), unit), 0);

    const int id = GetOrAddProduct(QStringLiteral("C-01"), QStringLiteral("螺丝钉"), QStringLiteral("个"), unit);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(unit, 1);
    EXPECT_EQ(one(QStringLiteral("select concat(FgroupID,'|',FNo,'|',FStdUnitID,'|',FCode) from t_comProducts")).toString(),
              QStringLiteral("2|C-01|1|LSD"));
    EXPECT_EQ(one(QStringLiteral("select concat(FSID,'|',FUnitID,'|',FRatio = 1) from t_comProductUnit where FProductID = 1"))
                  .toString(),
              QStringLiteral("1|1|1"));

    ExecScript(QStringLiteral("insert into t_comUnit(FID, FName) values (5, '盒');"
                              "insert into t_comProductUnit(FSID, FProductID, FUnitID, FRatio) values (2, 1, 5, 100)"));
    EXPECT_EQ(GetOrAddProduct(QVariant(), QStringLiteral("螺丝钉"), QStringLiteral("盒"), unit), 1);
    EXPECT_EQ(unit, 5) << "a second unit is found by name";
    EXPECT_EQ(GetOrAddProduct(QVariant(), QStringLiteral("螺丝钉"), QStringLiteral("吨"), unit), 1);
    EXPECT_EQ(unit, 1) << "an unknown unit keeps the base unit";
    EXPECT_EQ(GetOrAddProduct(QVariant(), QStringLiteral("螺丝钉"), QVariant(), unit), 1);
    EXPECT_EQ(unit, 1);
    EXPECT_EQ(one(QStringLiteral("select count(*) from t_comProducts")).toInt(), 1);

    EXPECT_TRUE(UnitsBelongToProduct(QStringLiteral("个"), QStringLiteral("盒"), QStringLiteral(" 螺丝钉 ")));
    EXPECT_FALSE(UnitsBelongToProduct(QStringLiteral("个"), QStringLiteral("吨"), QStringLiteral("螺丝钉")));
}

TEST_F(SqlHelpersTest, ParametersComeBackAsTheirKind)
{
    ExecScript(QStringLiteral(
        "insert into t_comparameters(FName, FTypeID, FIntValue) values ('PInt', 1, 7);"
        "insert into t_comparameters(FName, FTypeID, FBoolValue) values ('PBool', 2, 1);"
        "insert into t_comparameters(FName, FTypeID, FCharValue) values ('PText', 3, '生产部');"
        "insert into t_comparameters(FName, FTypeID, FFloatValue) values ('PFloat', 4, 13.5);"
        "insert into t_comparameters(FName, FTypeID, FDatetimeValue) values ('PDate', 5, '2026-11-30 00:00:00');"
        "insert into t_comparameters(FName, FTypeID, FIntValue) values ('POdd', 9, 1)"));
    QVariant v;
    ASSERT_TRUE(ReadParameter(QStringLiteral(" PInt "), v));
    EXPECT_EQ(v.typeId(), QMetaType::Int);
    EXPECT_EQ(v.toInt(), 7);
    ASSERT_TRUE(ReadParameter(QStringLiteral("PBool"), v));
    EXPECT_EQ(v.typeId(), QMetaType::Bool);
    EXPECT_TRUE(v.toBool());
    ASSERT_TRUE(ReadParameter(QStringLiteral("PText"), v));
    EXPECT_EQ(v.toString(), QStringLiteral("生产部"));
    ASSERT_TRUE(ReadParameter(QStringLiteral("PFloat"), v));
    EXPECT_DOUBLE_EQ(v.toDouble(), 13.5);
    ASSERT_TRUE(ReadParameter(QStringLiteral("PDate"), v));
    EXPECT_EQ(v.toDateTime().date(), QDate(2026, 11, 30));
    EXPECT_TRUE(ReadParameter(QStringLiteral("POdd"), v));
    EXPECT_FALSE(v.isValid()) << "an unknown kind leaves the value empty";
    v = 5;
    EXPECT_FALSE(ReadParameter(QStringLiteral("PMissing"), v));
    EXPECT_FALSE(v.isValid());
}

TEST_F(SqlHelpersTest, CompanyDecimalsBuildTheDisplayFormats)
{
    CompanyDecimals d = GetCompanyDecimals();
    EXPECT_EQ(d.numberFormat, QStringLiteral(",0.00;-,0.00"));
    EXPECT_EQ(d.priceDecimals, 2);

    ExecScript(QStringLiteral("insert into t_comCompany(FID, FName, FNumberDecimal, FPriceDecimal) values (1, '厂', 3, 4)"));
    d = GetCompanyDecimals();
    EXPECT_EQ(d.numberFormat, QStringLiteral(",0.000;-,0.000"));
    EXPECT_EQ(d.numberDecimals, 3);
    EXPECT_EQ(d.priceFormat, QStringLiteral(",0.0000;-,0.0000"));
    EXPECT_EQ(d.priceDecimals, 4);

    ExecScript(QStringLiteral("update t_comCompany set FNumberDecimal = 0, FPriceDecimal = NULL"));
    d = GetCompanyDecimals();
    EXPECT_EQ(d.numberFormat, QStringLiteral(",0.;-,0."));
    EXPECT_EQ(d.numberDecimals, 0);
    EXPECT_EQ(d.priceFormat, QStringLiteral(",0.00;-,0.00"));
    EXPECT_EQ(d.priceDecimals, 2);
}

TEST(Values, RoundingTiesGoToEvenWithTheWholeNumberNudge)
{
    EXPECT_DOUBLE_EQ(RoundValue(0, 2.5), 3.0);
    EXPECT_DOUBLE_EQ(RoundValue(0, 3.5), 4.0);
    EXPECT_DOUBLE_EQ(RoundValue(1, 0.25), 0.2);
    EXPECT_DOUBLE_EQ(RoundValue(2, 1.005), 1.0) << "1.005 is stored below the half";
    EXPECT_DOUBLE_EQ(RoundValue(2, 33.899999), 33.9);
    EXPECT_DOUBLE_EQ(RoundValue(1, -0.25), -0.2);
    EXPECT_DOUBLE_EQ(RoundValue(0, -2.5), -2.0) << "the nudge moves -2.5 towards zero";
    EXPECT_DOUBLE_EQ(RoundValue(-1, 25.0), 30.0);
    EXPECT_EQ(PadLeftZeros(QStringLiteral("0"), 3), QStringLiteral("000"));
    EXPECT_EQ(PadLeftZeros(QStringLiteral("123456"), 5), QStringLiteral("123456"));
    EXPECT_EQ(PadLeftZeros(QStringLiteral("7"), 0), QString());
}

TEST(Values, NullableValuesConvertWithTheirDefaults)
{
    EXPECT_TRUE(IsBlankValue(QVariant()));
    EXPECT_TRUE(IsBlankValue(QStringLiteral("  ")));
    EXPECT_FALSE(IsBlankValue(0));
    EXPECT_DOUBLE_EQ(ValueToFloat(QStringLiteral(" ")), 0.0);
    EXPECT_DOUBLE_EQ(ValueToFloat(QStringLiteral("12.5")), 12.5);
    EXPECT_DOUBLE_EQ(ValueToRatio(QVariant()), 1.0);
    EXPECT_DOUBLE_EQ(ValueToRatio(QStringLiteral("20")), 20.0);
    EXPECT_EQ(ValueToInt(QVariant()), 0);
    EXPECT_EQ(ValueToInt(QStringLiteral(" 30 ")), 30);
    EXPECT_THROW(ValueToInt(QStringLiteral("3天")), std::invalid_argument);
    EXPECT_EQ(ValueToTrimmedText(QStringLiteral("  批次A ")), QStringLiteral("批次A"));
    EXPECT_TRUE(ValueIsTrue(true));
    EXPECT_FALSE(ValueIsTrue(QVariant()));
    EXPECT_TRUE(IsBitSet(8, 3));
    EXPECT_FALSE(IsBitSet(8, 0));
    EXPECT_TRUE(IsBitSet(static_cast<int>(0x80000000u), 31));
    EXPECT_EQ(MonthFirstDay(QDate(2024, 2, 17)), QDate(2024, 2, 1));
    EXPECT_EQ(MonthLastDay(QDate(2024, 2, 17)), QDate(2024, 2, 29));
}

TEST_F(SqlHelpersTest, ClosedPeriodsAndVouchersBlockChecking)
{
    ExecScript(QStringLiteral("insert into t_ProTaskForm(FID, FBillNo, FIsCloseAcc, FIsCreateVoucher) values "
                              "(1, 'A', 1, 0), (2, 'B', NULL, 1), (3, 'C', 0, NULL)"));
    EXPECT_TRUE(IsPeriodClosed(QStringLiteral("t_ProTaskForm"), 1, true));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("本期已结帐，不允许进行审核或反审核单据。"));
    EXPECT_FALSE(IsPeriodClosed(QStringLiteral("t_ProTaskForm"), 2, true));
    EXPECT_FALSE(IsPeriodClosed(QStringLiteral("t_ProTaskForm"), 3, true));
    EXPECT_TRUE(HasVoucher(QStringLiteral("t_ProTaskForm"), 2, false));
    EXPECT_EQ(prompter.entries().size(), 1) << "no message when not asked";
    EXPECT_TRUE(HasVoucher(QStringLiteral("t_ProTaskForm"), 2, true));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("本单已经生成过凭证,不允许进行审核或反审核单据,请先删除凭证"));
    EXPECT_FALSE(HasVoucher(QStringLiteral("t_ProTaskForm"), 1, true));
    // A table without the columns is never closed and has no voucher.
    EXPECT_FALSE(IsPeriodClosed(QStringLiteral("t_comUnit"), 1, true));
    EXPECT_FALSE(HasVoucher(QStringLiteral("t_comUnit"), 1, true));
}

TEST_F(SqlHelpersTest, BillsDatedBeforeTheClosingDateAreRefused)
{
    nvDMBase::instance().lastClosingDate = QDate();
    ExecScript(QStringLiteral("insert into t_comparameters(FName, FTypeID, FDatetimeValue) values ('FAccCloseDate', 5, '2026-10-31')"));
    EXPECT_FALSE(IsBeforeClosingDate(QStringLiteral("t_ProTaskForm"), true, QDate(2026, 10, 31))) << "the closing day passes";
    EXPECT_TRUE(prompter.entries().isEmpty());
    EXPECT_TRUE(IsBeforeClosingDate(QStringLiteral("t_ProTaskForm"), true, QDate(2026, 10, 30)));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("本期已结帐，不允许审核单据。"));
    EXPECT_EQ(prompter.entries().last().kind, PromptKind::Error);
    EXPECT_EQ(nvDMBase::instance().lastClosingDate, QDate(2026, 10, 31));

    // A table without the column compares with the date cached before.
    ExecScript(QStringLiteral("update t_comparameters set FDatetimeValue = '2026-12-31'"));
    EXPECT_FALSE(IsBeforeClosingDate(QStringLiteral("t_comUnit"), false, QDate(2026, 11, 15)));
    nvDMBase::instance().lastClosingDate = QDate();
}

TEST_F(SqlHelpersTest, OperationLogRowsCarryTheSignedInUser)
{
    nvDMBase &dm = nvDMBase::instance();
    dm.userId = 3;
    dm.hostName = QStringLiteral("ws-01");
    dm.ipAddress = QStringLiteral("192.0.2.7");
    {
        const protask::testing::PinServerClock clock(Db(), protask::testing::kPinnedNow);
        EXPECT_TRUE(WriteOperationLog(QStringLiteral("保存操作 - 单据号:RWD20261200001"), QStringLiteral("生产任务单")));
    }
    EXPECT_EQ(one(QStringLiteral("select concat(FUserId,'|',FHostName,'|',FIpAddr,'|',FMsgCont,'|',FWindow) from zzsyslog"))
                  .toString(),
              QStringLiteral("3|ws-01|192.0.2.7|保存操作 - 单据号:RWD20261200001|生产任务单"));
    EXPECT_EQ(one(QStringLiteral("select FDateTime from zzsyslog")).toDateTime(), protask::testing::kPinnedNow)
        << "the row carries the server's time";

    ExecScript(QStringLiteral("RENAME TABLE zzsyslog TO zzsyslog_away"));
    EXPECT_FALSE(WriteOperationLog(QStringLiteral("x"), QStringLiteral("y")));
    ExecScript(QStringLiteral("RENAME TABLE zzsyslog_away TO zzsyslog"));
    EXPECT_TRUE(prompter.entries().isEmpty()) << "a failed log row shows nothing";
    dm.userId = 0;
}

TEST_F(SqlHelpersTest, TextLogWritesOneLinePerEntryIntoADailyFile)
{
    QTemporaryDir home;
    const QString previous = ProgramFolder();
    SetProgramFolder(home.path());
    // The day's file is named by the workstation clock, which may pass midnight between
    // the two writes: the lines are looked for in the files of the day before and after.
    auto daily = [&]() {
        return home.path() + QStringLiteral("/log/") + QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))
               + QStringLiteral(".txt");
    };
    const QString dayBefore = daily();
    WriteTextLog(QStringLiteral("X"));
    WriteTextLog(QStringLiteral("第二行"), QStringLiteral("  "));
    const QString dayAfter = daily();
    WriteTextLog(QStringLiteral("traced"), QStringLiteral("sqltrace"));
    QStringList lines;
    const QStringList days = dayBefore == dayAfter ? QStringList{dayBefore} : QStringList{dayBefore, dayAfter};
    for (const QString &name : days) {
        QFile f(name);
        if (f.open(QIODevice::ReadOnly))
            lines += QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    ASSERT_EQ(lines.size(), 2);
    const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} : X;$"));
    EXPECT_TRUE(shape.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" : 第二行;")));
    EXPECT_TRUE(QFile::exists(home.path() + QStringLiteral("/log/sqltrace.txt")));

    SetQueryTrace(true, QStringLiteral("trace"));
    OpenQuery(QStringLiteral("select 1 as traced_statement"));
    SetQueryTrace(false);
    QFile t(home.path() + QStringLiteral("/log/trace.txt"));
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_TRUE(t.readAll().contains("select 1 as traced_statement"));
    SetProgramFolder(previous);
}

TEST_F(SqlHelpersTest, OtherStockBillsPostClientAmountsUnlessTheCounterpartIsAnEmployee)
{
    ExecScript(QStringLiteral("insert into t_OtherOutInForm(FID, FItemTypeID) values (1, 1), (2, 2), (3, NULL)"));
    EXPECT_FALSE(OtherOutInKindCheck(1));
    EXPECT_TRUE(OtherOutInKindCheck(2));
    EXPECT_TRUE(OtherOutInKindCheck(3));
}

// Every search matches exactly the rows that contain the typed text, on the server and in the
// local lookup filter alike.
struct SearchCase {
    const char *typed;
    const char *ids;
};

const QString kSearchRows = QStringLiteral(
    "insert into t_comUnit(FID, FName) values (1, '100%棉'), (2, '1000棉'), (3, 'a_b'), (4, 'axb'), (5, 'c:\\\\dir'), "
    "(6, 'c:dir'), (7, 'it''s'), (8, 'b\\\\%')");

class SearchTest : public SqlHelpersTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(SearchTest, MatchesExactlyTheRowsContainingTheTypedText)
{
    ExecScript(kSearchRows);
    const QString typed = QString::fromUtf8(GetParam().typed);
    EXPECT_EQ(one(QStringLiteral("select IfNull(group_concat(FID order by FID),'') from t_comUnit where FName like ")
                  + QuotedLikeContains(typed))
                  .toString(),
              QLatin1String(GetParam().ids))
        << "server";

    TLocalDataSet units;
    units.open(QStringLiteral("select FID, FName from t_comUnit order by FID"));
    units.setFilter(LookupFilterExpression(typed, {QStringLiteral("FName")}));
    units.setFiltered(true);
    QStringList ids;
    for (units.first(); !units.eof(); units.next())
        ids << units.fieldByName(QStringLiteral("FID")).toString();
    EXPECT_EQ(ids.join(QLatin1Char(',')), QLatin1String(GetParam().ids)) << "local filter";
}

INSTANTIATE_TEST_SUITE_P(TypedTexts, SearchTest,
                         ::testing::Values(SearchCase{"0%", "1"}, SearchCase{"%", "1,8"}, SearchCase{"_b", "3"},
                                           SearchCase{"\\", "5,8"}, SearchCase{":\\d", "5"}, SearchCase{"\\%", "8"},
                                           SearchCase{"'", "7"}, SearchCase{"棉", "1,2"}, SearchCase{"X", "4"}));

} // namespace
