#include "platform/nv_dm_base.h"

#include "platform/prompter.h"

namespace protask {

nvDMBase::nvDMBase() = default;

nvDMBase &nvDMBase::instance()
{
    static nvDMBase dm;
    return dm;
}

void nvDMBase::connect(const ConnectionSettings &settings)
{
    m_sharedQuery.close();
    m_settings = settings;
    m_db = openConnection(settings);
    m_sharedQuery.setDatabase(m_db);
}

void nvDMBase::reconnect()
{
    m_sharedQuery.close();
    if (m_db.isValid())
        reopenConnection(m_db);
    else
        connect(m_settings);
}

bool nvDMBase::ensureConnected()
{
    if (connectionAlive(m_db))
        return false;
    reconnect();
    return true;
}

bool nvDMBase::prepareAction()
{
    if (!m_db.isValid() || transactionOpen(m_db))
        return true;
    try {
        ensureConnected();
        return true;
    } catch (const DbError &e) {
        Prompter::current().error(QStringLiteral("无法连接数据库，请检查数据库服务是否正常。\n") + e.serverText());
        return false;
    }
}

void nvDMBase::disconnect()
{
    m_sharedQuery.close();
    m_sharedQuery.setDatabase(QSqlDatabase());
    const QString name = m_db.connectionName();
    if (m_db.isOpen())
        m_db.close();
    m_db = QSqlDatabase();
    if (!name.isEmpty())
        QSqlDatabase::removeDatabase(name);
}

bool nvDMBase::isConnected() const { return m_db.isValid() && m_db.isOpen(); }

} // namespace protask
