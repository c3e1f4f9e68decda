// Map view commands of the main window: the map widget, zoom, printing.
#include "app/ui/frmGPS.h"

namespace gipso {

void frmGPS::setupMapView() {}
void frmGPS::shutdownMap() {}
void frmGPS::mapLoaded() {}
void frmGPS::printMap() {}
void frmGPS::zoomCommand(const QString &) {}
void frmGPS::updateZoomMenu() {}
void frmGPS::viewResized() {}

} // namespace gipso
