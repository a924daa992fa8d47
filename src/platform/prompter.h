#pragma once

#include "platform/platform_export.h"

#include <QList>
#include <QString>

namespace protask {

enum class PromptKind { Information, Warning, Error, Question };

// "information", "warning", "error" or "question", as a text prompter labels its lines.
PROTASK_PLATFORM_EXPORT const char *PromptKindName(PromptKind kind);

// Every message box of the module goes through the installed prompter: the real one
// shows modal boxes, the scripted one records texts and answers from a queue.
class PROTASK_PLATFORM_EXPORT Prompter {
public:
    virtual ~Prompter();
    virtual void show(PromptKind kind, const QString &text) = 0;
    // Yes/No with No as the default button; true means Yes.
    virtual bool askYesNo(const QString &text, PromptKind icon = PromptKind::Question) = 0;

    void information(const QString &text) { show(PromptKind::Information, text); }
    void warning(const QString &text) { show(PromptKind::Warning, text); }
    void error(const QString &text) { show(PromptKind::Error, text); }

    // The installed prompter; without one the default: message boxes once a window library
    // has set them as the default (UseMessageBoxes()), else texts on standard error and No to
    // every question.
    static Prompter &current();
    // Installs a prompter that the caller keeps alive; nullptr restores the default.
    static void install(Prompter *prompter);
    // The prompter used while none is installed; the caller keeps it alive.
    static void setDefault(Prompter *prompter);
};

// Writes every text to standard error and answers No: the default without a window library.
class PROTASK_PLATFORM_EXPORT ConsolePrompter : public Prompter {
public:
    void show(PromptKind kind, const QString &text) override;
    bool askYesNo(const QString &text, PromptKind icon) override;
};

// Records every text shown and answers questions from a queue (No when it is empty).
class PROTASK_PLATFORM_EXPORT ScriptedPrompter : public Prompter {
public:
    struct Entry {
        PromptKind kind;
        QString text;
        bool question = false;
    };
    void show(PromptKind kind, const QString &text) override;
    bool askYesNo(const QString &text, PromptKind icon) override;

    void queueAnswer(bool yes) { m_answers.append(yes); }
    const QList<Entry> &entries() const { return m_entries; }
    QStringList texts() const;
    QString lastText() const { return m_entries.isEmpty() ? QString() : m_entries.last().text; }
    void clear()
    {
        m_entries.clear();
        m_answers.clear();
    }

private:
    QList<Entry> m_entries;
    QList<bool> m_answers;
};

// Installs a prompter for the lifetime of this object.
class PROTASK_PLATFORM_EXPORT PrompterScope {
public:
    explicit PrompterScope(Prompter &prompter);
    ~PrompterScope();

private:
    Prompter *m_previous;
};

} // namespace protask
