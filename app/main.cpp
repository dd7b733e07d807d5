// Monitor Vesmara: the supervisors' real-time monitor of the call centre.
#include "app/TfrmMain.h"
#include "app/settings/TSettingsFolder.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Monitor Vesmara"));
    QApplication::setApplicationDisplayName(QStringLiteral("Monitor Vesmara"));
    TfrmMain main(SettingsFolder());
    main.showMaximized();
    return app.exec();
}
