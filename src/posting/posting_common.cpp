#include "posting_common.h"

namespace protask {

namespace {

thread_local std::optional<DbError> t_lastError;

} // namespace

void RememberPostingError(const DbError &e)
{
    t_lastError = e;
    try {
        WriteTextLog(QStringLiteral("过帐语句失败：") + e.message());
    } catch (...) {
        // The log is a trace; a full disk must not turn a failed step into a crash.
    }
}

const std::optional<DbError> &LastPostingError() { return t_lastError; }

void ClearLastPostingError() { t_lastError.reset(); }

bool PostExec(TDataSet &query, const QString &sql)
{
    try {
        return ExecQuery(query, sql);
    } catch (const DbError &e) {
        RememberPostingError(e);
        return false;
    }
}

bool PostOpen(TDataSet &query, const QString &sql)
{
    try {
        OpenQuery(query, sql);
        return true;
    } catch (const DbError &e) {
        RememberPostingError(e);
        return false;
    }
}

void RunIgnorableStep(const QSqlDatabase &db, const QString &name, const std::function<bool()> &step)
{
    try {
        runInSavepoint(db, name, step);
    } catch (const DbError &e) {
        RememberPostingError(e);
        throw;
    }
}

QString PostingDateText(const QDate &date) { return date.toString(QStringLiteral("yyyy-MM-dd")); }

} // namespace protask
