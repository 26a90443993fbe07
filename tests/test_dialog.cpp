// The dialog beyond what the trees of fuzz/fuzz.py show: as it opens, the
// details toggle, the About box, closing the real program, a delete during a
// run, the platform's names and reparse tags, and which drives are searched.
// At 96 DPI the dialog font gives the metrics the window sizes are laid out
// for, and the window must measure exactly as designed; at any other DPI (the
// drives prefix has 120) it must show every control whole.
#include "DialogHarness.h"
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <set>

namespace {

void ExpectLaidOut(HWND dialog, int height, std::initializer_list<int> ids)
{
    HDC screen = ::GetDC(nullptr);
    bool designMetrics = ::GetDeviceCaps(screen, LOGPIXELSY) == 96;
    ::ReleaseDC(nullptr, screen);
    RECT window, client, control;
    ::GetWindowRect(dialog, &window);
    EXPECT_TRUE(!designMetrics || (window.right - window.left == 378 && window.bottom - window.top == height))
        << "not 378 x " << height;
    ::GetClientRect(dialog, &client);
    ::MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    for (int id : ids) {
        ::GetWindowRect(::GetDlgItem(dialog, id), &control);
        EXPECT_TRUE(control.left >= client.left && control.right <= client.right && control.bottom <= client.bottom)
            << "control " << id << " is cut off";
    }
}

TEST(Dialog, OpensCollapsedThenDetailsShowsTheListAndTheWindowMenuTheAboutBox)
{
    DialogHarness ui;
    EXPECT_EQ("Orvel Tolvane Cleaner", ui.Title());
    ExpectLaidOut(ui.Dialog(), 200, { IDC_CHECK_DEBUG, IDC_CHECK_RELEASE, IDC_DELETE_ALL, IDC_DELETE_SELECTED,
                                      IDC_DETAILS, IDC_START_SEARCH, IDC_SELECT_DRIVE });
    const struct { int id; const char* text; bool enabled; } controls[] = {
        { IDC_CHECK_DEBUG, "Debug Files", true },    { IDC_CHECK_RELEASE, "Release Files", true },
        { IDC_SELECT_DRIVE, nullptr, true },         { IDC_DETAILS, "Show Details  >>", true },
        { IDC_START_SEARCH, "Start Search", false }, { IDC_DELETE_ALL, nullptr, false },
        { IDC_DELETE_SELECTED, nullptr, false },
    };
    for (const auto& control : controls) {
        EXPECT_EQ(control.enabled, ui.Enabled(control.id)) << control.id;
        EXPECT_FALSE(ui.Checked(control.id)) << control.id;
        EXPECT_EQ(control.text ? control.text : ui.Text(control.id), ui.Text(control.id));
    }
    EXPECT_FALSE(::IsWindowVisible(ui.Item(IDC_LIST_RESULTS)));
    EXPECT_TRUE(::GetWindowLongA(ui.Dialog(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(reinterpret_cast<LRESULT>(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))),
              ::SendMessageA(ui.Dialog(), WM_QUERYDRAGICON, 0, 0));

    // The list: two columns, its extended styles, the shell's folder icon.
    HWND list = ui.Item(IDC_LIST_RESULTS);
    EXPECT_EQ(0x0C38, ListView_GetExtendedListViewStyle(list) & 0x0C38);
    for (int column = 0; column < 2; ++column) {
        char text[64] = "";
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.pszText = text;
        col.cchTextMax = sizeof text;
        ListView_GetColumn(list, column, &col);
        EXPECT_EQ(column ? "Path 250 0" : "Name 120 0",   // heading, width, left-aligned
                  std::string(text) + " " + std::to_string(col.cx) + " " + std::to_string(col.fmt & LVCFMT_JUSTIFYMASK));
    }
    EXPECT_EQ(1, ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_SMALL)));

    // The details button shows and hides the list, and keeps the top-left corner.
    RECT start, now;
    ::GetWindowRect(ui.Dialog(), &start);
    for (bool shown : { true, false, true }) {
        ui.Click(IDC_DETAILS);
        EXPECT_EQ(shown, ::IsWindowVisible(ui.Item(IDC_LIST_RESULTS)) != 0);
        EXPECT_EQ(shown ? "Hide Details <<" : "Show Details >>", ui.Text(IDC_DETAILS));
        ExpectLaidOut(ui.Dialog(), shown ? 385 : 200, { IDC_DETAILS, shown ? IDC_LIST_RESULTS : IDC_DETAILS });
        ::GetWindowRect(ui.Dialog(), &now);
        EXPECT_TRUE(now.left == start.left && now.top == start.top) << "moved";
    }

