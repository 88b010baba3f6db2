#include "support/PromptRecorder.h"

#include "framework/Ufm_pwdInput.h"

#include <QTest>

PromptRecorder::PromptRecorder() : m_previous(Prompts::handler()) { Prompts::setHandler(this); }

PromptRecorder::~PromptRecorder() { Prompts::setHandler(nullptr); }

QStringList PromptRecorder::texts() const
{
    QStringList out;
    for (const ShownMessage& m : m_shown)
        out << m.text;
    return out;
}

void PromptRecorder::clear()
{
    m_shown.clear();
    m_beeps = 0;
    m_passwordsAsked = 0;
    m_changesAsked.clear();
}

Answer PromptRecorder::show(const QString& kind, const QString& text, const QString& caption, Buttons buttons)
{
    m_shown.append({kind, text, caption});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (m_answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unanswered question: ") + text), __FILE__, __LINE__);
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    return m_answers.dequeue();
}

QString PromptRecorder::askPassword(const QString&)
{
    ++m_passwordsAsked;
    if (m_passwords.isEmpty()) {
        QTest::qFail("password asked with no answer queued", __FILE__, __LINE__);
        return Prompts::kCancel;
    }
    return m_passwords.dequeue();
}

PasswordChange PromptRecorder::askPasswordChange(const QString& caption, const QString& prompt,
                                                 const QString& initialNew, const QString& oldPassword)
{
    m_changesAsked.append({caption, prompt, initialNew, oldPassword});
    if (m_changes.isEmpty()) {
        QTest::qFail("password change asked with no answer queued", __FILE__, __LINE__);
        return {};
    }
    const PasswordChange c = m_changes.dequeue();
    // The real dialog says so itself before it returns.
    if (c.outcome == PasswordChange::Outcome::WrongOldPassword)
        m_shown.append({QString(), Tfm_pwdInput::kWrongOldPassword, Prompts::kAppTitle});
    return c;
}
