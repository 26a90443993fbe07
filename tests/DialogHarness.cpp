#include "DialogHarness.h"
#include <gtest/gtest.h>
#include <atomic>
#include <mutex>

// Titles set on any dialog of the harness's UI thread, recorded by a hook.
static std::mutex g_titleLock;
static std::vector<std::string> g_titles;
static std::vector<DWORD> g_titleTicks;
static HWND g_titleWindow;

static LRESULT CALLBACK RecordTitle(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETTEXT && call->hwnd == g_titleWindow) {
        std::lock_guard<std::mutex> lock(g_titleLock);
        g_titles.push_back(reinterpret_cast<const char*>(call->lParam));
        g_titleTicks.push_back(::GetTickCount());
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Commands the dialog has finished handling, by control id.
static std::atomic<long> g_handled[2048];

static LRESULT CALLBACK CountCommand(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_COMMAND && call->hwnd == g_titleWindow &&
        LOWORD(call->wParam) < 2048)
        ++g_handled[LOWORD(call->wParam)];
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<std::string> DialogHarness::Titles(std::vector<DWORD>* ticks) const
{
    std::lock_guard<std::mutex> lock(g_titleLock);
    if (ticks)
        *ticks = g_titleTicks;
    return g_titles;
}

class DialogHarness::Driven : public CCleanerDlg {
public:
    using CCleanerDlg::AddResult;
    HANDLE Worker() const { return m_pSearchThread ? m_pSearchThread->m_hThread : nullptr; }
    void UseSearchDir(const char* folder)
    {
        m_strSearchDir = folder;
        m_bUseSearchDir = 1;
    }
};

HANDLE DialogHarness::Worker() const
{
    return m_pDialog->Worker();
}

void DialogHarness::UseSearchDir(const std::string& folder)
{
    m_pDialog->UseSearchDir(folder.c_str());
}

DialogHarness::DialogHarness(bool recordTitles)
{
    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_LISTVIEW_CLASSES };
    ::InitCommonControlsEx(&controls);
    m_pDialog = new Driven;
    m_pThread = AfxBeginThread(UiThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
    WaitUntil([this] { return m_pDialog->m_hWnd && ::IsWindowVisible(m_pDialog->m_hWnd); }, 30000);
    m_hDialog = m_pDialog->m_hWnd;
    {
        std::lock_guard<std::mutex> lock(g_titleLock);
        g_titles.clear();
        g_titleTicks.clear();
        g_titleWindow = m_hDialog;
    }
    if (recordTitles)
        m_hTitleHook = ::SetWindowsHookExA(WH_CALLWNDPROC, RecordTitle, nullptr, m_pThread->m_nThreadID);
    m_hCommandHook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, CountCommand, nullptr, m_pThread->m_nThreadID);
}

DialogHarness::~DialogHarness()
{
    if (!WaitClosed(0)) {
        ::PostMessageA(m_hDialog, WM_COMMAND, IDCANCEL, 0);
        WaitClosed(30000);
    }
    if (m_hTitleHook)
        ::UnhookWindowsHookEx(m_hTitleHook);
    ::UnhookWindowsHookEx(m_hCommandHook);
    delete m_pThread;
    delete m_pDialog;
}

// The dialog's own thread, as the application's start-up runs it.
UINT DialogHarness::UiThread(LPVOID param)
{
    DialogHarness* self = static_cast<DialogHarness*>(param);
    AfxGetThread()->m_pMainWnd = self->m_pDialog;
    self->m_pDialog->DoModal();
    return 0;
}

bool DialogHarness::WaitClosed(DWORD timeoutMs) const
{
    return ::WaitForSingleObject(m_pThread->m_hThread, timeoutMs) == WAIT_OBJECT_0;
}

std::string DialogHarness::Text(HWND window) const
{
    char buffer[1024] = "";
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                          SMTO_NORMAL, 10000, nullptr);
    return buffer;
}

void DialogHarness::Click(int id)
{
    ASSERT_TRUE(Enabled(id)) << "button " << id << " is disabled";
    ::SendMessageA(Item(id), BM_CLICK, 0, 0);
}

void DialogHarness::ClickAsync(int id)
{
    ASSERT_TRUE(Enabled(id)) << "button " << id << " is disabled";
    m_clicked[static_cast<size_t>(id)] = g_handled[id];
    ::PostMessageA(Item(id), BM_CLICK, 0, 0);
}

