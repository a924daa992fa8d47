#include "cli/cli_prompter.h"

#include <cstdio>

namespace protask {

namespace {

const char *kindName(PromptKind kind)
{
    switch (kind) {
    case PromptKind::Information: return "information";
    case PromptKind::Warning: return "warning";
    case PromptKind::Error: return "error";
    case PromptKind::Question: return "question";
    }
    return "message";
}

} // namespace

void CliPrompter::show(PromptKind kind, const QString &text)
{
    m_messages.append(text);
    if (m_echo)
        std::fprintf(stderr, "%s: %s\n", kindName(kind), text.toUtf8().constData());
}

bool CliPrompter::askYesNo(const QString &text, PromptKind)
{
    m_messages.append(text);
    if (m_echo)
        std::fprintf(stderr, "question: %s -> %s\n", text.toUtf8().constData(), m_yes ? "yes" : "no");
    return m_yes;
}

} // namespace protask
