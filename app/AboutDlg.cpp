#include "AboutDlg.h"
#include "CleanerDlg.h"
#include "../res/resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

// Appends a separator and the About entry to the window menu; nothing when
// there is no window menu or no entry text.
void CCleanerDlg::AddAboutMenuItem()
{
    HMENU menu = GetSystemMenu(FALSE);
    if (!menu)
        return;
    CString text;
    text.LoadString(IDS_ABOUTBOX);
    if (text.IsEmpty())
        return;
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
}

void CCleanerDlg::OnSysCommand(UINT commandId, LPARAM)
{
    if ((commandId & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        Default();
    }
}

// Minimised, the dialog draws its icon centred in the client area.
void CCleanerDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int iconWidth = ::GetSystemMetrics(SM_CXICON);
    int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - iconWidth + 1) / 2;
    int y = (rect.bottom - rect.top - iconHeight + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CCleanerDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}
