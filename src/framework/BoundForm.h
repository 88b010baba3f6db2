// Lays out a record editor: labelled rows of controls bound to one dataset's
// fields, in form layouts, each control named after its field and taken into
// the window's tab order in the order the rows are added.
#pragma once

#include "framework/DatasetModel.h"

#include <QList>
#include <QString>

class Dataset;
class DBCheckBox;
class DBDateEdit;
class DBEdit;
class DBIntEdit;
class DBMemo;
class DBMoneyEdit;
class DBValueChoice;
class QFormLayout;
class QWidget;

class BoundForm {
public:
    BoundForm(QWidget* body, Dataset* source) : m_body(body), m_source(source) {}

    DBEdit* text(QFormLayout* form, const QString& label, const QString& field);
    DBIntEdit* whole(QFormLayout* form, const QString& label, const QString& field);
    DBMoneyEdit* money(QFormLayout* form, const QString& label, const QString& field,
                       const QString& format = QStringLiteral("NT$,0;-NT$,0"));
    DBDateEdit* date(QFormLayout* form, const QString& label, const QString& field);
    DBCheckBox* check(QFormLayout* form, const QString& caption, const QString& field);
    DBMemo* memo(QFormLayout* form, const QString& label, const QString& field);
    DBValueChoice* choice(QFormLayout* form, const QString& label, const QString& field, const ValueItems& items);

    // A row of the window's own making; `focus` is the control that takes its
    // place in the tab order (the row itself when none is given).
    void place(QFormLayout* form, const QString& label, QWidget* row, QWidget* focus = nullptr);
    // Chains the tab order of every control added, first to last.
    void applyTabOrder() const;

private:
    template <class C>
    C* bound(QFormLayout* form, const QString& label, const QString& field, C* control);

    QWidget* m_body;
    Dataset* m_source;
    QList<QWidget*> m_tabOrder;
};
