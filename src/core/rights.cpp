#include "core/rights.h"

#include "core/values.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"

#include <initializer_list>

namespace protask {

namespace {

struct RightPrefix {
    std::initializer_list<int> codes;
    const char *prefix;
};

// Window codes and their right prefixes; the spelling and case are the suite's own.
const RightPrefix kRightPrefixes[] = {
    // master data
    {{2000}, "Com.User"},
    {{2001}, "Com.Unit"},
    {{2003, 2013}, "Com.Product"},
    {{2004}, "Com.Customer"},
    {{2005}, "Com.Supplier"},
    {{2006}, "Com.Employee"},
    {{2007}, "Com.Storehouse"},
    {{2008}, "Com.Item"},
    {{2009}, "Com.Stockbalance"},
    {{2010}, "Com.company"},
    {{2014}, "Com.Dept"},
    {{2015}, "Com.Cash"},
    {{2016}, "Com.VipGroup"},
    {{2017}, "Com.Vip"},
    {{2019}, "Com.initbalance"},
    {{2024}, "Com.cashAdjust"},
    {{2025}, "Com.syspara"},
    // bills
    {{3001}, "Bill.PurOrder"},
    {{3002, 3015}, "Bill.InPurchase"},
    {{3003}, "Bill.SaleOrder"},
    {{3004, 3016}, "Bill.SaleOut"},
    {{3005}, "Bill.SalePos"},
    {{3006}, "Bill.SaleFor"},
    {{3007, 3013, 3041}, "Bill.Receive"},
    {{3008, 3012, 3042}, "Bill.Pay"},
    {{3010}, "Bill.Fee"},
    {{3011}, "Bill.Inventory"},
    {{3014}, "Bill.Account"},
    {{3017}, "Bill.Return"},
    {{3018}, "Bill.Transfer"},
    {{3019}, "Bill.OtherInStock"},
    {{3020}, "Bill.OtherOutStock"},
    {{3021}, "Bill.InGain"},
    {{3022}, "Bill.OutLoss"},
    {{3025}, "Bill.Assembly"},
    {{3026}, "Bill.DisAssembly"},
    {{3030}, "Bill.period"},
    {{3032}, "Bill.OtherTobePay"},
    {{3034}, "Bill.OtherTobeReceive"},
    {{3043}, "Bill.ADCost"},
    {{3049}, "Bill.Protask"},
    {{3089}, "Bill.Outpicking"},
    {{3090}, "Bill.Infinish"},
    // reports
    {{4001}, "Report.SaleTotal"},
    {{4002}, "Report.CustomerSaleTotal"},
    {{4003}, "Report.SupplierPurTotal"},
    {{4004}, "Report.SupplierPurList"},
    {{4005}, "Report.CustomerSaleList"},
    {{4006}, "Report.PayTotal"},
    {{4007}, "Report.ReceiveTotal"},
    {{4008}, "Report.PayList"},
    {{4009}, "Report.Receivelist"},
    {{4010}, "Report.PInOutTotal"},
    {{4011}, "Report.PInOutList"},
    {{4012}, "Report.SaleTop"},
    {{4013}, "Report.SaleCompare"},
    {{4014}, "Report.SaleOrderTotal"},
    {{4015}, "Report.PurOrderTotal"},
    {{4016}, "Report.PurOrderList"},
    {{4017}, "Report.SaleOrderList"},
    {{4018}, "Report.SaleProfitTotal"},
    {{4019}, "Report.StockWarn"},
    {{4020}, "Report.PurOrderWarn"},
    {{4021}, "Report.SaleOrderWarn"},
    {{4026}, "Report.SysLog"},
    {{4030}, "Report.PosTotal"},
    {{4031}, "Report.PosList"},
    {{4032}, "Report.PInOutFormList"},
    {{4033}, "Report.cashList"},
    {{4034}, "Report.PeriodWarn"},
    {{4045}, "Report.PickoutList"},
    {{4047}, "Report.PickoutTotal"},
    {{4048}, "Report.ProtaskList"},
    {{4049}, "Report.ProtaskTotal"},
    {{4050}, "Report.InfinishList"},
    {{4051}, "Report.InfinishTotal"},
};

struct RightSuffix {
    int code;
    const char *suffix;
};

const RightSuffix kRightSuffixes[] = {
    {1, ".Add"}, {3, ".Check"}, {4, ".UnCheck"},    {5, ".Edit"},      {6, ".Display"},
    {7, ".Del"}, {8, ".Print"}, {10, ".ExportOut"}, {11, ".ExportIn"},
};

bool rightsApply()
{
    const HostSwitches &s = nvDMBase::instance().switches;
    return s.checkWorkflow && s.rightsSwitch != 0;
}

} // namespace

QString GetRightPrefix(int windowCode)
{
    for (const RightPrefix &p : kRightPrefixes) {
        for (int code : p.codes) {
            if (code == windowCode)
                return QString::fromLatin1(p.prefix);
        }
    }
    return QString();
}

QString GetRightSuffix(int operationCode)
{
    for (const RightSuffix &s : kRightSuffixes) {
        if (s.code == operationCode)
            return QString::fromLatin1(s.suffix);
    }
    return QString();
}

int GetUserRightType(const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select * from t_comUser where FID = ") + QString::number(nvDMBase::instance().userId));
    if (q.isEmpty())
        return -1;
    return ValueToInt(q.fieldByName(QStringLiteral("FRightType")));
}

bool HasRight(const QString &name, const QSqlDatabase &db)
{
    const QString right = name.trimmed();
    if (right.isEmpty())
        return false;
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral("select * from t_comUserRight T1 left join t_comRight T2 on T1.FRightID = T2.FID  where "
                             "T1.FUserID = ")
                  + QString::number(nvDMBase::instance().userId) + QStringLiteral(" and T2.Fvalue = ")
                  + QuotedStr(right, db));
    return !q.isEmpty();
}

bool CheckWindowRight(int windowCode, const QSqlDatabase &db)
{
    if (!rightsApply())
        return true;
    const QString prefix = GetRightPrefix(windowCode);
    if (prefix.isEmpty())
        return true;
    if (GetUserRightType(db) != 1)
        return true;
    if (HasRight(prefix, db))
        return true;
    Prompter::current().information(QStringLiteral("您未被授权"));
    return false;
}

bool CheckOperationRight(int windowCode, int operationCode, const QSqlDatabase &db)
{
    if (!rightsApply())
        return true;
    const QString prefix = GetRightPrefix(windowCode);
    if (prefix.isEmpty())
        return true;
    return HasRight(prefix + GetRightSuffix(operationCode), db);
}

} // namespace protask
