#include "host/host_config.h"

#include <QCommandLineParser>

#include <stdexcept>

namespace protask {

namespace {

[[noreturn]] void fail(const QString &text) { throw std::runtime_error(text.toStdString()); }

// The host's options: the parser of a run and the text of --help read the same list.
struct HostOptions {
    DatabaseOptions database;
    QCommandLineOption plugin{QStringLiteral("plugin"), QStringLiteral("Path of libprotask.so."),
                              QStringLiteral("path")};
    QCommandLineOption screenshot{QStringLiteral("screenshot"),
                                  QStringLiteral("Save a PNG of the main window once shown, then quit."),
                                  QStringLiteral("file")};
    QCommandLineOption open{QStringLiteral("open"),
                            QStringLiteral("Windows to open at start: list, new (comma separated)."),
                            QStringLiteral("windows")};

    void addTo(QCommandLineParser &p) const
    {
        p.setApplicationDescription(QStringLiteral("Host application of the production task module"));
        p.addHelpOption();
        p.addVersionOption();
        p.addOptions(database.all());
        p.addOptions({plugin, screenshot, open});
    }
};

} // namespace

HostRequest HostCommandLineRequest(const QStringList &arguments)
{
    const HostOptions o;
    QCommandLineParser p;
    o.addTo(p);
    // Unknown options are not an error yet: the GUI application takes its own (-platform,
    // -style) off the command line before ParseHostConfig reads it.
    p.parse(arguments);
    if (p.isSet(QStringLiteral("help")) || p.isSet(QStringLiteral("help-all")))
        return HostRequest::Help;
    if (p.isSet(QStringLiteral("version")))
        return HostRequest::Version;
    return HostRequest::Run;
}

QString HostHelpText()
{
    const HostOptions o;
    QCommandLineParser p;
    o.addTo(p);
    return p.helpText();
}

HostConfig ParseHostConfig(const QStringList &arguments, const QString &appDir)
{
    const HostOptions o;
    QCommandLineParser p;
    o.addTo(p);
    if (!p.parse(arguments))
        fail(p.errorText());

    HostConfig c;
    static_cast<DatabaseChoice &>(c) = ReadDatabaseOptions(p, o.database);
    c.pluginPath = p.isSet(o.plugin) ? p.value(o.plugin) : appDir + QStringLiteral("/libprotask.so");
    c.screenshotFile = p.value(o.screenshot);
    if (p.isSet(o.open))
        c.openAtStart = p.value(o.open).split(QLatin1Char(','), Qt::SkipEmptyParts);
    return c;
}

} // namespace protask
