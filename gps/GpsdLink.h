#pragma once

#include "gps/ByteLink.h"

#include <QString>
#include <memory>

class QTcpSocket;

namespace gipso {

// gpsd's usual port, and the name the port list offers for a local gpsd.
inline constexpr quint16 kGpsdDefaultPort = 2947;
inline const QString kLocalGpsdName = QStringLiteral("gpsd://localhost:2947");

// The NMEA that a gpsd relays, over its TCP socket, read as if it came from a serial port.
// After connecting it asks gpsd for the raw NMEA of its receivers (the watch request) and
// hands out only the NMEA lines, each ending with CR LF: gpsd's own JSON reports (they start
// with '{') are dropped, as is a line cut short when the connection closes. Nothing is sent
// to the receiver through gpsd: Garmin packets need a serial port. Waiting runs a local event
// loop, as SerialLink does.
class GpsdLink : public ByteLink {
public:
    GpsdLink();
    ~GpsdLink() override;

    // A port name of the form gpsd://HOST[:PORT].
    static bool isGpsdName(const QString &name);
    // The host and port of a gpsd:// name (the port 2947 when left out); false when malformed.
    static bool parseName(const QString &name, QString *host, quint16 *port);
    // True when a gpsd at host:port sends its greeting within timeoutMs (a bounded look).
    static bool answers(const QString &host, quint16 port, int timeoutMs);

    // Connects (at most connectTimeoutMs) and sends the watch request; the reason in the
    // current language when it fails.
    bool open(const QString &name, QString *error = nullptr, int connectTimeoutMs = 3000);
    void close();
    bool isOpen() const;

    bool write(const QByteArray &bytes) override;
    QByteArray read(int timeoutMs) override;
    bool closed() const override;
    QString hangUpText() const override;
    bool carriesPackets() const override { return false; }

private:
    QByteArray takeNmeaLines();

    std::unique_ptr<QTcpSocket> socket_;
    QByteArray partial_; // the start of a line not yet complete
};

} // namespace gipso
