#include "about/UnitAbout.h"
#include "batch/BatchLimits.h"
#include "batch/StopSignals.h"
#include "main/UnitMain.h"
#include "progress/UnitStatus.h"
#include "rules/Messages.h"
#include "shared/AppIcon.h"
#include "shared/LocalPaths.h"
#include "shell/CloseOnStopSignal.h"
#include "shell/FileManagerEntry.h"
#include "shell/InfoOptions.h"
#include "shell/ProcessStart.h"
#include "shell/SingleInstance.h"

#include <QApplication>

#include <iostream>
#include <utility>

int main(int argc, char* argv[])
{
    gustara::PrepareProcess();
    // Before QApplication, which needs a display: `gustara --help` works in any terminal.
    if (gustara::AnswerInfoOptions(argc, argv, std::cout))
        return 0;
    gustara::ReturnLargeBuffersToSystem();
    QApplication app(argc, argv);
    // Pictures named on the command line, as a file manager's action passes them. QApplication
    // has taken its own options out of argv; the rest keep their bytes, whatever their encoding.
    std::vector<std::string> paths = gustara::CommandLinePaths(argc, argv);
    // A window already running with the same settings takes them instead.
    gustara::SingleInstance instance;
    if (instance.HandOver(paths))
        return 0;
    // The name, not the display name: Qt would append a display name to every window caption.
    // Japanese in every language: X11 docks match the window to the desktop entry by the
    // WM_CLASS that Qt makes of it.
    QApplication::setApplicationName(
        QString::fromUtf8(gustara::Text(gustara::Message::ApplicationTitle, gustara::Language::Japanese)));
    QApplication::setWindowIcon(gustara::MakeAppIcon());
    // Wayland compositors take the window's icon and name from its desktop entry.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(gustara::kDesktopEntryName));

    // Closing the main window ends the program; its destruction saves the settings. It sets the
    // language of every window and of Qt's texts from its settings.
    gustara::TFormMain formMain;
    gustara::TFormStatus formStatus(&formMain);
    gustara::TFormAbout formAbout(&formMain);
    formMain.AttachWindows(formStatus, formAbout);
    formMain.show();
    gustara::OfferInFileManager();
    const gustara::CloseOnStopSignal stopSignals(formMain);
    // The pictures arrive as a drop once the window is up, before any handed over later.
    instance.Serve(formMain, formStatus, std::move(paths));
    const int status = app.exec();
    return gustara::StopExitStatus() != 0 ? gustara::StopExitStatus() : status;
}
