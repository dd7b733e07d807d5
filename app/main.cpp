// Monitor Vesmara: the supervisors' real-time monitor of the call centre.
#include "app/CommandLine.h"
#include "app/TAplicacao.h"
#include "app/TfrmMain.h"
#include "settings/TSettingsFolder.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv) {
    if (const auto exitCode = AnswerCommandLineEarly(argc, argv)) return *exitCode;
    QApplication app(argc, argv);
    PreparaAplicacao(app);
    if (const auto exitCode = RejectUnknownArguments()) return *exitCode;
    TfrmMain main(SettingsFolder());
    // Without a window manager (kiosk sessions, Xvfb) "maximised" means nothing: fill the screen.
    if (QScreen* screen = main.screen()) main.setGeometry(screen->availableGeometry());
    main.showMaximized();
    return app.exec();
}
