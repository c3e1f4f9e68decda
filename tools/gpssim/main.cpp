// gipso-gpssim: a simulated Garmin handheld of the eTrex family on a pseudo-terminal.
//
// It answers the product request with a protocol array (A010, A100/D108, A201/D202/D108/D210,
// A301/D310/D301), serves WayPoints, a route and a track log from a point file, records what
// a host uploads, streams NMEA, and can misbehave on purpose to test a host's fault handling.
#include "base/DateValue.h"
#include "base/Error.h"
#include "files/PointFiles.h"
#include "gps/Packet.h"
#include "gps/Transfers.h"
#include "points/PointStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace gipso;

namespace {

const char *kHelp =
    "usage: gipso-gpssim [OPTIONS]\n"
    "Opens a pseudo-terminal, prints its path on the first line of standard output and acts as\n"
    "a Garmin eTrex on it (or streams NMEA) until killed.\n"
    "\n"
    "  --points FILE          serve the WayPoints, route and track log of FILE (.gpx or text file)\n"
    "  --track-names A,B,..   names of the track headers in order (empty entries allowed);\n"
    "                         by default a track is named by its first point's description\n"
    "  --record OUT           after every completed upload write the points received so far\n"
    "                         (WayPoints and route) to OUT (.gpx or text file); uploads are\n"
    "                         also served to later downloads\n"
    "  --baud N               throttle both directions to the byte time of N baud (10 bits a byte)\n"
    "  --fault FAULT          inject a fault; may be repeated. FAULT is KIND@N[:MS] where N counts\n"
    "                         the packets the simulator sends (acknowledgements included) from the\n"
    "                         start of a transfer (the host's command or Records packet), the\n"
    "                         acknowledgement of that packet being 1:\n"
    "                           checksum@N    wrong checksum\n"
    "                           trailer@N     DLE 0x04 instead of DLE ETX\n"
    "                           silence@N:MS  say nothing for MS ms before the packet\n"
    "                           stall@N:MS    stop for MS ms after the packet's fourth byte\n"
    "                           garbage@N     send stray bytes before the packet\n"
    "                           hangup@N      close the line instead of sending the packet\n"
    "                         and without @N:\n"
    "                           dle           track headers with a 0x10 in size, data and checksum\n"
    "                                         (names padded or cut to 13 characters)\n"
    "  --nmea gga|rmc|both    stream NMEA built from the track log of --points instead of\n"
    "                         answering the device protocol\n"
    "  --nmea-log FILE        stream the lines of an NMEA log (lines starting with # are skipped)\n"
    "  --nmea-interval MS     pause after each fix (default 1000; 0 = as fast as the line goes)\n"
    "  --nmea-repeat          start the stream again at its end (default: fall silent)\n"
    "  --hangup-at-end        close the line at the end of the NMEA stream\n"
    "  -h, --help             this text\n";

using Clock = std::chrono::steady_clock;

struct Fault {
    QString kind;
    int packet = 0;
    int ms = 0;
};

struct Options {
    QString points;
    QStringList trackNames;
    bool trackNamesGiven = false;
    QString record;
    int baud = 0;
    QList<Fault> faults;
    bool dleHeaders = false;
    QString nmea; // gga, rmc, both
    QString nmeaLog;
    int nmeaInterval = 1000;
    bool nmeaRepeat = false;
    bool hangupAtEnd = false;
};

[[noreturn]] void usageError(const QString &message)
{
    std::fprintf(stderr, "gipso-gpssim: %s\n", qPrintable(message));
    std::exit(2);
}

Options parseOptions(const QStringList &args)
{
    Options o;
    for (int k = 0; k < args.size(); ++k) {
        const QString &a = args[k];
        auto value = [&]() -> QString {
            if (k + 1 >= args.size())
                usageError(a + QStringLiteral(" needs a value"));
            return args[++k];
        };
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            std::fputs(kHelp, stdout);
            std::exit(0);
        } else if (a == QLatin1String("--points")) {
            o.points = value();
        } else if (a == QLatin1String("--track-names")) {
            o.trackNames = value().split(QLatin1Char(','));
            o.trackNamesGiven = true;
        } else if (a == QLatin1String("--record")) {
            o.record = value();
        } else if (a == QLatin1String("--baud")) {
            o.baud = value().toInt();
        } else if (a == QLatin1String("--fault")) {
            const QString faultText = value();
            if (faultText == QLatin1String("dle")) {
                o.dleHeaders = true;
                continue;
            }
            Fault f;
            const qsizetype at = faultText.indexOf(QLatin1Char('@'));
            f.kind = faultText.left(at);
            const QStringList rest = faultText.mid(at + 1).split(QLatin1Char(':'));
            bool ok = at > 0;
            f.packet = rest.value(0).toInt(&ok);
            f.ms = rest.value(1).toInt();
            static const QStringList kinds = {QStringLiteral("checksum"), QStringLiteral("trailer"),
                                              QStringLiteral("silence"), QStringLiteral("stall"),
                                              QStringLiteral("garbage"), QStringLiteral("hangup")};
            if (!ok || !kinds.contains(f.kind) || f.packet < 1)
                usageError(QStringLiteral("bad fault '%1'").arg(faultText));
            o.faults << f;
        } else if (a == QLatin1String("--nmea")) {
            o.nmea = value().toLower();
            if (o.nmea != QLatin1String("gga") && o.nmea != QLatin1String("rmc") && o.nmea != QLatin1String("both"))
                usageError(QStringLiteral("--nmea takes gga, rmc or both"));
        } else if (a == QLatin1String("--nmea-log")) {
            o.nmeaLog = value();
        } else if (a == QLatin1String("--nmea-interval")) {
            o.nmeaInterval = value().toInt();
        } else if (a == QLatin1String("--nmea-repeat")) {
            o.nmeaRepeat = true;
        } else if (a == QLatin1String("--hangup-at-end")) {
            o.hangupAtEnd = true;
        } else {
            usageError(QStringLiteral("unknown option '%1' (see --help)").arg(a));
        }
    }
    return o;
}

