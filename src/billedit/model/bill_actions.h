#pragma once

#include "platform/nv_dm_base.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace protask {

// What the save, check and uncheck actions know of the bill an editor shows.
struct BillRef {
    int billType = 0;
    QString billTypeNo;
    QString formTable;
    QString listTable;
    QString caption; // the window name of the operation log
    int billId = 0;  // 0 for a bill that was never stored
    int statusId = 1;
    QString billNo;     // trimmed text of the number field
    QString initBillNo; // the number as proposed or loaded
    QDate billDate;
};

// The steps of the actions that differ per bill kind. An editor form implements them over its
// controls and grid; a command line over a bill read from a file. Each runs inside the
// action's transaction where it writes, and may throw DbError (the action retries what is
// retryable and reports the rest).
class BillSteps {
public:
    virtual ~BillSteps() = default;

    // Checks before the transaction; each shows its own message when it answers false.
    virtual bool CheckUnits() { return true; }
    virtual bool CheckStock() { return true; }
    virtual bool CheckBeforePost() { return true; }
    // Spreads the header discount and the freight over the lines.
    virtual void ApplyBillDiscount() {}

    // Writes the header row and answers its ID, or -1. `billId` is the stored bill's ID, 0 for
    // a new bill (which takes the next free key).
    virtual int SaveHeader(int billId) = 0;
    virtual bool SaveLines(int billId) = 0;
    virtual bool AfterSaveLines(int billId, int &errorCode);
    // The posting engine's entries for the bill.
    virtual bool PostBill(const BillRef &bill, int billId, int &errorCode);
    virtual bool UnpostBill(const BillRef &bill, int &errorCode);
};

// The outcome of an action as the editor continues from it.
struct ActionResult {
    bool done = false;
    int billId = 0;           // the saved bill's ID (also after a failed posting: see SaveBill)
    QString billNo;           // the number stored (a kept proposal may have made way for a free one)
    bool focusBillNo = false; // the number was refused: the number field takes the focus
};

// Save steps 3 to 12 (the header and line checks of the form run before): the checked test,
// the date span question, the closing date, the number tests, units, stock, discount spread
// and the last checks; then one transaction of unposting (check workflow off), header, lines,
// the editor's after-lines step, posting (check workflow off, check on save, or bill type
// 3005) and the operation log. A deadlock or lock timeout replays the transaction; a lost
// connection reports whether the commit landed. Every refusal shows its message.
//
// A new bill whose posting failed keeps its status: its next save takes a new key, so that it
// cannot land on a bill another workstation stored under the rolled-back key meanwhile.
ActionResult SaveBill(BillSteps &steps, const BillRef &bill, const HostSwitches &switches,
                      const QSqlDatabase &db = nvDMBase::instance().connection());
ActionResult CheckBill(BillSteps &steps, const BillRef &bill,
                       const QSqlDatabase &db = nvDMBase::instance().connection());
ActionResult UncheckBill(BillSteps &steps, const BillRef &bill,
                         const QSqlDatabase &db = nvDMBase::instance().connection());

// Check (post) or uncheck (take the posting back) of a stored bill as one transaction with its
// log line, retried on a deadlock. The checked flag is read again under a lock inside the
// transaction: a bill already in the wanted state is refused, never posted twice. A posting that
// refuses shows `failureText` followed by its error code; the editor and the list differ only in
// that text and in the tests they run before.
bool PostStoredBill(BillSteps &steps, const BillRef &bill, bool check, const QString &failureText,
                    const QSqlDatabase &db);

// The steps of a bill that is posted or taken back as it is stored (a row of a list): there is
// nothing to save.
class StoredBillSteps : public BillSteps {
public:
    int SaveHeader(int) override { return -1; }
    bool SaveLines(int) override { return false; }
};

// The stored bill's checked flag: 1 checked, 0 not, -1 when there is no such row.
int ReadCheckedFlag(const QString &formTable, int billId, const QSqlDatabase &db);

