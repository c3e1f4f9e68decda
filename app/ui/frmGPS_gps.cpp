// Communication commands of the main window: the downloads, uploads and NMEA acquisition all
// open the communication dialog in their mode.
#include "base/Messages.h"
#include "app/ui/frmGPS.h"
#include "gps/ui/frmComm.h"

namespace gipso {

void frmGPS::openComm(CommMode mode, int captionId)
{
    frmComm form(state(), dialogs(), mode, this);
    form.setWindowTitle(messageText(captionId));
    form.repaintMap = [this] { repaintMap(); };
    const PointCounts before = pointCounts(state().store);
    dialogs().exec(form);
    // What a download or an acquisition appended is one step to undo.
    state().history.pushAppended(state().store, before);
    repaintMap();
    refreshMenus();
}

} // namespace gipso
