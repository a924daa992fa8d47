// How the host answers the module's window messages: by calling the bill service again, or
// with a window of its own.
#include "host/host_router.h"
#include "host/main_window.h"
#include "platform/nv_dm_base.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace protask;
using namespace Qt::StringLiterals;

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
        calls << u"Edit %1 %2 op=%3 id=%4 sheet=%5"_s.arg(cmd).arg(type).arg(op).arg(id).arg(sheet);
        return cmd == 1010 && editorOpen ? 1 : 0;
    }
    int32_t BillDisplay(int32_t id, int32_t type, int32_t op, const char *, int32_t, const char *) override
    {
        calls << u"Display %1 op=%2 id=%3"_s.arg(type).arg(op).arg(id);
        return 0;
    }
    int32_t BillList(int32_t cmd, uint32_t, int32_t, int32_t type) override
    {
        calls << u"List %1 %2"_s.arg(cmd).arg(type);
        return 0;
    }
    int32_t BillDetailList(int32_t, uint32_t, int32_t, int32_t, const char *) override { return 0; }
    int32_t BillCursorFocus(uint32_t, int32_t, int32_t type, const char *name) override
    {
        calls << u"Focus %1 %2"_s.arg(QString::fromUtf8(name)).arg(type);
        return 0;
    }
    QStringList calls;
    bool editorOpen = false;
};

class RecordingOps : public HostWindowsOps {
public:
    void showVoucher(int id) override { calls << u"voucher %1"_s.arg(id); }
    void showCompanySettings() override { calls << u"company"_s; }
    void showReportRequest(int code, const QString &p) override { calls << u"report %1 %2"_s.arg(code).arg(p); }
    void refreshWorkArea() override { calls << u"work area"_s; }
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
    const QString isOpen = u"Edit 1010 3049 op=%1 id=%2 sheet=4098; "_s;
    const QString focusEditor = u"; Focus BillEdit 3049"_s;
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
        {1036, 0, true, isOpen.arg(1).arg(0) + "Display 3049 op=1 id=0" + focusEditor},
        // 1040: display read-only.
        {1040, 16, false, isOpen.arg(3).arg(16) + "Edit 1001 3049 op=3 id=16 sheet=4098" + focusEditor},
        // 1037: the list.
        {1037, 0, false, u"List 1001 3049; Focus BillList 3049"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.calls.toStdString());
        RecordingService service;
        RecordingOps ops;
        HostRouter router(ops, 0x1001, 0x1002);
        router.setService(&service);
        service.editorOpen = c.editorOpen;
        router.route(message(c.msg, 3049, c.lParam));
        EXPECT_EQ(service.calls.join(u"; "_s), c.calls);
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
              QStringList(
                  {u"voucher 88"_s, u"company"_s, u"work area"_s, u"report 4009 ;FClientID=3;FClientName=华美家具"_s}));
    EXPECT_TRUE(service.calls.isEmpty());

    TFBaseForm_BillList list;
    TFBaseForm_BillBase_BillNo_Protask editor;
    router.route(message(1035, 3049, 0, &list));
    router.route(message(1035, 3049, 0, &editor));
    EXPECT_EQ(service.calls.join(u"; "_s), u"List 1020 3049; Edit 1020 3049 op=0 id=0 sheet=4098"_s);
}

} // namespace

#include "router_test.moc"
