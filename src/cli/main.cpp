// protask-cli: the production task's actions without a screen. Signs in like the host, runs
// the same model code the windows run, reads and writes JSON, prints the windows' messages on
// standard error and exits non-zero on any refusal.
#include "billlist/model/list_query.h"
#include "cli/cli_prompter.h"
#include "cli/task_commands.h"
#include "core/db_actions.h"
#include "core/sign_in.h"
#include "platform/nv_dm_base.h"
#include "platform/program_folder.h"
#include "printing/bill_report_load.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

using namespace protask;

namespace {

// Exit codes: 0 done, 1 refused (the message says why), 2 a command line or file that cannot
// be read, 3 the database cannot be used.
enum Exit { Done = 0, Refused = 1, Usage = 2, NoDatabase = 3 };

const char kUsage[] = R"(Commands:
  task from-order --line ID [--quantity N] [--save [--check]]
                          a new task from a sales-order line (printed, or saved)
  task save --file FILE [--check]
                          saves a task from JSON (FILE "-" reads standard input)
  task show --id ID       a stored task as JSON, as save reads it
  task check --id ID      checks a task as the list does
  task uncheck --id ID    unchecks a task as the list does
  task delete --id ID     deletes a task as the list does (asks: give --yes)
  task list [--from DATE --to DATE | --all] [--find TEXT] [--checked 全部|已审核|未审核]
                          the list's rows as JSON (default: this month)
  task export --out FILE.xlsx [list options]
                          the list written to an Excel workbook
  task print --id ID --out FILE.pdf [--style 标准|中|小]
                          a task printed through its template (default: the
                          style chosen last in the editor, as it opens with)
  task print-list --out FILE.pdf [list options]
                          the list printed through the list's template
  voucher make --type BILLTYPE --id ID
                          vouchers for a checked bill, as 生成凭证 makes them
                          (bill types whose windows offer it; not 3049)
)";

struct CliOptions {
    DatabaseOptions database;
    QCommandLineOption yes{QStringLiteral("yes"), QStringLiteral("Answer Yes to every question.")};
    QCommandLineOption no{QStringLiteral("no"), QStringLiteral("Answer No to every question (the default).")};
    QCommandLineOption quiet{QStringLiteral("quiet"), QStringLiteral("Do not echo messages on standard error.")};
    QCommandLineOption line{QStringLiteral("line"), QStringLiteral("Sales-order line (t_SaleOrderList.FID)."),
                            QStringLiteral("id")};
    QCommandLineOption quantity{QStringLiteral("quantity"), QStringLiteral("Production quantity."),
                                QStringLiteral("n")};
    QCommandLineOption save{QStringLiteral("save"), QStringLiteral("Save the task made.")};
    QCommandLineOption check{QStringLiteral("check"), QStringLiteral("Check the task once saved.")};
    QCommandLineOption file{QStringLiteral("file"), QStringLiteral("Task as JSON (- for standard input)."),
                            QStringLiteral("file")};
    QCommandLineOption id{QStringLiteral("id"), QStringLiteral("Task (t_ProTaskForm.FID)."), QStringLiteral("id")};
    QCommandLineOption from{QStringLiteral("from"), QStringLiteral("First day listed (yyyy-mm-dd)."),
                            QStringLiteral("date")};
    QCommandLineOption to{QStringLiteral("to"), QStringLiteral("Last day listed (yyyy-mm-dd)."),
                          QStringLiteral("date")};
    QCommandLineOption all{QStringLiteral("all"), QStringLiteral("List every date (the range box's 全部).")};
    QCommandLineOption find{QStringLiteral("find"), QStringLiteral("Find text, as typed into the list's find box."),
                            QStringLiteral("text")};
    QCommandLineOption checked{QStringLiteral("checked"),
                               QStringLiteral("Checked state: 全部, 已审核 or 未审核 (with the check workflow)."),
                               QStringLiteral("state")};
    QCommandLineOption out{QStringLiteral("out"), QStringLiteral("File to write (workbook or PDF)."),
                           QStringLiteral("file")};
    QCommandLineOption style{QStringLiteral("style"),
                             QStringLiteral("Print style: 标准, 中, 小 (or the template's name)."),
                             QStringLiteral("style")};
    QCommandLineOption type{QStringLiteral("type"), QStringLiteral("Bill type of the voucher's bill (T_BillType)."),
                            QStringLiteral("billtype")};

