// The password change confirmation dialog.
#include "framework/Ufm_pwdInput.h"

#include "framework/OkCancelButtons.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* maskedEdit(const QString& name, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    return e;
}

} // namespace

Tfm_pwdInput::Tfm_pwdInput(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("fm_pwdInput"));
    setWindowTitle(QStringLiteral("密碼確認！"));
    labOld = new QLabel(QStringLiteral("請輸入原本密碼："), this);
    labOld->setObjectName(QStringLiteral("labOld"));
    labHint = new QLabel(QStringLiteral("(原本無密碼即不用輸入)"), this);
    labHint->setObjectName(QStringLiteral("labHint"));
    labHint->setStyleSheet(QStringLiteral("color: red; font-size: 9pt;"));
    edtOld = maskedEdit(QStringLiteral("edtOld"), this);
    labNew = new QLabel(QStringLiteral("請再一次輸入新的密碼："), this);
    labNew->setObjectName(QStringLiteral("labNew"));
    edtNew = maskedEdit(QStringLiteral("edtNew"), this);
    QHBoxLayout* buttons = makeOkCancelRow(this, btnOK, btnCancel);

    auto* oldRow = new QHBoxLayout;
    oldRow->addWidget(labOld);
    oldRow->addWidget(labHint);
    oldRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(oldRow);
    layout->addWidget(edtOld);
    layout->addWidget(labNew);
    layout->addWidget(edtNew);
    layout->addLayout(buttons);
    resize(320, 170);

    connect(btnOK, &QPushButton::clicked, this, &Tfm_pwdInput::confirm);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfm_pwdInput::prepare(const QString& caption, const QString& prompt, const QString& initialNew,
                           const QString& oldPassword)
{
    setWindowTitle(caption);
    labNew->setText(prompt);
    edtNew->setText(initialNew);
    edtOld->clear(); // what the last user typed must not linger in the reused dialog
    m_oldPassword = oldPassword;
    m_outcome = {};
    edtOld->setFocus();
}

PasswordChange Tfm_pwdInput::ask(const QString& caption, const QString& prompt, const QString& initialNew,
                                 const QString& oldPassword)
{
    prepare(caption, prompt, initialNew, oldPassword);
    exec();
    return m_outcome;
}

void Tfm_pwdInput::confirm()
{
    if (edtOld->text() == m_oldPassword) {
        m_outcome = {PasswordChange::Outcome::Confirmed, edtNew->text()};
    } else {
        m_outcome = {PasswordChange::Outcome::WrongOldPassword, QString()};
        Prompts::plain(kWrongOldPassword);
    }
    QDialog::done(QDialog::Accepted);
}

void Tfm_pwdInput::done(int result)
{
    if (result != QDialog::Accepted)
        m_outcome = {PasswordChange::Outcome::Cancelled, QString()};
    QDialog::done(result);
}

void Tfm_pwdInput::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && focusWidget() == edtOld) {
        event->accept();
        edtNew->setFocus();
        return;
    }
    if (enter && focusWidget() == edtNew) {
        event->accept();
        confirm();
        return;
    }
    QDialog::keyPressEvent(event);
}
