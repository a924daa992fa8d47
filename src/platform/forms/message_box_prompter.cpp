#include "platform/forms/message_box_prompter.h"

#include <QApplication>
#include <QMessageBox>

namespace protask {

namespace {

QString boxTitle()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("提示") : name;
}

QMessageBox::Icon iconOf(PromptKind kind)
{
    switch (kind) {
    case PromptKind::Information: return QMessageBox::Information;
    case PromptKind::Warning: return QMessageBox::Warning;
    case PromptKind::Error: return QMessageBox::Critical;
    case PromptKind::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void MessageBoxPrompter::show(PromptKind kind, const QString &text)
{
    QMessageBox box(iconOf(kind), boxTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool MessageBoxPrompter::askYesNo(const QString &text, PromptKind icon)
{
    QMessageBox box(iconOf(icon), boxTitle(), text, QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void UseMessageBoxes()
{
    static MessageBoxPrompter boxes;
    Prompter::setDefault(&boxes);
}

} // namespace protask
