// Communication commands of the main window: the downloads, uploads and NMEA acquisition all
// open the communication dialog in their mode.
#include "base/Messages.h"
#include "app/ui/frmGPS.h"
#include "gps/ui/frmComm.h"

#include <QLabel>

namespace gipso {

void frmGPS::openComm(CommMode mode, int captionId)
{
    frmComm form(state(), dialogs(), mode, this);
    form.setWindowTitle(messageText(captionId));
    form.repaintMap = [this] { repaintMap(); };
    const PointCounts before = pointCounts(state().store);
    const bool done = dialogs().exec(form) == QDialog::Accepted && form.finished();
    // What a download or an acquisition appended is one step to undo.
    state().history.pushAppended(state().store, before);
    // The status bar repeats what the transfer did.
    if (mode == CommMode::NmeaAcquisition) {
        if (const int n = pointCounts(state().store).track - before.track; n > 0)
            showStatus(formatMessage(messageText(msg::TrackPointsAcquired), {n}));
    } else if (done) {
        showStatus(form.Label2->text());
    }
    repaintMap();
    refreshMenus();
}

} // namespace gipso
