#include "host/host_router.h"
#include "host/main_window.h"
#include "platform/nv_dm_base.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace protask;

namespace {

// Records every call the host makes; answers is-open from `editorOpen`.
class RecordingService : public IBillInterface {
public:
    virtual ~RecordingService() = default;
    int32_t QueryInterface(const InterfaceId &, void **) override { return kNoInterface; }
    int32_t AddRef() override { return 1; }
    int32_t Release() override { return 1; }
    int32_t BillEdit(int32_t cmd, uint32_t, int32_t sheet, int32_t type, int32_t op, int32_t id, int32_t, const char *, int32_t) override
    {
        calls << QStringLiteral("BillEdit %1 type=%2 op=%3 id=%4 sheet=%5").arg(cmd).arg(type).arg(op).arg(id).arg(sheet);
        return cmd == 1010 ? (editorOpen ? 1 : 0) : 0;
    }
    int32_t BillDisplay(int32_t id, int32_t type, int32_t op, const char *, int32_t, const char *) override
    {
        calls << QStringLiteral("BillDisplay id=%1 type=%2 op=%3").arg(id).arg(type).arg(op);
        return 0;
    }
    int32_t BillList(int32_t cmd, uint32_t, int32_t, int32_t type) override
    {
        calls << QStringLiteral("BillList %1 type=%2").arg(cmd).arg(type);
        return 0;
    }
    int32_t BillDetailList(int32_t, uint32_t, int32_t, int32_t, const char *) override { return 0; }
    int32_t BillCursorFocus(uint32_t, int32_t, int32_t type, const char *name) override
    {
        calls << QStringLiteral("Focus %1 type=%2").arg(QString::fromUtf8(name)).arg(type);
        return 0;
    }
    QStringList calls;
    bool editorOpen = false;
};

class RecordingOps : public HostWindowsOps {
public:
    void showVoucher(int id) override { calls << QStringLiteral("voucher %1").arg(id); }
    void showCompanySettings() override { calls << QStringLiteral("company"); }
    void showReportRequest(int code, const QString &p) override { calls << QStringLiteral("report %1 %2").arg(code).arg(p); }
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

class RouterTest : public ::testing::Test {
protected:
    RouterTest() : router(ops, 0x1001, 0x1002) { router.setService(&service); }
    RecordingService service;
    RecordingOps ops;
    HostRouter router;
};

TEST_F(RouterTest, NewBillOpensTheEditorOrReloadsTheOpenOne)
{
    router.route(message(1041, 3049, 0));
    EXPECT_EQ(service.calls, QStringList({QStringLiteral("BillEdit 1010 type=3049 op=1 id=0 sheet=4098"),
                                          QStringLiteral("BillEdit 1001 type=3049 op=1 id=0 sheet=4098"),
                                          QStringLiteral("Focus BillEdit type=3049")}));
    service.calls.clear();
    service.editorOpen = true;
    router.route(message(1041, 3049, 0));
    EXPECT_TRUE(service.calls.contains(QStringLiteral("BillDisplay id=0 type=3049 op=1")));
    EXPECT_FALSE(service.calls.contains(QStringLiteral("BillEdit 1001 type=3049 op=1 id=0 sheet=4098")));
}

TEST_F(RouterTest, OpenAndDisplayMessagesOpenTheBill)
{
    router.route(message(1036, 3049, 15));
    EXPECT_TRUE(service.calls.contains(QStringLiteral("BillEdit 1001 type=3049 op=2 id=15 sheet=4098")));
    service.calls.clear();
    service.editorOpen = true;
    router.route(message(1040, 3049, 16));
    EXPECT_TRUE(service.calls.contains(QStringLiteral("BillDisplay id=16 type=3049 op=3")));
}

TEST_F(RouterTest, HostWindowsAreAnsweredByTheHost)
{
    router.route(message(1036, 3027, 88));
    router.route(message(1036, 2010, 0));
    router.route(message(1039, 0, 0));
    HostMessage report = message(74, 4009, 0);
    report.copyData = QByteArray("10;FClientID=3;FClientName=华美家具") + '\0';
    router.route(report);
    EXPECT_EQ(ops.calls, QStringList({QStringLiteral("voucher 88"), QStringLiteral("company"), QStringLiteral("work area"),
                                      QStringLiteral("report 4009 ;FClientID=3;FClientName=华美家具")}));
    EXPECT_TRUE(service.calls.isEmpty());
}

TEST_F(RouterTest, ListMessageOpensAndFocusesTheList)
{
    router.route(message(1037, 3049, 0));
    EXPECT_EQ(service.calls, QStringList({QStringLiteral("BillList 1001 type=3049"), QStringLiteral("Focus BillList type=3049")}));
}

TEST_F(RouterTest, CloseMessageClosesTheWindowThatSentIt)
{
    TFBaseForm_BillList list;
    TFBaseForm_BillBase_BillNo_Protask editor;
    router.route(message(1035, 3049, 0, &list));
    router.route(message(1035, 3049, 0, &editor));
    EXPECT_EQ(service.calls, QStringList({QStringLiteral("BillList 1020 type=3049"),
                                          QStringLiteral("BillEdit 1020 type=3049 op=0 id=0 sheet=4098")}));
}

TEST(HostMainWindow, ReceivesTheModulesMessagesThroughItsHandle)
{
    HostMainWindow window;
    RecordingService service;
    window.router().setService(&service);
    EXPECT_EQ(nvDMBase::instance().mainHandle, window.mainHandle());
    SendMessage(window.mainHandle(), HostMsg::OpenBillList, 3049, 0);
    EXPECT_EQ(service.calls.value(0), QStringLiteral("BillList 1001 type=3049"));
    window.router().setService(nullptr);
}

} // namespace

#include "router_test.moc"
