#pragma once

#include "base/MessageIds.h"
#include "gps/CommMode.h"
#include "gps/GarminLink.h"
#include "points/PointStore.h"

#include <QString>

namespace gipso {

// Message id of the text shown while a mode runs.
msg::Id progressMessageId(CommMode mode);

// The transfers, packet for packet; each returns its result text (661, 663, 665, 667 or 669),
// also appended to the exchange log. Downloads take every packet intact (a damaged one is
// asked for again, GarminLink::receivePacket) and append each point once its packet has been
// received and converted whole, so an error never leaves a half-built or damaged point; points
// received before an error stay, and pointsModified is then left alone. When the receiver does
// not close a download with Transfer complete, message 660 goes to the warning outlet and the
// result stands. Uploads only read the store, encode every record before the first packet goes
// (a value out of range names the point) and send each packet until the receiver acknowledges
// it. Errors (time-out, line closed, damage, refusal, overflow) are raised as GipsoError for the
// caller's error trap, never reported as a result.
QString downloadWayPoints(GarminLink &link, PointStore &store);
QString downloadRoutePoints(GarminLink &link, PointStore &store);
QString downloadTrackPoints(GarminLink &link, PointStore &store);
QString uploadWayPoints(GarminLink &link, const PointStore &store);
QString uploadRoutePoints(GarminLink &link, const PointStore &store);
// The transfer of a mode; nothing for the NMEA acquisition.
QString runTransfer(CommMode mode, GarminLink &link, PointStore &store);

} // namespace gipso
