#include "plugin/protack_service.h"

#include "platform/forms/message_box_prompter.h"

#include "billedit/protask_form.h"
#include "billlist/bill_list_form.h"
#include "platform/boundary.h"
#include "platform/db.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"

#include <QCoreApplication>
#include <QPointer>

namespace protask {

namespace {

// The two module-wide slots. Only the close operations empty them.
QPointer<TFBaseForm_BillBase_BillNo_Protask> g_editor;
QPointer<TFBaseForm_BillList> g_list;

QString fromUtf8(const char *text) { return text ? QString::fromUtf8(text) : QString(); }

// Answers of an operation that did not do its work: an open, display or focus that
// failed answers as if nothing happened; a close that failed says the window stays.
constexpr int32_t kFailed = 0;
constexpr int32_t kNotClosed = 1;

// Every operation that reads or writes the database first reopens a connection that the
// server dropped while the workstation was idle (and says so when it cannot).
bool databaseReady() { return nvDMBase::instance().prepareAction(); }

bool isNull(const InterfaceId &iid)
{
    if (iid.data1 || iid.data2 || iid.data3)
        return false;
    for (uint8_t b : iid.data4)
        if (b)
            return false;
    return true;
}

// The identifier of the standard reference-counting interface.
bool isUnknown(const InterfaceId &iid)
{
    static const uint8_t tail[8] = {0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    if (iid.data1 || iid.data2 || iid.data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (iid.data4[i] != tail[i])
            return false;
    return true;
}

} // namespace

TProtackService::TProtackService() { AfterConstruction(); }

int32_t TProtackService::QueryInterface(const InterfaceId &iid, void **object)
{
    if (isNull(iid) || isUnknown(iid)) {
        if (object) {
            *object = static_cast<IBillInterface *>(this);
            AddRef();
        }
        return 0;
    }
    if (object)
        *object = nullptr;
    return kNoInterface;
}

int32_t TProtackService::AddRef() { return AddRefImpl(); }

int32_t TProtackService::Release() { return ReleaseImpl(); }

int32_t TProtackService::BillEdit(int32_t CmdIndex, uint32_t MainHandle, int32_t SheelHandle, int32_t BillTypeID,
                                  int32_t OperationTypeID, int32_t BillID, int32_t ParamTypeID, const char *ParamValue,
                                  int32_t ListID)
{
    Q_UNUSED(ListID);
    if (BillTypeID != kProtaskBillType)
        return 0;
    // Only a close can fail in a way the host must know: the window stays open then.
    return GuardedAtBoundary(CmdIndex == BillCmd::Close ? kNotClosed : kFailed, [&]() -> int32_t {
        switch (CmdIndex) {
        case BillCmd::Open: {
            if (g_editor)
                return 0;
            if (!databaseReady())
                return kFailed;
            auto *form = new TFBaseForm_BillBase_BillNo_Protask(QCoreApplication::instance(), SheelHandle);
            form->FBillTypeID = BillTypeID;
            form->FBillStatusID = OperationTypeID;
            form->FMainHandle = MainHandle;
            form->FBillID = BillID;
            form->FParamTypeID = ParamTypeID;
            form->FParamValue = fromUtf8(ParamValue);
            g_editor = form;
            form->showForm();
            return 0;
        }
        case BillCmd::IsOpen: return g_editor ? 1 : 0;
        case BillCmd::Close: {
            // The slot is emptied only once the window went; a refusal, or an exception
            // anywhere in here, leaves both.
            if (!g_editor)
                return 0;
            if (g_editor->FSave && !Prompter::current().askYesNo(QStringLiteral("数据未保存,是否确认要关闭吗?")))
                return kNotClosed;
            if (!g_editor->lsClose())
                return kNotClosed;
            g_editor = nullptr;
            return 0;
        }
        case BillCmd::IsModified: return (g_editor && g_editor->FSave) ? 1 : 0;
        default: return 0;
        }
    });
}

int32_t TProtackService::BillDisplay(int32_t BillID, int32_t BillTypeID, int32_t OperationTypeID, const char *InFilter,
                                     int32_t ParamTypeID, const char *ParamValue)
{
    Q_UNUSED(OperationTypeID);
    Q_UNUSED(InFilter);
    if (BillTypeID != kProtaskBillType || !g_editor)
        return 0;
    return GuardedAtBoundary(kFailed, [&]() -> int32_t {
        if (!databaseReady())
            return kFailed;
        if (g_editor->FSave && !Prompter::current().askYesNo(QStringLiteral("数据未保存,确认不保存数据吗?")))
            return 0;
        g_editor->FBillID = BillID;
        g_editor->FBillTypeID = BillTypeID;
        g_editor->FParamTypeID = ParamTypeID;
        g_editor->FParamValue = fromUtf8(ParamValue);
        g_editor->FBillStatusID = BillID == 0 ? 1 : 2;
        g_editor->ForceLoadData();
        return 0;
    });
}

int32_t TProtackService::BillList(int32_t FormType, uint32_t MainHandle, int32_t SheelHandle, int32_t BillTypeID)
{
    return GuardedAtBoundary(FormType == BillCmd::Close ? kNotClosed : kFailed, [&]() -> int32_t {
        switch (FormType) {
        case BillCmd::Open: {
            if (g_list)
                return 0;
            if (!databaseReady())
                return kFailed;
            auto *form = new TFBaseForm_BillList(QCoreApplication::instance(), SheelHandle);
            form->FBillTypeID = BillTypeID;
            form->FMainHandle = MainHandle;
            g_list = form;
            form->showForm();
            return 0;
        }
        case BillCmd::IsOpen: return g_list ? 1 : 0;
        case BillCmd::Close:
            if (!g_list)
                return 0;
            if (!g_list->lsClose())
                return kNotClosed;
            g_list = nullptr;
            return 0;
        default: return 0;
        }
    });
}

int32_t TProtackService::BillDetailList(int32_t, uint32_t, int32_t, int32_t, const char *)
{
    return 0; // this module offers no detail list
}

int32_t TProtackService::BillCursorFocus(uint32_t MainHandle, int32_t SheelHandle, int32_t BillTypeID,
                                         const char *BillGridTypeID)
{
    Q_UNUSED(MainHandle);
    Q_UNUSED(SheelHandle);
    const QString name = fromUtf8(BillGridTypeID);
    return GuardedAtBoundary(kFailed, [&]() -> int32_t {
        if (name.compare(QLatin1String("BillList"), Qt::CaseInsensitive) == 0) {
            if (g_list)
                g_list->SetCursorFocus();
        } else if (name.compare(QLatin1String("BillEdit"), Qt::CaseInsensitive) == 0) {
            if (BillTypeID == kProtaskBillType && g_editor)
                g_editor->bringToFront();
        }
        return 0;
    });
}

} // namespace protask

extern "C" __attribute__((visibility("default"))) protask::IBillInterface *GetBillInts()
{
    // The module's questions and refusals are message boxes in the host's windows.
    protask::UseMessageBoxes();
    auto *service = new protask::TProtackService();
    service->AddRef(); // the caller receives the only reference
    return service;
}
