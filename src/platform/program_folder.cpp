#include "platform/program_folder.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>
#include <stdexcept>

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
        if (!QFile::copy(source, target)) {
            LogFailure(QStringLiteral("复制文件失败：%1 -> %2").arg(source, target));
            continue;
        }
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    }
}

void AppendTextLog(const QString &message, const QString &fileStem)
{
    const QString folder = ProgramPath(QStringLiteral("log"));
    if (!QDir().mkpath(folder))
        throw std::runtime_error(QStringLiteral("cannot create the log folder %1").arg(folder).toStdString());
    const QDateTime now = QDateTime::currentDateTime();
    const QString stem = fileStem.trimmed().isEmpty() ? now.toString(QStringLiteral("yyyyMMdd")) : fileStem.trimmed();
    QFile f(folder + QLatin1Char('/') + stem + QStringLiteral(".txt"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        throw std::runtime_error(
            QStringLiteral("cannot write the log file %1: %2").arg(f.fileName(), f.errorString()).toStdString());
    const QByteArray line =
        (now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QStringLiteral(" : ") + message + QStringLiteral(";\n"))
            .toUtf8();
    if (f.write(line) != line.size())
        throw std::runtime_error(QStringLiteral("cannot write the log file %1").arg(f.fileName()).toStdString());
}

void LogFailure(const QString &message) noexcept
{
    try {
        AppendTextLog(message);
    } catch (...) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}

namespace {

QString iniPath(const QString &file) { return QDir::isAbsolutePath(file) ? file : ProgramPath(file); }

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
