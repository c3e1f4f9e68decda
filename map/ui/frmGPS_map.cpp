// Map file and calibration commands of the main window.
#include "app/ui/frmGPS.h"

namespace gipso {

void frmGPS::openMap() {}
bool frmGPS::saveCalibratedMap() { return false; }
void frmGPS::openRecentMap(int) {}
void frmGPS::calibrateMap() {}
void frmGPS::openFiles(const QStringList &) {}
void frmGPS::calibrationClick(double, double) {}

} // namespace gipso
