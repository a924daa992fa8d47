#include "posting/posting_common.h"

namespace protask {

void LogPostingError(const DbError &e)
{
    try {
        WriteTextLog(QStringLiteral("过帐语句失败：") + e.message());
    } catch (...) {
        // The log is a trace; a full disk must not hide the server's error.
    }
}

bool PostExec(TDataSet &query, const QString &sql)
{
    try {
        return ExecQuery(query, sql);
    } catch (const DbError &e) {
        LogPostingError(e);
        throw;
    }
}

bool PostOpen(TDataSet &query, const QString &sql)
{
    try {
        OpenQuery(query, sql);
        return true;
    } catch (const DbError &e) {
        LogPostingError(e);
        throw;
    }
}

void RunIgnorableStep(const QSqlDatabase &db, const QString &name, const std::function<bool()> &step)
{
    try {
        runInSavepoint(db, name, step);
    } catch (const DbError &e) {
        LogPostingError(e);
        throw;
    }
}

QString PostingDateText(const QDate &date) { return date.toString(QStringLiteral("yyyy-MM-dd")); }

} // namespace protask
