// The desktop program: splash, the fourteen application windows in their fixed order, event loop.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <clocale>

#include "app/ui/AppWindows.h"
#include "app/ui/MainWindow.h"
#include "app/ui/QtInteraction.h"
#include "app/ui/Splash.h"
#include "app/util/Interaction.h"
#include "app/util/Texts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Every number text the program writes or reads uses "." (Qt and the C library alike;
    // QApplication has just applied the user's locale to the C library).
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");

    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Polish), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QtInteraction interaction;
    SetInteraction(&interaction);

    Splash = new TSplash();
    Splash->show();
    Splash->repaint();

    QGuiApplication::setApplicationDisplayName(QStringLiteral("Sumaris 2022"));
    TestMode = CommandLineSwitch(QStringLiteral("/TEST")) == QStringLiteral("/TEST");

    CreateApplicationWindows([] { Splash->Step(); });
    Splash->Step();
    delete Splash;
    Splash = nullptr;

    App.frmMain->show();
    const int result = QApplication::exec();

    CloseProgress();
    HideInfoBox();
    DestroyApplicationWindows();
    SetInteraction(nullptr);
    return result;
}
