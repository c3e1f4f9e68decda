// Map view commands of the main window: the map widget, zoom, printing.
#include "base/Clock.h"
#include "base/Messages.h"
#include "app/ui/frmGPS.h"
#include "map/Print.h"
#include "map/ui/picMap.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QPrinter>
#include <QVBoxLayout>

namespace gipso {

picMap *frmGPS::mapView() const { return mapView_.data(); }

void frmGPS::setupMapView()
{
    if (mapView_ || !picFrame())
        return;
    auto *view = new picMap(*this, picFrame());
    auto *layout = qobject_cast<QVBoxLayout *>(picFrame()->layout());
    if (!layout) {
        layout = new QVBoxLayout(picFrame());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
    }
    layout->addWidget(view);
    mapView_ = view;
}

void frmGPS::shutdownMap()
{
    if (picMap *view = mapView())
        view->releaseBitmap();
}

void frmGPS::mapLoaded()
{
    // Zoom and scroll values stay as they are, so a new map opens at the same relative place.
    if (picMap *view = mapView()) {
        view->setCursor(Qt::CrossCursor);
        view->applyView();
    }
}

void frmGPS::viewResized()
{
    picMap *view = mapView();
    if (view && view->viewWindow().view != view->size())
        view->applyView();
}

void frmGPS::zoomCommand(const QString &actionName)
{
    // mnuHalftone toggles its own check mark when triggered; the view follows it.
    if (auto zoom = zoomAfterCommand(actionName, state().zoomFactor))
        state().zoomFactor = *zoom;
    if (picMap *view = mapView())
        view->applyView();
}

void frmGPS::updateZoomMenu()
{
    for (const QString &name : zoomEntryNames())
        if (QAction *a = action(name))
            a->setEnabled(zoomEntryEnabled(name, state().zoomFactor));
}

void frmGPS::printMap()
{
    picMap *view = mapView();
    if (!view)
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!dialogs().printSetup(this, printer))
        return;
    const QImage picture = view->viewImage();
    const int copies = printer.copyCount();
    printer.setCopyCount(1); // each copy is a document of its own
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool ok = !picture.isNull();
    for (int i = 0; ok && i < copies; ++i) {
        ok = printViewDocument(printer, picture, printHeader(currentDateTime()));
        QApplication::processEvents();
    }
    QApplication::restoreOverrideCursor();
    if (!ok)
        dialogs().message(this, messageText(msg::PrintError), Dialogs::Icon::Critical);
}

} // namespace gipso