// ---------------------------------------------------------------------------------------
// The line: the master side of the pty, with the optional baud-rate throttle.

class Line {
public:
    explicit Line(int baud) : byteTime_(baud > 0 ? std::chrono::nanoseconds(10'000'000'000LL / baud) : std::chrono::nanoseconds(0)) {}

    QString open()
    {
        fd_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (fd_ < 0 || grantpt(fd_) != 0 || unlockpt(fd_) != 0)
            usageError(QStringLiteral("cannot open a pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno))));
        const QString path = QString::fromLocal8Bit(ptsname(fd_));
        // Raw mode on the terminal side: no echo, no line editing, no translation of CR/LF.
        const int slave = ::open(ptsname(fd_), O_RDWR | O_NOCTTY);
        if (slave >= 0) {
            termios t{};
            tcgetattr(slave, &t);
            cfmakeraw(&t);
            tcsetattr(slave, TCSANOW, &t);
            ::close(slave);
        }
        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
        lineFree_ = Clock::now();
        return path;
    }

    // Waits for bytes from the host up to timeoutMs (-1: forever). Returns them; an empty
    // result is a time-out. While no host has the terminal open, waits without spinning.
    QByteArray read(int timeoutMs)
    {
        responding_ = false;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 1'000'000'000 : timeoutMs);
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return {};
            const int r = ::poll(&p, 1, int(std::min<long long>(left, 1'000'000)));
            if (r <= 0)
                continue;
            if (p.revents & POLLIN) {
                char buf[4096];
                const ssize_t n = ::read(fd_, buf, sizeof buf);
                if (n > 0) {
                    arrived(n);
                    return QByteArray(buf, n);
                }
            }
            if (p.revents & (POLLHUP | POLLERR)) {
                hostGone_ = true; // no host has the terminal open
                std::this_thread::sleep_for(std::chrono::milliseconds(std::min<long long>(left, 20)));
            }
        }
    }

    bool hostPresent()
    {
        pollfd p{fd_, POLLIN, 0};
        ::poll(&p, 1, 0);
        return !(p.revents & POLLHUP);
    }

    // Takes and clears the note that the host went away since the last call.
    bool hostWasGone()
    {
        const bool gone = hostGone_;
        hostGone_ = false;
        return gone;
    }

    // Sends bytes. Throttled, they reach the host when their last byte would have: a host
    // cannot act on a packet before it has all of it.
    void write(const QByteArray &bytes)
    {
        if (byteTime_.count() > 0) {
            // A reply starts when the line frees; anything else no earlier than now.
            const auto start = responding_ ? lineFree_ : std::max(lineFree_, Clock::now());
            lineFree_ = start + byteTime_ * bytes.size();
            std::this_thread::sleep_until(lineFree_);
        }
        responding_ = true; // what follows at once goes out back to back
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
            } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                pollfd p{fd_, POLLOUT, 0};
                ::poll(&p, 1, 100);
            } else {
                return;
            }
        }
        lastWrite_ = Clock::now();
        lastWriteEnd_ = lineFree_;
        wrote_ = true;
    }