// The editing state a bill opens in, and whether its period is closed or a voucher exists.
struct CheckState {
    int statusId = 1;
    QList<int> states; // the states to enter in order
    bool periodClosed = false;
    bool voucher = false;
};
CheckState ReadCheckState(const QString &formTable, int billId, int statusId, bool checkWorkflow,
                          const QSqlDatabase &db);

// What each editing state does to the form.
struct EditStateEffect {
    int state = 0;
    bool save = false;
    bool check = false;
    bool uncheck = false;
    bool print = false;
    bool lineActions = false;
    int statusId = 0; // 0: unchanged
    bool readOnly = false;
    bool lockGrid = false;
    bool keepSave = false; // FSave is kept (state 5), else cleared
};
// nullptr for a state without an entry (only StateChanged runs).
const EditStateEffect *FindEditState(int state);

// A mandatory header field, as the form's controls show it.
struct MandatoryField {
    QString field;
    QString caption; // the label's caption; empty when the field has no label
    int tag = 0;
    bool empty = false;
};
// The first mandatory, empty field with a label (-1 when none), and its message: the caption
// without its last five characters followed by "不能为空".
int FirstMissingField(const QList<MandatoryField> &fields, QString &message);

// The bill type record: its caption and print style.
struct BillTypeRecord {
    bool found = false;
    QString caption;
    int printStyle = 1;
};
BillTypeRecord ReadBillTypeRecord(const QString &billTypeNo, const QSqlDatabase &db);
void WritePrintStyle(const QString &billTypeNo, int style, const QSqlDatabase &db);

// The voucher of a stored bill: 0 when the table has no voucher column or the bill none.
int FindVoucherId(const QString &formTable, int billId, const QSqlDatabase &db);

// The client (kind 1) or supplier (kind 2) of that name, -1 after telling the user when none.
int FindClientID(int kind, const QString &name, const QSqlDatabase &db);
// The parameter text of a report request for a client's account.
QString ClientReportParams(int reportCode, int clientId, const QString &clientName, const QDate &today);

// The name of the record a common lookup chose: the first key of `idText` (the lookup's first
// text field) read from the kind's table; empty when it names none.
QString LookupChoiceName(const QString &table, const QString &idText, const QSqlDatabase &db);

// The caption settings of a bill type: header free fields and grid columns.
struct FieldCaption {
    QString field;
    QString caption;
    bool visible = true;
    int position = 0;
};
QList<FieldCaption> ReadHeaderCaptions(int billType, const QSqlDatabase &db);
QList<FieldCaption> ReadColumnCaptions(int billType, const QSqlDatabase &db);

// "我知道了，下次不再提示": the company no longer wants the price-variation hint.
void SwitchOffPriceVariationHint(const QSqlDatabase &db);

// Messages of the actions.
namespace BillMessage {
inline constexpr const char *NoLines = "请输入单据商品明细,请检查";
inline constexpr const char *MandatorySuffix = "不能为空";
inline constexpr const char *SaveChecked = "该单据已经被审核过了,不能进行保存,请先反审核操作";
inline constexpr const char *DateSpan = "检测到您输入的单据日期跨越比较大，请确认是否正确？";
inline constexpr const char *BeforeClosing = "单据日期不能小于最后一次结帐日期。";
inline constexpr const char *EmptyNumber = "单据编号不能为空";
inline constexpr const char *DuplicateNumber = "单据编号已经存在,请修改";
inline constexpr const char *UnpostFailed = "保存更新数据失败";
inline constexpr const char *HeaderFailed = "保存表头数据失败";
inline constexpr const char *LinesFailed = "保存明细数据失败";
inline constexpr const char *AfterLinesFailed = "保存数据失败";
inline constexpr const char *AlreadyChecked = "该单据已经审核过了,不能重复审核";
inline constexpr const char *NotChecked = "该单据未审核,不能进行反审核";
inline constexpr const char *Unsaved = "数据未保存,是否保存?";
inline constexpr const char *VoucherUnsaved = "该单据未保存,不能生成凭证！";
inline constexpr const char *NoVoucher = "该单据未生成凭证,不能进行查看";
inline constexpr const char *NoVideoHelp = "没有找到视频帮助文件";
} // namespace BillMessage

} // namespace protask