    // The window menu's last entry opens the About box over the dialog.
    char text[128] = "";
    ::GetMenuStringA(::GetSystemMenu(ui.Dialog(), FALSE), IDM_ABOUTBOX, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("&About Orvel TolvaneCleaner...", text);
    ::PostMessageA(ui.Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = ui.WaitForPopup("About Tolvane Cleaner");
    EXPECT_TRUE(about && ::GetWindow(about, GW_OWNER) == ui.Dialog() && !::IsWindowEnabled(ui.Dialog())) << "modal";
    ::PostMessageA(::GetDlgItem(about, IDOK), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about) && ::IsWindowEnabled(ui.Dialog()); }, 5000));
}

// The real program, started as a process of its own (with arguments, which
// change nothing): Escape, Enter and Close each end it with code 0 in the
// middle of a search of C: (which holds the 10,000 folders of C:\t\big).
TEST(Process, EscapeEnterAndCloseEndTheProcessAlsoDuringASearch)
{
    for (int round = 0; round < 9; ++round) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        char command[] = "C:\\Cleaner.exe /search D:\\ --delete-all", title[64] = "";
        ASSERT_TRUE(::CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &process));
        HWND window = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window = ::FindWindowA(nullptr, "Orvel Tolvane Cleaner"), &owner);
            return owner == process.dwProcessId && ::IsWindowVisible(window);
        }, 10000));
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window, IDC_START_SEARCH))) << "as if started without arguments";
        ::SendMessageA(::GetDlgItem(window, IDC_CHECK_DEBUG), BM_CLICK, 0, 0);
        ::SendMessageA(::GetDlgItem(window, IDC_START_SEARCH), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] {
            return ::GetWindowTextA(window, title, sizeof title) && !std::strncmp(title, "Searching - ", 12);
        }, 10000)) << "the search did not start";
        ::Sleep(static_cast<DWORD>(round * 11));   // a moment of the search, not a wait for something
        if (round % 3 == 2)
            ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            ::PostMessageA(::GetDlgItem(window, IDC_CHECK_DEBUG), WM_KEYDOWN, round % 3 ? VK_RETURN : VK_ESCAPE, 1);
        DWORD code = 1;
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process.hProcess, 5000)) << "round " << round;
        EXPECT_TRUE(::GetExitCodeProcess(process.hProcess, &code) && code == 0) << "round " << round;
        ::TerminateProcess(process.hProcess, 1);   // if it is still running
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
}

// Delete Selected clicked right after the worker has inserted a row, on a
// row whose folder another program has just removed (so the row goes at
// once, with no shell request): the worker is held between its insert and
// the row's Path until the delete reads the list. Every row keeps its own
// Path, and every other folder is still listed once. C:\t\mixup: 2,000
// folders, 20 of them Debug (bench/make_tree.py).
HWND g_list;
HANDLE g_worker;
std::atomic<long> g_deletesPosted;

LRESULT CALLBACK HoldWorkerAfterInsert(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == g_list && call->message == LVM_INSERTITEMA && call->lResult > 0) {
        char path[MAX_PATH] = "";
        ListView_GetItemText(g_list, 0, 1, path, MAX_PATH);
        ::RemoveDirectoryA(path);
        ListView_SetItemState(g_list, 0, LVIS_SELECTED, LVIS_SELECTED);
        ::SuspendThread(g_worker);   // until the delete reads a Path (below)
        ::PostMessageA(::GetDlgItem(::GetParent(g_list), IDC_DELETE_SELECTED), BM_CLICK, 0, 0);
        ++g_deletesPosted;
    } else if (code == HC_ACTION && call->hwnd == g_list && call->message == LVM_GETITEMTEXTA &&
               reinterpret_cast<const LVITEMA*>(call->lParam)->iSubItem == 1) {
        ::ResumeThread(g_worker);   // does nothing when it is not held
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Search, DeletingDuringASearchNeverMixesUpRows)
{
    DialogHarness ui;
    std::vector<Row> all = ui.SearchIn("C:\\t\\mixup", true, false);   // the Delete buttons are enabled from here on
    ASSERT_EQ(20u, all.size());
    g_list = ui.Item(IDC_LIST_RESULTS);
    long handled = ui.Handled(IDC_DELETE_SELECTED);
    HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, HoldWorkerAfterInsert, nullptr,
                                     ::GetWindowThreadProcessId(ui.Dialog(), nullptr));
    ui.Click(IDC_START_SEARCH);
    g_worker = ui.Dlg().m_pSearchThread->m_hThread;
    ASSERT_TRUE(ui.WaitForEnd());
    ::UnhookWindowsHookEx(hook);
    EXPECT_TRUE(WaitUntil([&] { return ui.Handled(IDC_DELETE_SELECTED) - handled == g_deletesPosted; }, 30000));

    std::set<std::string> listed;
    for (const Row& row : ui.Rows()) {
        EXPECT_EQ(row.name, row.path.substr(row.path.find_last_of('\\') + 1)) << "a row with another's Path";
        EXPECT_TRUE(listed.insert(row.path).second) << "listed twice: " << row.path;
    }
    for (const Row& row : all)
        EXPECT_EQ(listed.count(row.path) != 0, ::GetFileAttributesA(row.path.c_str()) != INVALID_FILE_ATTRIBUTES)
            << "listed, yet gone; or there, yet not listed: " << row.path;
    EXPECT_GT(g_deletesPosted, 5);
}

