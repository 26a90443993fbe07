// Searching, beyond what the trees of fuzz/fuzz.py show: a delete during a
// run, the platform's names and reparse tags, and which drives are searched.
// C:\t\mixup (2,000 folders, 20 of them Debug) is made by bench/make_tree.py.
#include "DialogHarness.h"
#include <gtest/gtest.h>
#include <atomic>
#include <set>

namespace {

// Delete Selected clicked right after the worker has inserted a row, on a
// row whose folder another program has just removed (so the row goes at
// once, with no shell request): the worker is held between its insert and
// the row's Path until the delete reads the list. Every row keeps its own
// Path, and every other folder is still listed once.
HWND g_list, g_deleteSelected;
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
        ::PostMessageA(g_deleteSelected, BM_CLICK, 0, 0);
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
    g_deleteSelected = ui.Item(IDC_DELETE_SELECTED);
    long handled = ui.Handled(IDC_DELETE_SELECTED);
    DWORD thread = ::GetWindowThreadProcessId(ui.Dialog(), nullptr);
    HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, HoldWorkerAfterInsert, nullptr, thread);
    ui.Click(IDC_START_SEARCH);
    g_worker = ui.Worker();
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
        { folder | reparse, IO_REPARSE_TAG_SYMLINK, true },
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
// and the Windows directory, which holds a Debug folder, is entered on none.
TEST(Drives, EveryLocalDriveIsSearchedNetworkDrivesAreNotAndWindowsIsSkippedOnEach)
{
    const std::string local = "ADEFGHIJKLMO";
    for (char letter : local + "N")
        ::CreateDirectoryA((std::string(1, letter) + ":\\Debug").c_str(), nullptr);
    char windows[MAX_PATH];
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string inside = std::string(windows) + "\\cleaner-test";
    ::CreateDirectoryA(inside.c_str(), nullptr);
    ::CreateDirectoryA((inside + "\\Debug").c_str(), nullptr);
    ::CreateDirectoryA((std::string(windows) + "\\Debug").c_str(), nullptr);

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
