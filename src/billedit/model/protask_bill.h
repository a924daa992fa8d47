#pragma once

#include "billedit/model/line_rules.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

namespace protask {

// The two statements a production task editor loads a stored task with: the header with the
// names of its client, manager, department, biller, checker, product and unit, and the
// material lines in line order.
QString ProtaskHeaderSql(int billId);
QString ProtaskLinesSql(int billId);

// The lists of the header's lookup combos: clients, departments, employees.
QString ProtaskClientListSql();
QString ProtaskDeptListSql();
QString ProtaskEmployeeListSql();
QString ProtaskProductListSql();

// The header row of a task as the editor's fields hold it.
struct ProtaskHeader {
    int billId = 0; // 0: a new task, which takes the next key
    int billTableTypeId = 0;
    QString billTypeNo = QStringLiteral("RWD");
    QString billNo;
    QString initBillNo;
    QDate billDate;
    QDate proDate; // invalid: none
    QString clientName;
    QString productName;
    QString unitName;
    QString batchNo;
    QString deptName;
    QString managerName;
    QString note;
    double number = 0;
    double price = 0;
    double amount = 0;
    QString formDefined[3];
    QString fromBillNo; // the source sales order; the other source fields count only with it
    int fromBillId = 0;
    int fromListId = 0;
    int fromBillTypeId = 0;
    int userId = 0;
};

// Writes the task's header row inside the save transaction and answers its key. Clients,
// departments, employees, products and units named but not on file are created. A new task
// whose proposed number was taken meanwhile gets the next free one. Server errors are thrown.
int SaveProtaskHeader(const ProtaskHeader &header, const QSqlDatabase &db);

// The rules of the task's material cells: consumption per finished unit, total consumption,
// cost price and cost amount, against the production quantity H of the header. A cell on a
// line without a product is refused (answered as an empty text). Answers the value to store.
// With H blank or 0 a total consumption cannot be spread per unit: the per-unit cell is
// emptied, as for a blank H.
QVariant ApplyProtaskLineRule(const QString &field, const QVariant &typed, LineValues &line, double productionQuantity,
                              bool productionQuantityBlank, int numberPlaces, int pricePlaces, int amountPlaces);
// The header quantity changed: every line with a product and a per-unit consumption gets its
// total consumption and cost amount again.
void ScaleProtaskLines(QList<LineValues> &lines, double productionQuantity);

} // namespace protask
