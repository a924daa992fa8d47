#pragma once

#include "core/sql_helpers.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace protask {

// The caption settings' working copy: two temporary tables of the connection, tmp_form for
// the header fields and tmp_list for the grid columns, filled per bill type on first view,
// edited while the user moves through the bill types (FIsChange marks an edited row) and
// written to t_comFieldName only when the settings are saved.

struct FieldNameNode {
    int billType = 0;
    QString name;
};

struct HeaderFieldName {
    int fid = 0;
    int billType = 0;
    QString field;
    QString caption; // effective caption
    bool changed = false;
};

struct ColumnFieldName {
    int fid = 0;
    int order = 0;
    int billType = 0;
    QString field; // "R_" + column
    QString defaultName;
    QString setName; // the user's caption, blank for the default
    int shown = 0;
    int defaultShown = 0;
    int system = 0;
    int systemOrder = 0;
    bool changed = false;
};

// A master-data free field (products 2003, customers 2004, suppliers 2005).
struct MasterFieldName {
    int fid = 0;
    int billType = 0;
    QString field;
    QString caption; // effective caption
};

// Drops and creates both working tables.
void CreateWorkingTables(const QSqlDatabase &db = Db());
// The bill types of the settings tree: one bill type, or (billType 0) every bill type and
// report code except the master data and the 40xx reports.
QList<FieldNameNode> LoadFieldNameNodes(int billType, const QSqlDatabase &db = Db());
// The working rows of a bill type, copied from t_comFieldName on first view.
QList<HeaderFieldName> LoadHeaderNode(int billType, const QSqlDatabase &db = Db());
QList<ColumnFieldName> LoadColumnNode(int billType, const QSqlDatabase &db = Db());
// Writes into the working tables what differs from their rows and marks it changed; the
// header edits are found by bill type and field, the columns of `billType` by field. With
// `withOrder` false the order numbers are left alone (the rows were not moved). Answers the
// number of rows written.
int WriteHeaderEdits(const QList<HeaderFieldName> &edits, const QSqlDatabase &db = Db());
int WriteColumnEdits(int billType, const QList<ColumnFieldName> &rows, bool withOrder, const QSqlDatabase &db = Db());
// Every working column of the bill type back to the default caption, order and visibility.
void ResetColumnsToDefaults(int billType, const QSqlDatabase &db = Db());
// Writes the changed working rows (the header rows only with `withHeader`) to
// t_comFieldName; true when there was any. Runs inside the caller's transaction.
bool SaveWorkingTables(bool withHeader, const QSqlDatabase &db = Db());

QList<MasterFieldName> LoadMasterFieldNames(const QSqlDatabase &db = Db());
// Writes a master-data caption that differs from the row's. A product field's caption also
// becomes the caption of the matching line column ("R_" + field) of every bill type. True
// when it was written.
bool SaveMasterFieldName(const MasterFieldName &row, const QString &text, const QSqlDatabase &db = Db());

// Maintenance: the effective values of the report codes become their defaults.
void SaveReportDefaults(const QSqlDatabase &db = Db());

} // namespace protask
