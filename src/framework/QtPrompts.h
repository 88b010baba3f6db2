// The prompt handler of the running program: message boxes with the icon of their
// kind, confirmations, and the two password dialogs shown modally and reused.
#pragma once

#include "core/Prompts.h"

class QWidget;
class Tfm_pwdInput;
class Tfm_pwnEzInput;

class QtPrompts : public PromptHandler {
public:
    QtPrompts();
    ~QtPrompts() override;
    QtPrompts(const QtPrompts&) = delete;
    QtPrompts& operator=(const QtPrompts&) = delete;

    Answer show(const QString& kind, const QString& text, const QString& caption, Buttons buttons) override;
    QString askPassword(const QString& initialText) override;
    PasswordChange askPasswordChange(const QString& caption, const QString& prompt, const QString& initialNew,
                                     const QString& oldPassword) override;
    void beep() override;

    // The dialogs, built on first use and kept hidden between uses.
    Tfm_pwnEzInput* passwordDialog();
    Tfm_pwdInput* passwordChangeDialog();

private:
    Tfm_pwnEzInput* m_ez = nullptr;
    Tfm_pwdInput* m_change = nullptr;
};