    void addTo(QCommandLineParser &p) const
    {
        p.setApplicationDescription(QStringLiteral("Production tasks without a screen: the actions of the task "
                                                   "editor and the task list.\n\n")
                                    + QString::fromUtf8(kUsage));
        p.addHelpOption();
        p.addOptions(database.all());
        p.addOptions(
            {yes, no, quiet, line, quantity, save, check, file, id, from, to, all, find, checked, out, style, type});
        p.addPositionalArgument(QStringLiteral("object"), QStringLiteral("What to act on: task or voucher."));
        p.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do (see Commands)."));
    }
};

void print(const QJsonValue &value)
{
    const QByteArray text = value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Indented)
                                            : QJsonDocument(value.toObject()).toJson(QJsonDocument::Indented);
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
}

int usageError(const QString &text)
{
    std::fprintf(stderr, "protask-cli: %s\n", text.toUtf8().constData());
    return Usage;
}

// The refusal as JSON on standard output and the reason on standard error.
int refusal(const CommandResult &r, const CliPrompter &prompter)
{
    QJsonObject o{{QStringLiteral("done"), false}};
    QStringList why = prompter.messages();
    if (!r.refusal.isEmpty()) {
        why.append(r.refusal);
        std::fprintf(stderr, "protask-cli: %s\n", r.refusal.toUtf8().constData());
    }
    o.insert(QStringLiteral("messages"), QJsonArray::fromStringList(why));
    if (r.data.isObject())
        o.insert(QStringLiteral("task"), r.data);
    print(o);
    return Refused;
}

// True when a message already tells what became of a write: the transaction's own reports of
// a lost connection, a settled or unsettled COMMIT and a give-up.
bool outcomeReported(const QStringList &messages)
{
    const QStringList reports = {QString::fromUtf8(kConnectionLostMessage), QString::fromUtf8(kCommitLandedMessage),
                                 QString::fromUtf8(kCommitUnknownMessage),
                                 QString::fromUtf8(kRetriesExhaustedMessage).section(QStringLiteral("%1"), 0, 0)};
    return std::any_of(messages.cbegin(), messages.cend(), [&reports](const QString &m) {
        return std::any_of(reports.cbegin(), reports.cend(), [&m](const QString &r) { return m.startsWith(r); });
    });
}

