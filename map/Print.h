#pragma once

#include <QDateTime>
#include <QImage>
#include <QPageLayout>
#include <QRectF>
#include <QString>

class QPagedPaintDevice;

namespace gipso {

// Portrait when the picture is at least as tall as wide, else landscape.
QPageLayout::Orientation printOrientation(QSize picture);
// Where the picture goes on a printable area of the given size: at its top-left corner,
// stretched to the full width or the full height, keeping the picture's proportions.
QRectF fitPictureToPage(QSizeF picture, QSizeF printable);
// "Gipso Release 2.6      <date>   <time>" in the current language.
QString printHeader(const QDateTime &when);

// One print document: the orientation for the picture, the picture fitted to the page and the
// header line over its top-left corner. False when the device cannot be printed on.
bool printViewDocument(QPagedPaintDevice &device, const QImage &picture, const QString &header);

} // namespace gipso
