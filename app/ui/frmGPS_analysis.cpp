// The analysis views of the main window: the points list, the altitude profile and the track
// statistics.
#include "app/ui/frmGPS.h"
#include "analysis/ui/frmAlt.h"
#include "analysis/ui/frmStat.h"
#include "base/Messages.h"

namespace gipso {

void frmGPS::showList(const QString &, int) {}

void frmGPS::showProfile(const QString &mode, int captionId)
{
    frmAlt form(state(), dialogs(), this);
    form.setWindowTitle(messageText(captionId));
    if (form.activate(mode))
        dialogs().exec(form);
    repaintMap();
}

void frmGPS::showStatistics()
{
    frmStat form(state(), dialogs(), this);
    if (form.activate())
        dialogs().exec(form);
    repaintMap();
}

} // namespace gipso
