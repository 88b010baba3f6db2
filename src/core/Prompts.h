// The one seam through which every message box, confirmation and modal prompt
// of the program passes. The window layer installs a handler that shows real
// dialogs; tests install one that records what would be shown and answers
// from a script, so no test ever waits on a dialog.
#pragma once

#include <QString>

enum class Answer { Ok, Cancel, Yes, No };
enum class Buttons { Ok, OkCancel, YesNo };

// What the old-password confirmation returned.
struct PasswordChange {
    enum class Outcome { Confirmed, Cancelled, WrongOldPassword };
    Outcome outcome = Outcome::Cancelled;
    QString password; // the repeated new password when confirmed
};

class PromptHandler {
public:
    virtual ~PromptHandler() = default;
    // A box with an icon of `kind` ("Waning", "Inf", "Err", or "" for the plain
    // box titled with the application title), its text and caption.
    virtual Answer show(const QString& kind, const QString& text, const QString& caption, Buttons buttons) = 0;
    // The password entry: what was typed, or "Cancel".
    virtual QString askPassword(const QString& initialText) = 0;
    virtual PasswordChange askPasswordChange(const QString& caption, const QString& prompt,
                                             const QString& initialNew, const QString& oldPassword) = 0;
    virtual void beep() {}
};

namespace Prompts {

inline const QString kCancel = QStringLiteral("Cancel");
inline const QString kAppTitle = QStringLiteral("租書系統 ");

// Installs a handler (not owned); nullptr restores the default, which writes
// messages to the standard error stream and answers Cancel.
void setHandler(PromptHandler* handler);
PromptHandler* handler();

// MsgBox: kind "Waning", "Inf" or "Err" (compared exactly); any other kind shows nothing.
void msgBox(const QString& text, const QString& caption, const QString& kind);
// The plain OK box titled with the application title.
void plain(const QString& text);
// A confirmation; `kind` picks the icon as for msgBox ("" for none).
Answer confirm(const QString& text, const QString& caption, Buttons buttons, const QString& kind = QStringLiteral("Waning"));
QString askPassword(const QString& initialText);
PasswordChange askPasswordChange(const QString& caption, const QString& prompt, const QString& initialNew,
                                 const QString& oldPassword);
void beep();

} // namespace Prompts
