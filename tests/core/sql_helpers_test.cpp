#include "core/db_actions.h"
#include "core/local_dataset.h"
#include "core/sql_helpers.h"
#include "core/values.h"
#include "platform/program_folder.h"
#include "test_db.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <future>

using namespace protask;
using namespace Qt::StringLiterals;
using protask::testing::ExecScript;

namespace {

// The first column of the first row.
QVariant one(const QString &sql)
{
    TDataSet q(Db());
    q.open(sql);
    return q.value(0, 0);
}

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
    const QString name = u"second-save"_s;
    {
        QSqlDatabase other = openConnection(protask::testing::TestConnectionSettings(name));
        TDataSet(other).exec(u"SET SESSION innodb_lock_wait_timeout = 1"_s);
        TransactionGuard tx2(other);
        try {
            GetNextID(u"t_comUnit"_s, u"FID"_s, other);
            ADD_FAILURE() << "the second save read the key while the first held it";
        } catch (const DbError &e) {
            EXPECT_EQ(e.kind(), DbErrorKind::LockWaitTimeout);
        }
        other.close();
    }
    QSqlDatabase::removeDatabase(name);
}

TEST_F(SqlHelpers, NamedRecordsAreCreatedOnceWithTheirCodeAndFoundAgain)
{
    const auto client = [](const QString &name, int type) {
        return GetOrAddNamedRecord(u"t_comClient"_s, u"FName"_s, name, u"FID"_s, u",Ftype"_s, u",%1"_s.arg(type),
                                   u" and FType = %1"_s.arg(type));
    };
    EXPECT_EQ(client(u"   "_s, 1), 0);
    EXPECT_EQ(one(u"select count(*) from t_comClient"_s).toInt(), 0);
    EXPECT_EQ(client(u" 华美家具 "_s, 1), 1);
    EXPECT_EQ(client(u"华美家具"_s, 1), 1);
    EXPECT_EQ(one(u"select concat(FType, '|', FNo, '|', FCode) from t_comClient where FID = 1"_s).toString(),
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
    const QString name = u"adds-first"_s;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.table);
        {
            QSqlDatabase first = openConnection(protask::testing::TestConnectionSettings(name));
            TransactionGuard tx(first);
            TDataSet(first).exec(QString::fromUtf8(c.firstAdds));
            auto second = std::async(std::launch::async, [&c] {
                const QString own = u"adds-second"_s;
                std::pair<int, int> idAndAttempts;
                {
                    QSqlDatabase db = openConnection(protask::testing::TestConnectionSettings(own));
                    const TransactionResult r = RunTransaction(db, [&] {
                        idAndAttempts.first = c.add(db);
                        return true;
                    });
                    idAndAttempts.second = r.committed ? r.attempts : -1;
                    db.close();
                }
                QSqlDatabase::removeDatabase(own);
                return idAndAttempts;
            });
            protask::testing::WaitForLockWaits(1); // the second waits for the first
            tx.commit();
            const auto [id, attempts] = second.get();
            EXPECT_EQ(id, 50);
            EXPECT_EQ(attempts, c.attempts);
            first.close();
        }
        QSqlDatabase::removeDatabase(name);
        EXPECT_EQ(one(u"select count(*) from "_s + QLatin1String(c.table)).toInt(), 1);
    }
}

TEST_F(SqlHelpers, NamesWithQuotesBackslashesPercentAndEmojiAreStoredExactly)
{
    const auto department = [](const QString &name) {
        return GetOrAddNamedRecord(u"t_comdepartment"_s, u"FName"_s, name, u"FID"_s, {}, {}, {});
    };
    // The last three differ only in a character outside the basic plane.
    const QStringList names = {u"O'Neil五金"_s, u"A\\B 车间"_s, u"100%棉"_s, u"a_b"_s,
                               u"笑脸😀工坊"_s,  u"杯😀"_s,       u"杯😁"_s,    u"杯𠀀"_s};
    for (const QString &n : names) {
        const int id = department(n);
        ASSERT_GT(id, 0);
        EXPECT_EQ(one(u"select FName from t_comdepartment where FID = %1"_s.arg(id)).toString(), n);
        EXPECT_EQ(department(n), id);
    }
    EXPECT_EQ(one(u"select count(*) from t_comdepartment"_s).toInt(), names.size());
}

