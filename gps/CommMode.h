#pragma once

namespace gipso {

// What the communication dialog is opened for: one of the five transfers with the receiver,
// or the NMEA acquisition.
enum class CommMode {
    DownloadWayPoints,
    DownloadRoutePoints,
    DownloadTrackPoints,
    UploadWayPoints,
    UploadRoutePoints,
    NmeaAcquisition,
};

} // namespace gipso
