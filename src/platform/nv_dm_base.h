#pragma once

#include "platform/db.h"
#include "platform/platform_export.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

namespace protask {

// The company switches the host reads from t_comparameters when it signs a user in
// (the parameter names are listed in the host's parameter table and the README).
struct HostSwitches {
    bool checkWorkflow = false;  // bills are checked in a separate step
    bool checkOnSave = false;    // with the check workflow on, saving also checks
    int rightsSwitch = 0;        // rights are tested when non-zero (and the workflow is on)
    bool taxSwitch = false;      // tax columns and the tax step of the line rules
    double defaultTaxRate = 0.0; // percent
    bool bluePriceMarkingOff = false;
    bool priceVariationHintOff = false;
    bool forbidNegativeStock = false;
    bool askOnNegativeStock = false;
    bool forbidNegativeBatchStock = false;
    bool warnNegativeBatchStock = false;
};

// Filled by the common lookup dialogs; cleared before each call.
struct LookupResult {
    int value = 0;
    QString text1;
    QString text2;
    QString text3;
    void clear()
    {
        value = 0;
        text1.clear();
        text2.clear();
        text3.clear();
    }
};

struct WorkArea {
    int left = 0;
    int top = 0;
    int height = 0;
    int width = 0;
};

// The host's data module: the one database connection with its shared query, the
// signed-in user, the host's switches and the values the module's windows exchange
// with the host. There is exactly one, in the platform library.
class PROTASK_PLATFORM_EXPORT nvDMBase {
public:
    static nvDMBase &instance();

    // Opens the connection (closing an earlier one) and points the shared query at it.
    void connect(const ConnectionSettings &settings);
    // Opens the same connection again (after a lost connection); every handle copy follows.
    void reconnect();
    // Reopens a connection that the server dropped while it was idle, before the next
    // action runs; true when it had to. Throws DbError when the server cannot be reached.
    bool ensureConnected();
    // Run at the start of every user action that begins outside a transaction (service
    // entry points, form actions, host dialogs): a connection dropped by the server's idle
    // timeout or a restart is opened again once, with the session settings pinned again.
    // Inside a transaction nothing is reopened (half a transaction is never replayed).
    // False, after telling the user, when the server cannot be reached.
    bool prepareAction();
    void disconnect();
    bool isConnected() const;
    QSqlDatabase connection() const { return m_db; }
    const ConnectionSettings &connectionSettings() const { return m_settings; }
    // The shared query on the connection.
    TDataSet &sharedQuery() { return m_sharedQuery; }

    // Signed-in user
    int userId = 0;
    QString userName;
    QString hostName;
    QString ipAddress;

    LookupResult lookup;
    WorkArea workArea;
    quint32 mainHandle = 0;
    QDate lastClosingDate;
    HostSwitches switches;

private:
    nvDMBase();
    QSqlDatabase m_db;
    ConnectionSettings m_settings;
    TDataSet m_sharedQuery;
};

} // namespace protask
