#pragma once

#include "gps/CommMode.h"
#include "gps/GarminLink.h"
#include "points/PointStore.h"

#include <QString>

namespace gipso {

// Message id of the text shown while a mode runs (659, 662, 664, 666, 668; 673 for NMEA).
int progressMessageId(CommMode mode);

// The transfers, packet for packet; each returns its result text (661, 663, 665, 667 or 669),
// also appended to the exchange log. Downloads append each point once its packet has been
// received and converted whole, so an error never leaves a half-built point; points received
// before an error stay, and pointsModified is then left alone. Errors (time-out, overflow)
// are raised as GipsoError for the caller's error trap. Uploads only read the store and
// encode every record before the first packet goes. When the receiver does not confirm the
// end of the transfer, message 660 goes to the warning outlet and the result stands.
QString downloadWayPoints(GarminLink &link, PointStore &store);
QString downloadRoutePoints(GarminLink &link, PointStore &store);
QString downloadTrackPoints(GarminLink &link, PointStore &store);
QString uploadWayPoints(GarminLink &link, const PointStore &store);
QString uploadRoutePoints(GarminLink &link, const PointStore &store);
// The transfer of a mode; nothing for the NMEA acquisition.
QString runTransfer(CommMode mode, GarminLink &link, PointStore &store);

} // namespace gipso
