// The in-place cell editors of the data grid and its centred check mark.
#include "framework/GridParts.h"

#include "db/Clock.h"
#include "db/Schema.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>

namespace {

const DatasetModel* modelOf(const QModelIndex& index) { return qobject_cast<const DatasetModel*>(index.model()); }

class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        const DatasetModel* m = modelOf(index);
        const GridColumn* c = m ? m->column(index.column()) : nullptr;
        if (!c)
            return nullptr;
        switch (m->kindOf(index.column())) {
        case ColumnKind::Check:
            return nullptr;
        case ColumnKind::Date: {
            auto* e = new QDateEdit(parent);
            e->setCalendarPopup(true);
            e->setDisplayFormat(c->format().isEmpty() ? kShownDateFormat : c->format());
            return e;
        }
        case ColumnKind::Lookup: {
            auto* box = new QComboBox(parent);
            for (const ValueItem& item : c->items())
                box->addItem(item.icon, item.text, item.value);
            return box;
        }
        case ColumnKind::Number:
        case ColumnKind::Money: {
            auto* e = new QLineEdit(parent);
            const Dataset* ds = m->dataset();
            const bool whole = ds && ds->fieldKind(c->field()) == FieldKind::Integer;
            e->setValidator(new QRegularExpressionValidator(
                QRegularExpression(whole ? QStringLiteral("-?\\d*") : QStringLiteral("-?\\d*(\\.\\d*)?")), e));
            e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            return e;
        }
        case ColumnKind::Text:
            break;
        }
        auto* e = new QLineEdit(parent);
        if (const Dataset* ds = m->dataset(); ds && ds->isTableMode()) {
            if (const Schema::Table* t = Schema::table(ds->table())) {
                for (const Schema::Column& col : t->columns) {
                    if (col.type == Schema::Type::Text && col.name.compare(c->field(), Qt::CaseInsensitive) == 0)
                        e->setMaxLength(col.size);
                }
            }
        }
        return e;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        const QVariant v = index.data(Qt::EditRole);
        if (auto* d = qobject_cast<QDateEdit*>(editor)) {
            d->setDate(v.toDate().isValid() ? v.toDate() : Clock::today());
            d->setProperty("fromNull", !v.toDate().isValid());
            d->setProperty("startDate", d->date());
        } else if (auto* box = qobject_cast<QComboBox*>(editor)) {
            int at = -1;
            for (int i = 0; i < box->count(); ++i) {
                if (box->itemData(i).toString().compare(v.toString(), Qt::CaseInsensitive) == 0)
                    at = i;
            }
            box->setCurrentIndex(at);
        } else if (auto* e = qobject_cast<QLineEdit*>(editor)) {
            e->setText(v.toString());
            e->selectAll();
        }
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* d = qobject_cast<QDateEdit*>(editor)) {
            // Opening and leaving an empty date leaves it empty.
            if (d->property("fromNull").toBool() && d->date() == d->property("startDate").toDate())
                return;
            model->setData(index, d->date(), Qt::EditRole);
        } else if (auto* box = qobject_cast<QComboBox*>(editor)) {
            if (box->currentIndex() >= 0)
                model->setData(index, box->currentData(), Qt::EditRole);
        } else if (auto* e = qobject_cast<QLineEdit*>(editor)) {
            if (e->text() != index.data(Qt::EditRole).toString())
                model->setData(index, e->text(), Qt::EditRole);
        }
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const DatasetModel* m = modelOf(index);
        if (!m || m->kindOf(index.column()) != ColumnKind::Check) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        opt.text.clear();
        const QWidget* w = option.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
        QStyleOptionViewItem box = option;
        box.rect = checkRect(option);
        box.state = (option.state & QStyle::State_Enabled) | QStyle::State_Enabled;
        box.state |= index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, w);
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override
    {
        const DatasetModel* m = modelOf(index);
        if (!m || m->kindOf(index.column()) != ColumnKind::Check)
            return QStyledItemDelegate::editorEvent(event, model, option, index);
        if (!(index.flags() & Qt::ItemIsUserCheckable))
            return false;
        if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonDblClick) {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() != Qt::LeftButton || !checkRect(option).contains(me->position().toPoint()))
                return false;
            if (event->type() == QEvent::MouseButtonDblClick)
                return true; // the second click of a double click does not toggle again
        } else {
            return false;
        }
        const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        return model->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }

private:
    static QRect checkRect(const QStyleOptionViewItem& option)
    {
        const QWidget* w = option.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        const int iw = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, w);
        const int ih = style->pixelMetric(QStyle::PM_IndicatorHeight, &option, w);
        return QStyle::alignedRect(option.direction, Qt::AlignCenter, QSize(iw, ih), option.rect);
    }
};

} // namespace

QStyledItemDelegate* newGridDelegate(QObject* parent) { return new GridDelegate(parent); }
