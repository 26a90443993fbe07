#include "DialogHarness.h"
#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <winioctl.h>

// A hook on the dialog's thread counts its commands, holds the worker and calls the watch (which may send).
static DrivenDialog* g_dialog;
static std::atomic<long> g_handled[2048];
static std::recursive_mutex g_watchLock;
static std::function<void(const CWPRETSTRUCT&)> g_watch;
static std::function<bool(const CWPRETSTRUCT&)> g_holdAt;
static std::atomic<HANDLE> g_held;

static LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_COMMAND && call->hwnd == g_dialog->m_hWnd && LOWORD(call->wParam) < 2048)
        ++g_handled[LOWORD(call->wParam)];
    std::lock_guard<std::recursive_mutex> lock(g_watchLock);
    if (code == HC_ACTION && g_holdAt && g_dialog->m_pSearchThread && g_holdAt(*call)) {
        g_holdAt = nullptr;
        g_held = g_dialog->m_pSearchThread->m_hThread;
        ::SuspendThread(g_held);
    }
    if (code == HC_ACTION && g_watch)
        g_watch(*call);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

static std::atomic<long> g_beeps;
static BOOL(WINAPI* g_messageBeep)(UINT);
static BOOL WINAPI CountBeep(UINT type) { return g_beeps += type == MB_ICONASTERISK, g_messageBeep(type); }

static std::vector<ShellRequest> g_requests;   // the tests' own (RemoveTree) too
static int(WINAPI* g_shellOperation)(LPSHFILEOPSTRUCTA);
static std::atomic<bool> g_abortArmed;
static int g_abortResult;
static int g_abortDeleted;
static std::function<void()> g_before, g_after;

static int WINAPI RecordRequest(LPSHFILEOPSTRUCTA operation)
{
    if (g_before)
        std::exchange(g_before, nullptr)();
    ShellRequest request{ {}, operation->fFlags, operation->lpszProgressTitle ? operation->lpszProgressTitle : "" };
    for (LPCSTR from = operation->pFrom; *from; from += std::strlen(from) + 1)
        request.paths.push_back(from);
    g_requests.push_back(request);
    if (!g_abortArmed.exchange(false)) {
        int result = g_shellOperation(operation);
        if (g_after)
            std::exchange(g_after, nullptr)();
        return result;
    }
    std::string first;
    for (size_t at = 0; at < request.paths.size() && at < static_cast<size_t>(g_abortDeleted); ++at)
        first += request.paths[at] + '\0';
    SHFILEOPSTRUCTA part = *operation;
    part.pFrom = first.c_str();
    if (!first.empty())
        g_shellOperation(&part);
    operation->fAnyOperationsAborted = TRUE;
    return g_abortResult;
}

// What Windows shows and Wine does not (Disguise): the program's listing, attributes and identities pass here.
static std::atomic<bool> g_junctions, g_noIds, g_shareClosed, g_moved;
static std::wstring g_refused;
static BYTE g_movedId[24];   // FILE_ID_INFO: the volume, then the file
static const std::wstring kShareRoot = L"\\\\?\\UNC\\server\\share\\";
static HANDLE(WINAPI* g_findFirst)(LPCWSTR, FINDEX_INFO_LEVELS, LPVOID, FINDEX_SEARCH_OPS, LPVOID, DWORD);
static BOOL(WINAPI* g_findNext)(HANDLE, LPWIN32_FIND_DATAW);
static DWORD(WINAPI* g_attributes)(LPCWSTR);
static BOOL(WINAPI* g_fileInfo)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
static BOOL(WINAPI* g_fileIndex)(HANDLE, LPBY_HANDLE_FILE_INFORMATION);

