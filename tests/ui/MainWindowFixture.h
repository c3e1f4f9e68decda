#pragma once

#include "app/ui/frmGPS.h"
#include "base/Messages.h"
#include "map/MapFiles.h"
#include "map/ui/picMap.h"
#include "support/MapSupport.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace gipso::test {

inline QString writePicture(const QString &path, int w = 400, int h = 300)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::darkGreen);
    return img.save(path) ? path : QString();
}

// A map with the worked example's calibration (.cal or .Gipso), its picture beside it.
inline QString writeMap(const QString &path)
{
    QString none;
    return saveMapFile(QImage(writePicture(path + ".jpg")), exampleCalibration(), path, QFileInfo(path).path() + "/", none);
}

// A main window on a private configuration folder, with scripted dialogs.
struct MainWindowFixture {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ConfigEnvironment env;
    std::unique_ptr<frmGPS> window;

    // start = false leaves window->start() to the test.
    explicit MainWindowFixture(int systemLanguage = 2057, const QByteArray &cfg = {}, bool start = true)
    {
        env.configFile = dir.filePath("Gipso.cfg");
        env.languageFile = dir.filePath("Gipso.lng");
        env.programDir = dir.path();
        env.loginName = "tester";
        env.systemLanguage = systemLanguage;
        writeAll(env.languageFile, "[Languages]\r\nLang01=Italiano,1040\r\nLang02=English,2057\r\n");
        if (!cfg.isEmpty())
            writeAll(env.configFile, cfg);
        window = std::make_unique<frmGPS>(dialogs, env);
        if (start)
            window->start();
    }
    ~MainWindowFixture()
    {
        if (window) {
            state().store.pointsModified = state().store.mapModified = false;
            window->close();
        }
    }
    AppState &state() { return window->state(); }
    bool enabled(const QString &name) const { return window->action(name)->isEnabled(); }
    bool menuEnabled(const QString &name) const { return window->menu(name)->menuAction()->isEnabled(); }
    // A map of w x h with the worked example's calibration, in a light colour whose columns
    // alternate, loaded into the window.
    picMap &loadMap(int w = 2000, int h = 1500)
    {
        AppState &st = state();
        st.mapPicture = QImage(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                st.mapPicture.setPixel(x, y, qRgb(220, 235, 200 + x % 2 * 40));
        st.mapWidth = w, st.mapHeight = h;
        st.calibration = exampleCalibration();
        window->setMapMode(MapMode::Calibrated);
        window->mapLoaded();
        return *window->mapView();
    }
};

} // namespace gipso::test
