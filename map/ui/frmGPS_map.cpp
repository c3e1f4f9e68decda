// Map commands of the main window.
#include "app/ui/frmGPS.h"

namespace gipso {

void frmGPS::setupMapView() {}
void frmGPS::shutdownMap() {}
void frmGPS::openMap() {}
bool frmGPS::saveCalibratedMap() { return false; }
void frmGPS::openRecentMap(int) {}
void frmGPS::calibrateMap() {}
void frmGPS::printMap() {}
void frmGPS::zoomCommand(const QString &) {}
void frmGPS::openFiles(const QStringList &) {}

} // namespace gipso
