#pragma once

#include "platform/db.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>

namespace protask {

// A local filter over the rows of a dataset, in the small language the lookup lists write:
//   FIELD like '%TEXT%'   contains, ignoring case; without the leading or trailing % the text
//                         must start or end the value, without both it must equal it; a
//                         backslash makes the next character literal (\% a percent sign)
//   FIELD = 'text'        equal, ignoring case (as the server's collation compares)
//   FIELD <> 'text'       not equal; FIELD <> '' keeps the rows with a value
// joined by "and" and "or" ("and" binds closer), with optional parentheses. Field names and
// key words ignore case; a quote inside a text is written ''. A number may stand unquoted,
// and then compares numerically. A null value reads as empty text.
class TFilterExpression {
public:
    TFilterExpression();
    ~TFilterExpression();
    TFilterExpression(const TFilterExpression &);
    TFilterExpression &operator=(const TFilterExpression &);

    // A blank text gives the empty expression, which keeps every row. Throws
    // std::invalid_argument for a text it cannot read.
    static TFilterExpression parse(const QString &text);

    bool isEmpty() const { return !m_root; }
    // The field names the expression refers to, as written.
    QStringList fieldNames() const;
    // valueOf answers a field's value in the row being tested.
    bool matches(const std::function<QVariant(const QString &field)> &valueOf) const;

    struct Node;

private:
    std::shared_ptr<const Node> m_root;
};

// A dataset held in memory with a local filter, for lookup lists: the rows are read once (by
// running its SQL on a connection, or from a TDataSet or given rows) and then filtered without
// going back to the server. The cursor and the record count see the rows that pass the filter
// while it is switched on.
class TLocalDataSet {
public:
    TLocalDataSet();
    explicit TLocalDataSet(const QSqlDatabase &db);

    // The data module's connection unless another is set.
    void setDatabase(const QSqlDatabase &db) { m_db = db; }
    void setSql(const QString &sql) { m_sql = sql; }
    const QString &sql() const { return m_sql; }

    // Runs the SQL (given here or set before) and holds its rows. Throws DbError.
    void open(const QString &sql);
    void open();
    // Takes the fields and rows of an open dataset (and its SQL, so that refresh reads again).
    void load(const TDataSet &source);
    void setRecords(const QStringList &fields, const QVector<QVector<QVariant>> &rows);
    // Reads the rows again with the SQL; a dataset without SQL keeps its rows. The filter stays.
    void refresh();
    void close();
    bool isActive() const { return m_active; }

    // Throws std::invalid_argument for an expression it cannot read or, on an open dataset,
    // that names a field the dataset does not have.
    void setFilter(const QString &expression);
    const QString &filter() const { return m_filter; }
    void setFiltered(bool on);
    bool isFiltered() const { return m_filtered; }

    // Rows passing the filter
    int recordCount() const { return static_cast<int>(m_visible.size()); }
    bool isEmpty() const { return m_visible.isEmpty(); }
    int totalRecordCount() const { return static_cast<int>(m_rows.size()); }

    bool eof() const { return m_cursor >= recordCount(); }
    void first() { m_cursor = 0; }
    void next()
    {
        if (m_cursor < recordCount())
            ++m_cursor;
    }
    int recNo() const { return m_cursor; }

    QStringList fieldNames() const { return m_fields; }
    int fieldIndex(const QString &name) const;
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }
    // The field of the current row; null past the end. Throws std::out_of_range for a field
    // the dataset does not have.
    QVariant fieldByName(const QString &name) const;
    QVariant value(int row, const QString &name) const;
    // The field's values of all rows passing the filter, in order, as text.
    QStringList fieldTexts(const QString &name) const;

    // Moves the cursor to the first passing row whose field equals the value and answers
    // whether there was one.
    bool locate(const QString &field, const QVariant &value, Qt::CaseSensitivity cs = Qt::CaseSensitive);

private:
    void applyFilter();
    void checkFields(const TFilterExpression &expression) const;

    QSqlDatabase m_db;
    QString m_sql;
    bool m_active = false;
    QStringList m_fields;
    QHash<QString, int> m_fieldIndex; // upper-case name → column
    QVector<QVector<QVariant>> m_rows;
    QVector<int> m_visible;
    int m_cursor = 0;
    QString m_filter;
    TFilterExpression m_expression;
    bool m_filtered = false;
};

// The local filter that keeps the rows where any of the fields contains the typed text:
// field like '%TYPED%' for each non-blank field name, joined by " or ", with the text in upper
// case, its quotes doubled and its backslashes and percent signs escaped. Empty for blank typed text.
QString LookupFilterExpression(const QString &typed, const QStringList &fields);

} // namespace protask
