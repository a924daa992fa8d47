#include "platform/prompter.h"

#include <cstdio>

namespace protask {

Prompter::~Prompter() = default;

const char *PromptKindName(PromptKind kind)
{
    switch (kind) {
    case PromptKind::Information: return "information";
    case PromptKind::Warning: return "warning";
    case PromptKind::Error: return "error";
    case PromptKind::Question: return "question";
    }
    return "message";
}

namespace {

Prompter *g_installed = nullptr;
Prompter *g_default = nullptr;

} // namespace

Prompter &Prompter::current()
{
    static ConsolePrompter console;
    if (g_installed)
        return *g_installed;
    return g_default ? *g_default : console;
}

void Prompter::install(Prompter *prompter) { g_installed = prompter; }

void Prompter::setDefault(Prompter *prompter) { g_default = prompter; }

void ConsolePrompter::show(PromptKind kind, const QString &text)
{
    std::fprintf(stderr, "%s: %s\n", PromptKindName(kind), text.toLocal8Bit().constData());
}

bool ConsolePrompter::askYesNo(const QString &text, PromptKind icon)
{
    std::fprintf(stderr, "%s: %s [No]\n", PromptKindName(icon), text.toLocal8Bit().constData());
    return false;
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
