#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace protask {

// The help pages are HTML files in the help/ folder of the program folder, one per topic,
// named after the window they explain ("生产任务单.htm", "生产任务单列表.htm").
QString HelpPagePath(const QString &topic);

// Opens the page of the trimmed topic in the help viewer; when there is no such page, shows
// "没有找到对应的帮助文档" and answers false.
bool ShowHelpTopic(const QString &topic);

// The help window: non-modal, one for the whole program, reused by every help request.
class THelpViewer : public QDialog {
    Q_OBJECT
public:
    explicit THelpViewer(QWidget *parent = nullptr);
    void showPage(const QString &path);
    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser = nullptr;
};

// The viewer once a page was opened; nullptr before.
THelpViewer *CurrentHelpViewer();

// Waits the given time while the event loop goes on (timers, painting, posted messages).
void DelayWithMessages(int milliseconds);

// Sends the copy-data message (74) to a window: the number as decimal text followed by the text.
void SendCopyData(quint32 window, int code, const QString &text, int prefixNumber);

} // namespace protask
