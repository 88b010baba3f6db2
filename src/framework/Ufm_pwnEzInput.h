// The password entry: one masked edit; OK returns what was typed, Cancel (or closing
// the dialog) returns "Cancel". Hidden after each use and reused.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class Tfm_pwnEzInput : public QDialog {
    Q_OBJECT
public:
    explicit Tfm_pwnEzInput(QWidget* parent = nullptr);

    // Fills the edit with the initial text and focuses it. A test then shows the dialog
    // (show(), never exec()), types and clicks, and reads answer().
    void prepare(const QString& initialText);
    // What the last use returned: the typed text, or "Cancel".
    QString answer() const { return m_answer; }
    // prepare, show modally, answer.
    QString ask(const QString& initialText);

    QLabel* lab1;
    QLineEdit* edtPassword;
    QPushButton* btnOK;
    QPushButton* btnCancel;

public slots:
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_answer;
};
