#include "app/TAplicacao.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

bool PreparaAplicacao(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Monitor Vesmara"));
    // On X11 a non-empty display name is appended to every window title ("... — Monitor
    // Vesmara"); the titles already say what they are, so none is set.
    QApplication::setApplicationDisplayName(QString());
    // Ties the windows to the installed desktop entry (its name and icon in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("monitorvesmara"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/monitorvesmara.svg")));

    // Question boxes ("Sim"/"Não"), the colour chooser and the other standard dialogs.
    auto* qt = new QTranslator(&app);
    if (!qt->load(QStringLiteral("qtbase_pt_BR"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    QApplication::installTranslator(qt);
    return true;
}
