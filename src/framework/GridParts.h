// Parts of the data grid: the header that draws a row of bands over the column
// captions, and the in-place cell editors per column kind.
#pragma once

#include "framework/DatasetModel.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

class QStyledItemDelegate;

// A horizontal header that draws a row of bands over the column captions.
class BandHeader : public QHeaderView {
public:
    explicit BandHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
    {
        setSectionsClickable(true);
        setHighlightSections(false);
        setSectionsMovable(false);
        setStretchLastSection(false);
        setDefaultAlignment(Qt::AlignCenter);
    }

    QString bandOf(int logical) const
    {
        const auto* m = qobject_cast<const DatasetModel*>(model());
        const GridColumn* c = m ? m->column(logical) : nullptr;
        return c ? c->band() : QString();
    }

    bool hasBands() const
    {
        for (int i = 0; i < count(); ++i) {
            if (!bandOf(i).isEmpty())
                return true;
        }
        return false;
    }

    int captionHeight() const { return QHeaderView::sizeHint().height(); }

    QSize sizeHint() const override
    {
        QSize s = QHeaderView::sizeHint();
        if (hasBands())
            s.setHeight(s.height() * 2);
        return s;
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logical) const override
    {
        if (!hasBands()) {
            QHeaderView::paintSection(painter, rect, logical);
            return;
        }
        QHeaderView::paintSection(painter, rect.adjusted(0, captionHeight(), 0, 0), logical);
    }

    void paintEvent(QPaintEvent* event) override
    {
        QHeaderView::paintEvent(event);
        if (!hasBands())
            return;
        QPainter p(viewport());
        const int h = captionHeight();
        int x0 = 0, x1 = 0, first = -1;
        QString band;
        auto flush = [&] {
            if (first < 0)
                return;
            QStyleOptionHeader opt;
            initStyleOption(&opt);
            opt.rect = QRect(x0, 0, x1 - x0, h);
            opt.section = first;
            opt.text = band;
            opt.textAlignment = Qt::AlignCenter;
            opt.position = QStyleOptionHeader::Middle;
            style()->drawControl(QStyle::CE_Header, &opt, &p, this);
        };
        for (int v = 0; v < count(); ++v) {
            const int l = logicalIndex(v);
            if (isSectionHidden(l))
                continue;
            const QString b = bandOf(l);
            const int x = sectionViewportPosition(l);
            if (first >= 0 && b == band) {
                x1 = x + sectionSize(l);
                continue;
            }
            flush();
            first = l;
            band = b;
            x0 = x;
            x1 = x + sectionSize(l);
        }
        flush();
    }

    // The band row is a title, not a place to sort or resize from.
    void mousePressEvent(QMouseEvent* e) override
    {
        if (hasBands() && e->position().y() < captionHeight()) {
            e->accept();
            return;
        }
        QHeaderView::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (hasBands() && e->position().y() < captionHeight() && !(e->buttons() & Qt::LeftButton)) {
            e->accept();
            return;
        }
        QHeaderView::mouseReleaseEvent(e);
    }
};

// The in-place editors, one per column kind, and the centred check mark.
QStyledItemDelegate* newGridDelegate(QObject* parent);
