#include "core/sign_in.h"

#include "core/sql_helpers.h"
#include "platform/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>

#include <exception>
#include <stdexcept>

namespace protask {

// Parameter names in t_comparameters; the kind in parentheses is FTypeID.
const HostParameter kHostParameters[] = {
    {"FIsCheckBill", "(2) bills are checked in a separate step"},
    {"FIsSaveCheck", "(2) with the check step on, saving also checks"},
    {"FIsUseRight", "(1) rights are tested when non-zero"},
    {"FIsTax", "(2) tax columns and tax step"},
    {"FTaxRate", "(4) default tax rate in percent"},
    {"FBluePriceMarkOff", "(2) no blue marking of changed sale prices"},
    {"FSalePriceVariationHint", "(2) the price-variation hint is switched off"},
    {"FForbidNegativeStock", "(2) refuse stock shortages"},
    {"FAskNegativeStock", "(2) ask on stock shortages"},
    {"FForbidNegativeBatchStock", "(2) refuse batch stock shortages"},
    {"FWarnNegativeBatchStock", "(2) ask on batch stock shortages"},
};
const int kHostParameterCount = int(sizeof(kHostParameters) / sizeof(kHostParameters[0]));

namespace {

[[noreturn]] void fail(const QString &text) { throw std::runtime_error(text.toStdString()); }

} // namespace

DatabaseChoice ReadDatabaseOptions(const QCommandLineParser &p, const DatabaseOptions &o)
{
    DatabaseChoice c;
    if (p.isSet(o.home))
        SetProgramFolder(p.value(o.home));
    c.home = ProgramFolder();

    QSettings ini(ProgramPath(QStringLiteral("protask-host.ini")), QSettings::IniFormat);
    auto pick = [&](const QCommandLineOption &opt, const QString &key, const QString &fallback) {
        if (p.isSet(opt))
            return p.value(opt);
        return ini.value(QStringLiteral("Database/") + key, fallback).toString();
    };
    c.db.host = pick(o.dbHost, QStringLiteral("host"), QString());
    c.db.socket = pick(o.dbSocket, QStringLiteral("socket"), QString());
    bool ok = true;
    c.db.port = pick(o.dbPort, QStringLiteral("port"), QStringLiteral("3306")).toInt(&ok);
    if (!ok)
        fail(QStringLiteral("--db-port needs a number"));
    c.db.user = pick(o.dbUser, QStringLiteral("user"), QStringLiteral("root"));
    c.db.password = pick(o.dbPassword, QStringLiteral("password"), QString());
    c.db.database = pick(o.dbName, QStringLiteral("name"), QStringLiteral("protask"));
    c.usePrivateServer = c.db.host.isEmpty() && c.db.socket.isEmpty();
    c.signInUser = p.value(o.user);
    return c;
}

void PreparePrivateServer(DatabaseChoice &config, const QString &appDir)
{
    if (!config.usePrivateServer)
        return;
    const QString folder = config.home + QStringLiteral("/db");
    QDir().mkpath(folder);
    const QString tool = appDir + QStringLiteral("/protask-db");
    if (!QFileInfo::exists(tool))
        fail(QStringLiteral("The private database tool %1 is missing.").arg(tool));
    QProcess start;
    start.setProcessChannelMode(QProcess::MergedChannels);
    start.start(tool, {QStringLiteral("start"), folder});
    if (!start.waitForFinished(120000) || start.exitCode() != 0)
        fail(QStringLiteral("The private database server did not start:\n%1")
                 .arg(QString::fromLocal8Bit(start.readAll())));
    config.db.socket = folder + QStringLiteral("/mysqld.sock");
    config.db.user = QStringLiteral("root");
    config.db.password.clear();

    CreateDatabaseOnFirstUse(tool, config.db, appDir + QStringLiteral("/schema/suite.sql"));
}

bool CreateDatabaseOnFirstUse(const QString &tool, const ConnectionSettings &server, const QString &schemaFile)
{
    ConnectionSettings admin = server;
    admin.database.clear();
    admin.connectionName = QStringLiteral("protask-admin");
    bool empty = false;
    {
        QSqlDatabase db = openConnection(admin);
        std::exception_ptr failure;
        try {
            TDataSet q(db);
            q.open(QStringLiteral("SELECT COUNT(*) AS n FROM information_schema.TABLES WHERE TABLE_SCHEMA = ")
                   + sqlQuoted(server.database, db));
            empty = q.fieldByName(QStringLiteral("n")).toInt() == 0;
        } catch (...) {
            failure = std::current_exception();
        }
        db.close();
        QSqlDatabase::removeDatabase(admin.connectionName);
        if (failure)
            std::rethrow_exception(failure);
    }
    if (!empty)
        return false;
    // The private server's tool makes the database and loads the schema, as the tests and the
    // demo have it do.
    QProcess load;
    load.setProcessChannelMode(QProcess::MergedChannels);
    load.start(tool, {QStringLiteral("load"), QFileInfo(server.socket).absolutePath(), server.database, schemaFile});
    if (!load.waitForFinished(120000) || load.exitStatus() != QProcess::NormalExit || load.exitCode() != 0)
        fail(QStringLiteral("Loading %1 failed:\n%2").arg(schemaFile, QString::fromLocal8Bit(load.readAll())));
    return true;
}

void LoadHostSwitches(nvDMBase &dm)
{
    TDataSet q(dm.connection());
    // Switches a moment ago changed at another workstation hold here too, through any node.
    q.open(causalRead(QStringLiteral("select FName, FTypeID, FIntValue, FBoolValue, FCharValue, FFloatValue, "
                                     "FDatetimeValue from t_comparameters"),
                      dm.connection()));
    HostSwitches &s = dm.switches;
    for (q.first(); !q.eof(); q.next()) {
        const QString name = q.fieldByName(QStringLiteral("FName")).toString();
        const bool b = q.fieldByName(QStringLiteral("FBoolValue")).toInt() != 0;
        if (name == QLatin1String("FIsCheckBill"))
            s.checkWorkflow = b;
        else if (name == QLatin1String("FIsSaveCheck"))
            s.checkOnSave = b;
        else if (name == QLatin1String("FIsUseRight"))
            s.rightsSwitch = q.fieldByName(QStringLiteral("FIntValue")).toInt();
        else if (name == QLatin1String("FIsTax"))
            s.taxSwitch = b;
        else if (name == QLatin1String("FTaxRate"))
            s.defaultTaxRate = q.fieldByName(QStringLiteral("FFloatValue")).toDouble();
        else if (name == QLatin1String("FBluePriceMarkOff"))
            s.bluePriceMarkingOff = b;
        else if (name == QLatin1String("FSalePriceVariationHint"))
            s.priceVariationHintOff = b;
        else if (name == QLatin1String("FForbidNegativeStock"))
            s.forbidNegativeStock = b;
        else if (name == QLatin1String("FAskNegativeStock"))
            s.askOnNegativeStock = b;
        else if (name == QLatin1String("FForbidNegativeBatchStock"))
            s.forbidNegativeBatchStock = b;
        else if (name == QLatin1String("FWarnNegativeBatchStock"))
            s.warnNegativeBatchStock = b;
    }
}

namespace {

void saveParameter(TDataSet &q, const QString &name, int kind, const QString &column, const QString &valueSql)
{
    const QSqlDatabase db = q.database();
    q.open(QStringLiteral("select FName from t_comparameters where FName = ") + sqlQuoted(name, db));
    if (q.isEmpty()) {
        q.exec(QStringLiteral("insert into t_comparameters(FName, FTypeID, %1) values(%2, %3, %4)")
                   .arg(column, sqlQuoted(name, db), QString::number(kind), valueSql));
    } else {
        q.exec(QStringLiteral("update t_comparameters set FTypeID = %1, %2 = %3 where FName = %4")
                   .arg(QString::number(kind), column, valueSql, sqlQuoted(name, db)));
    }
}

} // namespace

void SaveHostSwitches(const HostSwitches &s)
{
    TDataSet q(nvDMBase::instance().connection());
    auto boolean = [&](const char *name, bool v) {
        saveParameter(q, QString::fromLatin1(name), 2, QStringLiteral("FBoolValue"),
                      v ? QStringLiteral("1") : QStringLiteral("0"));
    };
    boolean("FIsCheckBill", s.checkWorkflow);
    boolean("FIsSaveCheck", s.checkOnSave);
    saveParameter(q, QStringLiteral("FIsUseRight"), 1, QStringLiteral("FIntValue"), sqlNumber(s.rightsSwitch));
    boolean("FIsTax", s.taxSwitch);
    saveParameter(q, QStringLiteral("FTaxRate"), 4, QStringLiteral("FFloatValue"), sqlNumber(s.defaultTaxRate));
    boolean("FBluePriceMarkOff", s.bluePriceMarkingOff);
    boolean("FSalePriceVariationHint", s.priceVariationHintOff);
    boolean("FForbidNegativeStock", s.forbidNegativeStock);
    boolean("FAskNegativeStock", s.askOnNegativeStock);
    boolean("FForbidNegativeBatchStock", s.forbidNegativeBatchStock);
    boolean("FWarnNegativeBatchStock", s.warnNegativeBatchStock);
}

bool FindUser(const QString &nameOrId, int &userId, QString &userName)
{
    if (!nvDMBase::instance().prepareAction())
        return false;
    const QSqlDatabase db = nvDMBase::instance().connection();
    TDataSet q(db);
    bool isNumber = false;
    const int id = nameOrId.toInt(&isNumber);
    // A user just added at another workstation signs in through any node.
    q.open(causalRead(QStringLiteral("select FID, FName from t_comUser where FName = ") + sqlQuoted(nameOrId, db)
                          + (isNumber ? QStringLiteral(" or FID = ") + QString::number(id) : QString())
                          + QStringLiteral(" order by FID"),
                      db));
    if (q.isEmpty())
        return false;
    userId = q.fieldByName(QStringLiteral("FID")).toInt();
    userName = q.fieldByName(QStringLiteral("FName")).toString();
    return true;
}

} // namespace protask