    // A deliberate pause of the device (fault injection): the line stays idle meanwhile.
    void pause(int ms)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        if (byteTime_.count() > 0)
            lineFree_ += std::chrono::milliseconds(ms);
    }

    // After idling (no host listening) the line starts afresh from now.
    void restart()
    {
        lineFree_ = std::max(lineFree_, Clock::now());
        responding_ = false;
    }

    void hangUp()
    {
        ::close(fd_);
        fd_ = -1;
    }

private:
    // Throttling keeps an ideal timeline of the line, so that late wake-ups of this program
    // do not add up: host bytes start on the line as long after the end of our last packet
    // as the host took to answer it, and take their byte time.
    void arrived(qsizetype n)
    {
        responding_ = true;
        if (byteTime_.count() <= 0)
            return;
        const auto now = Clock::now();
        const auto start = wrote_ ? std::max(lineFree_, lastWriteEnd_ + (now - lastWrite_)) : std::max(lineFree_, now);
        lineFree_ = start + byteTime_ * n;
    }

    int fd_ = -1;
    std::chrono::nanoseconds byteTime_;
    Clock::time_point lineFree_;   // when the line is free on the ideal timeline
    Clock::time_point lastWrite_;  // real time of our last write
    Clock::time_point lastWriteEnd_; // its end on the ideal timeline
    bool wrote_ = false;
    bool responding_ = false;
    bool hostGone_ = false;
};

// ---------------------------------------------------------------------------------------
// Packets from the host, de-stuffed.

struct Packet {
    int id = 0;
    QByteArray data;
    bool checksumOk = true;
};

class PacketReader {
public:
    // Feeds bytes; complete packets are appended to out.
    void feed(const QByteArray &bytes, QList<Packet> &out)
    {
        for (char c : bytes)
            take(uint8_t(c), out);
    }
    void reset() { state_ = WaitDle; }

private:
    enum State { WaitDle, Id, Size, Data, Check, EndDle, EndEtx };

    void take(uint8_t b, QList<Packet> &out)
    {
        if (state_ == WaitDle) {
            if (b == DLE)
                state_ = Id;
            return;
        }
        if (state_ == Id) {
            if (b == DLE || b == ETX) { // not a packet start after all
                state_ = b == DLE ? Id : WaitDle;
                return;
            }
            cur_ = Packet{};
            cur_.id = b;
            sum_ = b;
            state_ = Size;
            pendingDle_ = false;
            return;
        }
        if (state_ == Size || state_ == Data || state_ == Check) {
            if (pendingDle_) {
                pendingDle_ = false;
                if (b != DLE) { // a lone DLE: give up on this packet
                    state_ = b == ETX ? WaitDle : Id;
                    return;
                }
            } else if (b == DLE) {
                pendingDle_ = true;
                return;
            }
            if (state_ == Size) {
                size_ = b;
                sum_ += b;
                state_ = size_ ? Data : Check;
            } else if (state_ == Data) {
                cur_.data += char(b);
                sum_ += b;
                if (cur_.data.size() == size_)
                    state_ = Check;
            } else {
                cur_.checksumOk = uint8_t(sum_ + b) == 0;
                state_ = EndDle;
            }
            return;
        }
        if (state_ == EndDle) {
            state_ = b == DLE ? EndEtx : WaitDle;
            return;
        }
        if (b == ETX)
            out << cur_;
        state_ = WaitDle;
    }

