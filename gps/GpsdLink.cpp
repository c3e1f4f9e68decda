#include "gps/GpsdLink.h"

#include "base/Messages.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace gipso {

namespace {

constexpr QLatin1StringView kScheme("gpsd://");
// Raw NMEA for every receiver gpsd manages, nothing else.
constexpr char kWatchRequest[] = "?WATCH={\"enable\":true,\"nmea\":true};\r\n";

// Runs the event loop until one of the socket's signals fires or timeoutMs passes.
template <typename... Signals>
void waitFor(QTcpSocket &socket, int timeoutMs, Signals... wakers)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    (QObject::connect(&socket, wakers, &loop, &QEventLoop::quit), ...);
    QObject::connect(&socket, &QAbstractSocket::errorOccurred, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    loop.exec();
}

bool connectSocket(QTcpSocket &socket, const QString &host, quint16 port, int timeoutMs)
{
    socket.connectToHost(host, port);
    if (socket.state() != QAbstractSocket::ConnectedState && socket.state() != QAbstractSocket::UnconnectedState)
        waitFor(socket, timeoutMs, &QAbstractSocket::connected);
    return socket.state() == QAbstractSocket::ConnectedState;
}

} // namespace

GpsdLink::GpsdLink() = default;
GpsdLink::~GpsdLink() { close(); }

bool GpsdLink::isGpsdName(const QString &name) { return name.trimmed().startsWith(kScheme, Qt::CaseInsensitive); }

bool GpsdLink::parseName(const QString &name, QString *host, quint16 *port)
{
    if (!isGpsdName(name))
        return false;
    const QUrl url(name.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !(url.path().isEmpty() || url.path() == u"/") || url.hasQuery() ||
        !url.userInfo().isEmpty())
        return false;
    const int p = url.port(kGpsdDefaultPort);
    if (p <= 0)
        return false;
    *host = url.host();
    *port = quint16(p);
    return true;
}

bool GpsdLink::answers(const QString &host, quint16 port, int timeoutMs)
{
    QTcpSocket socket;
    QElapsedTimer clock;
    clock.start();
    if (!connectSocket(socket, host, port, timeoutMs))
        return false;
    // gpsd greets every client with its version report.
    while (!socket.canReadLine() && socket.state() == QAbstractSocket::ConnectedState) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        waitFor(socket, int(left), &QIODevice::readyRead, &QAbstractSocket::disconnected);
    }
    return socket.canReadLine() && socket.readLine().startsWith("{\"class\":\"VERSION\"");
}

bool GpsdLink::open(const QString &name, QString *error, int connectTimeoutMs)
{
    close();
    QString host;
    quint16 port = 0;
    if (!parseName(name, &host, &port)) {
        if (error)
            *error = messageText(msg::GpsdBadAddress);
        return false;
    }
    socket_ = std::make_unique<QTcpSocket>();
    if (!connectSocket(*socket_, host, port, connectTimeoutMs)) {
        if (error)
            *error = formatMessage(messageText(msg::GpsdNoAnswer),
                                   {QStringLiteral("%1:%2").arg(host).arg(port), socket_->errorString()});
        socket_.reset();
        return false;
    }
    socket_->write(kWatchRequest);
    socket_->flush();
    return true;
}

void GpsdLink::close()
{
    if (socket_)
        socket_->abort();
    socket_.reset();
    partial_.clear();
}

bool GpsdLink::isOpen() const { return socket_ != nullptr; }

// The receiver cannot be written to through gpsd.
bool GpsdLink::write(const QByteArray &) { return false; }

QByteArray GpsdLink::takeNmeaLines()
{
    if (!socket_)
        return {};
    partial_ += socket_->readAll();
    QByteArray out;
    qsizetype from = 0;
    for (qsizetype nl; (nl = partial_.indexOf('\n', from)) >= 0; from = nl + 1) {
        QByteArrayView line = QByteArrayView(partial_).sliced(from, nl - from);
        while (!line.isEmpty() && line.back() == '\r')
            line.chop(1);
        if (line.isEmpty() || line.front() == '{')
            continue; // gpsd's own reports
        out += line;
        out += "\r\n";
    }
    partial_.remove(0, from);
    return out;
}

QByteArray GpsdLink::read(int timeoutMs)
{
    QByteArray out = takeNmeaLines();
    if (!out.isEmpty() || timeoutMs <= 0 || closed())
        return out;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0 || socket_->state() != QAbstractSocket::ConnectedState)
            return out;
        waitFor(*socket_, int(left), &QIODevice::readyRead, &QAbstractSocket::disconnected);
        out = takeNmeaLines();
        if (!out.isEmpty())
            return out;
    }
}

bool GpsdLink::closed() const
{
    // A line cut short by the close is never completed: it does not count as unread.
    return !socket_ || (socket_->state() != QAbstractSocket::ConnectedState && socket_->bytesAvailable() == 0);
}

QString GpsdLink::hangUpText() const { return messageText(msg::GpsdClosed); }

} // namespace gipso
