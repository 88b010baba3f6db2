// The progress dialog and the routine that drives it.
#include "framework/UFDlg_ProcBar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

TFDlg_ProcBar* FDlg_ProcBar = nullptr;

TFDlg_ProcBar::TFDlg_ProcBar(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FDlg_ProcBar"));
    setAttribute(Qt::WA_DeleteOnClose, true);
    setWindowTitle(QStringLiteral("更新資料庫中...."));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setRange(0, 100);
    m_bar->setValue(50);
    m_bar->setTextVisible(true);
    m_bar->setFormat(QStringLiteral("%p%"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    resize(320, 60);
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("tmrProc"));
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &TFDlg_ProcBar::tick);
    m_timer->start();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

TFDlg_ProcBar::~TFDlg_ProcBar()
{
    release();
}

int TFDlg_ProcBar::position() const
{
    return m_bar->value();
}

void TFDlg_ProcBar::setPosition(int percent)
{
    m_bar->setValue(qBound(0, percent, 100));
}

void TFDlg_ProcBar::tick()
{
    if (m_bar->value() >= 100)
        close();
    m_bar->setValue(qMin(m_bar->value() + 3, 100));
    m_bar->repaint();
}

void TFDlg_ProcBar::showProgress(quint8 percent)
{
    if (!FDlg_ProcBar)
        FDlg_ProcBar = new TFDlg_ProcBar;
    TFDlg_ProcBar* dlg = FDlg_ProcBar;
    if (percent != 0)
        dlg->setPosition(percent);
    dlg->show();
    dlg->repaint();
    if (percent == 100) {
        QThread::msleep(200);
        dlg->close();
    }
}

void TFDlg_ProcBar::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (event->isAccepted())
        release();
}

// The user cannot dismiss it: it closes by itself.
void TFDlg_ProcBar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

// Once closed the dialog is done: the next showProgress builds a new one even before
// this one is deleted, and the busy cursor ends.
void TFDlg_ProcBar::release()
{
    if (m_released)
        return;
    m_released = true;
    m_timer->stop();
    if (FDlg_ProcBar == this)
        FDlg_ProcBar = nullptr;
    QApplication::restoreOverrideCursor();
}
