// Real dialogs behind the prompt seam.
#include "framework/QtPrompts.h"

#include "framework/Ufm_pwdInput.h"
#include "framework/Ufm_pwnEzInput.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon iconOf(const QString& kind)
{
    if (kind == QLatin1String("Waning"))
        return QMessageBox::Warning;
    if (kind == QLatin1String("Inf"))
        return QMessageBox::Information;
    if (kind == QLatin1String("Err"))
        return QMessageBox::Critical;
    return QMessageBox::NoIcon;
}

} // namespace

QtPrompts::QtPrompts() = default;

QtPrompts::~QtPrompts()
{
    delete m_ez;
    delete m_change;
}

Answer QtPrompts::show(const QString& kind, const QString& text, const QString& caption, Buttons buttons)
{
    QMessageBox box(iconOf(kind), caption, text, QMessageBox::NoButton, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        // Closed without a button: the safe answer of the question.
        return buttons == Buttons::YesNo ? Answer::No : buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

QString QtPrompts::askPassword(const QString& initialText)
{
    return passwordDialog()->ask(initialText);
}

PasswordChange QtPrompts::askPasswordChange(const QString& caption, const QString& prompt, const QString& initialNew,
                                            const QString& oldPassword)
{
    return passwordChangeDialog()->ask(caption, prompt, initialNew, oldPassword);
}

void QtPrompts::beep()
{
    QApplication::beep();
}

Tfm_pwnEzInput* QtPrompts::passwordDialog()
{
    if (!m_ez)
        m_ez = new Tfm_pwnEzInput;
    return m_ez;
}

Tfm_pwdInput* QtPrompts::passwordChangeDialog()
{
    if (!m_change)
        m_change = new Tfm_pwdInput;
    return m_change;
}