static BOOL Listed(BOOL found, LPVOID entry)
{
    auto* item = static_cast<WIN32_FIND_DATAW*>(entry);
    if (found && g_junctions && (item->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        item->dwReserved0 = IO_REPARSE_TAG_MOUNT_POINT;
    return found;
}
static HANDLE WINAPI FindFirst(LPCWSTR pattern, FINDEX_INFO_LEVELS level, LPVOID entry, FINDEX_SEARCH_OPS op, LPVOID filter, DWORD flags)
{
    DWORD refusal = g_shareClosed && kShareRoot + L"*" == pattern ? ERROR_ACCESS_DENIED
                    : !g_refused.empty() && std::wcsstr(pattern, g_refused.c_str()) ? ERROR_NO_UNICODE_TRANSLATION : 0;
    HANDLE find = refusal ? INVALID_HANDLE_VALUE : g_findFirst(pattern, level, entry, op, filter, flags);
    return refusal ? (::SetLastError(refusal), find) : (Listed(find != INVALID_HANDLE_VALUE, entry), find);
}
static BOOL WINAPI FindNext(HANDLE find, LPWIN32_FIND_DATAW entry) { return Listed(g_findNext(find, entry), entry); }
static DWORD WINAPI Attributes(LPCWSTR path)
{
    return g_shareClosed && kShareRoot == path ? (::SetLastError(ERROR_BAD_NETPATH), INVALID_FILE_ATTRIBUTES) : g_attributes(path);
}
static BOOL WINAPI FileInfo(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD size)
{
    if (g_shareClosed)
        return ::SetLastError(ERROR_ACCESS_DENIED), FALSE;
    BOOL read = g_fileInfo(file, kind, info, size);
    BYTE* id = static_cast<BYTE*>(info);   // FileIdInfo (18): the volume's 8 bytes, the file's 16
    if (read && kind == 18 && g_noIds)
        std::memset(id + 8, 0, 16);
    else if (read && kind == 18 && g_moved && std::memcmp(id, g_movedId, sizeof g_movedId) == 0)
        id[8] ^= 1;   // the same volume, another folder
    return read;
}
static BOOL WINAPI FileIndex(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info)
{
    BOOL read = g_fileIndex(file, info);   // (share-closed: FileInfo's refusal is not one the program reads past)
    if (read && g_noIds)
        info->nFileIndexHigh = info->nFileIndexLow = 0;
    return read;
}

void DialogHarness::Disguise(const std::string& what, const std::string& folder)
{
    if (!g_findFirst) {   // routed only here: the benchmark routes the listing of its own
        g_findFirst = Route("kernel32.dll", "FindFirstFileExW", FindFirst);
        g_findNext = Route("kernel32.dll", "FindNextFileW", FindNext);
        g_attributes = Route("kernel32.dll", "GetFileAttributesW", Attributes);
        g_fileInfo = Route("kernel32.dll", "GetFileInformationByHandleEx", FileInfo);
        g_fileIndex = Route("kernel32.dll", "GetFileInformationByHandle", FileIndex);
    }
    g_junctions = g_junctions || what == "junctions";
    g_noIds = g_noIds || what == "no-ids";
    g_shareClosed = g_shareClosed || what == "share-closed";
    if (what == "refuse")
        g_refused = L"\\" + std::wstring(folder.begin(), folder.end()) + L"\\";
    if (what == "moved") {
        HANDLE file = ::CreateFileA(folder.c_str(), 0, 7, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        g_moved = g_fileInfo(file, static_cast<FILE_INFO_BY_HANDLE_CLASS>(18), g_movedId, sizeof g_movedId);
        ::CloseHandle(file);
    }
}

void* RouteImport(const char* dll, const char* function, void* hook)
{
    void* from = reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA(dll), function));
    BYTE* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); module->Name; ++module)
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); slot->u1.Function; ++slot) {
            DWORD protection;
            if (reinterpret_cast<void*>(slot->u1.Function) == from && ::VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection))
                slot->u1.Function = reinterpret_cast<ULONG_PTR>(hook), ::VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
        }
    return from;
}

