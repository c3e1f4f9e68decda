// The main window's own settings and the program: the options dialog, the manual and the
// About box.
#include "app/ui/frmGPS.h"

#include "base/Messages.h"
#include "options/About.h"
#include "options/ui/frmAbout.h"
#include "options/ui/frmOpt.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace gipso {

void frmGPS::openOptions()
{
    frmOpt form(state(), dialogs(), this);
    form.repaintMap = [this] { repaintMap(); };
    dialogs().exec(form);
    repaintMap();
}

void frmGPS::openHelp()
{
    const QString path = dataDir() + QLatin1Char('/') + helpFileName(currentLanguage());
    // No manual for this language or installation: nothing opens, nothing is said.
    if (!QFileInfo(path).isFile())
        return;
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (openDocument)
        openDocument(url);
    else
        QDesktopServices::openUrl(url);
}

void frmGPS::openAbout()
{
    frmAbout form(dialogs(), env_.configFile, this);
    dialogs().exec(form);
}

} // namespace gipso
