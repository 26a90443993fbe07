#include "Dialog.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CCmdTarget)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    control.m_hWnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    CWinThread* thread = AfxGetThread();
    if (!owner && thread && thread->m_pMainWnd && thread->m_pMainWnd != this)
        owner = thread->m_pMainWnd->m_hWnd;
    INT_PTR result = ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                       owner, DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL)
{
    CDataExchange dx = { this };
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::CenterWindow()
{
    RECT area;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    int x = area.left + (area.right - area.left - (window.right - window.left)) / 2;
    int y = area.top + (area.bottom - area.top - (window.bottom - window.top)) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Runs on the thread of DoModal, as the dialog manager's callback: it takes
// the CDialog pointer, which arrives with WM_INITDIALOG, into the window's
// DWLP_USER slot and puts WindowProc in front of the dialog manager. Every
// other message has been offered to the dispatch table by WindowProc already.
INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    dialog->m_hWnd = hwnd;
    dialog->m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
    BOOL setFocus = dialog->OnInitDialog();
    dialog->CenterWindow();
    return setFocus;
}

// The dialog's window procedure from WM_INITDIALOG on: the dispatch table
// first, a handler's result returned as the message's own; anything else
// goes to the dialog manager. (Through the dialog manager a result would
// travel in DWLP_MSGRESULT, which it clears before every message: under Wine
// each of those writes is a round trip to the wineserver, 0.1 ms for every
// title a search sets.)
LRESULT CALLBACK CDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    LRESULT result = 0;
    if (dialog->OnWndMsg(message, wParam, lParam, &result))
        return result;
    return ::CallWindowProcA(dialog->m_pfnSuper, hwnd, message, wParam, lParam);
}
