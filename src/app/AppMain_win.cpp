// Process entry: initialise the common controls, run the main window
// modally, end the process when it closes.
#include <windows.h>
#include <commctrl.h>

#include "app/VantrelDlg_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = 0xFF;
    InitCommonControlsEx(&icc);

    CVantrelDlg dlg(commandLine ? commandLine : L"");
    dlg.DoModal();
    return 0;
}
