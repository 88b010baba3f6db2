// Windows with rounded corners: the region of a rectangle from (3,3) to the
// window's width and height whose corners are quarter ellipses 30 pixels across,
// kept up to date as the window changes size.
#pragma once

#include <QRegion>
#include <QSize>

class QWidget;

QRegion roundedRegion(const QSize& size);
// Masks the window with roundedRegion now and after every resize.
void keepRoundedCorners(QWidget* window);
