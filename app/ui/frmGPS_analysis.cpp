// The analysis views of the main window: the points list, the altitude profile and the track
// statistics.
#include "app/ui/frmGPS.h"
#include "analysis/ui/frmAlt.h"
#include "analysis/ui/frmStat.h"
#include "base/Messages.h"

#include "analysis/ui/frmVis.h"
#include "base/Messages.h"

namespace gipso {

void frmGPS::showList(const QString &mode, int captionId)
{
    const PointKind kind = mode == QLatin1String("1") ? PointKind::Way : mode == QLatin1String("2") ? PointKind::Route : PointKind::Track;
    frmVis form(state_, dialogs_, kind, this);
    form.setWindowTitle(messageText(captionId));
    form.repaintMap = [this] { repaintMap(); };
    // A Delete that empties the list ends the Modify/Delete mode of that kind, as on the map.
    form.listEmptied = [this] {
        uncheckEmptyEditModes();
        refreshMenus();
    };
    dialogs_.exec(form);
    repaintMap();
    refreshMenus();
}

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