// What the platform lists, read as the walk and the delete read it. A name
// that cannot be converted opens nothing (an empty one would name its own
// folder again); only reparse points that keep their data in place are
// real folders, and a tag of 0 (Wine reports it for every link) is a link.
TEST(Platform, NamesThatCannotBeConvertedAndReparseTags)
{
    EXPECT_STREQ("?", NameInCodePage(L"Debug", 12345));
    EXPECT_STREQ("D\xC3\xA9" "bug", NameInCodePage(L"D\x00E9" L"bug", CP_UTF8));
    EXPECT_STREQ("D?bug", NameInCodePage(L"D\x0119" L"bug", 1252));
    const DWORD folder = FILE_ATTRIBUTE_DIRECTORY, reparse = FILE_ATTRIBUTE_REPARSE_POINT;
    const struct { DWORD attributes, tag; bool link; } cases[] = {
        { folder, 0, false },
        { folder | reparse, 0, true },
        { folder | reparse, IO_REPARSE_TAG_MOUNT_POINT, true },
        { reparse, 0x8000001B, true },             // an app execution alias: unknown here
        { folder | reparse, 0x9000001A, false },   // cloud
        { folder | reparse, 0x9000701A, false },   // cloud 7
        { reparse, 0x80000013, false },            // deduplicated
        { reparse, 0x80000017, false },            // compressed (WOF)
    };
    for (const auto& entry : cases)
        EXPECT_EQ(entry.link, CFileFind::IsLinkEntry(entry.attributes, entry.tag)) << std::hex << entry.tag;
}

// Runs in a prefix with drives A: (floppy), D: (CD-ROM), E: to M: and O:
// (fixed), N: (network) and Y: (the same folder as C:). A folder picked
// inside the Windows directory is searched; with the picker cancelled, every
// local drive is searched from its root ("A:\Debug": no doubled separator),
// and the Windows directory (which holds that Debug folder) is entered on none.
TEST(Drives, EveryLocalDriveIsSearchedNetworkDrivesAreNotAndWindowsIsSkippedOnEach)
{
    const std::string local = "ADEFGHIJKLMO";
    for (char letter : local + "N")
        ::CreateDirectoryA((std::string(1, letter) + ":\\Debug").c_str(), nullptr);
    char windows[MAX_PATH];
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string inside = std::string(windows) + "\\cleaner-test";
    ::SHCreateDirectoryExA(nullptr, (inside + "\\Debug").c_str(), nullptr);

    DialogHarness ui;
    std::vector<Row> rows = ui.SearchIn(inside, true, false);
    EXPECT_TRUE(rows.size() == 1 && rows[0].path == inside + "\\Debug") << "a folder picked inside Windows is searched";
    ui.PickFolder("");
    ui.Search();
    std::set<std::string> paths;
    for (const Row& row : ui.Rows()) {
        paths.insert(row.path);
        EXPECT_EQ(std::string::npos, row.path.find(std::string(windows + 2) + "\\")) << row.path;
    }
    for (char letter : local)
        EXPECT_EQ(1u, paths.count(std::string(1, letter) + ":\\Debug")) << letter << ": was not searched";
    EXPECT_EQ(0u, paths.count("N:\\Debug")) << "the network drive was searched";
}

}  // namespace
