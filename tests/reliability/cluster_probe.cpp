// Workstation processes for the cluster runs, over the module's own functions:
//
//   cluster_probe take SOCKET DB SECONDS         numbers, each taken in a retried transaction
//   cluster_probe check SOCKET DB SECONDS FID    check and uncheck of one task as the list does
//   cluster_probe stale WRITE READ DB ROUNDS [off]
//       a task committed through WRITE, then at once the list statement and the number
//       proposal through READ; "off" switches READ's catch-up off
//
// take and check print "attempts N" per action and "gaveup N" at the end; stale prints how
// many rounds the list or the proposal missed the commit.
#include "billlist/model/list_actions.h"
#include "billlist/model/list_query.h"
#include "core/bill_types.h"
#include "core/db_actions.h"
#include "core/numbering.h"
#include "platform/db.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace protask;

namespace {

class CountingPrompter : public Prompter {
public:
    void show(PromptKind, const QString &text) override
    {
        if (shown++ == 0)
            std::fprintf(stderr, "cluster_probe: %s\n", text.toUtf8().constData());
    }
    bool askYesNo(const QString &, PromptKind) override { return true; }
    int shown = 0;
};

ConnectionSettings settings(const QString &socket, const QString &db, const QString &name)
{
    ConnectionSettings s;
    s.socket = socket;
    s.database = db;
    s.connectionName = name;
    return s;
}

// The workstation's own connection, the data module's, as the posting steps use it.
QSqlDatabase workstation(const QString &socket, const QString &db)
{
    nvDMBase::instance().connect(settings(socket, db, QStringLiteral("protask")));
    return nvDMBase::instance().connection();
}

// Runs `action` (true when it committed) again and again for `seconds`.
template <typename Action>
int repeatFor(int seconds, Action action)
{
    int gaveUp = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        if (action())
            std::printf("attempts %d\n", LastTransactionAttempts());
        else
            ++gaveUp;
    }
    std::printf("gaveup %d\n", gaveUp);
    return 0;
}

int take(const QSqlDatabase &db, int seconds)
{
    return repeatFor(seconds, [&db] {
        return RunTransaction(db,
                              [&db] {
                                  TakeBillNo(QStringLiteral("RWD"), {}, db);
                                  return true;
                              })
            .committed;
    });
}

int checkUncheck(const QSqlDatabase &db, int seconds, int billId)
{
    HostSwitches switches;
    switches.checkWorkflow = true;
    const ListContext list = OpenListContext(BillType::ProTask, switches, db);
    return repeatFor(seconds, [&] {
        const ListRow row = ReadListRow(list.formTable, billId, db);
        return (row.checked ? UncheckListBill(list, row, db) : CheckListBill(list, row, db)) == ListOutcome::Done;
    });
}

int staleReads(const QSqlDatabase &writer, const QSqlDatabase &reader, int rounds)
{
    int staleList = 0;
    int staleNumber = 0;
    for (int i = 0; i < rounds; ++i) {
        QString number;
        const TransactionResult r = RunTransaction(writer, [&] {
            number = TakeBillNo(QStringLiteral("RWD"), {}, writer);
            const int id = GetNextID(QStringLiteral("t_ProTaskForm"), QStringLiteral("FID"), writer);
            TDataSet q(writer);
            q.exec(QStringLiteral("insert into t_ProTaskForm(FID,FBillNo,FBillDate,FIsChecked) values(") + sqlNumber(id)
                   + QStringLiteral(",") + sqlQuoted(number, writer) + QStringLiteral(",now(),0)"));
            return true;
        });
        if (!r.committed)
            return 1;
        const ListQuery list = BuildListQuery(BillType::ProTask, {false, {}, {}}, ListFind{number, 0},
                                              ListQueryShape::SubqueryFind, reader);
        TDataSet rows(reader);
        rows.open(list.sql);
        if (rows.isEmpty())
            ++staleList;
        int typeId = 0;
        QString yearMonth = number.mid(3, 6);
        if (ProposeBillNo(QStringLiteral("RWD"), yearMonth, BillStatus::New, typeId, {}, reader) <= number)
            ++staleNumber;
    }
    std::printf("rounds %d stale-list %d stale-number %d\n", rounds, staleList, staleNumber);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    CountingPrompter prompter;
    PrompterScope scope(prompter);
    try {
        if (a.size() >= 5 && a[1] == QLatin1String("take"))
            return take(workstation(a[2], a[3]), a[4].toInt());
        if (a.size() >= 6 && a[1] == QLatin1String("check"))
            return checkUncheck(workstation(a[2], a[3]), a[4].toInt(), a[5].toInt());
        if (a.size() >= 6 && a[1] == QLatin1String("stale")) {
            const QSqlDatabase writer = workstation(a[2], a[4]);
            const QSqlDatabase reader = openConnection(settings(a[3], a[4], QStringLiteral("reader")));
            if (a.size() >= 7 && a[6] == QLatin1String("off"))
                setClusterCatchUp(reader, false);
            return staleReads(writer, reader, a[5].toInt());
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "cluster_probe: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: cluster_probe take|check|stale ... (see the source)\n");
    return 2;
}