static std::atomic<bool> g_wineHidden;
static LSTATUS(WINAPI* g_openKey)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);

static LSTATUS WINAPI OpenKey(HKEY root, LPCSTR name, DWORD options, REGSAM access, PHKEY key)
{
    bool wine = root == HKEY_LOCAL_MACHINE && name && ::lstrcmpiA(name, "Software\\Wine") == 0;
    return g_wineHidden && wine ? ERROR_FILE_NOT_FOUND : g_openKey(root, name, options, access, key);
}

void HideWine(bool hidden) { g_wineHidden = hidden; }

static UINT UiThread(LPVOID dialog)   // the dialog's own thread, as the application's start-up runs it
{
    CComScope com;
    AfxGetThread()->m_pMainWnd = static_cast<DrivenDialog*>(dialog);
    static_cast<DrivenDialog*>(dialog)->DoModal();
    return 0;
}

DialogHarness::DialogHarness() : m_pDialog(new DrivenDialog)
{
    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_LISTVIEW_CLASSES };
    ::InitCommonControlsEx(&controls);
    if (!g_messageBeep) {
        g_messageBeep = Route("user32.dll", "MessageBeep", CountBeep);
        g_shellOperation = Route("shell32.dll", "SHFileOperationA", RecordRequest);
        g_openKey = Route("advapi32.dll", "RegOpenKeyExA", OpenKey);
        const char* checks = std::getenv("CLEANER_CHECKS");
        if (checks && std::strcmp(checks, "windows") == 0)
            HideWine(true);
    }
    g_junctions = g_noIds = g_shareClosed = g_moved = false;
    g_refused.clear();
    m_pThread = AfxBeginThread(UiThread, m_pDialog, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
    if (!WaitUntil([this] { return m_pDialog->m_hWnd && ::IsWindowVisible(m_pDialog->m_hWnd); }, 60000))
        throw std::runtime_error("the dialog did not show");
    m_hDialog = m_pDialog->m_hWnd;
    g_dialog = m_pDialog;
    m_hCommandHook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, nullptr, m_pThread->m_nThreadID);
}

DialogHarness::~DialogHarness()
{
    HoldWorker(nullptr);
    LetGo();
    ::PostMessageA(m_hDialog, WM_COMMAND, IDCANCEL, 0);   // when still open
    ::WaitForSingleObject(m_pThread->m_hThread, 30000);
    ::UnhookWindowsHookEx(m_hCommandHook);
    Watch(nullptr);
    delete m_pThread;
    delete m_pDialog;
}

std::string DialogHarness::Text(HWND window) const
{
    char buffer[1024] = "";
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 10000, nullptr);
    return buffer;
}

std::vector<Row> DialogHarness::Rows() const
{
    std::vector<Row> rows;
    HWND list = Item(IDC_LIST_RESULTS);
    for (int i = 0, count = ListView_GetItemCount(list); i < count; ++i) {
        char name[1024] = "", path[1024] = "";
        ListView_GetItemText(list, i, 0, name, sizeof name);
        ListView_GetItemText(list, i, 1, path, sizeof path);
        rows.push_back({ name, path });
    }
    return rows;
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
{ return WaitUntil([&] { return g_handled[id] > m_clicked[static_cast<size_t>(id)]; }, timeoutMs); }

void DialogHarness::Watch(std::function<void(const CWPRETSTRUCT&)> watch) { std::lock_guard<std::recursive_mutex> lock(g_watchLock); g_watch = std::move(watch); }
void DialogHarness::HoldWorker(std::function<bool(const CWPRETSTRUCT&)> at) { std::lock_guard<std::recursive_mutex> lock(g_watchLock); g_holdAt = std::move(at); }
bool DialogHarness::WaitHeld() const { return WaitUntil([] { return g_held != nullptr; }, 60000); }
void DialogHarness::LetGo() { if (HANDLE worker = g_held.exchange(nullptr)) ::ResumeThread(worker); }

bool ShowsIcon(HWND box, HICON icon)
{
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::SendMessageA(child, STM_GETICON, 0, 0) == reinterpret_cast<LRESULT>(icon))
            return true;
    return false;
}

