#include "host_config.h"

#include "program_folder.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>

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

HostConfig ParseHostConfig(const QStringList &arguments, const QString &appDir)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Host application of the production task module"));
    p.addHelpOption();
    const QCommandLineOption home(QStringLiteral("home"), QStringLiteral("Program folder (default $PROTASK_HOME or the XDG data folder)."), QStringLiteral("dir"));
    const QCommandLineOption dbHost(QStringLiteral("db-host"), QStringLiteral("Suite server host."), QStringLiteral("host"));
    const QCommandLineOption dbPort(QStringLiteral("db-port"), QStringLiteral("Suite server port."), QStringLiteral("port"));
    const QCommandLineOption dbSocket(QStringLiteral("db-socket"), QStringLiteral("Suite server Unix socket."), QStringLiteral("path"));
    const QCommandLineOption dbUser(QStringLiteral("db-user"), QStringLiteral("Database user."), QStringLiteral("user"));
    const QCommandLineOption dbPassword(QStringLiteral("db-password"), QStringLiteral("Database password."), QStringLiteral("password"));
    const QCommandLineOption dbName(QStringLiteral("db-name"), QStringLiteral("Database name (default protask)."), QStringLiteral("name"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("Sign in as this user (name or ID)."), QStringLiteral("user"));
    const QCommandLineOption plugin(QStringLiteral("plugin"), QStringLiteral("Path of libprotask.so."), QStringLiteral("path"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), QStringLiteral("Save a PNG of the main window once shown, then quit."), QStringLiteral("file"));
    const QCommandLineOption open(QStringLiteral("open"), QStringLiteral("Windows to open at start: list, new (comma separated)."), QStringLiteral("windows"));
    p.addOptions({home, dbHost, dbPort, dbSocket, dbUser, dbPassword, dbName, user, plugin, screenshot, open});
    if (!p.parse(arguments))
        fail(p.errorText());
    if (p.isSet(QStringLiteral("help"))) {
        fail(p.helpText());
    }

    HostConfig c;
    if (p.isSet(home))
        SetProgramFolder(p.value(home));
    c.home = ProgramFolder();

    QSettings ini(ProgramPath(QStringLiteral("protask-host.ini")), QSettings::IniFormat);
    auto pick = [&](const QCommandLineOption &opt, const QString &key, const QString &fallback) {
        if (p.isSet(opt))
            return p.value(opt);
        return ini.value(QStringLiteral("Database/") + key, fallback).toString();
    };
    c.db.host = pick(dbHost, QStringLiteral("host"), QString());
    c.db.socket = pick(dbSocket, QStringLiteral("socket"), QString());
    bool ok = true;
    c.db.port = pick(dbPort, QStringLiteral("port"), QStringLiteral("3306")).toInt(&ok);
    if (!ok)
        fail(QStringLiteral("--db-port needs a number"));
    c.db.user = pick(dbUser, QStringLiteral("user"), QStringLiteral("root"));
    c.db.password = pick(dbPassword, QStringLiteral("password"), QString());
    c.db.database = pick(dbName, QStringLiteral("name"), QStringLiteral("protask"));
    c.usePrivateServer = c.db.host.isEmpty() && c.db.socket.isEmpty();
    c.signInUser = p.value(user);
    c.pluginPath = p.isSet(plugin) ? p.value(plugin) : appDir + QStringLiteral("/libprotask.so");
    c.screenshotFile = p.value(screenshot);
    if (p.isSet(open))
        c.openAtStart = p.value(open).split(QLatin1Char(','), Qt::SkipEmptyParts);
    return c;
}

void PreparePrivateServer(HostConfig &config, const QString &appDir)
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
        fail(QStringLiteral("The private database server did not start:\n%1").arg(QString::fromLocal8Bit(start.readAll())));
    config.db.socket = folder + QStringLiteral("/mysqld.sock");
    config.db.user = QStringLiteral("root");
    config.db.password.clear();

    // Create the database and load the suite schema on first use.
    ConnectionSettings admin = config.db;
    admin.database.clear();
    admin.connectionName = QStringLiteral("protask-admin");
    bool created = false;
    {
        QSqlDatabase db = openConnection(admin);
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = ")
               + sqlQuoted(config.db.database, db));
        created = !(q.next() && q.value(0).toInt() > 0);
        if (created && !q.exec(QStringLiteral("CREATE DATABASE IF NOT EXISTS `%1` CHARACTER SET utf8mb4").arg(config.db.database)))
            fail(q.lastError().text());
        db.close();
    }
    QSqlDatabase::removeDatabase(admin.connectionName);
    if (created) {
        const QString schema = appDir + QStringLiteral("/schema/suite.sql");
        QProcess load;
        load.setProcessChannelMode(QProcess::MergedChannels);
        load.setStandardInputFile(schema);
        load.start(QStringLiteral("mariadb"), {QStringLiteral("--socket=") + config.db.socket, QStringLiteral("-uroot"),
                                                QStringLiteral("--default-character-set=utf8mb4"), config.db.database});
        if (!load.waitForFinished(120000) || load.exitCode() != 0)
            fail(QStringLiteral("Loading %1 failed:\n%2").arg(schema, QString::fromLocal8Bit(load.readAll())));
    }
}

void LoadHostSwitches(nvDMBase &dm)
{
    TDataSet q(dm.connection());
    q.open(QStringLiteral("select FName, FTypeID, FIntValue, FBoolValue, FCharValue, FFloatValue, FDatetimeValue "
                          "from t_comparameters"));
    HostSwitches &s = dm.switches;
    for (q.first(); !q.eof(); q.next()) {
        const QString name = q.fieldByName(QStringLiteral("FName")).toString();
        const bool b = q.fieldByName(QStringLiteral("FBoolValue")).toInt() != 0;
        if (name == QLatin1String("FIsCheckBill")) s.checkWorkflow = b;
        else if (name == QLatin1String("FIsSaveCheck")) s.checkOnSave = b;
        else if (name == QLatin1String("FIsUseRight")) s.rightsSwitch = q.fieldByName(QStringLiteral("FIntValue")).toInt();
        else if (name == QLatin1String("FIsTax")) s.taxSwitch = b;
        else if (name == QLatin1String("FTaxRate")) s.defaultTaxRate = q.fieldByName(QStringLiteral("FFloatValue")).toDouble();
        else if (name == QLatin1String("FBluePriceMarkOff")) s.bluePriceMarkingOff = b;
        else if (name == QLatin1String("FSalePriceVariationHint")) s.priceVariationHintOff = b;
        else if (name == QLatin1String("FForbidNegativeStock")) s.forbidNegativeStock = b;
        else if (name == QLatin1String("FAskNegativeStock")) s.askOnNegativeStock = b;
        else if (name == QLatin1String("FForbidNegativeBatchStock")) s.forbidNegativeBatchStock = b;
        else if (name == QLatin1String("FWarnNegativeBatchStock")) s.warnNegativeBatchStock = b;
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
        saveParameter(q, QString::fromLatin1(name), 2, QStringLiteral("FBoolValue"), v ? QStringLiteral("1") : QStringLiteral("0"));
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

} // namespace protask
