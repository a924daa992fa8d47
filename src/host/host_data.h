#pragma once

#include "core/sign_in.h"
#include "platform/nv_dm_base.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <utility>

namespace protask {

// What the host's dialogs read and write, as plain functions over the connection. Server
// errors are thrown as DbError; the dialogs show them.

// Users of t_comUser by ID: (FID, FName).
QList<std::pair<int, QString>> ListUsers(const QSqlDatabase &db);

struct CompanyInfo {
    QString name;
    QString address;
    QString tel;
    int numberDecimals = 2;
    int priceDecimals = 2;
};
// The company row (defaults when there is none).
CompanyInfo ReadCompany(const QSqlDatabase &db);
// Writes the company row (the first one, or row 1 when there is none) and the switches' rows
// of t_comparameters in one transaction.
void SaveCompanyAndSwitches(const CompanyInfo &company, const HostSwitches &switches, const QSqlDatabase &db);

struct VoucherView {
    bool found = false;
    QString number;
    QString date; // yyyy-MM-dd
    QString year;
    QString period;
    QString fromBillNo;
    QList<QStringList> lines; // line number, note, account, debit, credit
};
VoucherView ReadVoucher(int voucherId, const QSqlDatabase &db);

} // namespace protask
