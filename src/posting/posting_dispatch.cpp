#include "posting/posting_dispatch.h"

#include "core/values.h"
#include "posting/account_steps.h"
#include "posting/batch_steps.h"
#include "posting/posting_common.h"
#include "posting/stock_steps.h"

#include <exception>
#include <optional>

namespace protask {

namespace {

// ---------------------------------------------------------------------------
// Row builders: each reads like the operation it stands for, arguments in the same order.

constexpr int NoCode = kKeepCode;
QString L(const char *name) { return QString::fromLatin1(name); }
const QString kFID = QStringLiteral("FID");
const QString kFNumber = QStringLiteral("FNumber");

PostingStep CurStock(const char *table, const char *key, const char *number, int sign, int code)
{
    return {StepKind::CurStock, L(table), {}, L(key), L(number), {}, {}, {}, sign, code};
}

PostingStep LastPrice(const char *list, const char *key, int direction)
{
    return {StepKind::LastPrice, {}, L(list), L(key), {}, {}, {}, {}, direction, NoCode};
}

PostingStep Balance(const char *table, const char *list, const char *number, const char *storehouse, int sign, int code)
{
    return {StepKind::Balance, L(table), L(list), kFID, L(number), L(storehouse), {}, {}, sign, code};
}

PostingStep BalanceByTable(const char *table, const char *key, int sign, int code)
{
    return {StepKind::BalanceByTable,        L(table), {}, L(key), kFNumber,
            QStringLiteral("FStorehouseID"), {},       {}, sign,   code};
}

PostingStep BatchIn(const char *table, const char *list, const char *amount, const char *number, const char *storehouse,
                    int sign, int code)
{
    return {StepKind::BatchIn, L(table), L(list), kFID, L(number), L(storehouse), {}, L(amount), sign, code};
}

PostingStep BatchInByTable(const char *table, const char *key, const char *amount, int sign, int code)
{
    return {StepKind::BatchInByTable,        L(table), {},        L(key), kFNumber,
            QStringLiteral("FStorehouseID"), {},       L(amount), sign,   code};
}

PostingStep BatchOut(const char *table, const char *list, const char *number, const char *storehouse, int sign,
                     int code)
{
    return {StepKind::BatchOut, L(table), L(list), kFID, L(number), L(storehouse), {}, {}, sign, code};
}

PostingStep ClientPay(const char *table, const char *amount, const char *client, int sign, int code)
{
    return {StepKind::ClientPay, L(table), {}, kFID, L(amount), L(client), {}, {}, sign, code};
}

PostingStep ClientUnPay(const char *table, const char *amount, const char *client, int sign, int code)
{
    return {StepKind::ClientUnPay, L(table), {}, kFID, L(amount), L(client), {}, {}, sign, code};
}

PostingStep ClientTotal(const char *table, const char *amount, const char *client, int sign, int code)
{
    return {StepKind::ClientTotal, L(table), {}, kFID, L(amount), L(client), {}, {}, sign, code};
}

PostingStep Cash(const char *table, const char *amount, int sign)
{
    return {StepKind::Cash, L(table), {}, kFID, L(amount), QStringLiteral("FCashID"), {}, {}, sign, NoCode};
}

PostingStep CashByKind(const char *table, const char *amount, int sign)
{
    return {StepKind::CashByKind, L(table), {}, kFID, L(amount), QStringLiteral("FCashID"), {}, {}, sign, NoCode};
}

PostingStep ClientPrice(const char *table, const char *list, const char *client)
{
    return {StepKind::ClientPrice,     L(table), L(list), kFID, kFNumber, L(client), {},
            QStringLiteral("FAmount"), 1,        NoCode};
}

PostingStep Finish(const char *target, const char *targetColumn, const char *source, const char *sourceKey,
                   const char *number, const char *link, int sign, int code)
{
    return {StepKind::Finish, L(target), L(source), L(sourceKey), L(number), L(targetColumn), L(link), {}, sign, code};
}

PostingStep Rebate(StepKind kind) { return {kind, {}, {}, {}, {}, {}, {}, {}, 0, NoCode}; }

PostingStep ForClient(PostingStep step)
{
    step.when = StepWhen::OtherOutInForClient;
    return step;
}

PostingStep OnPayBill(PostingStep step)
{
    step.bill = StepBill::RebatePayBill;
    return step;
}

struct BillTypeSteps {
    std::vector<int> types;
    std::vector<PostingStep> steps;
};

// ---------------------------------------------------------------------------
// Check: the steps that apply a bill.

const std::vector<BillTypeSteps> &checkTable()
{
    static const std::vector<BillTypeSteps> table = {
        {{3001},
         {
             // purchase order
             ClientPay("t_PurOrderForm", "FPayAmount", "FClientID", +1, 1),
             ClientUnPay("t_PurOrderForm", "FPayAmount", "FClientID", -1, 6),
             Cash("t_PurOrderForm", "FPayAmount", -1),
             Finish("t_SaleOrderList", "FPurOrderFinishNumber", "t_purorderlist", "FFormID", "FNumber",
                    "FFromOrderListID", +1, 5),
         }},
        {{3002},
         {
             // purchase-in
             ClientPay("t_PurForm", "FPayAmount", "FClientID", +1, 1),
             ClientTotal("t_PurForm", "FAmount", "FClientID", +1, 2),
             CurStock("t_PurList", "FFormID", "FNumber", +1, 3),
             Balance("t_PurForm", "T_PurList", "FNumber", "FStorehouseID", +1, 4),
             BatchIn("t_PurForm", "T_PurList", "FTobeDiscountAmount", "FNumber", "FStorehouseID", +1, 14),
             Finish("t_PurOrderList", "FFinishNumber", "t_PurList", "FFormID", "FNumber", "FFromOrderListID", +1, 5),
             LastPrice("T_PurList", "FFormID", +1),
             Cash("t_PurForm", "FPayAmount", -1),
         }},
        {{3003},
         {
             // sales order
             ClientPay("t_SaleOrderForm", "FReceiveAmount", "FClientID", +1, 1),
             ClientUnPay("t_SaleOrderForm", "FReceiveAmount", "FClientID", -1, 6),
             Cash("t_SaleOrderForm", "FReceiveAmount", +1),
         }},
        {{3004},
         {
             // sales-out
             ClientPay("t_SaleOutForm", "FReceiveAmount", "FClientID", +1, 1),
             ClientTotal("t_SaleOutForm", "FAmount", "FClientID", +1, 2),
             CurStock("t_SaleOutList", "FFormID", "FNumber", -1, 3),
             Balance("t_SaleOutForm", "T_SaleOutList", "FNumber", "FStorehouseID", -1, 4),
             BatchOut("t_SaleOutForm", "T_SaleOutList", "FNumber", "FStorehouseID", -1, 4),
             Finish("t_SaleOrderList", "FFinishNumber", "t_SaleOutList", "FFormID", "FNumber", "FFromOrderListID", +1,
                    5),
             LastPrice("T_SaleOutList", "FFormID", -1),
             ClientPrice("t_SaleOutForm", "T_SaleOutList", "FClientID"),
             Cash("t_SaleOutForm", "FReceiveAmount", +1),
         }},
        {{3005},
         {
             // retail sale
             ClientPay("t_SaleOutForm", "FReceiveAmount", "FClientID", +1, 1),
             ClientTotal("t_SaleOutForm", "FAmount", "FClientID", +1, 2),
             CurStock("t_SaleOutList", "FFormID", "FNumber", -1, 3),
             Balance("t_SaleOutForm", "T_SaleOutList", "FNumber", "FStorehouseID", -1, 4),
             ClientPrice("t_SaleOutForm", "T_SaleOutList", "FClientID"),
             Cash("t_SaleOutForm", "FPosCashAmount", +1),
             Cash("t_SaleOutForm", "FPosBankAmount", +1),
             BatchOut("t_SaleOutForm", "T_SaleOutList", "FNumber", "FStorehouseID", -1, 4),
         }},
        {{3006},
         {
             // consignment sale: the customer, then the supplier
             ClientPay("t_SaleForForm", "FReceiveAmount", "FCustomerID", +1, 1),
             ClientTotal("t_SaleForForm", "FAmount", "FCustomerID", +1, 2),
             Cash("t_SaleForForm", "FReceiveAmount", +1),
             ClientPay("t_SaleForForm", "FPayAmount", "FSupplierID", +1, 1),
             ClientTotal("t_SaleForForm", "FPayTobeAmount", "FSupplierID", +1, 2),
             LastPrice("T_SaleForList", "FFormID", -1),
             ClientPrice("t_SaleForForm", "T_SaleForList", "FCustomerID"),
             Cash("t_SaleForForm", "FPayAmount", -1),
         }},
        {{3007, 3013},
         {
             // receipts
             ClientPay("t_ReceivePayForm", "FAmount", "FClientID", +1, 1),
             ClientUnPay("t_ReceivePayForm", "FAmount", "FClientID", -1, 6),
             Cash("t_ReceivePayForm", "FAmount", +1),
             Finish("t_SaleOutForm", "FFinishAmount", "t_receivepayList", "FFormID", "FAmount", "FFromBillID", +1, 5),
         }},
        {{3008, 3012},
         {
             // payments
             ClientPay("t_ReceivePayForm", "FAmount", "FClientID", +1, 1),
             ClientUnPay("t_ReceivePayForm", "FAmount", "FClientID", -1, 6),
             Cash("t_ReceivePayForm", "FAmount", -1),
             Finish("t_PurForm", "FFinishAmount", "t_receivepayList", "FFormID", "FAmount", "FFromBillID", +1, 5),
         }},
        {{3041},
         {
             ClientPay("t_ReceivePayForm", "FAmount", "FClientID", +1, 1),
             ClientUnPay("t_ReceivePayForm", "FAmount", "FClientID", -1, 6),
             Finish("t_SaleOutForm", "FFinishAmount", "t_receivepayList", "FFormID", "FAmount", "FFromBillID", +1, 5),
         }},
        {{3042},
         {
             ClientPay("t_ReceivePayForm", "FAmount", "FClientID", +1, 1),
             ClientUnPay("t_ReceivePayForm", "FAmount", "FClientID", -1, 6),
             Finish("t_PurForm", "FFinishAmount", "t_receivepayList", "FFormID", "FAmount", "FFromBillID", +1, 5),
         }},
        {{3010},
         {
             // fee bill
             Cash("t_FeeForm", "FAmount", -1),
         }},
        {{3011},
         {
             // stocktake: gains in, losses out
             CurStock("t_inventorylist", "FFormID", "FInGainNumber", +1, 3),
             Balance("t_inventoryform", "t_inventorylist", "FInGainNumber", "FStorehouseID", +1, 4),
             CurStock("t_inventorylist", "FFormID", "FOutLossNumber", -1, 3),
             Balance("t_inventoryform", "t_inventorylist", "FOutLossNumber", "FStorehouseID", -1, 4),
             BatchIn("t_inventoryform", "t_inventorylist", "FAmount", "FInGainNumber", "FStorehouseID", +1, 14),
             BatchOut("t_inventoryform", "t_inventorylist", "FOutLossNumber", "FStorehouseID", -1, 4),
         }},
        {{3014, 3028, 3029},
         {
             // income and expense
             ClientPay("t_Account", "FAmount", "FClientID", +1, 1),
             ClientUnPay("t_Account", "FAmount", "FClientID", -1, 6),
             CashByKind("t_Account", "FAmount", +1),
         }},
        {{3015},
         {
             // purchase return: the purchase's signs on negative lines
             ClientPay("t_PurForm", "FPayAmount", "FClientID", +1, 1),
             ClientTotal("t_PurForm", "FAmount", "FClientID", +1, 2),
             CurStock("t_PurList", "FFormID", "FNumber", +1, 3),
             Balance("t_PurForm", "T_PurList", "FNumber", "FStorehouseID", +1, 4),
             BatchIn("t_PurForm", "T_PurList", "FTobeDiscountAmount", "FNumber", "FStorehouseID", +1, 14),
             Cash("t_PurForm", "FPayAmount", -1),
         }},
        {{3016},
         {
             // sales return: the sale's signs on negative lines
             ClientPay("t_SaleOutForm", "FReceiveAmount", "FClientID", +1, 1),
             ClientTotal("t_SaleOutForm", "FAmount", "FClientID", +1, 2),
             CurStock("t_SaleOutList", "FFormID", "FNumber", -1, 3),
             Balance("t_SaleOutForm", "T_SaleOutList", "FNumber", "FStorehouseID", -1, 4),
             BatchOut("t_SaleOutForm", "T_SaleOutList", "FNumber", "FStorehouseID", -1, 4),
             Finish("t_SaleOrderList", "FFinishNumber", "t_SaleOutList", "FFormID", "FNumber", "FFromOrderListID", +1,
                    5),
             Cash("t_SaleOutForm", "FReceiveAmount", +1),
         }},
        {{3017},
         {
             // rebate: the payment bill it makes is posted to the supplier
             Rebate(StepKind::RebatePayBill),
             OnPayBill(ClientPay("t_ReceivePayForm", "FAmount", "FClientID", +1, 1)),
             OnPayBill(ClientUnPay("t_ReceivePayForm", "FAmount", "FClientID", -1, 6)),
         }},
        {{3018},
         {
             // transfer: balances and batches only, the product's stock stays
             Balance("t_TransferForm", "T_TransferList", "FNumber", "FOutStorehouseID", -1, 4),
             Balance("t_TransferForm", "T_TransferList", "FNumber", "FInStorehouseID", +1, 4),
             BatchOut("t_TransferForm", "T_TransferList", "FNumber", "FOutStorehouseID", -1, 4),
             BatchIn("t_TransferForm", "T_TransferList", "FTobeDiscountAmount", "FNumber", "FInStorehouseID", +1, 14),
         }},
        {{3019},
         {
             // other stock-in
             ForClient(ClientPay("t_OtherOutInForm", "FAmount", "FItemID", -1, 1)),
             ForClient(ClientTotal("t_OtherOutInForm", "FTobeAmount", "FItemID", -1, 2)),
             CurStock("t_OtherOutInList", "FFormID", "FNumber", +1, 3),
             Balance("t_OtherOutInForm", "T_OtherOutInList", "FNumber", "FStorehouseID", +1, 4),
             BatchIn("t_OtherOutInForm", "T_OtherOutInList", "FTobeDiscountAmount", "FNumber", "FStorehouseID", +1, 14),
             Cash("t_OtherOutInForm", "FAmount", -1),
         }},
        {{3020},
         {
             // other stock-out
             ForClient(ClientPay("t_OtherOutInForm", "FAmount", "FItemID", -1, 1)),
             ForClient(ClientTotal("t_OtherOutInForm", "FTobeAmount", "FItemID", -1, 2)),
             CurStock("t_OtherOutInList", "FFormID", "FNumber", -1, 3),
             Balance("t_OtherOutInForm", "T_OtherOutInList", "FNumber", "FStorehouseID", -1, 4),
             BatchOut("t_OtherOutInForm", "T_OtherOutInList", "FNumber", "FStorehouseID", -1, 4),
             Cash("t_OtherOutInForm", "FAmount", +1),
         }},
        {{3021},
         {
             // stock gain
             CurStock("t_LossGainList", "FFormID", "FNumber", +1, 3),
             Balance("t_LossGainForm", "t_LossGainList", "FNumber", "FStorehouseID", +1, 4),
             BatchIn("t_LossGainForm", "t_LossGainList", "FTobeDiscountAmount", "FNumber", "FStorehouseID", +1, 14),
         }},
        {{3022},
         {
             // stock loss
             CurStock("t_LossGainList", "FFormID", "FNumber", -1, 3),
             Balance("t_LossGainForm", "t_LossGainList", "FNumber", "FStorehouseID", -1, 4),
             BatchOut("t_LossGainForm", "t_LossGainList", "FNumber", "FStorehouseID", -1, 4),
         }},
        {{3025},
         {
             // assembly: components out of the lines, the assembled product into the header
             CurStock("t_AssemblyList", "FFormID", "FNumber", -1, 3),
             CurStock("t_AssemblyForm", "FID", "FNumber", +1, 3),
             BatchInByTable("t_AssemblyForm", "FID", "FAmount", +1, 14),
             BalanceByTable("t_AssemblyList", "FFormID", -1, 4),
             BalanceByTable("t_AssemblyForm", "FID", +1, 4),
             BatchOut("t_AssemblyForm", "t_AssemblyList", "FNumber", "FStorehouseID", -1, 4),
         }},
        {{3026},
         {
             // dismantling: the header product out, the components in
             CurStock("t_AssemblyList", "FFormID", "FNumber", +1, 3),
             CurStock("t_AssemblyForm", "FID", "FNumber", -1, 3),
             BalanceByTable("t_AssemblyList", "FFormID", +1, 4),
             BalanceByTable("t_AssemblyForm", "FID", -1, 4),
             BatchOut("t_AssemblyForm", "t_AssemblyList", "FNumber", "FStorehouseID", -1, 4),
             BatchInByTable("t_AssemblyList", "FFormID", "FTobeDiscountAmount", +1, 14),
         }},
        {{3032, 3033, 3034, 3035},
         {
             // other payables and receivables
             ClientTotal("t_ReceivePayForm", "FTobeAmount", "FClientID", +1, 1),
         }},
        {{3049},
         {
             // production task: no stock, only the sales order line's production counter
             Finish("t_SaleOrderList", "FProtaskFinishNumber", "t_protaskForm", "FID", "FNumber", "FFromListID", +1,
                    15),
         }},
        {{3089},
         {
             // production material picking
             Finish("t_protasklist", "FFinishNumber", "t_outpickinglist", "FFormID", "FNumber", "FFromListID", +1, 15),
             CurStock("t_outpickinglist", "FFormID", "FNumber", -1, 3),
             Balance("t_outpickingForm", "t_outpickinglist", "FNumber", "FStorehouseID", -1, 4),
             BatchOut("t_outpickingForm", "t_outpickinglist", "FNumber", "FStorehouseID", -1, 4),
         }},
        {{3090},
         {
             // finished goods in
             Finish("t_protaskForm", "FFinishNumber", "t_infinishlist", "FFormID", "FNumber", "FFromBillID", +1, 15),
             CurStock("t_infinishlist", "FFormID", "FNumber", +1, 3),
             Balance("t_infinishform", "t_infinishlist", "FNumber", "FStorehouseID", +1, 4),
             BatchOut("t_infinishform", "t_infinishlist", "FNumber", "FStorehouseID", +1, 4),
             ClientPay("t_infinishform", "FPayAmount", "FClientID", +1, 11),
             ClientTotal("t_infinishform", "FAmount", "FClientID", +1, 12),
             Cash("t_infinishform", "FPayAmount", -1),
         }},
    };
    return table;
}

// ---------------------------------------------------------------------------
// Uncheck: the same steps with the opposite signs; last prices and client price records are
// not taken back.

const std::vector<BillTypeSteps> &unCheckTable()
{
    static const std::vector<BillTypeSteps> table = {
        {{3001},
         {
             ClientPay("t_PurOrderForm", "FPayAmount", "FClientID", -1, 11),
             ClientUnPay("t_PurOrderForm", "FPayAmount", "FClientID", +1, 16),
             Cash("t_PurOrderForm", "FPayAmount", +1),
             Finish("t_SaleOrderList", "FPurOrderFinishNumber", "t_purorderlist", "FFormID", "FNumber",
                    "FFromOrderListID", -1, 5),
         }},
        {{3002, 3015},
         {
             // the return's uncheck also takes back purchase-order completion
             ClientPay("t_PurForm", "FPayAmount", "FClientID", -1, 11),
             ClientTotal("t_PurForm", "FAmount", "FClientID", -1, 12),
             CurStock("t_PurList", "FFormID", "FNumber", -1, 13),
             Balance("t_PurForm", "T_PurList", "FNumber", "FStorehouseID", -1, 14),
             BatchIn("t_PurForm", "T_PurList", "FTobeDiscountAmount", "FNumber", "FStorehouseID", -1, 14),
             Finish("t_PurOrderList", "FFinishNumber", "t_PurList", "FFormID", "FNumber", "FFromOrderListID", -1, 15),
             Cash("t_PurForm", "FPayAmount", +1),
         }},
        {{3003},
         {
             ClientPay("t_SaleOrderForm", "FReceiveAmount", "FClientID", -1, 11),
             ClientUnPay("t_SaleOrderForm", "FReceiveAmount", "FClientID", +1, 16),
             Cash("t_SaleOrderForm", "FReceiveAmount", -1),
         }},
        {{3004, 3016},
         {
             ClientPay("t_SaleOutForm", "FReceiveAmount", "FClientID", -1, 11),
             ClientTotal("t_SaleOutForm", "FAmount", "FClientID", -1, 12),
             CurStock("t_SaleOutList", "FFormID", "FNumber", +1, 13),
             Balance("t_SaleOutForm", "T_SaleOutList", "FNumber", "FStorehouseID", +1, 14),
             Finish("t_SaleOrderList", "FFinishNumber", "t_SaleOutList", "FFormID", "FNumber", "FFromOrderListID", -1,
                    15),
             Cash("t_SaleOutForm", "FReceiveAmount", -1),
             BatchOut("t_SaleOutForm", "T_SaleOutList", "FNumber", "FStorehouseID", +1, 4),
         }},
        {{3005},
         {
             ClientPay("t_SaleOutForm", "FReceiveAmount", "FClientID", -1, 11),
             ClientTotal("t_SaleOutForm", "FAmount", "FClientID", -1, 12),
             CurStock("t_SaleOutList", "FFormID", "FNumber", +1, 13),
             Balance("t_SaleOutForm", "T_SaleOutList", "FNumber", "FStorehouseID", +1, 14),
             Cash("t_SaleOutForm", "FPosCashAmount", -1),
             Cash("t_SaleOutForm", "FPosBankAmount", -1),
             BatchOut("t_SaleOutForm", "T_SaleOutList", "FNumber", "FStorehouseID", +1, 4),
         }},
        {{3006},
         {
             ClientPay("t_SaleForForm", "FReceiveAmount", "FCustomerID", -1, 11),
             ClientTotal("t_SaleForForm", "FAmount", "FCustomerID", -1, 12),
             Cash("t_SaleForForm", "FReceiveAmount", -1),
             ClientPay("t_SaleForForm", "FPayAmount", "FSupplierID", -1, 11),
             ClientTotal("t_SaleForForm", "FPayTobeAmount", "FSupplierID", -1, 12),
             Cash("t_SaleForForm", "FPayAmount", +1),
         }},
        {{3007, 3013},
         {
             ClientPay("t_ReceivePayForm", "FAmount", "FClientID", -1, 11),
             ClientUnPay("t_ReceivePayForm", "FAmount", "FClientID", +1, 16),
             Cash("t_ReceivePayForm", "FAmount", -1),
             Finish("t_SaleOutForm", "FFinishAmount", "t_receivepayList", "FFormID", "FAmount", "FFromBillID", -1, 5),
         }},
        {{3008, 3012},
         {
             ClientPay("t_ReceivePayForm", "FAmount", "FClientID", -1, 11),
             ClientUnPay("t_ReceivePayForm", "FAmount", "FClientID", +1, 16),
             Cash("t_ReceivePayForm", "FAmount", +1),
             Finish("t_PurForm", "FFinishAmount", "t_receivepayList", "FFormID", "FAmount", "FFromBillID", -1, 5),
         }},
        {{3041},
         {
             ClientPay("t_ReceivePayForm", "FAmount", "FClientID", -1, 11),
             ClientUnPay("t_ReceivePayForm", "FAmount", "FClientID", +1, 16),
             Finish("t_SaleOutForm", "FFinishAmount", "t_receivepayList", "FFormID", "FAmount", "FFromBillID", -1, 5),
         }},
        {{3042},
         {
             ClientPay("t_ReceivePayForm", "FAmount", "FClientID", -1, 11),
             ClientUnPay("t_ReceivePayForm", "FAmount", "FClientID", +1, 16),
             Finish("t_PurForm", "FFinishAmount", "t_receivepayList", "FFormID", "FAmount", "FFromBillID", -1, 5),
         }},
        {{3010},
         {
             Cash("t_FeeForm", "FAmount", +1),
         }},
        {{3011},
         {
             CurStock("t_inventorylist", "FFormID", "FInGainNumber", -1, 13),
             Balance("t_inventoryform", "t_inventorylist", "FInGainNumber", "FStorehouseID", -1, 14),
             CurStock("t_inventorylist", "FFormID", "FOutLossNumber", +1, 13),
             Balance("t_inventoryform", "t_inventorylist", "FOutLossNumber", "FStorehouseID", +1, 14),
             BatchIn("t_inventoryform", "t_inventorylist", "FAmount", "FInGainNumber", "FStorehouseID", -1, 14),
             BatchOut("t_inventoryform", "t_inventorylist", "FOutLossNumber", "FStorehouseID", +1, 4),
         }},
        {{3014, 3028, 3029},
         {
             ClientPay("t_Account", "FAmount", "FClientID", -1, 11),
             ClientUnPay("t_Account", "FAmount", "FClientID", +1, 11),
             CashByKind("t_Account", "FAmount", -1),
         }},
        {{3017},
         {
             // rebate reversal
             Rebate(StepKind::RebateRelease),
             Rebate(StepKind::RebateReadPayBill),
             OnPayBill(ClientPay("t_ReceivePayForm", "FAmount", "FClientID", -1, 11)),
             OnPayBill(ClientUnPay("t_ReceivePayForm", "FAmount", "FClientID", +1, 16)),
             Rebate(StepKind::RebateDeletePayBill),
             Rebate(StepKind::RebateClearLink),
         }},
        {{3018},
         {
             Balance("t_TransferForm", "T_TransferList", "FNumber", "FOutStorehouseID", +1, 4),
             Balance("t_TransferForm", "T_TransferList", "FNumber", "FInStorehouseID", -1, 4),
             BatchOut("t_TransferForm", "T_TransferList", "FNumber", "FOutStorehouseID", +1, 4),
             BatchIn("t_TransferForm", "T_TransferList", "FTobeDiscountAmount", "FNumber", "FInStorehouseID", -1, 14),
         }},
        {{3019},
         {
             ForClient(ClientPay("t_OtherOutInForm", "FAmount", "FItemID", +1, 1)),
             ForClient(ClientTotal("t_OtherOutInForm", "FTobeAmount", "FItemID", +1, 2)),
             CurStock("t_OtherOutInList", "FFormID", "FNumber", -1, 3),
             Balance("t_OtherOutInForm", "T_OtherOutInList", "FNumber", "FStorehouseID", -1, 4),
             BatchIn("t_OtherOutInForm", "T_OtherOutInList", "FTobeDiscountAmount", "FNumber", "FStorehouseID", -1, 14),
             Cash("t_OtherOutInForm", "FAmount", +1),
         }},
        {{3020},
         {
             ForClient(ClientPay("t_OtherOutInForm", "FAmount", "FItemID", +1, 1)),
             ForClient(ClientTotal("t_OtherOutInForm", "FTobeAmount", "FItemID", +1, 2)),
             CurStock("t_OtherOutInList", "FFormID", "FNumber", +1, 3),
             Balance("t_OtherOutInForm", "T_OtherOutInList", "FNumber", "FStorehouseID", +1, 4),
             BatchOut("t_OtherOutInForm", "T_OtherOutInList", "FNumber", "FStorehouseID", +1, 4),
             Cash("t_OtherOutInForm", "FAmount", -1),
         }},
        {{3021},
         {
             CurStock("t_LossGainList", "FFormID", "FNumber", -1, 3),
             Balance("t_LossGainForm", "t_LossGainList", "FNumber", "FStorehouseID", -1, 4),
             BatchIn("t_LossGainForm", "t_LossGainList", "FTobeDiscountAmount", "FNumber", "FStorehouseID", -1, 14),
         }},
        {{3022},
         {
             CurStock("t_LossGainList", "FFormID", "FNumber", +1, 3),
             Balance("t_LossGainForm", "t_LossGainList", "FNumber", "FStorehouseID", +1, 4),
             BatchOut("t_LossGainForm", "t_LossGainList", "FNumber", "FStorehouseID", +1, 4),
         }},
        {{3025},
         {
             CurStock("t_AssemblyList", "FFormID", "FNumber", +1, 3),
             CurStock("t_AssemblyForm", "FID", "FNumber", -1, 3),
             BalanceByTable("t_AssemblyList", "FFormID", +1, 4),
             BalanceByTable("t_AssemblyForm", "FID", -1, 4),
             BatchInByTable("t_AssemblyForm", "FID", "FAmount", -1, 14),
             BatchOut("t_AssemblyForm", "t_AssemblyList", "FNumber", "FStorehouseID", +1, 4),
         }},
        {{3026},
         {
             CurStock("t_AssemblyList", "FFormID", "FNumber", -1, 3),
             CurStock("t_AssemblyForm", "FID", "FNumber", +1, 3),
             BalanceByTable("t_AssemblyList", "FFormID", -1, 4),
             BalanceByTable("t_AssemblyForm", "FID", +1, 4),
             BatchOut("t_AssemblyForm", "t_AssemblyList", "FNumber", "FStorehouseID", +1, 4),
             BatchInByTable("t_AssemblyList", "FFormID", "FTobeDiscountAmount", -1, 14),
         }},
        {{3032, 3033, 3034, 3035},
         {
             ClientTotal("t_ReceivePayForm", "FTobeAmount", "FClientID", -1, 1),
         }},
        {{3049},
         {
             Finish("t_SaleOrderList", "FProtaskFinishNumber", "t_protaskForm", "FID", "FNumber", "FFromListID", -1,
                    15),
         }},
        {{3089},
         {
             Finish("t_protasklist", "FFinishNumber", "t_outpickinglist", "FFormID", "FNumber", "FFromListID", -1, 15),
             CurStock("t_outpickinglist", "FFormID", "FNumber", +1, 3),
             Balance("t_outpickingForm", "t_outpickinglist", "FNumber", "FStorehouseID", +1, 4),
             BatchOut("t_outpickingForm", "t_outpickinglist", "FNumber", "FStorehouseID", +1, 4),
         }},
        {{3090},
         {
             // the finished goods' batch step allocates here (it released on check)
             Finish("t_protaskForm", "FFinishNumber", "t_infinishlist", "FFormID", "FNumber", "FFromBillID", -1, 15),
             CurStock("t_infinishlist", "FFormID", "FNumber", -1, 3),
             Balance("t_infinishform", "t_infinishlist", "FNumber", "FStorehouseID", -1, 4),
             BatchOut("t_infinishform", "t_infinishlist", "FNumber", "FStorehouseID", -1, 4),
             ClientPay("t_infinishform", "FPayAmount", "FClientID", -1, 11),
             ClientTotal("t_infinishform", "FAmount", "FClientID", -1, 12),
             Cash("t_infinishform", "FPayAmount", +1),
         }},
    };
    return table;
}

const std::vector<PostingStep> &stepsOf(const std::vector<BillTypeSteps> &table, int billType)
{
    static const std::vector<PostingStep> none;
    for (const BillTypeSteps &row : table) {
        for (int t : row.types) {
            if (t == billType)
                return row.steps;
        }
    }
    return none;
}

// ---------------------------------------------------------------------------

struct StepContext {
    int billType = 0;
    int billId = 0;
    QString headerTable;
    int payBillId = 0;
    std::optional<bool> otherOutInForClient;
};

bool runStep(const PostingStep &s, StepContext &ctx, const QSqlDatabase &db)
{
    const QString bill = QString::number(s.bill == StepBill::RebatePayBill ? ctx.payBillId : ctx.billId);
    switch (s.kind) {
    case StepKind::CurStock:
        return UpdateProductCurStock(s.table, s.key, bill, s.number, s.sign, QStringLiteral("FProductID"), db);
    case StepKind::LastPrice: return UpdateLastPrice(s.list, s.key, bill, s.sign, db);
    case StepKind::Balance:
        return UpdateBalance(s.table, s.list, bill, s.number, s.column, s.sign, s.key, QStringLiteral("FProductID"),
                             db);
    case StepKind::BalanceByTable:
        return UpdateBalanceByTable(s.table, s.key, bill, s.sign, s.number, QStringLiteral("FProductID"), s.column, db);
    case StepKind::BatchIn:
        return UpdateBatchNoIn(s.table, s.list, bill, s.amount, s.number, s.key, QStringLiteral("FProductID"), s.column,
                               s.sign, db);
    case StepKind::BatchInByTable:
        return UpdateBatchNoInByTable(s.table, bill, s.sign, s.amount, s.number, s.key, QStringLiteral("FProductID"),
                                      s.column, db);
    case StepKind::BatchOut:
        return UpdateBatchNoOut(ctx.billType, s.table, s.list, s.number, s.key, QStringLiteral("FProductID"), s.column,
                                s.sign, bill, db);
    case StepKind::ClientPay: return UpdateClientPayAmount(s.table, s.key, bill, s.sign, s.number, s.column, db);
    case StepKind::ClientUnPay: return UpdateClientUnPayAmount(s.table, s.key, bill, s.sign, s.number, s.column, db);
    case StepKind::ClientTotal: return UpdateClientTotalAmount(s.table, s.key, bill, s.sign, s.number, s.column, db);
    case StepKind::Cash: return UpdateCashAccount(s.table, bill, s.sign, s.key, s.column, s.number, db);
    case StepKind::CashByKind: {
        // Income (1) brings money in, expense (2) pays it out; other kinds move no cash.
        TDataSet q(db);
        if (!PostOpen(q, QStringLiteral("select FBillTypeID from t_Account where FID = ") + bill))
            return false;
        const int kind = ValueToInt(q.fieldByName(QStringLiteral("FBillTypeID")));
        if (kind == 1)
            return UpdateCashAccount(s.table, bill, s.sign, s.key, s.column, s.number, db);
        if (kind == 2)
            return UpdateCashAccount(s.table, bill, -s.sign, s.key, s.column, s.number, db);
        return true;
    }
    case StepKind::ClientPrice:
        return UpdateClientPrice(s.table, s.list, bill, s.amount, QStringLiteral("FPrice"), s.number, s.key,
                                 QStringLiteral("FProductID"), s.column, s.sign, db);
    case StepKind::Finish:
        return UpdateFinishNumber(s.table, s.column, s.list, s.key, s.sign, bill, s.number, s.link, db);
    case StepKind::RebatePayBill: return CreateReturnPayBill(ctx.billId, ctx.payBillId, db);
    case StepKind::RebateRelease: return ReleaseRebatePurchases(ctx.billId, db);
    case StepKind::RebateReadPayBill: return ReadRebatePayBill(ctx.billId, ctx.payBillId, db);
    case StepKind::RebateDeletePayBill: return DeleteRebatePayBill(ctx.payBillId, db);
    case StepKind::RebateClearLink: return ClearRebatePayBillLink(ctx.headerTable, ctx.billId, db);
    }
    return false;
}

// Whether a step runs for this bill; the bill's kind is read once per posting.
bool stepApplies(const PostingStep &s, StepContext &ctx, const QSqlDatabase &db)
{
    if (s.when == StepWhen::Always)
        return true;
    if (!ctx.otherOutInForClient)
        ctx.otherOutInForClient = OtherOutInKindCheck(ctx.billId, db);
    return *ctx.otherOutInForClient;
}

} // namespace

const std::vector<PostingStep> &CheckSteps(int billType) { return stepsOf(checkTable(), billType); }

const std::vector<PostingStep> &UnCheckSteps(int billType) { return stepsOf(unCheckTable(), billType); }

bool RunPostingSteps(const std::vector<PostingStep> &steps, int billType, int billId, const QString &headerTable,
                     int &errorCode, const QSqlDatabase &db)
{
    StepContext ctx;
    ctx.billType = billType;
    ctx.billId = billId;
    ctx.headerTable = headerTable;
    for (const PostingStep &s : steps) {
        // The step's code stands before it runs, so that an action catching a server error
        // of this step reports the step.
        const int before = errorCode;
        if (s.code != kKeepCode)
            errorCode = s.code;
        bool ok = false;
        try {
            ok = !stepApplies(s, ctx, db) || runStep(s, ctx, db);
        } catch (const DbError &) {
            throw;
        } catch (const std::exception &e) {
            // Helpers outside the step statements (the bill kind, a field read) answer by
            // exception; here they are a failed step like any other.
            try {
                WriteTextLog(QStringLiteral("过帐步骤失败：") + QString::fromUtf8(e.what()));
            } catch (...) {
            }
            ok = false;
        }
        if (!ok)
            return false;
        errorCode = before;
    }
    return true;
}

} // namespace protask
