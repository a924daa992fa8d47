#include "core/db_actions.h"
#include "core/local_dataset.h"
#include "core/sql_helpers.h"
#include "core/values.h"
#include "own_connection.h"
#include "platform/program_folder.h"
#include "test_db.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>

using namespace protask;
using namespace Qt::StringLiterals;
using protask::testing::ExecScript;
using protask::testing::ReadFileBytes;
using protask::testing::scalar;

namespace {

using SqlHelpers = protask::testing::DatabaseTest;

TEST_F(SqlHelpers, OpenQueryRunsNothingForBlankTextAndCountsRows)
{
    TDataSet q(Db());
    q.open(u"select 1 as x"_s);
    EXPECT_EQ(OpenQuery(q, u"   \n "_s), -1);
    EXPECT_TRUE(q.isActive()) << "the query is not touched";
    ExecScript(u"insert into t_comUnit(FID, FName) values (1, 'a'), (2, 'b')"_s);
    EXPECT_EQ(OpenQuery(q, u" select FID from t_comUnit "_s), 2);
    EXPECT_THROW(ExecQuery(q, u"update t_no_such set x = 1"_s), DbError);
}

TEST_F(SqlHelpers, NextIdIsTheLargestPlusOneAndHoldsOffASecondSave)
{
    EXPECT_EQ(GetNextID(u"t_comUnit"_s, u"FID"_s), 1);
    ExecScript(u"insert into t_comUnit(FID, FName) values (41, 'a'), (7, 'b')"_s);
    TransactionGuard tx(Db());
    EXPECT_EQ(GetNextID(u"t_comUnit"_s, u"FID"_s), 42);
    protask::testing::OnOwnConnection(u"second-save"_s, [](const QSqlDatabase &other) {
        TDataSet(other).exec(u"SET SESSION innodb_lock_wait_timeout = 1"_s);
        TransactionGuard tx2(other);
        try {
            GetNextID(u"t_comUnit"_s, u"FID"_s, other);
            ADD_FAILURE() << "the second save read the key while the first held it";
        } catch (const DbError &e) {
            EXPECT_EQ(e.kind(), DbErrorKind::LockWaitTimeout);
            EXPECT_TRUE(e.isRetryable());
        }
    });
}

TEST_F(SqlHelpers, NamedRecordsAreCreatedOnceWithTheirCodeAndFoundAgain)
{
    const auto client = [](const QString &name, int type) {
        return GetOrAddNamedRecord(u"t_comClient"_s, u"FName"_s, name, u"FID"_s, u",Ftype"_s, u",%1"_s.arg(type),
                                   u" and FType = %1"_s.arg(type));
    };
    EXPECT_EQ(client(u"   "_s, 1), 0);
    EXPECT_EQ(client(u" 华美家具 "_s, 1), 1);
    EXPECT_EQ(client(u"华美家具"_s, 1), 1);
    EXPECT_EQ(scalar(u"select concat(FType, '|', FNo, '|', FCode) from t_comClient where FID = 1"_s).toString(),
              u"1||HMJJ"_s);
    EXPECT_EQ(client(u"华美家具"_s, 2), 2) << "the same name as a supplier is another record";
}

// Two workstations add the same new client, or product, at once: the one that comes second
// finds the other's record instead of making a twin. A client's name is a key, so its action
// meets the other's row there and runs again; products may share a name, so the second waits
// for the first before it looks again.
TEST_F(SqlHelpers, TwoWorkstationsAddingOneNewNameMakeOneRecord)
{
    struct Case {
        const char *firstAdds, *table;
        std::function<int(const QSqlDatabase &)> add;
        int attempts;
    };
    const Case cases[] = {
        {"insert into t_comClient(FID,FNo,FName,FCode,FType) values (50,'','华美家具','HMJJ',1)", "t_comClient",
         [](const QSqlDatabase &db) {
             return GetOrAddNamedRecord(u"t_comClient"_s, u"FName"_s, u"华美家具"_s, u"FID"_s, u",Ftype"_s, u",1"_s,
                                        u" and FType = 1"_s, db);
         },
         2},
        {"insert into t_comProducts(FID,FNo,FName) values (50,'','螺丝钉')", "t_comProducts",
         [](const QSqlDatabase &db) {
             int unit = 0;
             return GetOrAddProduct(QVariant(), u"螺丝钉"_s, QVariant(), unit, db);
         },
         1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.table);
        protask::testing::OnOwnConnection(u"adds-first"_s, [&c](const QSqlDatabase &first) {
            TransactionGuard tx(first);
            TDataSet(first).exec(QString::fromUtf8(c.firstAdds));
            auto second = protask::testing::OnOwnThread(u"adds-second"_s, [&c](const QSqlDatabase &db) {
                int id = 0;
                const TransactionResult r = RunTransaction(db, [&] {
                    id = c.add(db);
                    return true;
                });
                return std::pair{id, r.committed ? r.attempts : -1};
            });
            protask::testing::WaitForLockWaits(1); // the second waits for the first
            tx.commit();
            EXPECT_EQ(second.get(), std::pair(50, c.attempts));
        });
        EXPECT_EQ(scalar(u"select count(*) from "_s + QLatin1String(c.table)).toInt(), 1);
    }
}

TEST_F(SqlHelpers, NamesWithQuotesBackslashesPercentAndEmojiAreStoredExactly)
{
    // The last three differ only in a character outside the basic plane.
    const QStringList names = {u"O'Neil五金"_s, u"A\\B 车间"_s, u"100%棉"_s, u"a_b"_s,
                               u"笑脸😀工坊"_s,  u"杯😀"_s,       u"杯😁"_s,    u"杯𠀀"_s};
    for (const QString &n : names) {
        const int id = GetOrAddNamedRecord(u"t_comdepartment"_s, u"FName"_s, n, u"FID"_s, {}, {}, {});
        ASSERT_GT(id, 0);
        EXPECT_EQ(scalar(u"select FName from t_comdepartment where FID = %1"_s.arg(id)).toString(), n);
        EXPECT_EQ(GetOrAddNamedRecord(u"t_comdepartment"_s, u"FName"_s, n, u"FID"_s, {}, {}, {}), id);
    }
    EXPECT_EQ(scalar(u"select count(*) from t_comdepartment"_s).toInt(), names.size());
}

TEST_F(SqlHelpers, ProductsAreCreatedWithTheirBaseUnitAndSecondUnitsAreFound)
{
    int unit = -1;
    EXPECT_EQ(GetOrAddProduct(QVariant(), u"  "_s, u"个"_s, unit), 0);
    EXPECT_EQ(GetOrAddProduct(u"C-01"_s, u"螺丝钉"_s, u"个"_s, unit), 1);
    EXPECT_EQ(unit, 1);
    EXPECT_EQ(scalar(u"select concat(FgroupID,'|',FNo,'|',FStdUnitID,'|',FCode) from t_comProducts"_s).toString(),
              u"2|C-01|1|LSD"_s);
    EXPECT_EQ(scalar(u"select concat(FSID,'|',FUnitID,'|',FRatio = 1) from t_comProductUnit where FProductID = 1"_s)
                  .toString(),
              u"1|1|1"_s);

    ExecScript(u"insert into t_comUnit(FID, FName) values (5, '盒');"
               "insert into t_comProductUnit(FSID, FProductID, FUnitID, FRatio) values (2, 1, 5, 100)"_s);
    // A second unit is found by name; an unknown or no unit keeps the base unit.
    for (const auto &[unitName, expected] :
         {std::pair{QVariant(u"盒"_s), 5}, {QVariant(u"吨"_s), 1}, {QVariant(), 1}}) {
        EXPECT_EQ(GetOrAddProduct(QVariant(), u"螺丝钉"_s, unitName, unit), 1);
        EXPECT_EQ(unit, expected) << unitName.toString().toStdString();
    }
    EXPECT_EQ(scalar(u"select count(*) from t_comProducts"_s).toInt(), 1);
    EXPECT_TRUE(UnitsBelongToProduct(u"个"_s, u"盒"_s, u" 螺丝钉 "_s));
    EXPECT_FALSE(UnitsBelongToProduct(u"个"_s, u"吨"_s, u"螺丝钉"_s));
}

TEST_F(SqlHelpers, ParametersComeBackAsTheirKind)
{
    ExecScript(u"insert into t_comparameters(FName, FTypeID, FIntValue, FBoolValue, FCharValue, FFloatValue, "
               "FDatetimeValue) values ('PInt', 1, 7, 0, '', 0, null), ('PBool', 2, 0, 1, '', 0, null), "
               "('PText', 3, 0, 0, '生产部', 0, null), ('PFloat', 4, 0, 0, '', 13.5, null), "
               "('PDate', 5, 0, 0, '', 0, '2026-11-30'), ('POdd', 9, 1, 1, 'x', 1, null)"_s);
    // found (1/0), type and value; an unknown kind, like a missing row, leaves the value empty
    const std::pair<QString, QString> cases[] = {{u" PInt "_s, u"1 int 7"_s},
                                                 {u"PBool"_s, u"1 bool true"_s},
                                                 {u"PText"_s, u"1 QString 生产部"_s},
                                                 {u"PFloat"_s, u"1 double 13.5"_s},
                                                 {u"PDate"_s, u"1 QDateTime 2026-11-30T00:00:00.000"_s},
                                                 {u"POdd"_s, u"1  "_s},
                                                 {u"PMissing"_s, u"0  "_s}};
    for (const auto &[name, expected] : cases) {
        QVariant v = 5;
        const bool found = ReadParameter(name, v);
        EXPECT_EQ(u"%1 %2 %3"_s.arg(found).arg(QString::fromLatin1(v.typeName()), v.toString()), expected);
    }
}

TEST(Values, RoundingTiesGoToEvenWithTheWholeNumberNudge)
{
    // 1.005 is stored below the half; at 0 places the nudge rounds 2.5 up and -2.5 towards zero.
    const struct {
        int digits;
        double value, rounded;
    } cases[] = {{0, 2.5, 3},          {0, 3.5, 4},      {1, 0.25, 0.2}, {2, 1.005, 1.0},
                 {2, 33.899999, 33.9}, {1, -0.25, -0.2}, {0, -2.5, -2},  {-1, 25, 30}};
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(RoundValue(c.digits, c.value), c.rounded) << c.value << " to " << c.digits;
    EXPECT_EQ(PadLeftZeros(u"0"_s, 3), u"000"_s);
    EXPECT_EQ(PadLeftZeros(u"123456"_s, 5), u"123456"_s);
    EXPECT_EQ(PadLeftZeros(u"7"_s, 0), QString());
}

TEST(Values, NullableValuesConvertWithTheirDefaults)
{
    // blank (1/0), as a number, as a unit ratio (1 when blank)
    const auto read = [](const QVariant &v) {
        return u"%1 %2 %3"_s.arg(IsBlankValue(v)).arg(ValueToFloat(v)).arg(ValueToRatio(v));
    };
    EXPECT_EQ(read(QVariant()), u"1 0 1"_s);
    EXPECT_EQ(read(u"  "_s), u"1 0 1"_s);
    EXPECT_EQ(read(0), u"0 0 0"_s);
    EXPECT_EQ(read(u"12.5"_s), u"0 12.5 12.5"_s);
    EXPECT_EQ(ValueToInt(QVariant()) + ValueToInt(u""_s), 0);
    EXPECT_EQ(ValueToInt(u" 30 "_s), 30);
    EXPECT_THROW(ValueToInt(u"3天"_s), std::invalid_argument);
    EXPECT_EQ(ValueToTrimmedText(u"  批次A "_s), u"批次A"_s);
    EXPECT_TRUE(ValueIsTrue(true) && ValueIsTrue(u" -1"_s) && !ValueIsTrue(QVariant()) && !ValueIsTrue(u"0"_s));
    EXPECT_TRUE(IsBitSet(8, 3) && !IsBitSet(8, 0));
    EXPECT_TRUE(IsBitSet(static_cast<int>(0x80000000u), 31));
}

TEST(Values, DatePeriodsAroundToday)
{
    const std::tuple<DatePeriod, QDate, std::optional<DateRange>> cases[] = {
        {DatePeriod::Today, QDate(2026, 5, 15), DateRange{QDate(2026, 5, 15), QDate(2026, 5, 15)}},
        {DatePeriod::ThisWeek, QDate(2026, 5, 15), DateRange{QDate(2026, 5, 11), QDate(2026, 5, 17)}},
        {DatePeriod::ThisWeek, QDate(2026, 5, 17), DateRange{QDate(2026, 5, 11), QDate(2026, 5, 17)}}, // Sunday
        {DatePeriod::ThisWeek, QDate(2026, 1, 1), DateRange{QDate(2025, 12, 29), QDate(2026, 1, 4)}},
        {DatePeriod::ThisMonth, QDate(2028, 2, 10), DateRange{QDate(2028, 2, 1), QDate(2028, 2, 29)}},
        {DatePeriod::ThisYear, QDate(2026, 5, 15), DateRange{QDate(2026, 1, 1), QDate(2026, 12, 31)}},
        {DatePeriod::Custom, QDate(2026, 5, 15), std::nullopt},
    };
    for (const auto &[period, today, range] : cases)
        EXPECT_EQ(PeriodDates(period, today), range) << static_cast<int>(period) << ' ' << today.day();
}

// The list's check actions show these refusals; here the edges: empty flags, no message
// unless asked, tables without the columns, the closing day itself.
TEST_F(SqlHelpers, ClosedPeriodsVouchersAndTheClosingDateBlockChecking)
{
    ExecScript(
        u"insert into t_ProTaskForm(FID, FBillNo, FIsCloseAcc, FIsCreateVoucher) values "
        "(1, 'A', 1, 0), (2, 'B', NULL, 1), (3, 'C', 0, NULL);"
        "insert into t_comparameters(FName, FTypeID, FDatetimeValue) values ('FAccCloseDate', 5, '2026-10-31')"_s);
    const QString form = u"t_ProTaskForm"_s;
    EXPECT_TRUE(IsPeriodClosed(form, 1, true));
    EXPECT_FALSE(IsPeriodClosed(form, 2, true));
    EXPECT_FALSE(IsPeriodClosed(form, 3, true));
    EXPECT_TRUE(HasVoucher(form, 2, false));
    EXPECT_FALSE(HasVoucher(form, 1, true));
    EXPECT_FALSE(IsPeriodClosed(u"t_comUnit"_s, 1, true));
    EXPECT_FALSE(HasVoucher(u"t_comUnit"_s, 1, true));

    nvDMBase::instance().lastClosingDate = QDate();
    EXPECT_FALSE(IsBeforeClosingDate(form, true, QDate(2026, 10, 31))) << "the closing day passes";
    EXPECT_TRUE(IsBeforeClosingDate(form, true, QDate(2026, 10, 30)));
    EXPECT_EQ(prompter.texts(),
              (QStringList{u"本期已结帐，不允许进行审核或反审核单据。"_s, u"本期已结帐，不允许审核单据。"_s}));
    EXPECT_EQ(prompter.entries().last().kind, PromptKind::Error);
    // A table without the column compares with the date cached before.
    ExecScript(u"update t_comparameters set FDatetimeValue = '2026-12-31'"_s);
    EXPECT_FALSE(IsBeforeClosingDate(u"t_comUnit"_s, false, QDate(2026, 11, 15)));
    nvDMBase::instance().lastClosingDate = QDate();
}

TEST_F(SqlHelpers, OperationLogRowsCarryTheSignedInUserAndTheServerTime)
{
    nvDMBase &dm = nvDMBase::instance();
    dm.userId = 3;
    dm.hostName = u"ws-01"_s;
    dm.ipAddress = u"192.0.2.7"_s;
    EXPECT_TRUE(WriteOperationLog(u"保存操作 - 单据号:RWD20261200001"_s, u"生产任务单"_s));
    EXPECT_EQ(
        scalar(u"select concat(FUserId,'|',FHostName,'|',FIpAddr,'|',FMsgCont,'|',FWindow) from zzsyslog"_s).toString(),
        u"3|ws-01|192.0.2.7|保存操作 - 单据号:RWD20261200001|生产任务单"_s);
    EXPECT_EQ(scalar(u"select FDateTime from zzsyslog"_s).toDateTime(), protask::testing::kPinnedNow);

    ExecScript(u"RENAME TABLE zzsyslog TO zzsyslog_away"_s);
    EXPECT_FALSE(WriteOperationLog(u"x"_s, u"y"_s));
    ExecScript(u"RENAME TABLE zzsyslog_away TO zzsyslog"_s);
    EXPECT_TRUE(prompter.entries().isEmpty()) << "a failed log row shows nothing";
}

TEST_F(SqlHelpers, TextLogWritesOneLinePerEntryIntoADailyFileAndTracesStatements)
{
    QTemporaryDir home;
    const QString previous = ProgramFolder();
    SetProgramFolder(home.path());
    WriteTextLog(u"X"_s);
    WriteTextLog(u"第二行"_s, u"  "_s);
    WriteTextLog(u"traced"_s, u"sqltrace"_s);
    SetQueryTrace(true, u"trace"_s);
    OpenQuery(u"select 1 as traced_statement"_s);
    SetQueryTrace(false);
    SetProgramFolder(previous);
    // The daily files are named by the workstation clock, which may pass midnight in between.
    const QDir log(home.filePath(u"log"_s));
    const auto text = [&log](const QString &name) { return QString::fromUtf8(ReadFileBytes(log.filePath(name))); };
    QStringList lines;
    for (const QString &name : log.entryList({u"20??????.txt"_s}))
        lines += text(name).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(QRegularExpression(u"^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} : X;$"_s).match(lines[0]).hasMatch())
        << qPrintable(lines[0]);
    EXPECT_TRUE(lines[1].endsWith(u" : 第二行;"_s));
    EXPECT_TRUE(text(u"sqltrace.txt"_s).endsWith(u" : traced;\n"_s));
    EXPECT_TRUE(text(u"trace.txt"_s).contains(u"select 1 as traced_statement"_s));
}

TEST_F(SqlHelpers, OtherStockBillsPostClientAmountsUnlessTheCounterpartIsAnEmployee)
{
    ExecScript(u"insert into t_OtherOutInForm(FID, FItemTypeID) values (1, 1), (2, 2), (3, NULL)"_s);
    EXPECT_FALSE(OtherOutInKindCheck(1));
    EXPECT_TRUE(OtherOutInKindCheck(2));
    EXPECT_TRUE(OtherOutInKindCheck(3));
}

// The local lookup filter matches exactly the rows that contain the typed text (the server's
// pattern is the list query's test): typed text → the ids found.
TEST_F(SqlHelpers, TheLookupFilterMatchesExactlyTheRowsContainingTheTypedText)
{
    ExecScript(u"insert into t_comUnit(FID, FName) values (1, '100%棉'), (2, '1000棉'), (3, 'a_b'), (4, 'axb'), "
               "(5, 'c:\\\\dir'), (6, 'c:dir'), (7, 'it''s'), (8, 'b\\\\%')"_s);
    TLocalDataSet local;
    local.open(u"select FID, FName from t_comUnit order by FID"_s);
    const std::pair<const char *, const char *> cases[] = {{"0%", "1"},   {"%", "1,8"},  {"_b", "3"},
                                                           {"\\", "5,8"}, {":\\d", "5"}, {"\\%", "8"},
                                                           {"'", "7"},    {"棉", "1,2"}, {"X", "4"}};
    for (const auto &[typed, ids] : cases) {
        SCOPED_TRACE(typed);
        local.setFilter(LookupFilterExpression(QString::fromUtf8(typed), {u"FName"_s}));
        local.setFiltered(true);
        QStringList found;
        for (local.first(); !local.eof(); local.next())
            found << local.fieldByName(u"FID"_s).toString();
        EXPECT_EQ(found.join(u','), QLatin1String(ids));
    }
}

} // namespace
