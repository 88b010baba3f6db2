// The rounded window region and the filter that reapplies it on resize.
#include "framework/RoundedCorners.h"

#include <QEvent>
#include <QPainterPath>
#include <QPolygonF>
#include <QWidget>

namespace {

class RoundCornerFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            if (auto* w = qobject_cast<QWidget*>(watched))
                w->setMask(roundedRegion(w->size()));
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QRegion roundedRegion(const QSize& size)
{
    constexpr int kInset = 3;
    constexpr qreal kRadius = 15; // corners 30 pixels across
    if (size.width() <= kInset || size.height() <= kInset)
        return QRegion();
    QPainterPath path;
    path.addRoundedRect(QRectF(kInset, kInset, size.width() - kInset, size.height() - kInset), kRadius, kRadius);
    return QRegion(path.toFillPolygon().toPolygon());
}

void keepRoundedCorners(QWidget* window)
{
    window->installEventFilter(new RoundCornerFilter(window));
    window->setMask(roundedRegion(window->size()));
}
