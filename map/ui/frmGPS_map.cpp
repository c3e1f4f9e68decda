// Map file and calibration commands of the main window.
#include "app/ui/frmGPS.h"

#include <QDragEnterEvent>
#include <QDropEvent>

namespace gipso {

void frmGPS::openMap() {}
bool frmGPS::saveCalibratedMap() { return false; }
void frmGPS::openRecentMap(int) {}
void frmGPS::calibrateMap() {}
void frmGPS::openFiles(const QStringList &) {}
void frmGPS::calibrationClick(double, double) {}
void frmGPS::dragEnterEvent(QDragEnterEvent *) {}
void frmGPS::dropEvent(QDropEvent *) {}

} // namespace gipso
