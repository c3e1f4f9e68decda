// Communication commands of the main window.
#include "app/ui/frmGPS.h"

namespace gipso {

void frmGPS::openComm(const QString &, int) {}

} // namespace gipso
