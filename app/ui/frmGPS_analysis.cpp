// The analysis views of the main window: the points list, the altitude profile and the track
// statistics.
#include "app/ui/frmGPS.h"

namespace gipso {

void frmGPS::showList(const QString &, int) {}

void frmGPS::showProfile(const QString &, int) {}

void frmGPS::showStatistics() {}

} // namespace gipso