    State state_ = WaitDle;
    Packet cur_;
    int size_ = 0;
    unsigned sum_ = 0;
    bool pendingDle_ = false;
};

// ---------------------------------------------------------------------------------------
// The device.

QString dataHex(const QByteArray &data) { return string2hex(data); }

// Wire bytes of a packet from the device, with a wrong checksum or trailer when asked.
QByteArray wirePacket(int id, const QString &data, bool badChecksum, bool badTrailer)
{
    QString body = scriviint1(id) + scriviint1(int(data.size() / 2));
    body += data;
    QString check = creacheck(body);
    if (badChecksum)
        check = scriviint1((leggiint1(check, 1) + 1) & 0xFF);
    QString wire = completastr(body + check);
    if (badTrailer)
        wire.replace(wire.size() - 2, 2, QStringLiteral("04"));
    return hex2string(wire);
}

QString ackData(int id) { return scriviint1(id) + QStringLiteral("00"); }

class Device {
public:
    Device(const Options &o, Line &line, PointStore &served) : o_(o), line_(line), served_(served) {}

    void run()
    {
        QList<Packet> packets;
        for (;;) {
            const QByteArray bytes = line_.read(-1);
            if (line_.hostWasGone()) { // a new host starts from scratch
                reader_.reset();
                queue_.clear();
                awaitingAck_ = false;
            }
            reader_.feed(bytes, packets);
            while (!packets.isEmpty())
                handle(packets.takeFirst());
        }
    }

private:
    struct Out {
        int id;
        QString data;
    };

    void startTransfer() { sentInTransfer_ = 0; }

    // Sends one packet, applying the faults planned for its number in the transfer.
    void send(int id, const QString &data)
    {
        const int number = ++sentInTransfer_;
        bool badChecksum = false, badTrailer = false;
        int stallMs = -1;
        for (const Fault &f : o_.faults) {
            if (f.packet != number)
                continue;
            if (f.kind == QLatin1String("checksum"))
                badChecksum = true;
            else if (f.kind == QLatin1String("trailer"))
                badTrailer = true;
            else if (f.kind == QLatin1String("silence"))
                line_.pause(f.ms);
            else if (f.kind == QLatin1String("stall"))
                stallMs = f.ms;
            else if (f.kind == QLatin1String("garbage"))
                line_.write(QByteArray("\x55\xAA\x13\x11\xFF\x00\x7E", 7));
            else if (f.kind == QLatin1String("hangup")) {
                std::fprintf(stderr, "gipso-gpssim: hanging up before packet %d\n", number);
                line_.hangUp();
                std::exit(0);
            }
        }
        const QByteArray wire = wirePacket(id, data, badChecksum, badTrailer);
        if (stallMs >= 0) {
            line_.write(wire.left(4));
            line_.pause(stallMs);
            line_.write(wire.mid(4));
        } else {
            line_.write(wire);
        }
        lastSent_ = {id, data};
    }

    void ack(int id) { send(pid::Ack, ackData(id)); }

    // Packets that wait for the host's acknowledgement one by one.
    void queueAndStart(QList<Out> packets)
    {
        queue_ = std::move(packets);
        awaitingAck_ = false;
        sendNext();
    }

    void sendNext()
    {
        if (queue_.isEmpty()) {
            awaitingAck_ = false;
            return;
        }
        const Out o = queue_.takeFirst();
        send(o.id, o.data);
        awaitingAck_ = true;
    }

