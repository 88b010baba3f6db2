// The base of record windows: a client panel whose top holds the record navigator,
// bound to the window's main dataset, and the record status of the status line.
#pragma once

#include "framework/Ufm_BaseIS.h"

#include <QPointer>

class Dataset;
class DBNavigator;
class QFrame;
class QVBoxLayout;

class Tfm_BaseISNAV : public Tfm_BaseIS {
    Q_OBJECT
public:
    explicit Tfm_BaseISNAV(QWidget* owner = nullptr);

    QFrame* Panel1 = nullptr;
    // Shows first, prior, next, last, post, cancel and refresh unless a window adds more.
    DBNavigator* BiDiDBNavigator1 = nullptr;
    // Windows put their controls below the navigator.
    QVBoxLayout* panelLayout() const { return m_layout; }

    // The window's main dataset (the data source of the navigator and, below, the grid).
    virtual void setDataSource(Dataset* dataset);
    Dataset* DataSource1() const { return m_dataset; }

    // Writes the record status to panel 1: mode 1 "n/總筆數：count　　" (n is "新增..." on a new
    // row or with no current row), mode 2 "總筆數：count　　", any other mode leaves it as it is.
    void ShowRecordStatus(const Dataset& dataSet, int mode);
    static QString recordStatusText(const Dataset& dataSet, int mode);
    // True unless the dataset is open and plainly browsing.
    static bool IsEditing(const Dataset& dataSet);

private:
    QVBoxLayout* m_layout = nullptr;
    QPointer<Dataset> m_dataset;
};
