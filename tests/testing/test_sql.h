#pragma once

// Statements with numbers spliced in, and query results as text a test compares in one line.

#include "core/sql_helpers.h"
#include "own_connection.h"
#include "platform/db.h"
#include "test_db.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <string>

namespace protask::testing {

// `sql` with %1, %2, ... replaced by `args` in turn.
template <typename... Args>
QString Sql(QString sql, const Args &...args)
{
    ((sql = sql.arg(args)), ...);
    return sql;
}

// The first column of every row, one a line; a statement the server refuses throws.
inline std::string Rows(const QString &sql, const QSqlDatabase &db = Db())
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DbError::fromSqlError(q.lastError(), sql);
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString();
    return rows.join(QLatin1Char('\n')).toStdString();
}

} // namespace protask::testing
