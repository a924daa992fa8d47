#include "controls/help.h"

#include "platform/host_messages.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace protask {

namespace {

QPointer<THelpViewer> g_viewer;

THelpViewer *helpViewer()
{
    if (!g_viewer) {
        // A window of its own, so that help stays open beside the form that asked for it. It
        // lives until the application quits.
        g_viewer = new THelpViewer;
        if (auto *app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, g_viewer.data(), [] { delete g_viewer.data(); });
    }
    return g_viewer;
}

} // namespace

QString HelpPagePath(const QString &topic)
{
    return ProgramPath(QStringLiteral("help/") + topic.trimmed() + QStringLiteral(".htm"));
}

bool ShowHelpTopic(const QString &topic)
{
    const QString path = HelpPagePath(topic);
    if (topic.trimmed().isEmpty() || !QFileInfo(path).isFile()) {
        Prompter::current().information(QStringLiteral("没有找到对应的帮助文档"));
        return false;
    }
    helpViewer()->showPage(path);
    return true;
}

THelpViewer::THelpViewer(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("帮助"));
    setModal(false);
    setSizeGripEnabled(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_browser = new QTextBrowser(this);
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);
    layout->addWidget(m_browser);
    resize(820, 640);
}

void THelpViewer::showPage(const QString &path)
{
    m_browser->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
    show();
    raise();
    activateWindow();
}

THelpViewer *CurrentHelpViewer() { return g_viewer; }

void DelayWithMessages(int milliseconds)
{
    if (milliseconds <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void SendCopyData(quint32 window, int code, const QString &text, int prefixNumber)
{
    SendCopyDataMessage(window, code, text, prefixNumber);
}

} // namespace protask
