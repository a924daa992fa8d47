#pragma once

#include "core/sql_helpers.h"

#include <QDate>
#include <QString>

namespace protask {

// The server's date and year-month ("yyyymm"); never the workstation clock.
QDate GetServerBillDate(QString &yearMonth, const QSqlDatabase &db = Db());

// Bill numbers: prefix + year-month + sequence, the sequence being the month's counter plus
// one, left-padded with zeros to `sequenceLength` (a longer sequence is not cut).
struct BillNumbering {
    int sequenceLength = 5;                          // NoLength of the editor
    QString firstSequence = QStringLiteral("00001"); // DefNo of the editor
};

// Looks a bill type code up in T_BillType: its key and prefix. False when there is no row.
bool FindBillType(const QString &billTypeNo, int &billTypeKey, QString &prefix, const QSqlDatabase &db = Db());

// The number a new bill would get, without consuming it (read with the cluster's catch-up, so
// that it follows every workstation's takes); empty unless the editor is on a new
// bill (status 1). `billTableTypeId` is the editor's FBillTableTypeID: set from T_BillType
// when the code has a row, kept otherwise.
QString ProposeBillNo(const QString &billTypeNo, const QString &yearMonth, int billStatusId, int &billTableTypeId,
                      const BillNumbering &numbering = {}, const QSqlDatabase &db = Db());

// Consumes a number of the server's current month. Reading and incrementing the month's
// counter is one atomic step, so two workstations never get the same number: through the
// unique key on (FBillTypeID, FYearMonth) when the table has it, else under a lock on the bill
// type's row. A NULL counter counts as 0. Inside the caller's transaction the take is part of
// it (and retried with it); without one it runs through RunTransaction of its own.
// Throws std::runtime_error for a code without a T_BillType row and DbError for server errors
// (the last one when the retries ran out).
QString TakeBillNo(const QString &billTypeNo, const BillNumbering &numbering = {}, const QSqlDatabase &db = Db());

// The editor's guard before a new bill is stored: a proposed number that the user kept is
// replaced by a taken one, and taking goes on while the number is already in `formTable`,
// at most kMaxNumberTries times (then std::runtime_error with a message for the user).
constexpr int kMaxNumberTries = 1000;
QString MakeBillNoUnique(const QString &number, const QString &initialNumber, bool isNewBill, const QString &billTypeNo,
                         const QString &formTable, const BillNumbering &numbering = {}, const QSqlDatabase &db = Db());

// Forgets which connections' T_BillCode has the unique key (after the table was changed).
void ForgetBillCodeKey();

} // namespace protask
