#pragma once

#include "gps/GarminLink.h"
#include "points/PointStore.h"

#include <QString>
#include <cstdint>

namespace gipso {

// The dialog's mode tags "1" to "5" of the Garmin transfers.
enum class TransferMode {
    DownloadWayPoints = 1,
    DownloadRoutePoints = 2,
    DownloadTrackPoints = 3,
    UploadWayPoints = 4,
    UploadRoutePoints = 5,
};

struct TransferResult {
    int messageId = 0;        // 661, 663, 665, 667 or 669
    QString text;             // the result text, also appended to the exchange log
    int32_t points = 0;       // $0 of the result text
    int32_t tracks = 0;       // $1 (track log only)
    bool completeAcked = true; // false when message 660 "Transmission aborted" was raised
};

// Message id of the progress text shown while a transfer runs (659, 662, 664, 666, 668).
int progressMessageId(TransferMode mode);

// The transfers, packet for packet. Downloads append each point once its packet has been
// received and converted whole, so an error never leaves a half-built point; points received
// before an error stay, and pointsModified is then left alone. Errors (time-out, overflow)
// are raised as GipsoError for the caller's error trap. Uploads only read the store.
TransferResult downloadWayPoints(GarminLink &link, PointStore &store);
TransferResult downloadRoutePoints(GarminLink &link, PointStore &store);
TransferResult downloadTrackPoints(GarminLink &link, PointStore &store);
TransferResult uploadWayPoints(GarminLink &link, const PointStore &store);
TransferResult uploadRoutePoints(GarminLink &link, const PointStore &store);
TransferResult runTransfer(TransferMode mode, GarminLink &link, PointStore &store);

// Conversions of the record fields.
double semicirclesToDegrees(int32_t semicircles);
// Rounds to nearest, ties to even; +180 becomes -2^31 (the same meridian); other values
// outside the 32-bit range raise an overflow.
int32_t degreesToSemicircles(double degrees);
// Garmin time (seconds since 1989-12-31 00:00:00, unsigned) to the date and time values.
// 0xFFFFFFFF, "no time", gives date 0 and time 0.
void garminTimeToDateValues(uint32_t seconds, double &date, double &time);
// The inverse: whole seconds; dates before 1989-12-31 give 0.
uint32_t dateValuesToGarminTime(double date, double time);

// Data (hex, no framing) of the waypoint record sent for a WayPoint or RoutePoint: the
// 48-byte head, name and description (Latin-1, cut so that the data fits one packet).
QString waypointRecordData(const GpsPoint &point);
// Data of a track point record: position, time, altitude, depth, new-track flag.
QString trackPointRecordData(const GpsPoint &point, bool newTrack);
// The point read from a received waypoint record (byte numbers of the received text).
GpsPoint waypointFromRecord(const QString &hex, PointKind kind);
GpsPoint trackPointFromRecord(const QString &hex, const QString &trackName);

} // namespace gipso