std::optional<int> numberOption(const QCommandLineParser &p, const QCommandLineOption &o)
{
    bool ok = false;
    const int n = p.value(o).toInt(&ok);
    return ok && n > 0 ? std::optional<int>(n) : std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    // The export builds the list's grid and the prints paint: a widget application without a
    // display. The other commands need no window library.
    bool painting = false;
    for (int i = 1; i < argc; ++i)
        painting = painting || qstrcmp(argv[i], "export") == 0 || qstrncmp(argv[i], "print", 5) == 0;
    // The application gets no arguments: QApplication would take options of its own (--style)
    // out of them. The command line is read from argv as it was given.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    static int appArgc = 1;
    static char *appArgv[] = {argv[0], nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (painting) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(appArgc, appArgv);
    } else {
        app = std::make_unique<QCoreApplication>(appArgc, appArgv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("protask-cli"));

    const CliOptions o;
    QCommandLineParser p;
    o.addTo(p);
    if (!p.parse(arguments))
        return usageError(p.errorText());
    if (p.isSet(QStringLiteral("help"))) {
        std::fputs(p.helpText().toUtf8().constData(), stdout);
        return Done;
    }
    const QStringList args = p.positionalArguments();
    const bool voucher = args.size() == 2 && args.at(0) == QLatin1String("voucher");
    if (args.size() != 2 || (args.at(0) != QLatin1String("task") && !voucher))
        return usageError(QStringLiteral("expected: task <command> or voucher make; see --help"));
    const QString command = args.at(1);
    static const QStringList kCommands = {
        QStringLiteral("from-order"), QStringLiteral("save"),      QStringLiteral("check"), QStringLiteral("show"),
        QStringLiteral("uncheck"),    QStringLiteral("delete"),    QStringLiteral("list"),  QStringLiteral("export"),
        QStringLiteral("print"),      QStringLiteral("print-list")};
    if (voucher ? command != QLatin1String("make") : !kCommands.contains(command))
        return usageError(QStringLiteral("unknown command: ") + args.join(QLatin1Char(' ')));
    const bool printing = !voucher && command.startsWith(QLatin1String("print"));
    int printStyle = 0;
    if (printing && p.isSet(o.style) && (printStyle = PrintStyleFromName(3049, p.value(o.style))) == 0)
        return usageError(QStringLiteral("--style needs 标准, 中 or 小 (or the template's name)"));
    if (printing && !p.isSet(o.out))
        return usageError(QStringLiteral("--out is required"));

    CliPrompter prompter(p.isSet(o.yes) && !p.isSet(o.no), !p.isSet(o.quiet));
    Prompter::install(&prompter);

    DatabaseChoice choice;
    nvDMBase &dm = nvDMBase::instance();
    try {
        choice = ReadDatabaseOptions(p, o.database);
        // The shipped templates, into the program folder as the host puts them there.
        if (printing)
            SeedProgramFolder(QCoreApplication::applicationDirPath() + QStringLiteral("/resources"));
        PreparePrivateServer(choice, QCoreApplication::applicationDirPath());
        dm.connect(choice.db);
        LoadHostSwitches(dm);
    } catch (const DbError &e) {
        std::fprintf(stderr, "protask-cli: cannot use the database: %s\n", e.message().toUtf8().constData());
        return NoDatabase;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "protask-cli: %s\n", e.what());
        return NoDatabase;
    }
    if (choice.signInUser.isEmpty())
        return usageError(QStringLiteral("--user is required: the user of t_comUser to sign in as"));
    // A server that goes away while the user is looked up is no database, not an unknown user.
    bool signedIn = false;
    try {
        signedIn = FindUser(choice.signInUser, dm.userId, dm.userName);
    } catch (const DbError &e) {
        std::fprintf(stderr, "protask-cli: cannot use the database: %s\n", e.message().toUtf8().constData());
        return NoDatabase;
    }
    if (!signedIn && !connectionAlive(dm.connection())) {
        std::fprintf(stderr, "protask-cli: cannot use the database: the connection was lost while signing in\n");
        return NoDatabase;
    }
    if (!signedIn)
        return usageError(QStringLiteral("no user %1 in t_comUser").arg(choice.signInUser));
    dm.hostName = QSysInfo::machineHostName();

    const QSqlDatabase db = dm.connection();
    const HostSwitches &sw = dm.switches;
    const bool writes = command == QLatin1String("save") || command == QLatin1String("check")
        || command == QLatin1String("uncheck") || command == QLatin1String("delete")
        || (command == QLatin1String("from-order") && p.isSet(o.save));
    CommandResult result;
    try {
        if (!dm.prepareAction())
            return NoDatabase;
        if (voucher) {
            const std::optional<int> type = numberOption(p, o.type);
            const std::optional<int> id = numberOption(p, o.id);
            if (!type || !id)
                return usageError(QStringLiteral("voucher make needs --type BILLTYPE and --id ID"));
            result = MakeVoucher(*type, *id, dm.userId, sw, db);
        } else if (command == QLatin1String("show")) {
            const std::optional<int> id = numberOption(p, o.id);
            if (!id)
                return usageError(QStringLiteral("--id needs a task ID"));
            result = ShowTask(*id, db);
        } else if (command == QLatin1String("print")) {
            const std::optional<int> id = numberOption(p, o.id);
            if (!id)
                return usageError(QStringLiteral("--id needs a task ID"));
            result = PrintTask(*id, printStyle, p.value(o.out), db);
        } else if (command == QLatin1String("from-order") || command == QLatin1String("save")) {
            ProtaskBill bill(db);
            if (command == QLatin1String("from-order")) {
                const std::optional<int> line = numberOption(p, o.line);
                if (!line)
                    return usageError(QStringLiteral("--line needs a sales-order line ID"));
                std::optional<double> quantity;
                if (p.isSet(o.quantity)) {
                    bool ok = false;
                    quantity = p.value(o.quantity).toDouble(&ok);
                    if (!ok)
                        return usageError(QStringLiteral("--quantity needs a number"));
                }
                result = TaskFromOrder(bill, *line, quantity, dm.userId, db);
            } else {
                if (!p.isSet(o.file))
                    return usageError(QStringLiteral("--file is required"));
                QFile f(p.value(o.file));
                const bool opened = p.value(o.file) == QLatin1String("-") ? f.open(stdin, QIODevice::ReadOnly)
                                                                          : f.open(QIODevice::ReadOnly);
                if (!opened)
                    return usageError(QStringLiteral("cannot read ") + p.value(o.file));
                QJsonParseError error;
                const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
                if (!doc.isObject())
                    return usageError(QStringLiteral("the task file is not a JSON object: ") + error.errorString());
                QString why;
                if (!TaskFromJson(doc.object(), bill, why))
                    return usageError(why);
                result = PrepareTask(bill, dm.userId, db);
            }
            const bool save = command == QLatin1String("save") || p.isSet(o.save);
            if (result.done && save)
                result = SaveTask(bill, p.isSet(o.check), sw, db);
        } else if (command == QLatin1String("check") || command == QLatin1String("uncheck")
                   || command == QLatin1String("delete")) {
            const std::optional<int> id = numberOption(p, o.id);
            if (!id)
                return usageError(QStringLiteral("--id needs a task ID"));
            result = command == QLatin1String("delete") ? DeleteTask(*id, sw, db)
                                                        : CheckTask(*id, command == QLatin1String("check"), sw, db);
        } else {
            ListDateRange range = OpeningDateRange(ListToday(db));
            if (p.isSet(o.all)) {
                range = ApplyRangeItem(QStringLiteral("全部"), ListToday(db), range);
            } else if (p.isSet(o.from) || p.isSet(o.to)) {
                range.begin = QDate::fromString(p.value(o.from), Qt::ISODate);
                range.end = QDate::fromString(p.value(o.to), Qt::ISODate);
                if (!range.begin.isValid() || !range.end.isValid())
                    return usageError(QStringLiteral("--from and --to need dates of the calendar (yyyy-mm-dd)"));
            }
            const ListFind find = MakeListFind(p.value(o.find), p.value(o.checked), sw.checkWorkflow);
            if (command == QLatin1String("list")) {
                result = ListTasks(range, find, db);
            } else if (command == QLatin1String("print-list")) {
                result = PrintTaskList(range, find, p.value(o.out), sw, db);
            } else {
                if (!p.isSet(o.out))
                    return usageError(QStringLiteral("--out is required"));
                result = ExportTasks(range, find, p.value(o.out), sw, db);
            }
        }
    } catch (const DbError &e) {
        // Every write commits inside its action, which reports its own outcome; a server error
        // that gets this far came before anything was written.
        prompter.error(e.message());
        result = CommandResult();
        if (writes)
            result.refusal = QStringLiteral("nothing was saved: the database failed before the action wrote anything");
    } catch (const std::exception &e) {
        prompter.error(QString::fromUtf8(e.what()));
        result = CommandResult();
    }
    // A read the model answers from its own defaults when the server is gone (a product not
    // found, no materials) refuses with a message about the data; the answer then says what
    // became of the task. Nothing is written outside a transaction, and a transaction reports
    // its own outcome.
    if (!result.done && writes && !outcomeReported(prompter.messages()) && !connectionAlive(db)) {
        if (result.data.isObject()) {
            if (result.refusal.isEmpty())
                result.refusal =
                    QStringLiteral("the task was saved but not checked: the connection to the database was lost");
        } else if (!result.refusal.startsWith(QStringLiteral("nothing was saved"))) {
            result.refusal = QStringLiteral("nothing was saved: the connection to the database was lost")
                + (result.refusal.isEmpty() ? QString() : QStringLiteral(" (") + result.refusal + QStringLiteral(")"));
        }
    }
    if (!result.done)
        return refusal(result, prompter);
    print(result.data);
    return Done;
}
