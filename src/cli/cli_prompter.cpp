#include "cli/cli_prompter.h"

#include <cstdio>

namespace protask {

void CliPrompter::show(PromptKind kind, const QString &text)
{
    m_messages.append(text);
    if (m_echo)
        std::fprintf(stderr, "%s: %s\n", PromptKindName(kind), text.toUtf8().constData());
}

bool CliPrompter::askYesNo(const QString &text, PromptKind)
{
    m_messages.append(text);
    if (m_echo)
        std::fprintf(stderr, "question: %s -> %s\n", text.toUtf8().constData(), m_yes ? "yes" : "no");
    return m_yes;
}

} // namespace protask
