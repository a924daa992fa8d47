#pragma once

#include "billedit/model/line_rules.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>
#include <utility>

namespace protask {

using LineCells = QList<std::pair<QString, QVariant>>;

// What SaveLines needs of the editor that saves.
struct SaveLinesContext {
    int billType = 0;
    int billId = 0;         // the header's FID, also for a new bill
    bool savedBill = false; // the editor shows a stored bill: rows of lines that are gone are deleted
    QString lineTable;      // FListTableName
    QString billCaption;    // for the text log
    int numberPlaces = 2;
    int pricePlaces = 2;
    int amountPlaces = 2;
    bool taxOn = false;
    int sign = 1; // FReturn
    // The editor's own fields of a line (SaveLineFields): cells to write besides the common ones,
    // the same fields for every line; false stops the save.
    std::function<bool(int row, const LineValues &line, LineCells &cells)> lineFields;
};

// Writes the lines with a product name into the line table, numbered 1, 2, 3 … in grid order:
// a number the bill already has keeps its row (and FID), a new one gets the next key; which
// columns are written depends on the bill type. Rows of numbers the bill no longer has are
// deleted. All rows go out in multi-row statements, so a long bill costs few round trips.
// Runs inside the caller's transaction. A server error is written to the text log as the
// failure of the lines and thrown on to the action (which retries what is retryable); a
// refusal of the editor's own fields, or any other failure, answers false.
bool SaveLines(const QList<LineValues> &lines, const SaveLinesContext &context, const QSqlDatabase &db);

} // namespace protask
