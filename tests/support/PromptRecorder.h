// Stands in for every dialog during tests: records what would be shown and
// answers from a queue. A question with no answer queued fails the test at once.
#pragma once

#include "core/Prompts.h"

#include <QList>
#include <QQueue>
#include <QString>

struct ShownMessage {
    QString kind; // "Waning", "Inf", "Err", or "" for the plain box
    QString text;
    QString caption;
};

// What a password-change confirmation was asked with.
struct PasswordChangeRequest {
    QString caption, prompt, initialNew, oldPassword;
};

class PromptRecorder : public PromptHandler {
public:
    PromptRecorder();
    ~PromptRecorder() override;

    void setNextAnswer(Answer a) { m_answers.enqueue(a); }
    void setNextPassword(const QString& typed) { m_passwords.enqueue(typed); }
    // A WrongOldPassword answer also records the plain message the real dialog shows.
    void setNextPasswordChange(const PasswordChange& c) { m_changes.enqueue(c); }

    const QList<ShownMessage>& shown() const { return m_shown; }
    QStringList texts() const;
    ShownMessage last() const { return m_shown.isEmpty() ? ShownMessage{} : m_shown.last(); }
    int beeps() const { return m_beeps; }
    int passwordsAsked() const { return m_passwordsAsked; }
    const QList<PasswordChangeRequest>& changesAsked() const { return m_changesAsked; }
    void clear();
    // True when every queued answer was used.
    bool drained() const { return m_answers.isEmpty() && m_passwords.isEmpty() && m_changes.isEmpty(); }

    Answer show(const QString& kind, const QString& text, const QString& caption, Buttons buttons) override;
    QString askPassword(const QString& initialText) override;
    PasswordChange askPasswordChange(const QString& caption, const QString& prompt, const QString& initialNew,
                                     const QString& oldPassword) override;
    void beep() override { ++m_beeps; }

private:
    QList<ShownMessage> m_shown;
    QQueue<Answer> m_answers;
    QQueue<QString> m_passwords;
    QQueue<PasswordChange> m_changes;
    QList<PasswordChangeRequest> m_changesAsked;
    int m_beeps = 0;
    int m_passwordsAsked = 0;
    PromptHandler* m_previous = nullptr;
};
