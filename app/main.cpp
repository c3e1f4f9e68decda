#include "app/ui/frmGPS.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Gipso"));
    gipso::QtDialogs dialogs;
    gipso::frmGPS window(dialogs);
    window.start(QApplication::arguments().mid(1));
    return app.exec();
}
