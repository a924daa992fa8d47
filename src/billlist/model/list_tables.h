#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace protask {

// The actions of a bill list.
enum class ListAction {
    Add,
    AddReturn,
    Edit,
    Display,
    Delete,
    Check,
    UnCheck,
    Print,
    Preview,
    ExportOut,
    CreateVoucher,
    DisplayVoucher,
    Refresh,
    Help,
    Close,
};

// An action as the tool bar and the keyboard offer it.
struct ListActionInfo {
    ListAction action;
    QString name;     // the action's object name ("actAdd")
    QString caption;  // "  新增  "
    QString hint;     // tool tip; empty: none
    QString shortcut; // form-level key in QKeySequence's portable text ("Ctrl+N"); empty: none
    QString button;   // the tool bar button that carries it; empty: a drop-down entry or unnamed
    // With the check workflow on, the action does nothing while this button is hidden (add
    // return follows the add button, preview has a button of its own).
    QString guardButton;
    int rightOperation = 0; // operation code of the right that shows the button; 0: none
    bool needsRow = false;  // does nothing without a current row
};

// Every action in tool bar order.
const QList<ListActionInfo> &ListActionTable();
const ListActionInfo &ListActionInfoOf(ListAction action);

// What the list of a bill type shows besides its rows.
struct BillListType {
    int billType = 0;
    QString title;          // window title, log window and help page
    QString findHint;       // the find box's hint
    bool addReturn = false; // advBtn_AddRed shown
    bool voucher = false;   // advbtn_Voucher shown
};

// nullptr for a bill type without a list.
const BillListType *FindBillListType(int billType);
// Empty for a bill type without a list.
QString BillListTitle(int billType);

// The columns the find text is searched in, by the aliases of the type's own list statement,
// in order; empty for a bill type without a list.
QStringList ListSearchColumns(int billType);

// A test that refuses to delete a bill other bills already took quantities from: any row of
// "select * from " + table + condition means referenced.
struct ListReferenceTest {
    bool onLines = false;  // the line table (rows of the bill), else the header table (the bill)
    QString counterColumn; // referenced when IfNull(column,0) > 0
    QString message;       // shown as information
    bool stops = false;    // ends the action at once; otherwise the later tests still run,
                           // but the bill is not deleted
};
QList<ListReferenceTest> ListReferenceTests(int billType);
// The condition of a test for the bill: " where FFormID = " + ID + " and IfNull(...,0) > 0 ".
QString ListReferenceCondition(const ListReferenceTest &test, int billId);

// The bill type an action works with on a row. Lists that hold two kinds tell them by the
// row's FBillTypeID (1 the first kind, 2 the second); every other list uses its own type.
int EffectiveBillType(int listBillType, ListAction action, const QVariant &rowBillTypeId);

enum class ListRowColour { Default, Red };
// Returns (the row's FBillTypeID 2) are drawn in red in the purchase and sales-out lists.
ListRowColour ListRowColourOf(int listBillType, const QVariant &rowBillTypeId);

// The retail list: delete stays enabled for checked rows, deleting always takes the posting
// back, and rights hide its editing buttons.
inline constexpr int kRetailList = 3005;

} // namespace protask
