#pragma once

#include <QString>
#include <QVector>

namespace gipso {

// A serial port as a bug report needs it: its device, what the system calls it, and whether
// this user may open it (else the group that may).
struct SerialPortEntry {
    QString path;
    QString description;
    bool usable = false;
    QString group;
};

// What System Info shows: enough to reproduce a fault report.
struct SystemInfo {
    QString version;      // the program's
    QString qtRuntime;    // the Qt in use
    QString qtBuild;      // the Qt built against
    QString system;       // the distribution
    QString kernel;       // kernel type, version and architecture
    QString configFolder; // where Gipso.cfg lives
    bool configFolderExists = false;
    QString dataFolder;   // manuals, disclaimers, Gipso.lng
    bool dataFolderExists = false;
    QVector<SerialPortEntry> ports;
};

// Everything but the serial ports, which the caller adds (they need the serial-port module).
SystemInfo gatherSystemInfo(const QString &configFile);

// The text of the System Info window in the current language, one item a line.
QString systemInfoText(const SystemInfo &info);

} // namespace gipso
