// The points list of a 1,000,000-point track log (100 tracks): opening it (the lengths summed,
// the window built and its first view painted), the memory that takes, and scrolling to the end.
#include "analysis/ui/frmVis.h"
#include "base/ui/Dialogs.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QFile>
#include <QListView>
#include <QScrollBar>
#include <QKeyEvent>
#include <chrono>
#include <cstdio>
#include <random>
#include <time.h>

namespace {
// A line of /proc/self/status in MB ("VmRSS", "VmHWM").
double statusMb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(strlen(key)) + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}
void key(QWidget *w, int k, Qt::KeyboardModifiers m = {})
{
    QKeyEvent press(QEvent::KeyPress, k, m);
    QApplication::sendEvent(w, &press);
}
// Starts the peak (VmHWM) again from the present size.
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}
} // namespace

using namespace gipso;
using namespace gipso::bench;

int main(int argc, char **argv)
{
    offscreenUnlessTold();
    QApplication app(argc, argv);
    AppState st;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> step(-0.0001, 0.0001);
    PointList &tp = st.store.trackPoints;
    tp.reserveMore(1000000);
    double lat = 45.5, lon = 9.2, alt = 500;
    for (int i = 0; i < 1000000; ++i) {
        GpsPoint p;
        p.kind = PointKind::Track;
        p.latitude = lat += step(rng);
        p.longitude = lon += step(rng);
        p.altitude = float(alt += step(rng) * 1000);
        p.date = 46000 + i / 86400;
        p.time = (i % 86400) / 86400.0;
        if (i % 10000 == 0)
            p.description = QStringLiteral("Track %1").arg(i / 10000 + 1);
        tp.append(std::move(p));
    }
    QtDialogs dialogs; // never asked: nothing is edited here
    std::printf("points list: %d TrackPoints in %d tracks\n", tp.count(), trackCount(tp));

    const double before = statusMb("VmRSS");
    resetPeak();
    double w0 = wallMs(), c0 = cpuMs();
    frmVis vis(st, dialogs, PointKind::Track);
    const double buildWall = wallMs() - w0, buildCpu = cpuMs() - c0;
    vis.show();
    QApplication::processEvents();
    vis.grab(); // the first view, painted
    const double openWall = wallMs() - w0, openCpu = cpuMs() - c0;
    const double after = statusMb("VmRSS"), peak = statusMb("VmHWM");
    std::printf("open (build + first view): %.0f ms wall, %.0f ms cpu (build alone %.0f ms wall, %.0f ms cpu); target under 1000 ms\n",
                openWall, openCpu, buildWall, buildCpu);
    std::printf("memory: %.1f MB more once open, %.1f MB more at the peak; target under 300 MB\n", after - before,
                peak - before);

    // To the end: Ctrl+End as a user would, then paging back up a screen at a time, each step painted.
    QListView *view = vis.txtElenco;
    w0 = wallMs(), c0 = cpuMs();
    key(view, Qt::Key_End, Qt::ControlModifier);
    view->viewport()->grab();
    std::printf("to the end: %.1f ms wall, %.1f ms cpu (last line shown: %s)\n", wallMs() - w0, cpuMs() - c0,
                view->verticalScrollBar()->value() == view->verticalScrollBar()->maximum() ? "yes" : "no");
    double worst = 0, sum = 0;
    const int pages = 200;
    for (int i = 0; i < pages; ++i) {
        const double t = wallMs();
        key(view, Qt::Key_PageUp);
        view->viewport()->grab();
        const double ms = wallMs() - t;
        worst = std::max(worst, ms), sum += ms;
    }
    std::printf("page up near the end: %.2f ms mean, %.2f ms slowest of %d (painted)\n", sum / pages, worst, pages);
    w0 = wallMs();
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() / 2);
    view->viewport()->grab();
    std::printf("scroll bar dragged to the middle: %.1f ms wall\n", wallMs() - w0);
    w0 = wallMs();
    key(view, Qt::Key_A, Qt::ControlModifier);
    const qsizetype copied = vis.selectedText().size();
    std::printf("select all and its text (what copying takes): %.0f ms wall, %lld characters\n", wallMs() - w0,
                static_cast<long long>(copied));
    return 0;
}