TEST_F(SqlHelpers, ProductsAreCreatedWithTheirBaseUnitAndSecondUnitsAreFound)
{
    int unit = -1;
    EXPECT_EQ(GetOrAddProduct(QVariant(), u"  "_s, u"个"_s, unit), 0);
    EXPECT_EQ(GetOrAddProduct(u"C-01"_s, u"螺丝钉"_s, u"个"_s, unit), 1);
    EXPECT_EQ(unit, 1);
    EXPECT_EQ(one(u"select concat(FgroupID,'|',FNo,'|',FStdUnitID,'|',FCode) from t_comProducts"_s).toString(),
              u"2|C-01|1|LSD"_s);
    EXPECT_EQ(
        one(u"select concat(FSID,'|',FUnitID,'|',FRatio = 1) from t_comProductUnit where FProductID = 1"_s).toString(),
        u"1|1|1"_s);

    ExecScript(u"insert into t_comUnit(FID, FName) values (5, '盒');"
               "insert into t_comProductUnit(FSID, FProductID, FUnitID, FRatio) values (2, 1, 5, 100)"_s);
    // A second unit is found by name; an unknown or no unit keeps the base unit.
    for (const auto &[unitName, expected] :
         {std::pair{QVariant(u"盒"_s), 5}, {QVariant(u"吨"_s), 1}, {QVariant(), 1}}) {
        EXPECT_EQ(GetOrAddProduct(QVariant(), u"螺丝钉"_s, unitName, unit), 1);
        EXPECT_EQ(unit, expected) << unitName.toString().toStdString();
    }
    EXPECT_EQ(one(u"select count(*) from t_comProducts"_s).toInt(), 1);
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
    const auto read = [](const QString &name) {
        QVariant v = 5;
        const bool found = ReadParameter(name, v);
        return u"%1 %2 %3"_s.arg(found).arg(QString::fromLatin1(v.typeName()), v.toString());
    };
    EXPECT_EQ(read(u" PInt "_s), u"1 int 7"_s);
    EXPECT_EQ(read(u"PBool"_s), u"1 bool true"_s);
    EXPECT_EQ(read(u"PText"_s), u"1 QString 生产部"_s);
    EXPECT_EQ(read(u"PFloat"_s), u"1 double 13.5"_s);
    EXPECT_EQ(read(u"PDate"_s), u"1 QDateTime 2026-11-30T00:00:00.000"_s);
    EXPECT_EQ(read(u"POdd"_s), u"1  "_s);
    EXPECT_EQ(read(u"PMissing"_s), u"0  "_s);
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
    EXPECT_TRUE(ValueIsTrue(true) && !ValueIsTrue(QVariant()));
    EXPECT_TRUE(IsBitSet(8, 3) && !IsBitSet(8, 0));
    EXPECT_TRUE(IsBitSet(static_cast<int>(0x80000000u), 31));
    EXPECT_EQ(MonthFirstDay(QDate(2024, 2, 17)), QDate(2024, 2, 1));
    EXPECT_EQ(MonthLastDay(QDate(2024, 2, 17)), QDate(2024, 2, 29));
}

TEST_F(SqlHelpers, ClosedPeriodsAndVouchersBlockChecking)
{
    ExecScript(u"insert into t_ProTaskForm(FID, FBillNo, FIsCloseAcc, FIsCreateVoucher) values "
               "(1, 'A', 1, 0), (2, 'B', NULL, 1), (3, 'C', 0, NULL)"_s);
    const QString form = u"t_ProTaskForm"_s;
    EXPECT_TRUE(IsPeriodClosed(form, 1, true));
    EXPECT_EQ(prompter.lastText(), u"本期已结帐，不允许进行审核或反审核单据。"_s);
    EXPECT_FALSE(IsPeriodClosed(form, 2, true));
    EXPECT_FALSE(IsPeriodClosed(form, 3, true));
    EXPECT_TRUE(HasVoucher(form, 2, false));
    EXPECT_EQ(prompter.entries().size(), 1) << "no message when not asked";
    EXPECT_TRUE(HasVoucher(form, 2, true));
    EXPECT_EQ(prompter.lastText(), u"本单已经生成过凭证,不允许进行审核或反审核单据,请先删除凭证"_s);
    EXPECT_FALSE(HasVoucher(form, 1, true));
    // A table without the columns is never closed and has no voucher.
    EXPECT_FALSE(IsPeriodClosed(u"t_comUnit"_s, 1, true));
    EXPECT_FALSE(HasVoucher(u"t_comUnit"_s, 1, true));
}

