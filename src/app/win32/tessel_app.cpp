// tessel.exe: loads the AAF library, runs the main dialog modally and unloads the library when it
// has closed. The dialog's own loop is the only message loop.
#include <windows.h>

#include <commctrl.h>

#include "app/win32/tessel_dlg.h"
#include "job/conversion_job.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    // A failure is logged while no log target exists, so it is not seen here; the conversion
    // reports it again when it cannot open the input.
    LoadAafLibrary();
    {
        CTesselDlg dialog(instance);
        RunTesselDlg(dialog);
    }
    UnloadAafLibrary();
    return 0;
}
