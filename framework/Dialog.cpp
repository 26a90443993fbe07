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

// Runs on the thread of DoModal. The CDialog pointer arrives with
// WM_INITDIALOG and is kept in the window's DWLP_USER slot.
INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        dialog->m_hWnd = hwnd;
        BOOL setFocus = dialog->OnInitDialog();
        dialog->CenterWindow();
        return setFocus;
    }
    CDialog* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    LRESULT result = 0;
    if (!dialog || !dialog->OnWndMsg(message, wParam, lParam, &result))
        return FALSE;
    if (message == WM_QUERYDRAGICON)
        return static_cast<INT_PTR>(result);   // returned as the dialog procedure's value
    ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
