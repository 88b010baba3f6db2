// The password change confirmation: the old password and the new one repeated.
// OK with the right old password returns the repeated one; OK with a wrong old
// password says so in a plain message and reports it; Cancel (or closing) cancels.
// Hidden after each use and reused.
#pragma once

#include "core/Prompts.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class Tfm_pwdInput : public QDialog {
    Q_OBJECT
public:
    explicit Tfm_pwdInput(QWidget* parent = nullptr);

    // Sets caption, prompt and the repeated edit, empties the old-password edit and focuses it.
    // A test then shows the dialog (show(), never exec()), types and clicks, and reads outcome().
    void prepare(const QString& caption, const QString& prompt, const QString& initialNew, const QString& oldPassword);
    PasswordChange outcome() const { return m_outcome; }
    // prepare, show modally, outcome.
    PasswordChange ask(const QString& caption, const QString& prompt, const QString& initialNew,
                       const QString& oldPassword);

    static inline const QString kWrongOldPassword = QStringLiteral("原本的密碼設定錯誤！");

    QLabel* labOld;
    QLabel* labHint;
    QLineEdit* edtOld;
    QLabel* labNew;
    QLineEdit* edtNew;
    QPushButton* btnOK;
    QPushButton* btnCancel;

public slots:
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void confirm();

    QString m_oldPassword;
    PasswordChange m_outcome;
};
