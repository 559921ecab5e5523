// The program entry: the application object, its title and help file, the four forms in their order, and the
// message loop until the main window closes.
#include <cstdio>
#include <memory>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit5.h"
#include "app/profiles/Unit6.h"
#include "platform/shell/PowerService.h"
#include "platform/shell/SoundService.h"
#include "platform/win/WinExtras.h"

int main(int argc, char** argv) {
    if (!UseDesktopBackend()) {
        std::fprintf(stderr, "quorvane: no display could be opened (is DISPLAY set?)\n");
        return 1;
    }
    // The library's defaults only record: the program alone plays the chime and may power the machine off.
    SetSoundService(std::make_unique<TSdlSoundService>());
    SetPowerService(std::make_unique<TLogindPowerService>());
    Application->Initialize();
    Application->SetTitle(u"Quorvane");
    Application->SetHelpFile(u"help.chm");
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->CreateForm(Form5);
    Application->CreateForm(Form6);
    Application->Run();
    return 0;
}
