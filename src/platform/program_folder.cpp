#include "platform/program_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace protask {

namespace {

QString &overrideFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString ProgramFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    const QString env = qEnvironmentVariable("PROTASK_HOME");
    if (!env.isEmpty())
        return QDir(env).absolutePath();
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/protask");
}

void SetProgramFolder(const QString &folder)
{
    overrideFolder() = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

QString ProgramPath(const QString &relative)
{
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    return ProgramFolder() + QLatin1Char('/') + rel;
}

void SeedProgramFolder(const QString &shippedFolder)
{
    QDir from(shippedFolder);
    if (!from.exists())
        return;
    QDirIterator it(shippedFolder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString rel = from.relativeFilePath(source);
        const QString target = ProgramPath(rel);
        if (QFileInfo::exists(target))
            continue;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(source, target);
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    }
}

namespace {

QString iniPath(const QString &file)
{
    return QDir::isAbsolutePath(file) ? file : ProgramPath(file);
}

} // namespace

QVariant ReadIniValue(const QString &file, const QString &section, const QString &key, const QVariant &fallback)
{
    QSettings ini(iniPath(file), QSettings::IniFormat);
    return ini.value(section + QLatin1Char('/') + key, fallback);
}

bool WriteIniValue(const QString &file, const QString &section, const QString &key, const QVariant &value)
{
    const QString path = iniPath(file);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings ini(path, QSettings::IniFormat);
    ini.setValue(section + QLatin1Char('/') + key, value);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

} // namespace protask
