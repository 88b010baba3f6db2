// Rounded corners for the small payment dialogs: the window keeps only a
// rectangle with 30-pixel rounded corners, from 3,3 to its width and height.
#pragma once

#include <QPainterPath>
#include <QRegion>
#include <QWidget>

inline QRegion roundedRegion(const QSize& size)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(3, 3, size.width() - 3, size.height() - 3), 15, 15);
    return QRegion(path.toFillPolygon().toPolygon());
}

// Call from the window's resizeEvent, so the shape follows the size.
inline void roundCorners(QWidget* window)
{
    window->setMask(roundedRegion(window->size()));
}
