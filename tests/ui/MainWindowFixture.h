#pragma once

#include "app/ui/frmGPS.h"
#include "base/Messages.h"
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
};

} // namespace gipso::test