TEST_F(SqlHelpers, BillsDatedBeforeTheClosingDateAreRefused)
{
    nvDMBase::instance().lastClosingDate = QDate();
    ExecScript(
        u"insert into t_comparameters(FName, FTypeID, FDatetimeValue) values ('FAccCloseDate', 5, '2026-10-31')"_s);
    EXPECT_FALSE(IsBeforeClosingDate(u"t_ProTaskForm"_s, true, QDate(2026, 10, 31))) << "the closing day passes";
    EXPECT_TRUE(prompter.entries().isEmpty());
    EXPECT_TRUE(IsBeforeClosingDate(u"t_ProTaskForm"_s, true, QDate(2026, 10, 30)));
    EXPECT_EQ(prompter.lastText(), u"本期已结帐，不允许审核单据。"_s);
    EXPECT_EQ(prompter.entries().last().kind, PromptKind::Error);
    EXPECT_EQ(nvDMBase::instance().lastClosingDate, QDate(2026, 10, 31));

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
    {
        const protask::testing::PinServerClock clock(Db(), protask::testing::kPinnedNow);
        EXPECT_TRUE(WriteOperationLog(u"保存操作 - 单据号:RWD20261200001"_s, u"生产任务单"_s));
    }
    EXPECT_EQ(
        one(u"select concat(FUserId,'|',FHostName,'|',FIpAddr,'|',FMsgCont,'|',FWindow) from zzsyslog"_s).toString(),
        u"3|ws-01|192.0.2.7|保存操作 - 单据号:RWD20261200001|生产任务单"_s);
    EXPECT_EQ(one(u"select FDateTime from zzsyslog"_s).toDateTime(), protask::testing::kPinnedNow);

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
    QStringList lines;
    for (const QString &name : log.entryList({u"20??????.txt"_s}))
        lines +=
            QString::fromUtf8(protask::testing::ReadFileBytes(log.filePath(name))).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(QRegularExpression(u"^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} : X;$"_s).match(lines[0]).hasMatch())
        << qPrintable(lines[0]);
    EXPECT_TRUE(lines[1].endsWith(u" : 第二行;"_s));
    EXPECT_TRUE(QString::fromUtf8(protask::testing::ReadFileBytes(log.filePath(u"sqltrace.txt"_s)))
                    .endsWith(u" : traced;\n"_s));
    EXPECT_TRUE(QString::fromUtf8(protask::testing::ReadFileBytes(log.filePath(u"trace.txt"_s)))
                    .contains(u"select 1 as traced_statement"_s));
}

TEST_F(SqlHelpers, OtherStockBillsPostClientAmountsUnlessTheCounterpartIsAnEmployee)
{
    ExecScript(u"insert into t_OtherOutInForm(FID, FItemTypeID) values (1, 1), (2, 2), (3, NULL)"_s);
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

void PrintTo(const SearchCase &c, std::ostream *os) { *os << '"' << c.typed << '"'; }

using Search = protask::testing::DatabaseCaseTest<SearchCase>;

TEST_P(Search, MatchesExactlyTheRowsContainingTheTypedText)
{
    ExecScript(u"insert into t_comUnit(FID, FName) values (1, '100%棉'), (2, '1000棉'), (3, 'a_b'), (4, 'axb'), "
               "(5, 'c:\\\\dir'), (6, 'c:dir'), (7, 'it''s'), (8, 'b\\\\%')"_s);
    const QString typed = QString::fromUtf8(GetParam().typed);
    EXPECT_EQ(one(u"select IfNull(group_concat(FID order by FID),'') from t_comUnit where FName like "_s
                  + QuotedLikeContains(typed))
                  .toString(),
              QLatin1String(GetParam().ids))
        << "server";

    TLocalDataSet units;
    units.open(u"select FID, FName from t_comUnit order by FID"_s);
    units.setFilter(LookupFilterExpression(typed, {u"FName"_s}));
    units.setFiltered(true);
    QStringList ids;
    for (units.first(); !units.eof(); units.next())
        ids << units.fieldByName(u"FID"_s).toString();
    EXPECT_EQ(ids.join(u','), QLatin1String(GetParam().ids)) << "local filter";
}

INSTANTIATE_TEST_SUITE_P(TypedTexts, Search,
                         ::testing::Values(SearchCase{"0%", "1"}, SearchCase{"%", "1,8"}, SearchCase{"_b", "3"},
                                           SearchCase{"\\", "5,8"}, SearchCase{":\\d", "5"}, SearchCase{"\\%", "8"},
                                           SearchCase{"'", "7"}, SearchCase{"棉", "1,2"}, SearchCase{"X", "4"}));

} // namespace
