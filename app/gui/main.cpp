// The program's entry: the controller for the whole run, the Qt platform seam, the key filter and
// the main window, the message loop, and the settings written back once the window has closed.
#include "SCommandLine.h"
#include "SGlobalController.h"
#include "SHeldKeyFilter.h"
#include "SHuedraneController.h"
#include "SHuedraneSettings.h"
#include "SLanguageSetup.h"
#include "SMessage.h"
#include "SPlatform.h"
#include "SProgramPath.h"
#include "SQtPlatform.h"
#include "SRecoveryFiles.h"
#include "TFormMain.h"

#include <QApplication>

#include <exception>
#include <memory>

namespace {

int Run(int argc, char** argv, SHuedraneController& controller)
{
    QApplication application(argc, argv);
    application.setApplicationName("huedrane");
    const SLanguageSetup language(application);

    SQtPlatform platform;
    const ulib::ScopedPlatform installed(platform);
    SHeldKeyFilter keyFilter;
    application.installEventFilter(&keyFilter);

    ulib::SArray<ulib::SString> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.Append(ulib::SString(argv[i]));

    int result = 0;
    controller.StartAutosave(RecoveryFolder());
    {
        TFormMain form(controller, keyFilter, ulib::ProgramPath());
        platform.SetOwnerWindow(&form);
        form.SetCommandLine(ParseCommandLine(arguments));
        form.ShowAsLastTime();
        result = application.exec();
        platform.SetOwnerWindow(nullptr);
        if (!form.ExitRequested())
            SaveSettings(controller);
    }
    application.removeEventFilter(&keyFilter);
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    ulib::SetApplicationTitle("Huedrane");
    auto controller = std::make_unique<SHuedraneController>();
    SetGlobalController(controller.get());
    int result = 0;
    try {
        result = Run(argc, argv, *controller);
    } catch (const std::exception& error) {
        // Whatever escapes the windows is shown (through the console seam: the window's is gone),
        // and the program still ends normally.
        ulib::ShowMessageBox("error", error.what(), "O");
        result = 0;
    }
    SetGlobalController(nullptr);
    controller.reset();
    return result;
}
