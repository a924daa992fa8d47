#include "core/bill_types.h"
#include "host/host_config.h"
#include "host/host_dialogs.h"
#include "host/main_window.h"
#include "platform/forms/message_box_prompter.h"
#include "platform/nv_dm_base.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QDir>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>

#include <cstdio>

using namespace protask;

namespace {

QString localAddress()
{
    for (const QHostAddress &a : QNetworkInterface::allAddresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            return a.toString();
    }
    return QStringLiteral("127.0.0.1");
}

int failWith(const QString &text)
{
    std::fprintf(stderr, "protask-host: %s\n", text.toLocal8Bit().constData());
    return 1;
}

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("进销存管理系统"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROTASK_VERSION));
}

} // namespace

int main(int argc, char **argv)
{
    // --help and --version answer before the GUI application exists: it needs a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const HostRequest request = HostCommandLineRequest(arguments); request != HostRequest::Run) {
        QCoreApplication core(argc, argv); // names the program in the usage line
        nameApplication();
        const QString text = request == HostRequest::Help ? HostHelpText()
                                                          : QCoreApplication::applicationName() + QLatin1Char(' ')
                + QCoreApplication::applicationVersion() + QLatin1Char('\n');
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    UseMessageBoxes();
    nameApplication();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString appDir = QCoreApplication::applicationDirPath();

    HostConfig config;
    try {
        config = ParseHostConfig(QCoreApplication::arguments(), appDir);
        QDir().mkpath(config.home);
        SeedProgramFolder(appDir + QStringLiteral("/resources"));
        PreparePrivateServer(config, appDir);
    } catch (const std::exception &e) {
        return failWith(QString::fromLocal8Bit(e.what()));
    }

    nvDMBase &dm = nvDMBase::instance();
    try {
        dm.connect(config.db);
        LoadHostSwitches(dm);
    } catch (const DbError &e) {
        return failWith(QStringLiteral("cannot use the database: ") + e.message());
    }
    dm.hostName = QHostInfo::localHostName();
    dm.ipAddress = localAddress();

    if (!config.signInUser.isEmpty()) {
        if (!FindUser(config.signInUser, dm.userId, dm.userName))
            return failWith(QStringLiteral("no user %1 in t_comUser").arg(config.signInUser));
    } else {
        SignInDialog signIn;
        if (signIn.exec() != QDialog::Accepted)
            return 0;
        dm.userId = signIn.userId();
        dm.userName = signIn.userName();
    }

    HostMainWindow window;
    const QString where = config.usePrivateServer
        ? QStringLiteral("%1 (私有服务器 %2)").arg(config.db.database, config.home)
        : QStringLiteral("%1@%2").arg(config.db.database,
                                      config.db.socket.isEmpty() ? config.db.host : config.db.socket);
    window.setStatus(dm.userName, where);
    window.show();
    if (!window.loadModule(config.pluginPath))
        return config.screenshotFile.isEmpty() ? app.exec() : 1;

    for (const QString &w : config.openAtStart) {
        if (w == QLatin1String("list"))
            window.router().openBillList(BillType::ProTask);
        else if (w == QLatin1String("new"))
            window.router().openNewBill(BillType::ProTask);
    }

    if (!config.screenshotFile.isEmpty()) {
        const QString file = config.screenshotFile;
        QTimer::singleShot(1500, &window, [&window, file]() {
            const bool ok = window.grab().save(file, "PNG");
            std::fprintf(stderr, "protask-host: screenshot %s %s\n", file.toLocal8Bit().constData(),
                         ok ? "saved" : "failed");
            QCoreApplication::exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