    void handle(const Packet &p)
    {
        if (!p.checksumOk) {
            send(pid::Nak, ackData(p.id));
            return;
        }
        switch (p.id) {
        case pid::Ack:
            if (awaitingAck_)
                sendNext();
            return;
        case pid::Nak:
            if (awaitingAck_)
                send(lastSent_.id, lastSent_.data);
            return;
        case pid::ProductRequest:
            startTransfer();
            ack(p.id);
            queueAndStart(productPackets());
            return;
        case pid::CommandData: {
            startTransfer();
            ack(p.id);
            const int command = p.data.size() >= 2 ? uint8_t(p.data[0]) | uint8_t(p.data[1]) << 8 : -1;
            if (command == cmd::TransferWaypoints)
                queueAndStart(wayPointPackets());
            else if (command == cmd::TransferRoute)
                queueAndStart(routePackets());
            else if (command == cmd::TransferTrackLog)
                queueAndStart(trackPackets());
            else if (command == 0) // abort transfer
                queue_.clear(), awaitingAck_ = false;
            return;
        }
        case pid::Records:
            startTransfer();
            ack(p.id);
            upWay_.clear();
            upRoute_.clear();
            routeHeaderSeen_ = false;
            return;
        case pid::WaypointData:
            ack(p.id);
            upWay_.append(uploadedPoint(p.data, PointKind::Way));
            return;
        case pid::RouteWaypoint:
            ack(p.id);
            upRoute_.append(uploadedPoint(p.data, PointKind::Route));
            return;
        case pid::TransferComplete: {
            // Stored before the acknowledgement, so the host never sees the end first.
            const int command = p.data.size() >= 2 ? uint8_t(p.data[0]) | uint8_t(p.data[1]) << 8 : -1;
            // Some hosts close a route with the waypoint command number: the route header tells.
            if (routeHeaderSeen_ || command == cmd::TransferRoute)
                commitUpload(served_.routePoints, upRoute_, "RoutePoints");
            else if (command == cmd::TransferWaypoints)
                commitUpload(served_.wayPoints, upWay_, "WayPoints");
            routeHeaderSeen_ = false;
            ack(p.id);
            return;
        }
        case pid::RouteHeader:
            ack(p.id);
            routeHeaderSeen_ = true;
            return;
        default: // route header and links, anything else: acknowledged and ignored
            ack(p.id);
            return;
        }
    }

    // A D108 record as received, with full precision and its comment as the description.
    static GpsPoint uploadedPoint(const QByteArray &data, PointKind kind)
    {
        const QString hex = QStringLiteral("100000") + dataHex(data); // byte numbers as received
        GpsPoint p;
        p.kind = kind;
        p.latitude = semicirclesToDegrees(leggiint4(hex, 28));
        p.longitude = semicirclesToDegrees(leggiint4(hex, 32));
        const float alt = leggifloat(hex, 36);
        p.altitude = std::isfinite(alt) && std::fabs(alt) < 1.0e24f ? alt : 0.0f;
        p.name = leggistr(hex, 52);
        p.description = leggistr(hex, 52 + int(p.name.toLatin1().size()) + 1);
        return p;
    }

    void commitUpload(PointList &target, const PointList &received, const char *what)
    {
        target = received;
        std::fprintf(stderr, "gipso-gpssim: %d %s received\n", int(received.count()), what);
        if (o_.record.isEmpty())
            return;
        PointStore rec;
        rec.wayPoints = served_.wayPoints;
        rec.routePoints = served_.routePoints;
        try {
            writePointFile(o_.record, rec);
        } catch (const GipsoError &e) {
            std::fprintf(stderr, "gipso-gpssim: cannot write %s: %s\n", qPrintable(o_.record), qPrintable(e.description()));
        }
    }

