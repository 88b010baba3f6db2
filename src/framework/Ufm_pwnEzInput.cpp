// The password entry dialog.
#include "framework/Ufm_pwnEzInput.h"

#include "core/Prompts.h"
#include "framework/OkCancelButtons.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Tfm_pwnEzInput::Tfm_pwnEzInput(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fm_pwnEzInput"));
    setWindowTitle(QStringLiteral("請輸入密碼！"));
    lab1 = new QLabel(QStringLiteral("請輸入密碼："), this);
    lab1->setObjectName(QStringLiteral("lab1"));
    edtPassword = new QLineEdit(this);
    edtPassword->setObjectName(QStringLiteral("edtPassword"));
    edtPassword->setEchoMode(QLineEdit::Password);
    edtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    QHBoxLayout* buttons = makeOkCancelRow(this, btnOK, btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lab1);
    layout->addWidget(edtPassword);
    layout->addLayout(buttons);
    resize(300, 120);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfm_pwnEzInput::prepare(const QString& initialText)
{
    m_answer = Prompts::kCancel;
    edtPassword->setText(initialText);
    edtPassword->setFocus();
}

QString Tfm_pwnEzInput::ask(const QString& initialText)
{
    prepare(initialText);
    exec();
    return m_answer;
}

void Tfm_pwnEzInput::done(int result)
{
    m_answer = result == QDialog::Accepted ? edtPassword->text() : Prompts::kCancel;
    QDialog::done(result);
}

void Tfm_pwnEzInput::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && focusWidget() == edtPassword) {
        event->accept();
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
