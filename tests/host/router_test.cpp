// How the host answers the module's window messages: by calling the bill service again, or
// with a window of its own.
#include "host/host_router.h"
#include "host/main_window.h"
#include "platform/nv_dm_base.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace protask;

namespace {

// Records every call the host makes; answers is-open (1010) from `editorOpen`.
class RecordingService : public IBillInterface {
public:
    virtual ~RecordingService() = default;
    int32_t QueryInterface(const InterfaceId &, void **) override { return kNoInterface; }
    int32_t AddRef() override { return 1; }
    int32_t Release() override { return 1; }
    int32_t BillEdit(int32_t cmd, uint32_t, int32_t sheet, int32_t type, int32_t op, int32_t id, int32_t, const char *,
                     int32_t) override
    {
        calls << QStringLiteral("Edit %1 %2 op=%3 id=%4 sheet=%5").arg(cmd).arg(type).arg(op).arg(id).arg(sheet);
        return cmd == 1010 && editorOpen ? 1 : 0;
    }
    int32_t BillDisplay(int32_t id, int32_t type, int32_t op, const char *, int32_t, const char *) override
    {
        calls << QStringLiteral("Display %1 op=%2 id=%3").arg(type).arg(op).arg(id);
        return 0;
    }
    int32_t BillList(int32_t cmd, uint32_t, int32_t, int32_t type) override
    {
        calls << QStringLiteral("List %1 %2").arg(cmd).arg(type);
        return 0;
    }
    int32_t BillDetailList(int32_t, uint32_t, int32_t, int32_t, const char *) override { return 0; }
    int32_t BillCursorFocus(uint32_t, int32_t, int32_t type, const char *name) override
    {
        calls << QStringLiteral("Focus %1 %2").arg(QString::fromUtf8(name)).arg(type);
        return 0;
    }
    QStringList calls;
    bool editorOpen = false;
};

class RecordingOps : public HostWindowsOps {
public:
    void showVoucher(int id) override { calls << QStringLiteral("voucher %1").arg(id); }
    void showCompanySettings() override { calls << QStringLiteral("company"); }
    void showReportRequest(int code, const QString &p) override
    {
        calls << QStringLiteral("report %1 %2").arg(code).arg(p);
    }
    void refreshWorkArea() override { calls << QStringLiteral("work area"); }
    QStringList calls;
};

// Stand-ins for the module's two window classes: the host tells them apart by class name.
class TFBaseForm_BillList : public QWidget {
    Q_OBJECT
};
class TFBaseForm_BillBase_BillNo_Protask : public QWidget {
    Q_OBJECT
};

HostMessage message(uint msg, qintptr w, qintptr l, QWidget *sender = nullptr)
{
    HostMessage m;
    m.msg = msg;
    m.wParam = w;
    m.lParam = l;
    m.sender = sender;
    return m;
}

TEST(HostRouter, BillMessagesOpenTheEditorOrTheListOrReloadTheOpenEditor)
{
    const QString isOpen = QStringLiteral("Edit 1010 3049 op=%1 id=%2 sheet=4098; ");
    const QString focusEditor = QStringLiteral("; Focus BillEdit 3049");
    struct Case {
        uint msg;
        int lParam;
        bool editorOpen;
        QString calls;
    } cases[] = {
        // 1041: a new bill.
        {1041, 0, false, isOpen.arg(1).arg(0) + "Edit 1001 3049 op=1 id=0 sheet=4098" + focusEditor},
        {1041, 0, true, isOpen.arg(1).arg(0) + "Display 3049 op=1 id=0" + focusEditor},
        // 1036: record 15 to edit; record 0 is a new bill.
        {1036, 15, false, isOpen.arg(2).arg(15) + "Edit 1001 3049 op=2 id=15 sheet=4098" + focusEditor},
        {1036, 15, true, isOpen.arg(2).arg(15) + "Display 3049 op=2 id=15" + focusEditor},
        {1036, 0, false, isOpen.arg(1).arg(0) + "Edit 1001 3049 op=1 id=0 sheet=4098" + focusEditor},
        {1036, 0, true, isOpen.arg(1).arg(0) + "Display 3049 op=1 id=0" + focusEditor},
        // 1040: display read-only.
        {1040, 16, false, isOpen.arg(3).arg(16) + "Edit 1001 3049 op=3 id=16 sheet=4098" + focusEditor},
        {1040, 16, true, isOpen.arg(3).arg(16) + "Display 3049 op=3 id=16" + focusEditor},
        // 1037: the list.
        {1037, 0, false, QStringLiteral("List 1001 3049; Focus BillList 3049")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.calls.toStdString());
        RecordingService service;
        RecordingOps ops;
        HostRouter router(ops, 0x1001, 0x1002);
        router.setService(&service);
        service.editorOpen = c.editorOpen;
        router.route(message(c.msg, 3049, c.lParam));
        EXPECT_EQ(service.calls.join(QStringLiteral("; ")), c.calls);
        EXPECT_TRUE(ops.calls.isEmpty());
    }
}

TEST(HostRouter, HostWindowsAreAnsweredByTheHostAndCloseGoesToTheSendersWindow)
{
    RecordingService service;
    RecordingOps ops;
    HostRouter router(ops, 0x1001, 0x1002);
    router.setService(&service);
    router.route(message(1036, 3027, 88));
    router.route(message(1036, 2010, 0));
    router.route(message(1039, 0, 0));
    HostMessage report = message(74, 4009, 0);
    report.copyData = QByteArray("10;FClientID=3;FClientName=华美家具") + '\0';
    router.route(report);
    EXPECT_EQ(ops.calls,
              QStringList({QStringLiteral("voucher 88"), QStringLiteral("company"), QStringLiteral("work area"),
                           QStringLiteral("report 4009 ;FClientID=3;FClientName=华美家具")}));
    EXPECT_TRUE(service.calls.isEmpty());

    TFBaseForm_BillList list;
    TFBaseForm_BillBase_BillNo_Protask editor;
    router.route(message(1035, 3049, 0, &list));
    router.route(message(1035, 3049, 0, &editor));
    EXPECT_EQ(service.calls.join(QStringLiteral("; ")),
              QStringLiteral("List 1020 3049; Edit 1020 3049 op=0 id=0 sheet=4098"));
}

TEST(HostMainWindow, ReceivesTheModulesMessagesThroughItsHandle)
{
    HostMainWindow window;
    RecordingService service;
    window.router().setService(&service);
    EXPECT_EQ(nvDMBase::instance().mainHandle, window.mainHandle());
    SendMessage(window.mainHandle(), HostMsg::OpenBillList, 3049, 0);
    EXPECT_EQ(service.calls.value(0), QStringLiteral("List 1001 3049"));
    window.router().setService(nullptr);
}

} // namespace

#include "router_test.moc"
