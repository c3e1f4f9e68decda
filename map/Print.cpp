#include "map/Print.h"

#include "base/Messages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>

namespace gipso {

QPageLayout::Orientation printOrientation(QSize picture)
{
    return picture.height() >= picture.width() ? QPageLayout::Portrait : QPageLayout::Landscape;
}

QRectF fitPictureToPage(QSizeF picture, QSizeF printable)
{
    if (picture.isEmpty() || printable.isEmpty())
        return {};
    const double picRatio = picture.width() / picture.height();
    const double prnRatio = printable.width() / printable.height();
    if (picRatio >= prnRatio)
        return QRectF(0, 0, printable.width(), printable.width() / picRatio);
    return QRectF(0, 0, printable.height() * picRatio, printable.height());
}

namespace {
// Draws the picture on the current page, scaled to fit the printable area.
void drawPictureFitted(QPainter &painter, QPagedPaintDevice &device, const QImage &picture)
{
    // The ratio is taken in millimetres, so printers with unequal resolutions fit right too.
    const QSizeF printableMM(device.widthMM(), device.heightMM());
    const QRectF fitMM = fitPictureToPage(QSizeF(picture.size()), printableMM);
    if (fitMM.isEmpty())
        return;
    const double pxPerMMX = device.width() / printableMM.width();
    const double pxPerMMY = device.height() / printableMM.height();
    const QRectF target(0, 0, fitMM.width() * pxPerMMX, fitMM.height() * pxPerMMY);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, picture);
}
} // namespace

QString printHeader(const QDateTime &when)
{
    const QLocale locale = QLocale::system();
    const QString v = QStringLiteral("%1.%2").arg(GIPSO_VERSION_MAJOR).arg(GIPSO_VERSION_MINOR) + QString(6, QLatin1Char(' ')) +
                      locale.toString(when.date(), QLocale::ShortFormat) + QString(3, QLatin1Char(' ')) +
                      locale.toString(when.time(), QLocale::LongFormat);
    return formatMessage(messageText(msg::AboutRelease), {v});
}

bool printViewDocument(QPagedPaintDevice &device, const QImage &picture, const QString &header)
{
    device.setPageOrientation(printOrientation(picture.size()));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    drawPictureFitted(painter, device, picture);
    QFont font = painter.font();
    font.setPointSize(16);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF fm(font, &device);
    painter.drawText(QPointF(0, fm.ascent()), header);
    return painter.end();
}

} // namespace gipso
