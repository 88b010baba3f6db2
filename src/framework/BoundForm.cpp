#include "framework/BoundForm.h"

#include "framework/DBControls.h"

#include <QFormLayout>
#include <QWidget>

template <class C>
C* BoundForm::bound(QFormLayout* form, const QString& label, const QString& field, C* control)
{
    control->setObjectName(field);
    control->bind(m_source, field);
    form->addRow(label, control);
    m_tabOrder << control;
    return control;
}

DBEdit* BoundForm::text(QFormLayout* form, const QString& label, const QString& field)
{
    return bound(form, label, field, new DBEdit(m_body));
}

DBIntEdit* BoundForm::whole(QFormLayout* form, const QString& label, const QString& field)
{
    return bound(form, label, field, new DBIntEdit(m_body));
}

DBMoneyEdit* BoundForm::money(QFormLayout* form, const QString& label, const QString& field, const QString& format)
{
    auto* e = new DBMoneyEdit(m_body);
    e->setDisplayFormat(format);
    return bound(form, label, field, e);
}

DBDateEdit* BoundForm::date(QFormLayout* form, const QString& label, const QString& field)
{
    return bound(form, label, field, new DBDateEdit(m_body));
}

DBCheckBox* BoundForm::check(QFormLayout* form, const QString& caption, const QString& field)
{
    return bound(form, QString(), field, new DBCheckBox(caption, m_body));
}

DBMemo* BoundForm::memo(QFormLayout* form, const QString& label, const QString& field)
{
    return bound(form, label, field, new DBMemo(m_body));
}

DBValueChoice* BoundForm::choice(QFormLayout* form, const QString& label, const QString& field,
                                 const ValueItems& items)
{
    auto* c = new DBValueChoice(m_body);
    c->setItems(items);
    return bound(form, label, field, c);
}

void BoundForm::place(QFormLayout* form, const QString& label, QWidget* row, QWidget* focus)
{
    form->addRow(label, row);
    m_tabOrder << (focus ? focus : row);
}

void BoundForm::applyTabOrder() const
{
    for (int i = 1; i < m_tabOrder.size(); ++i)
        QWidget::setTabOrder(m_tabOrder.at(i - 1), m_tabOrder.at(i));
}
