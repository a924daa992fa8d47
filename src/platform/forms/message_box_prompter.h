#pragma once

#include "platform/forms/forms_export.h"
#include "platform/prompter.h"

namespace protask {

// Modal message boxes over the active window: OK for texts, Yes/No with No as the default
// (and Esc) for questions.
class PROTASK_FORMS_EXPORT MessageBoxPrompter : public Prompter {
public:
    void show(PromptKind kind, const QString &text) override;
    bool askYesNo(const QString &text, PromptKind icon) override;
};

// Makes message boxes the default prompter of the process (the host, the plug-in, the sibling
// library call it once; an installed prompter still comes first).
PROTASK_FORMS_EXPORT void UseMessageBoxes();

} // namespace protask