    QList<Out> productPackets() const
    {
        QString product = scriviint2(130) + scriviint2(215) + scrivistr(QStringLiteral("eTrex Software Version 2.15"), 0);
        QString protocols;
        const char *tags[] = {"P000", "L001", "A010", "A100", "D108", "A201", "D202", "D108",
                              "D210", "A301", "D310", "D301"};
        for (const char *t : tags)
            protocols += scriviint1(uchar(t[0])) + scriviint2(atoi(t + 1));
        return {{pid::ProductData, product}, {pid::ProtocolArray, protocols}};
    }

    QList<Out> withRecords(QList<Out> records, int commandNumber) const
    {
        QList<Out> all;
        all.reserve(records.size() + 2);
        all << Out{pid::Records, scriviint2(int(records.size()))};
        all += records;
        all << Out{pid::TransferComplete, scriviint2(commandNumber)};
        return all;
    }

    QList<Out> wayPointPackets() const
    {
        QList<Out> r;
        for (const GpsPoint &p : served_.wayPoints)
            r << Out{pid::WaypointData, waypointRecordData(p)};
        return withRecords(r, cmd::TransferWaypoints);
    }

    QList<Out> routePackets() const
    {
        QList<Out> r;
        const PointList &route = served_.routePoints;
        if (!route.isEmpty()) {
            r << Out{pid::RouteHeader, scrivistr(QStringLiteral("ROUTE"), 0)};
            for (int32_t i = 1; i <= route.count(); ++i) {
                if (i > 1) // D210: class 3 (direct), empty subclass and identifier
                    r << Out{pid::RouteLink, QStringLiteral("0300000000000000FFFFFFFFFFFFFFFFFFFFFFFF00")};
                r << Out{pid::RouteWaypoint, waypointRecordData(route[i])};
            }
        }
        return withRecords(r, cmd::TransferRoute);
    }

    QString trackHeader(int index, const QString &name) const
    {
        QString title = o_.trackNamesGiven ? o_.trackNames.value(index) : name;
        if (!o_.dleHeaders)
            return QStringLiteral("01FF") + scrivistr(title, 0); // D310: displayed, default colour
        // Size 16 (0x10), colour 0x10, and a display byte that makes the checksum 0x10.
        const QString text = scrivistr(title, 13) + QStringLiteral("00");
        unsigned sum = pid::TrackHeader + 16 + 0x10;
        for (char c : hex2string(text))
            sum += uint8_t(c);
        const int display = int((0x100 - 0x10 - sum % 256 + 0x200) % 256);
        return scriviint1(display) + QStringLiteral("10") + text;
    }

    QList<Out> trackPackets() const
    {
        QList<Out> r;
        const PointList &log = served_.trackPoints;
        int tracks = 0;
        r.reserve(log.count() + 8);
        for (int32_t i = 1; i <= log.count(); ++i) {
            const bool starts = trackStarts(log, i);
            if (starts)
                r << Out{pid::TrackHeader, trackHeader(tracks++, log[i].description)};
            r << Out{pid::TrackData, trackPointRecordData(log[i], starts)};
        }
        return withRecords(r, cmd::TransferTrackLog);
    }

    const Options &o_;
    Line &line_;
    PointStore &served_;
    PacketReader reader_;
    QList<Out> queue_;
    bool awaitingAck_ = false;
    Out lastSent_{0, {}};
    int sentInTransfer_ = 0;
    PointList upWay_;
    PointList upRoute_;
    bool routeHeaderSeen_ = false;
};

// ---------------------------------------------------------------------------------------
// NMEA streaming.

QString withChecksum(const QString &body)
{
    uint8_t x = 0;
    for (QChar c : body)
        x ^= uint8_t(c.unicode());
    return QLatin1Char('$') + body + QLatin1Char('*') + scriviint1(x) + QStringLiteral("\r\n");
}