long DialogHarness::Beeps() const { return g_beeps; }
std::vector<ShellRequest> DialogHarness::Requests() const { return g_requests; }
void DialogHarness::BeforeNextRequest(std::function<void()> run, bool after) { (after ? g_after : g_before) = std::move(run); }
void DialogHarness::AbortNextRequest(int result, int deleted) { g_abortResult = result, g_abortDeleted = deleted, g_abortArmed = true; }
long DialogHarness::Handled(int id) const { return g_handled[id]; }

size_t DialogHarness::SelectRows(const std::function<bool(const Row&)>& which)
{
    std::vector<Row> rows = Rows();
    size_t selected = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        bool chosen = which(rows[i]);
        selected += chosen;
        ListView_SetItemState(Item(IDC_LIST_RESULTS), static_cast<int>(i), chosen ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    return selected;
}

HWND DialogHarness::WaitForPopup(const char* title, DWORD timeoutMs) const
{
    HWND found = nullptr;   // dialogs, message boxes and the picker are all of this class
    WaitUntil([&] {
        for (found = ::FindWindowExA(nullptr, nullptr, "#32770", title); found;
             found = ::FindWindowExA(nullptr, found, "#32770", title))
            if (found != m_hDialog && ::IsWindowVisible(found) && ::GetWindowThreadProcessId(found, nullptr) == m_pThread->m_nThreadID)
                return true;
        return false;
    }, timeoutMs);
    return found;
}

std::string DialogHarness::Delete(int button, int answer)
{
    ClickAsync(button);
    if (button == IDC_DELETE_ALL) {
        HWND box = WaitForPopup("Confirm Delete");
        EXPECT_TRUE(box) << "no question was asked";
        ::PostMessageA(::GetDlgItem(box, answer), BM_CLICK, 0, 0);
    }
    HWND kept = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (kept = WaitForPopup("Tolvane Cleaner", 0)) || WaitHandled(button, 0); }, 60000)) << "the delete did not end";
    if (!kept)
        return "";
    std::string text = Text(::GetDlgItem(kept, 0xFFFF));
    EXPECT_TRUE(ShowsIcon(kept, ::LoadIconA(nullptr, IDI_WARNING))) << "the message's icon";
    ::PostMessageA(::GetDlgItem(kept, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitHandled(button));
    return text;
}

void DialogHarness::PickFolder(const std::string& folder)
{
    wchar_t wide[MAX_PATH] = L"";
    ::MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, MAX_PATH);
    Pick(wide, nullptr, !folder.empty());
}

// Wine's picker finds a path by comparing each step's item ID byte for byte with the one it listed, and
// Wine's IDs hold the folder's times: a folder read or written since the picker listed it is never found
// there. The selection, read once the picker has handled the request, says so; the picker is then opened anew.
bool DialogHarness::Pick(const std::wstring& folder, LPCITEMIDLIST item, bool choose)
{
    SHFILEINFOW shell = {};
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(item), 0, &shell, sizeof shell, SHGFI_PIDL | SHGFI_DISPLAYNAME);
    std::wstring name = item ? shell.szDisplayName : folder.substr(folder.find_last_of(L'\\') + 1);
    name = name.empty() ? L"(" + folder.substr(0, 2) + L")" : name;   // a drive's root
    for (int opened = 0; opened < 5; ++opened) {
        ClickAsync(IDC_SELECT_DRIVE);
        HWND picker = WaitForPopup(nullptr, 60000), tree = ::FindWindowExA(picker, nullptr, "SysTreeView32", nullptr);
        bool titled = false;   // (Wine's picker shows no edit box: that is not checked)
        for (HWND child = ::GetWindow(picker, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            titled = titled || Text(child) == "Browse for Search Directory";
        EXPECT_TRUE(picker && titled) << "the folder picker and its title";
        if (!item && !folder.empty())
            ::SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        else if (item)
            ::SendMessageW(picker, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(item));
        wchar_t text[MAX_PATH] = L"";
        TVITEMW shown = { TVIF_TEXT, TreeView_GetSelection(tree), 0, 0, text, MAX_PATH, 0, 0, 0, 0 };
        ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&shown));
        bool selected = (!item && folder.empty()) || ::lstrcmpiW(text, name.c_str()) == 0 ||
                        (name[0] == L'(' && std::wstring(text).find(name) != std::wstring::npos);
        bool enabled = ::IsWindowEnabled(::GetDlgItem(picker, IDOK)) != 0;
        ::PostMessageA(picker, WM_COMMAND, selected && choose ? IDOK : IDCANCEL, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(picker); }, 60000)) << "the picker stayed open";
        if (selected)
            return enabled;
    }
    ADD_FAILURE() << "the picker did not select the folder";
    return false;
}

