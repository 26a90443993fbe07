#include "CleanerApp.h"
#include "CleanerDlg.h"

BEGIN_MESSAGE_MAP(CCleanerApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CCleanerApp theApp;

BOOL CCleanerApp::InitInstance()
{
    // No "There is no disk in the drive" box from any thread: an empty or
    // removed drive yields nothing (the delete checks run on this thread).
    // The other bits of the mode, inherited from the parent, stay.
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS);
    AfxEnableControlContainer();
    Enable3dControls();

    // One apartment for the UI thread's life: the picker, the folder icon and
    // the shell's delete requests all run in it.
    CComScope com;
    CCleanerDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // The dialog has joined its search worker before it closed.
    m_pMainWnd = nullptr;
    return FALSE;
}
