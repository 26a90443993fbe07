#include "CleanerDlg.h"
#include "AboutDlg.h"
#include "../res/resource.h"

// Window sizes, outer and in pixels, as laid out for dialog base units of
// 6 x 13 pixels; ResizeWindow scales them to the dialog's own font.
static const int kDesignWidth = 378;
static const int kCollapsedHeight = 200;
static const int kExpandedHeight = 385;
static const int kDesignBaseX = 6;
static const int kDesignBaseY = 13;

CCleanerDlg::CCleanerDlg()
    : CDialog(IDD_CLEANER_DIALOG, nullptr),
      m_bDetailsHidden(1),
      m_bStopSearch(0),
      m_pThis(nullptr),
      m_nDriveCount(0),
      m_bSearchDebug(0),
      m_bSearchRelease(0),
      m_bUseSearchDir(0),
      m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_pSearchThread(nullptr),
      m_request{ 0, 0, 0, CString() },
      m_bStartPending(false),
      m_bClosePending(false),
      m_nCloseResult(IDCANCEL),
      m_bDeleting(false),
      m_bWalking(false),
      m_title{ CString(), false, 0 }
{
    m_szWindowsDir[0] = '\0';
}

CCleanerDlg::~CCleanerDlg()
{
    WaitForSearchEnd();
}

void CCleanerDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DELETE_ALL, m_btnDeleteAll);
    DDX_Control(pDX, IDC_DELETE_SELECTED, m_btnDeleteSelected);
    DDX_Control(pDX, IDC_SELECT_DRIVE, m_btnSelectDrive);
    DDX_Control(pDX, IDC_START_SEARCH, m_btnStartSearch);
    DDX_Control(pDX, IDC_CHECK_RELEASE, m_chkRelease);
    DDX_Control(pDX, IDC_CHECK_DEBUG, m_chkDebug);
    DDX_Control(pDX, IDC_DETAILS, m_btnDetails);
    DDX_Control(pDX, IDC_LIST_RESULTS, m_listResults);
}

BEGIN_MESSAGE_MAP(CCleanerDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_DETAILS, OnDetails)
    ON_BN_CLICKED(IDC_CHECK_DEBUG, OnCheckDebug)
    ON_BN_CLICKED(IDC_CHECK_RELEASE, OnCheckRelease)
    ON_BN_CLICKED(IDC_DELETE_SELECTED, OnDeleteSelected)
    ON_BN_CLICKED(IDC_DELETE_ALL, OnDeleteAll)
    ON_BN_CLICKED(IDC_START_SEARCH, OnStartSearch)
    ON_BN_CLICKED(IDC_SELECT_DRIVE, OnSelectDrive)
    ON_WM_DESTROY()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
    ON_WM_TIMER()
    ON_MESSAGE(WM_SEARCH_ENDED, OnSearchEnded)
    ON_MESSAGE(WM_SEARCH_ROOT, OnSearchRoot)
    ON_NOTIFY(NM_HOVER, IDC_LIST_RESULTS, OnListHover)
    ON_NOTIFY(LVN_HOTTRACK, IDC_LIST_RESULTS, OnListHover)
END_MESSAGE_MAP()

BOOL CCleanerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    AddAboutMenuItem();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    ResizeWindow(kCollapsedHeight);
    m_pThis = this;
    SetUpResultList();
    FillSearchRoots();
    return TRUE;
}

void CCleanerDlg::OnDetails()
{
    if (m_bDetailsHidden == 1) {
        m_bDetailsHidden = 0;
        m_listResults.ShowWindow(SW_SHOW);
        m_btnDetails.SetWindowText("Hide Details <<");
        ResizeWindow(kExpandedHeight);
    } else {
        m_bDetailsHidden = 1;
        m_listResults.ShowWindow(SW_HIDE);
        m_btnDetails.SetWindowText("Show Details >>");
        ResizeWindow(kCollapsedHeight);
    }
}

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

// The window is closing (Escape, Enter, Close): a running search is stopped
// and joined while its controls still exist.
void CCleanerDlg::OnDestroy()
{
    m_bStopSearch = 1;
    WaitForSearchEnd();
    Default();
}

// Keeps the top-left corner and the Z order.
void CCleanerDlg::ResizeWindow(int designHeight)
{
    RECT base = { 0, 0, 4, 8 };   // 4 x 8 dialog units are one base unit each way
    MapDialogRect(&base);
    int width = ::MulDiv(kDesignWidth, base.right, kDesignBaseX);
    int height = ::MulDiv(designHeight, base.bottom, kDesignBaseY);
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}
