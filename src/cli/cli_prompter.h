#pragma once

#include "platform/prompter.h"

#include <QStringList>

namespace protask {

// The command line's prompter: every text a window would show is kept for the answer and
// written to standard error as it comes; questions are answered from the options (--yes,
// --no), and No, a message box's default button, when neither was given.
class CliPrompter : public Prompter {
public:
    explicit CliPrompter(bool answerYes, bool echo = true) : m_yes(answerYes), m_echo(echo) {}
    void show(PromptKind kind, const QString &text) override;
    bool askYesNo(const QString &text, PromptKind icon) override;

    const QStringList &messages() const { return m_messages; }

private:
    bool m_yes;
    bool m_echo;
    QStringList m_messages;
};

} // namespace protask
