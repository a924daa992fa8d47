#include "prompter.h"

#include <QApplication>
#include <QMessageBox>

namespace protask {

Prompter::~Prompter() = default;

namespace {

Prompter *g_installed = nullptr;

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

Prompter &Prompter::current()
{
    static MessageBoxPrompter defaultPrompter;
    return g_installed ? *g_installed : defaultPrompter;
}

void Prompter::install(Prompter *prompter) { g_installed = prompter; }

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

void ScriptedPrompter::show(PromptKind kind, const QString &text) { m_entries.append({kind, text, false}); }

bool ScriptedPrompter::askYesNo(const QString &text, PromptKind icon)
{
    m_entries.append({icon, text, true});
    return m_answers.isEmpty() ? false : m_answers.takeFirst();
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const auto &e : m_entries)
        out << e.text;
    return out;
}

PrompterScope::PrompterScope(Prompter &prompter) : m_previous(g_installed) { Prompter::install(&prompter); }

PrompterScope::~PrompterScope() { Prompter::install(m_previous); }

} // namespace protask
