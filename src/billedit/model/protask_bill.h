#pragma once

#include "billedit/model/bill_actions.h"
#include "billedit/model/line_rules.h"
#include "billedit/model/save_lines.h"
#include "core/line_checks.h"

#include <QList>

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

// The material proposal: the task with the highest bill number for the product (0: none), and
// its materials scaled to the production quantity (written with a decimal point, whatever the
// locale; a blank quantity counts as 0).
int FindLastTaskOfProduct(const QString &productName, const QSqlDatabase &db);
QString ProtaskMaterialSql(int taskId, double productionQuantity);

// The sales-order line a task is made from, as the task's header takes it.
struct SalesOrderSource {
    bool found = false;
    QString clientName;
    double unfinished = 0; // ordered minus already put into production
    QString productName;
    QString batchNo;
    QString unitName;
    QString billNo;
    int billId = 0;
    int listId = 0;
    int billTypeId = 0; // the order's type key
};
// The first of the picked lines ("12,15": only numbers are spliced); not found for none.
SalesOrderSource ReadSalesOrderSource(const QString &listIds, const QSqlDatabase &db);
// The client of that name among the suppliers' side of the client table, as the sales-order
// picker restricts its list (0 when the name is blank or unknown).
int FindOrderClientId(const QString &clientName, const QSqlDatabase &db);

// The material cells a task line writes itself: quantities, price and amount rounded to the
// company's places (blank counts 0).
void ProtaskLineFields(const LineValues &line, int numberPlaces, int pricePlaces, int amountPlaces, LineCells &cells);

// A new task as the editor starts it: the server's date, the proposed number (and the bill
// type key with it), production quantity 1 and the signed-in user.
void StartNewProtask(ProtaskHeader &header, int userId, const QSqlDatabase &db);
// The header takes a sales-order line as the editor's copy does: client, the unfinished
// quantity as production quantity, product, batch, unit and the source fields; the processing
// amount follows the quantity.
void CopySalesOrderSource(ProtaskHeader &header, const SalesOrderSource &source);
// The material proposal as lines: the last task of the product scaled to the production
// quantity; empty when the product has no earlier task.
QList<LineValues> ProposeProtaskMaterials(const QString &productName, double productionQuantity,
                                          const QSqlDatabase &db);

// The header fields a task cannot be saved without, with the captions of their labels and
// whether the header leaves them empty, for FirstMissingField.
QList<MandatoryField> ProtaskMandatoryFields(const ProtaskHeader &header);

// The task's values against the columns they are stored in, before a save: a text longer than
// its column (counted in characters, as the server counts them) or holding a NUL character, a
// number that is not finite or has more whole digits than its column, a line date that is no
// day of the calendar. A non-strict server would store such a value cut, clamped or as null;
// the save is refused instead, with the first such field named. Names the save stores in the
// client, product, unit, department and employee tables count against those tables' columns.
bool CheckProtaskValues(const ProtaskHeader &header, const QList<LineValues> &lines, const QSqlDatabase &db);

// The material grid's columns that the row checks before a save look at, by grid name and
// caption: the material and its total consumption are required.
QList<LineCheckColumn> ProtaskLineCheckColumns();

// A task without a screen: its header and material lines, saved, checked and unchecked by the
// same plan as the editor's (SaveBill, CheckBill, UncheckBill).
class ProtaskBill : public BillSteps {
public:
    explicit ProtaskBill(const QSqlDatabase &db) : m_db(db) {}

    ProtaskHeader header;
    QList<LineValues> lines;
    int numberPlaces = 2;
    int pricePlaces = 2;
    int amountPlaces = 2;
    int statusId = 1;

    BillRef ref() const;
    // The editor's line checks before a save: at least one material ("请输入单据商品明细,请检查"),
    // then the row checks of the material grid; each refusal shows its message.
    bool CheckLines() const;
    bool CheckUnits() override;
    bool CheckBeforePost() override;
    int SaveHeader(int billId) override;
    bool SaveLines(int billId) override;

private:
    QSqlDatabase m_db;
};

} // namespace protask
