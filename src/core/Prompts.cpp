#include "core/Prompts.h"

#include <cstdio>

namespace {

class StderrHandler : public PromptHandler {
public:
    Answer show(const QString& kind, const QString& text, const QString& caption, Buttons) override
    {
        std::fprintf(stderr, "[%s] %s: %s\n", qPrintable(kind), qPrintable(caption), qPrintable(text));
        return Answer::Cancel;
    }
    QString askPassword(const QString&) override { return Prompts::kCancel; }
    PasswordChange askPasswordChange(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
};

StderrHandler fallback;
PromptHandler* current = nullptr;

bool knownKind(const QString& kind)
{
    return kind == QLatin1String("Waning") || kind == QLatin1String("Inf") || kind == QLatin1String("Err");
}

} // namespace

namespace Prompts {

void setHandler(PromptHandler* h) { current = h; }

PromptHandler* handler() { return current ? current : &fallback; }

void msgBox(const QString& text, const QString& caption, const QString& kind)
{
    if (!knownKind(kind))
        return;
    handler()->show(kind, text, caption, Buttons::Ok);
}

void plain(const QString& text) { handler()->show(QString(), text, kAppTitle, Buttons::Ok); }

Answer confirm(const QString& text, const QString& caption, Buttons buttons, const QString& kind)
{
    return handler()->show(kind, text, caption, buttons);
}

QString askPassword(const QString& initialText) { return handler()->askPassword(initialText); }

PasswordChange askPasswordChange(const QString& caption, const QString& prompt, const QString& initialNew,
                                 const QString& oldPassword)
{
    return handler()->askPasswordChange(caption, prompt, initialNew, oldPassword);
}

void beep() { handler()->beep(); }

} // namespace Prompts
