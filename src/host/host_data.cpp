#include "host/host_data.h"

#include "host/host_config.h"
#include "platform/db.h"

namespace protask {

QList<std::pair<int, QString>> ListUsers(const QSqlDatabase &db)
{
    QList<std::pair<int, QString>> users;
    TDataSet q(db);
    q.open(QStringLiteral("select FID, FName from t_comUser order by FID"));
    for (q.first(); !q.eof(); q.next())
        users.append({q.fieldByName(QStringLiteral("FID")).toInt(), q.fieldByName(QStringLiteral("FName")).toString()});
    return users;
}

CompanyInfo ReadCompany(const QSqlDatabase &db)
{
    CompanyInfo c;
    TDataSet q(db);
    q.open(QStringLiteral("select * from t_comCompany "));
    if (q.isEmpty())
        return c;
    c.name = q.fieldByName(QStringLiteral("FName")).toString();
    c.address = q.fieldByName(QStringLiteral("FAddress")).toString();
    c.tel = q.fieldByName(QStringLiteral("FTel")).toString();
    c.numberDecimals = q.fieldByName(QStringLiteral("FNumberDecimal")).toInt();
    c.priceDecimals = q.fieldByName(QStringLiteral("FPriceDecimal")).toInt();
    return c;
}

void SaveCompanyAndSwitches(const CompanyInfo &company, const HostSwitches &switches, const QSqlDatabase &db)
{
    TransactionGuard tx(db);
    TDataSet q(db);
    q.open(QStringLiteral("select FID from t_comCompany order by FID limit 1"));
    const QString values =
        QStringLiteral("FName = %1, FAddress = %2, FTel = %3, FNumberDecimal = %4, FPriceDecimal = %5")
            .arg(sqlQuoted(company.name.trimmed(), db), sqlQuoted(company.address.trimmed(), db),
                 sqlQuoted(company.tel.trimmed(), db), QString::number(company.numberDecimals),
                 QString::number(company.priceDecimals));
    if (q.isEmpty())
        q.exec(QStringLiteral("insert into t_comCompany set FID = 1, ") + values);
    else
        q.exec(QStringLiteral("update t_comCompany set ") + values + QStringLiteral(" where FID = ")
               + q.fieldByName(QStringLiteral("FID")).toString());
    SaveHostSwitches(switches);
    tx.commit();
}

VoucherView ReadVoucher(int voucherId, const QSqlDatabase &db)
{
    VoucherView v;
    TDataSet head(db);
    head.open(QStringLiteral("select FID, FDate, FYear, FPeriod, FNumber, FFromBillNo, FDebitAmount, FCreditAmount "
                             "from t_VoucherForm where FID = ")
              + QString::number(voucherId));
    if (head.isEmpty())
        return v;
    v.found = true;
    v.number = head.fieldByName(QStringLiteral("FNumber")).toString();
    v.date = head.fieldByName(QStringLiteral("FDate")).toDate().toString(QStringLiteral("yyyy-MM-dd"));
    v.year = head.fieldByName(QStringLiteral("FYear")).toString();
    v.period = head.fieldByName(QStringLiteral("FPeriod")).toString();
    v.fromBillNo = head.fieldByName(QStringLiteral("FFromBillNo")).toString();
    TDataSet lines(db);
    lines.open(QStringLiteral(
                   "select FSID, FNote, FAccountID, FDebitAmount, FCreditAmount from t_voucherList where FFormID = ")
               + QString::number(voucherId) + QStringLiteral(" order by FSID"));
    for (int r = 0; r < lines.recordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 5; ++c)
            cells << lines.value(r, c).toString();
        v.lines.append(cells);
    }
    return v;
}

} // namespace protask
