// Entries whose forms come with the options dialog and the about box; until those forms exist the entries are present and follow the enabling rules.
#include "app/ui/frmGPS.h"

namespace gipso {

void frmGPS::openOptions() {}
void frmGPS::openHelp() {}
void frmGPS::openAbout() {}

} // namespace gipso