bool DialogHarness::WaitHandled(int id, DWORD timeoutMs) const
{
    return WaitUntil([&] { return g_handled[id] > m_clicked[static_cast<size_t>(id)]; }, timeoutMs);
}

long DialogHarness::Handled(int id) const
{
    return g_handled[id];
}

void DialogHarness::Key(int id, WORD key)
{
    ::SendMessageA(m_hDialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
    ::PostMessageA(Item(id), WM_KEYDOWN, key, 1);
    ::PostMessageA(Item(id), WM_KEYUP, key, 0xC0000001);
}

static std::string ItemText(HWND list, int row, int column)
{
    char buffer[1024] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

std::vector<Row> DialogHarness::Rows() const
{
    std::vector<Row> rows;
    HWND list = Item(IDC_LIST_RESULTS);
    for (int i = 0, count = ListView_GetItemCount(list); i < count; ++i)
        rows.push_back({ ItemText(list, i, 0), ItemText(list, i, 1) });
    return rows;
}

void DialogHarness::SelectRows(const std::vector<int>& rows)
{
    HWND list = Item(IDC_LIST_RESULTS);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (int row : rows)
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
}

void DialogHarness::AddResult(const char* name, const char* path)
{
    m_pDialog->AddResult(name, path);
}

HWND DialogHarness::WaitForPopup(const char* title, DWORD timeoutMs) const
{
    HWND found = nullptr;   // dialogs, message boxes and the picker are all of this class
    WaitUntil([&] {
        for (found = ::FindWindowExA(nullptr, nullptr, "#32770", title); found;
             found = ::FindWindowExA(nullptr, found, "#32770", title))
            if (found != m_hDialog && ::IsWindowVisible(found) &&
                ::GetWindowThreadProcessId(found, nullptr) == m_pThread->m_nThreadID)
                return true;
        return false;
    }, timeoutMs);
    return found;
}

void DialogHarness::PickFolder(const std::string& folder)
{
    ClickAsync(IDC_SELECT_DRIVE);
    HWND picker = WaitForPopup(nullptr);
    ASSERT_TRUE(picker) << "the folder picker did not open";
    // The picker may still be filling its tree: select until the selection shows.
    std::string name = folder.substr(folder.find_last_of('\\') + 1);
    if (name.empty())
        name = folder.substr(0, 2);
    HWND tree = ::FindWindowExA(picker, nullptr, "SysTreeView32", nullptr);
    bool selected = !folder.empty() && WaitUntil([&] {
        ::SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        char text[MAX_PATH] = "";
        TVITEMA item = {};
        item.mask = TVIF_TEXT;
        item.hItem = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return ::lstrcmpiA(text, name.c_str()) == 0 || std::string(text).find("(" + name + ")") != std::string::npos;
    }, 10000);
    ::PostMessageA(::GetDlgItem(picker, selected ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(selected || folder.empty()) << "the picker did not select " << folder;
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(picker); }, 10000)) << "the picker stayed open";
}

void DialogHarness::SetOptions(bool debug, bool release)
{
    if (Checked(IDC_CHECK_DEBUG) != debug)
        Click(IDC_CHECK_DEBUG);
    if (Checked(IDC_CHECK_RELEASE) != release)
        Click(IDC_CHECK_RELEASE);
}

bool DialogHarness::WaitForEnd(DWORD timeoutMs) const
{
    return WaitUntil([this] { return Text(IDC_START_SEARCH) == "Start Search" && Title() == "Tolvane Cleaner"; },
                     timeoutMs);
}

void DialogHarness::Search()
{
    ::SendMessageA(m_hDialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    Click(IDC_START_SEARCH);
    ASSERT_TRUE(WaitForEnd()) << "the search did not end; title: " << Title();
}

std::vector<Row> DialogHarness::SearchIn(const std::string& folder, bool debug, bool release)
{
    PickFolder(folder);
    SetOptions(debug, release);
    Search();
    return Rows();
}

static void RemoveTreeW(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &entry)) {
        std::wstring name = entry.cFileName, path = folder + L"\\" + name;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTreeW(path);
        else
            ::DeleteFileW(path.c_str());
    }
    ::FindClose(find);
    ::RemoveDirectoryW(folder.c_str());
}

void RemoveTree(const std::string& folder)
{
    std::wstring wide(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.pop_back();
    RemoveTreeW(wide);
}
