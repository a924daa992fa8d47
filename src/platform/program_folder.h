#pragma once

#include "platform/platform_export.h"

#include <QString>
#include <QVariant>

namespace protask {

// The folder the system keeps its files under (log/, LSIniFile/, Reports/Bill/,
// Reports/BillBak/, vane.ini, help/, Help/). It is the host's data folder:
// $PROTASK_HOME when set, else the user's XDG data folder + "/protask"; the host may
// set it from its command line, tests set it to a temporary folder. Never under /usr.
PROTASK_PLATFORM_EXPORT QString ProgramFolder();
PROTASK_PLATFORM_EXPORT void SetProgramFolder(const QString &folder);
// ProgramFolder() + "/" + relative path (forward slashes).
PROTASK_PLATFORM_EXPORT QString ProgramPath(const QString &relative);

// One line "yyyy-mm-dd hh:nn:ss : message;" in log/yyyymmdd.txt (or log/<stem>.txt) under the
// program folder. Throws std::runtime_error when the file cannot be written.
PROTASK_PLATFORM_EXPORT void AppendTextLog(const QString &message, const QString &fileStem = QString());
// The same for a failure that is otherwise handled: never throws; when even the log cannot be
// written the line goes to standard error.
PROTASK_PLATFORM_EXPORT void LogFailure(const QString &message) noexcept;

// Copies the shipped files (report templates, help pages) from a folder into the program
// folder, never overwriting a file the user already has.
PROTASK_PLATFORM_EXPORT void SeedProgramFolder(const QString &shippedFolder);

// INI files (QSettings, UTF-8): absolute paths or paths relative to the program folder.
PROTASK_PLATFORM_EXPORT QVariant ReadIniValue(const QString &file, const QString &section, const QString &key,
                                              const QVariant &fallback = QVariant());
PROTASK_PLATFORM_EXPORT bool WriteIniValue(const QString &file, const QString &section, const QString &key,
                                           const QVariant &value);

} // namespace protask
