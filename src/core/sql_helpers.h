#pragma once

#include "platform/db.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>

namespace protask {

// The data module's connection: the default for every function that runs SQL.
QSqlDatabase Db();
// The one quoting function: the text escaped for the connection and wrapped in single quotes.
QString QuotedStr(const QString &text, const QSqlDatabase &db = Db());
// A LIKE pattern that matches `text` anywhere: % and _ in the text match only themselves.
// The result is quoted: '%…%'.
QString QuotedLikeContains(const QString &text, const QSqlDatabase &db = Db());

// Statement tracing into the text log, off and empty at start.
void SetQueryTrace(bool on, const QString &fileStem = QString());
bool QueryTraceOn();
QString QueryTraceStem();

// Trims the text; an empty text returns -1 and runs nothing. Otherwise runs it on the query
// and returns the number of rows. Server errors propagate as DbError.
int OpenQuery(TDataSet &query, const QString &sql);
int OpenQuery(const QString &sql); // on the data module's shared query
// Runs a statement and returns true; server errors propagate as DbError.
bool ExecQuery(TDataSet &query, const QString &sql);
bool ExecQuery(const QString &sql);
void DropTempTable(const QString &name, const QSqlDatabase &db = Db());

// The largest key plus one (1 for an empty table). Inside a transaction the read locks the
// key range so that a second save cannot take the same key unnoticed.
int GetNextID(const QString &table, const QString &field, const QSqlDatabase &db = Db());
bool InTransaction(const QSqlDatabase &db = Db());
// A fact about the connection's schema (a key, an index), looked up once per connection by
// `lookUp` and remembered until ForgetSchemaFacts() (after a schema change).
bool RememberedSchemaFact(const QSqlDatabase &db, const QString &fact, const std::function<bool()> &lookUp);
void ForgetSchemaFacts();
// Whether `table` of the connection's database has an index of that name (remembered).
bool HasIndex(const QString &table, const QString &index, const QSqlDatabase &db = Db());

int GetOrAddNamedRecord(const QString &table, const QString &keyField, const QString &value, const QString &selectField,
                        const QString &extraFields, const QString &extraValues, const QString &extraWhere,
                        const QSqlDatabase &db = Db());
int GetOrAddProduct(const QVariant &productNo, const QVariant &productName, const QVariant &unitName, int &unitId,
                    const QSqlDatabase &db = Db());
bool UnitsBelongToProduct(const QString &unit1, const QString &unit2, const QString &productName,
                          const QSqlDatabase &db = Db());
bool OtherOutInKindCheck(int billId, const QSqlDatabase &db = Db());

// A parameter of t_comparameters as a value of its kind; false when there is no row.
bool ReadParameter(const QString &name, QVariant &value, const QSqlDatabase &db = Db());

struct CompanyDecimals {
    QString numberFormat = QStringLiteral(",0.00;-,0.00");
    QString priceFormat = QStringLiteral(",0.00;-,0.00");
    int numberDecimals = 2;
    int priceDecimals = 2;
};
CompanyDecimals GetCompanyDecimals(const QSqlDatabase &db = Db());
// ",0." + n zeros + ";-,0." + n zeros.
QString DecimalsFormat(int decimals);
extern const QString kAmountFormat; // ",0.00;-,0.00"

// Closing-period and voucher tests of a bill (tables without the column always pass).
bool IsPeriodClosed(const QString &table, int billId, bool showMessage, const QSqlDatabase &db = Db());
bool HasVoucher(const QString &table, int billId, bool showMessage, const QSqlDatabase &db = Db());
bool IsBeforeClosingDate(const QString &table, bool showMessage, const QDate &billDate, const QSqlDatabase &db = Db());

// One row in zzsyslog; false (silently) when the insert fails.
bool WriteOperationLog(const QString &message, const QString &window, const QSqlDatabase &db = Db());
// One line in log/yyyymmdd.txt (or log/<stem>.txt). Throws std::runtime_error when the file
// cannot be written.
void WriteTextLog(const QString &message, const QString &fileStem = QString());

QString GetReportsPath();

} // namespace protask