// ddmm.mmmm (two or three degree digits) and the hemisphere letter.
QString nmeaAngle(double value, int degreeDigits, char positive, char negative)
{
    const qint64 total = std::llround(std::fabs(value) * 600000.0); // ten-thousandths of a minute
    const qint64 degrees = total / 600000;
    const qint64 rest = total % 600000;
    return QStringLiteral("%1%2.%3,%4")
        .arg(degrees, degreeDigits, 10, QLatin1Char('0'))
        .arg(rest / 10000, 2, 10, QLatin1Char('0'))
        .arg(rest % 10000, 4, 10, QLatin1Char('0'))
        .arg(QLatin1Char(value < 0 ? negative : positive));
}

QStringList fixSentences(const GpsPoint &p, const QString &which)
{
    const QTime t = timeOfValue(p.time);
    const QDate d = dateOfValue(p.date);
    const QString hms = t.toString(QStringLiteral("HHmmss")) + QStringLiteral(".00");
    const QString lat = nmeaAngle(p.latitude, 2, 'N', 'S');
    const QString lon = nmeaAngle(p.longitude, 3, 'E', 'W');
    QStringList out;
    if (which != QLatin1String("rmc"))
        out << withChecksum(QStringLiteral("GPGGA,%1,%2,%3,1,08,1.0,%4,M,0.0,M,,")
                                .arg(hms, lat, lon, QString::number(double(p.altitude), 'f', 1)));
    if (which != QLatin1String("gga"))
        out << withChecksum(QStringLiteral("GPRMC,%1,A,%2,%3,0.0,0.0,%4,,")
                                .arg(hms, lat, lon, d.toString(QStringLiteral("ddMMyy"))));
    return out;
}

// The stream as groups of lines; the pause comes after each group.
QList<QStringList> nmeaStream(const Options &o, const PointStore &store)
{
    QList<QStringList> groups;
    if (!o.nmeaLog.isEmpty()) {
        QFile f(o.nmeaLog);
        if (!f.open(QIODevice::ReadOnly))
            usageError(QStringLiteral("cannot read %1").arg(o.nmeaLog));
        QString firstTag;
        QStringList group;
        while (!f.atEnd()) {
            QString line = QString::fromLatin1(f.readLine());
            while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            group << line + QStringLiteral("\r\n");
            const QString tag = line.mid(3, 3);
            if (firstTag.isEmpty() && (tag == QLatin1String("GGA") || tag == QLatin1String("RMC")))
                firstTag = tag;
            if (tag == firstTag) { // one fix per epoch: the pause follows it
                groups << group;
                group.clear();
            }
        }
        if (!group.isEmpty())
            groups << group;
    } else {
        for (const GpsPoint &p : store.trackPoints)
            groups << fixSentences(p, o.nmea);
    }
    return groups;
}

void streamNmea(const Options &o, Line &line, const PointStore &store)
{
    const QList<QStringList> groups = nmeaStream(o, store);
    do {
        for (const QStringList &group : groups) {
            if (!line.hostPresent()) {
                while (!line.hostPresent()) // the stream starts when a host listens
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                line.restart();
            }
            for (const QString &l : group)
                line.write(l.toLatin1());
            if (o.nmeaInterval > 0)
                line.pause(o.nmeaInterval);
        }
    } while (o.nmeaRepeat && !groups.isEmpty());
    if (o.hangupAtEnd) {
        // Closing the master drops what the host has not read yet: give it time to read.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        line.hangUp();
        std::exit(0);
    }
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    const Options o = parseOptions(QCoreApplication::arguments().mid(1));

    PointStore served;
    if (!o.points.isEmpty()) {
        try {
            readPointFile(o.points, served);
        } catch (const GipsoError &e) {
            usageError(QStringLiteral("cannot read %1: %2").arg(o.points, e.description()));
        }
    }

    Line line(o.baud);
    const QString path = line.open();
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
    std::fprintf(stderr, "gipso-gpssim: %d WayPoints, %d RoutePoints, %d TrackPoints\n", int(served.wayPoints.count()),
                 int(served.routePoints.count()), int(served.trackPoints.count()));

    if (!o.nmea.isEmpty() || !o.nmeaLog.isEmpty())
        streamNmea(o, line, served);
    Device(o, line, served).run();
    return 0;
}