void DialogHarness::SetOptions(bool debug, bool release)
{
    for (auto [id, ticked] : { std::make_pair(IDC_CHECK_DEBUG, debug), std::make_pair(IDC_CHECK_RELEASE, release) })
        if (Checked(id) != ticked)
            Click(id);
}

bool DialogHarness::WaitForEnd() const
{
    return WaitUntil([this] { return Text(IDC_START_SEARCH) == "Start Search" && Title() == "Tolvane Cleaner"; }, 120000);
}

void DialogHarness::Search()
{
    ::SendMessageA(m_hDialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));   // the last run's title is gone
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

bool DefineDrive(char letter, const std::string& folder)
{
    struct UnixDrive { ULONG size, type, fsType; DWORD serial; ULONGLONG unixDevice; WCHAR letter; USHORT mountPointOffset, deviceOffset, labelOffset; };   // Wine's mount manager's
    std::vector<char> buffer(sizeof(UnixDrive) + folder.size() + 1);
    UnixDrive* drive = reinterpret_cast<UnixDrive*>(buffer.data());
    drive->size = static_cast<ULONG>(buffer.size());
    drive->type = folder.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_FIXED;
    drive->letter = static_cast<WCHAR>(letter);
    drive->mountPointOffset = folder.empty() ? 0 : sizeof(UnixDrive);
    std::strcpy(buffer.data() + sizeof(UnixDrive), folder.c_str());
    HANDLE manager = ::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    const DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
    BOOL done = ::DeviceIoControl(manager, kDefineUnixDrive, buffer.data(), drive->size, nullptr, 0, nullptr, nullptr);
    ::CloseHandle(manager);
    return done != 0;
}

void ExpectLaidOut(HWND dialog, int height)
{
    HDC dc = ::GetDC(dialog);   // the font's base units as Windows defines them: the 52 letters' average width, the height
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(dialog, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics;
    SIZE letters;
    ::GetTextMetricsA(dc, &metrics);
    ::GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    int cx = (letters.cx / 26 + 1) / 2, dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::SelectObject(dc, old);
    ::ReleaseDC(dialog, dc);
    EXPECT_TRUE(dpi != 96 || (cx == 6 && metrics.tmHeight == 13)) << "at 96 DPI the font is not the one the sizes are for";
    RECT window;
    ::GetWindowRect(dialog, &window);
    EXPECT_EQ(std::to_string(::MulDiv(378, cx, 6)) + " x " + std::to_string(::MulDiv(height, metrics.tmHeight, 13)),
              std::to_string(window.right - window.left) + " x " + std::to_string(window.bottom - window.top));
}

void RemoveTree(const std::string& folder)
{
    std::string from = folder + '\0';   // the list ends in a second NUL
    SHFILEOPSTRUCTA operation = { nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT, FALSE, nullptr, nullptr };
    ::SHFileOperationA(&operation);
}
