// The progress dialog shown while the database is updated: a bar that starts at 50,
// creeps on by 3 every 100 ms and closes the dialog once it has reached 100.
#pragma once

#include <QDialog>

class QProgressBar;
class QTimer;

class TFDlg_ProcBar : public QDialog {
    Q_OBJECT
public:
    explicit TFDlg_ProcBar(QWidget* parent = nullptr);
    ~TFDlg_ProcBar() override;

    int position() const;
    void setPosition(int percent);
    QTimer* tmrProc() const { return m_timer; }

    // One timer tick: at 100 or more the dialog closes; the bar grows by 3, capped at 100.
    void tick();

    // The shared dialog: created when missing; a non-zero percent sets the bar; shown and
    // repainted at once; 100 holds it for 200 ms and closes it.
    static void showProgress(quint8 percent);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void release();

    QProgressBar* m_bar;
    QTimer* m_timer;
    bool m_released = false;
};

// The one progress dialog while it exists (emptied as it closes).
extern TFDlg_ProcBar* FDlg_ProcBar;
