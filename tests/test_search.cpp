// Searching: which folders are listed, in which order, from which roots;
// Start, Stop and the options; links and the Windows directory.
#include "DialogHarness.h"
#include "TestTree.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cwchar>
#include <atomic>
#include <set>

namespace {

// The folders named debug or release below `folder`, pre-order, in the order
// the file system lists them: worked out here with a listing of its own.
void ExpectedRows(const std::string& folder, bool debug, bool release, std::vector<Row>& rows)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == ".." || !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        if ((debug && lower == "debug") || (release && lower == "release"))
            rows.push_back({ name, folder + "\\" + name });
        ExpectedRows(folder + "\\" + name, debug, release, rows);
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
}

std::vector<Row> Expected(const std::string& folder, bool debug, bool release)
{
    std::vector<Row> rows;
    ExpectedRows(folder, debug, release, rows);
    return rows;
}

std::string MatchingTree()
{
    std::string root = FreshFolder("match");
    MakeFolders(root, { "a\\Debug\\x", "a\\Debug1", "a\\debug.old", "a\\MyDebug", "b\\release",
                        "c\\DEBUG", "d\\debug", "e", "p\\Release\\Debug", "q\\RELEASE", "q\\Debug" });
    WriteFile(root + "\\e\\debug", "a file, not a folder");
    WriteFile(root + "\\e\\release", "a file, not a folder");
    return root;
}

TEST(Search, ListsExactlyTheMatchingFoldersInStoredCaseAndFinderOrder)
{
    std::string root = MatchingTree();
    DialogHarness ui;
    std::vector<Row> both = ui.SearchIn(root, true, true);
    EXPECT_EQ(Expected(root, true, true), both);
    std::set<std::string> names;
    for (const Row& row : both)
        names.insert(row.path.substr(root.size()));
    std::set<std::string> wanted = { "\\a\\Debug", "\\b\\release", "\\c\\DEBUG", "\\d\\debug",
                                     "\\p\\Release", "\\p\\Release\\Debug", "\\q\\RELEASE", "\\q\\Debug" };
    EXPECT_EQ(wanted, names);
    auto outer = std::find(both.begin(), both.end(), Row{ "Release", root + "\\p\\Release" });
    auto inner = std::find(both.begin(), both.end(), Row{ "Debug", root + "\\p\\Release\\Debug" });
    EXPECT_LT(outer, inner) << "a match inside a match comes after it";

    EXPECT_EQ(Expected(root, true, false), ui.SearchIn(root, true, false));
    EXPECT_EQ(Expected(root, false, true), ui.SearchIn(root, false, true));
}

TEST(Search, ThePickedFolderItselfIsNeverListed)
{
    std::string root = FreshFolder("Debug");
    MakeFolders(root, { "inner\\Release", "Debug" });
    DialogHarness ui;
    std::vector<Row> expected = { { "Debug", root + "\\Debug" }, { "Release", root + "\\inner\\Release" } };
    std::vector<Row> rows = ui.SearchIn(root, true, true);
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.path < b.path; });
    EXPECT_EQ(expected, rows);
}

TEST(Search, RunShowsProgressInTheTitleDisablesTheOptionsAndGivesThemBack)
{
    std::string root = BigTree();
    DialogHarness ui;
    ui.PickFolder(root);
    ui.SetOptions(true, false);
    EXPECT_FALSE(ui.Enabled(IDC_DELETE_ALL));
    ui.Click(IDC_START_SEARCH);
    EXPECT_EQ("Stop Search", ui.Text(IDC_START_SEARCH));
    EXPECT_TRUE(ui.Visible(IDC_LIST_RESULTS)) << "a run always shows the list";
    EXPECT_TRUE(WaitUntil([&] {
        return !ui.Enabled(IDC_CHECK_DEBUG) && !ui.Enabled(IDC_CHECK_RELEASE) && !ui.Enabled(IDC_SELECT_DRIVE);
    }, 5000)) << "the options and Select Drive are disabled during the run";
    EXPECT_TRUE(ui.Enabled(IDC_START_SEARCH));
    ASSERT_TRUE(ui.WaitForEnd());

    std::vector<std::string> titles = ui.Titles();

    EXPECT_NE(titles.end(), std::find(titles.begin(), titles.end(), "Searching - " + root + "\\top0\\mid0\\leaf0"));
    EXPECT_EQ("Tolvane Cleaner", titles.back());
    EXPECT_EQ("Start Search", ui.Text(IDC_START_SEARCH));
    EXPECT_TRUE(ui.Enabled(IDC_CHECK_DEBUG));
    EXPECT_TRUE(ui.Enabled(IDC_CHECK_RELEASE));
    EXPECT_TRUE(ui.Enabled(IDC_SELECT_DRIVE));
    EXPECT_TRUE(ui.Enabled(IDC_DELETE_ALL)) << "rows were found";
    EXPECT_TRUE(ui.Enabled(IDC_DELETE_SELECTED));
    EXPECT_EQ(100u, ui.Rows().size());

    // A run that finds nothing leaves the Delete buttons as they were.
    std::string empty = FreshFolder("empty");
    EXPECT_TRUE(ui.SearchIn(empty, true, false).empty());
    EXPECT_TRUE(ui.Enabled(IDC_DELETE_ALL));
    DialogHarness fresh;
    EXPECT_TRUE(fresh.SearchIn(empty, true, true).empty());
    EXPECT_FALSE(fresh.Enabled(IDC_DELETE_ALL));
    EXPECT_FALSE(fresh.Enabled(IDC_DELETE_SELECTED));
}

// During a run, the window's text always names a folder of the tree being
// entered; the caption on screen (the text the window manager holds) is one
// of the titles set, replaced within 50 ms (and some slack for scheduling)
// once a newer one has been set.
TEST(Search, TheTitleNamesAFolderOfTheTreeAndTheCaptionFollowsWithin50Ms)
{
    std::string root = BigTree();
    DialogHarness ui;
    ui.PickFolder(root);
    ui.SetOptions(true, false);
    ui.Click(IDC_START_SEARCH);
    int samples = 0;
    DWORD stalest = 0;
    while (ui.Text(IDC_START_SEARCH) == "Stop Search") {
        char text[MAX_PATH + 20] = "";
        ::GetWindowTextA(ui.Dialog(), text, sizeof text);
        wchar_t shown[MAX_PATH + 20] = L"";
        ::InternalGetWindowText(ui.Dialog(), shown, MAX_PATH + 20);
        DWORD now = ::GetTickCount();
        std::string title = text;
        if (title.rfind("Searching - ", 0) != 0)
            continue;
        ++samples;
        EXPECT_EQ(0u, title.rfind("Searching - " + root + "\\", 0)) << title;
        EXPECT_TRUE(PathExists(title.substr(12))) << title;
        std::vector<DWORD> ticks;
        std::vector<std::string> titles = ui.Titles(&ticks);
        std::string onScreen(shown, shown + std::wcslen(shown));
        auto last = std::find(titles.rbegin(), titles.rend(), onScreen);
        ASSERT_NE(titles.rend(), last) << "on screen, but never set: " << onScreen;
        size_t next = static_cast<size_t>(titles.rend() - last);   // the title that replaced it
        if (next < ticks.size() && ticks[next] <= now)
            stalest = std::max(stalest, now - ticks[next]);
    }
    ASSERT_TRUE(ui.WaitForEnd());
    EXPECT_GT(samples, 50);
    EXPECT_LE(stalest, 150u) << "the caption lagged " << stalest << " ms behind the title";
    std::printf("%d samples during the run; the caption lagged at most %lu ms\n", samples,
                static_cast<unsigned long>(stalest));
}

TEST(Search, UntickingAnOptionRemovesExactlyItsRows)
{
    std::string root = MatchingTree();
    DialogHarness ui;
    std::vector<Row> rows = ui.SearchIn(root, true, true);
    ui.Click(IDC_CHECK_RELEASE);
    std::vector<Row> debugOnly;
    for (const Row& row : rows)
        if (row.name == "Debug" || row.name == "DEBUG" || row.name == "debug")
            debugOnly.push_back(row);
    EXPECT_EQ(debugOnly, ui.Rows());
    EXPECT_TRUE(ui.Enabled(IDC_START_SEARCH));
    ui.Click(IDC_CHECK_RELEASE);
    EXPECT_EQ(debugOnly, ui.Rows()) << "ticking again brings nothing back";
    ui.Click(IDC_CHECK_RELEASE);
    ui.Click(IDC_CHECK_DEBUG);
    EXPECT_TRUE(ui.Rows().empty());
    EXPECT_FALSE(ui.Enabled(IDC_START_SEARCH));
}

TEST(Search, StopEndsTheRunAtOnceAndANewStartRunsAloneToTheEnd)
{
    std::string root = BigTree();
    DialogHarness ui;
    ui.PickFolder(root);
    ui.SetOptions(true, false);
    std::vector<Row> all = Expected(root, true, false);
    for (int round = 0; round < 5; ++round) {
        ::SendMessageA(ui.Dialog(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        ui.Click(IDC_START_SEARCH);
        ASSERT_TRUE(WaitUntil([&] { return ui.Title().rfind("Searching - ", 0) == 0; }, 10000));
        ::Sleep(20 * round);
        DWORD start = ::GetTickCount();
        ui.Click(IDC_START_SEARCH);
        EXPECT_EQ("Start Search", ui.Text(IDC_START_SEARCH)) << "at once";
        ASSERT_TRUE(ui.WaitForEnd(10000));
        EXPECT_LT(::GetTickCount() - start, 1000u) << "the stopped run took too long to end";
        EXPECT_TRUE(ui.Enabled(IDC_CHECK_DEBUG));
    }
    // Start right after Stop: the stopped run unwinds first, and its stop
    // request does not end the new run.
    ::SendMessageA(ui.Dialog(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    ui.Click(IDC_START_SEARCH);
    ASSERT_TRUE(WaitUntil([&] { return ui.Title().rfind("Searching - ", 0) == 0; }, 10000));
    ui.Click(IDC_START_SEARCH);
    ui.Search();
    EXPECT_EQ(all, ui.Rows()) << "one whole run, no rows twice";
}

TEST(Search, ClosingDuringARunStopsAndJoinsTheWorker)
{
    std::string root = BigTree();
    for (int round = 0; round < 20; ++round) {
        DialogHarness ui;
        ui.PickFolder(root);
        ui.SetOptions(true, round % 2 == 0);
        ui.Click(IDC_START_SEARCH);
        ASSERT_TRUE(WaitUntil([&] { return ui.Title().rfind("Searching - ", 0) == 0; }, 10000));
        ::Sleep(static_cast<DWORD>(round * 7));
        ui.Key(round % 3 == 0 ? IDC_CHECK_DEBUG : IDC_LIST_RESULTS, round % 3 == 1 ? VK_RETURN : VK_ESCAPE);
        if (round % 3 == 2)
            ::PostMessageA(ui.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(ui.WaitClosed(1000)) << "round " << round;
    }
}

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
        LVITEMA item = {};
        item.iSubItem = 1;
        item.pszText = path;
        item.cchTextMax = MAX_PATH;
        ::SendMessageA(g_list, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
        ::RemoveDirectoryA(path);
        item.stateMask = item.state = LVIS_SELECTED;
        ::SendMessageA(g_list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
        ::SuspendThread(g_worker);   // until the delete reads a Path (below)
        ::PostMessageA(g_deleteSelected, BM_CLICK, 0, 0);
        ++g_deletesPosted;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ReleaseWorkerOnRead(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == g_list && call->message == LVM_GETITEMTEXTA &&
        reinterpret_cast<const LVITEMA*>(call->lParam)->iSubItem == 1)
        ::ResumeThread(g_worker);   // does nothing when it is not held
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Search, DeletingDuringASearchNeverMixesUpRows)
{
    std::string root = FolderTree("mixup", 2);
    std::vector<Row> all = Expected(root, true, false);
    DialogHarness ui;
    ASSERT_EQ(all, ui.SearchIn(root, true, false));   // the Delete buttons are enabled from here on
    g_list = ui.Item(IDC_LIST_RESULTS);
    g_deleteSelected = ui.Item(IDC_DELETE_SELECTED);
    long handled = ui.Handled(IDC_DELETE_SELECTED);
    DWORD thread = ::GetWindowThreadProcessId(ui.Dialog(), nullptr);
    HHOOK hold = ::SetWindowsHookExA(WH_CALLWNDPROCRET, HoldWorkerAfterInsert, nullptr, thread);
    HHOOK release = ::SetWindowsHookExA(WH_CALLWNDPROC, ReleaseWorkerOnRead, nullptr, thread);
    ui.Click(IDC_START_SEARCH);
    g_worker = ui.Worker();
    ASSERT_TRUE(ui.WaitForEnd());
    ::UnhookWindowsHookEx(hold);
    ::UnhookWindowsHookEx(release);
    EXPECT_TRUE(WaitUntil([&] { return ui.Handled(IDC_DELETE_SELECTED) - handled == g_deletesPosted; }, 30000));

    std::set<std::string> listed;
    for (const Row& row : ui.Rows()) {
        EXPECT_EQ(row.name, row.path.substr(row.path.find_last_of('\\') + 1)) << "a row with another's Path";
        EXPECT_TRUE(listed.insert(row.path).second) << "listed twice: " << row.path;
    }
    for (const Row& row : all)
        EXPECT_NE(listed.count(row.path) != 0, !PathExists(row.path)) << row.path;
    EXPECT_GT(g_deletesPosted, 5);
    RemoveTree(root);
}

// The run searches what was asked when it started, also when an option is
// clicked before the worker has disabled it.
TEST(Search, AnOptionClickedAsTheRunStartsDoesNotChangeIt)
{
    std::string root = MatchingTree();
    DialogHarness ui;
    ui.PickFolder(root);
    ui.SetOptions(true, false);
    ui.Click(IDC_START_SEARCH);
    ::SendMessageA(ui.Item(IDC_CHECK_DEBUG), BM_CLICK, 0, 0);
    ::SendMessageA(ui.Item(IDC_CHECK_RELEASE), BM_CLICK, 0, 0);
    ASSERT_TRUE(ui.WaitForEnd());
    EXPECT_EQ(Expected(root, true, false), ui.Rows());
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
    const struct { DWORD attributes, tag; bool link; } cases[] = {
        { FILE_ATTRIBUTE_DIRECTORY, 0, false },
        { FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, 0, true },
        { FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, IO_REPARSE_TAG_MOUNT_POINT, true },
        { FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, IO_REPARSE_TAG_SYMLINK, true },
        { FILE_ATTRIBUTE_REPARSE_POINT, 0x8000001B, true },   // an app execution alias: unknown here
        { FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, 0x9000001A, false },   // cloud
        { FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, 0x9000701A, false },   // cloud 7
        { FILE_ATTRIBUTE_REPARSE_POINT, 0x80000013, false },   // deduplicated
        { FILE_ATTRIBUTE_REPARSE_POINT, 0x80000017, false },   // compressed (WOF)
    };
    for (const auto& entry : cases)
        EXPECT_EQ(entry.link, CFileFind::IsLinkEntry(entry.attributes, entry.tag)) << std::hex << entry.tag;
}

TEST(Search, LinksAreNeitherEnteredNorListed)
{
    DialogHarness ui;
    std::vector<Row> loop = ui.SearchIn("C:\\links\\loop", true, true);
    EXPECT_EQ((std::vector<Row>{ { "Release", "C:\\links\\loop\\sub\\Release" } }), loop);
    std::vector<Row> tree = ui.SearchIn("C:\\links\\tree", true, true);
    EXPECT_EQ((std::vector<Row>{ { "Debug", "C:\\links\\tree\\Debug" } }), tree);
}

TEST(Search, TheWindowsDirectoryIsSkippedButAFolderPickedInsideItIsWalked)
{
    char windows[MAX_PATH];
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    std::string inside = std::string(windows) + "\\cleaner-test";
    RemoveTree(inside);
    MakeFolders(windows, { "cleaner-test\\Debug" });
    std::string outside = FreshFolder("rootpick");
    MakeFolders(outside, { "Debug" });
    DialogHarness ui;
    std::vector<Row> rows = ui.SearchIn(inside, true, false);
    EXPECT_EQ((std::vector<Row>{ { "Debug", inside + "\\Debug" } }), rows);

    // From the drive's root: the title never names the Windows directory and
    // no separator is doubled.
    size_t firstTitles = ui.Titles().size();
    rows = ui.SearchIn("C:\\", true, false);
    std::vector<std::string> titles = ui.Titles();
    titles.erase(titles.begin(), titles.begin() + static_cast<long>(firstTitles));
    EXPECT_GT(titles.size(), 100u);
    for (const Row& row : rows)
        EXPECT_NE(0, ::lstrcmpiA(row.path.substr(0, inside.size()).c_str(), inside.c_str())) << row.path;
    for (const std::string& title : titles) {
        EXPECT_EQ(std::string::npos, title.find("\\\\")) << title;
        EXPECT_NE(0, ::lstrcmpiA(title.substr(0, 12 + strlen(windows)).c_str(),
                                 (std::string("Searching - ") + windows).c_str())) << title;
    }
    EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(), Row{ "Debug", outside + "\\Debug" }));
    RemoveTree(inside);
}

TEST(Search, CancellingThePickerReturnsToTheDrives)
{
    std::string picked = FreshFolder("picked");
    MakeFolders(picked, { "Debug" });
    std::string other = FreshFolder("other");
    MakeFolders(other, { "Debug" });
    DialogHarness ui;
    EXPECT_EQ((std::vector<Row>{ { "Debug", picked + "\\Debug" } }), ui.SearchIn(picked, true, false));
    ui.CancelPicker();
    ui.Search();
    std::vector<Row> rows = ui.Rows();
    EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(), Row{ "Debug", other + "\\Debug" }));
    EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(), Row{ "Debug", picked + "\\Debug" }));
}

TEST(Search, APickedPathOfFullLengthIsTakenWhole)
{
    std::string root = FreshFolder("long");
    std::string folder = root;
    while (folder.size() < MAX_PATH - 20)
        folder += "\\abcdefghijklmnopqrstuvwxyz0123456789abcdefghij";
    MakeFolders(root, { folder.substr(root.size() + 1) + "\\Debug" });
    DialogHarness ui;
    EXPECT_EQ((std::vector<Row>{ { "Debug", folder + "\\Debug" } }), ui.SearchIn(folder, true, false));
}

}  // namespace

namespace {

// Runs in a prefix with drives A: (floppy), D: (CD-ROM), E: to M: and O:
// (fixed), N: (network) and Y: (the same folder as C:).
TEST(Drives, EveryLocalDriveIsSearchedNetworkDrivesAreNotAndWindowsIsSkippedOnEach)
{
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(120, ::GetDeviceCaps(screen, LOGPIXELSY)) << "this prefix checks the window at other metrics";
    ::ReleaseDC(nullptr, screen);

    const std::string local = "ADEFGHIJKLMO";
    for (char letter : local + "N")
        ::CreateDirectoryA((std::string(1, letter) + ":\\Debug").c_str(), nullptr);
    char windows[MAX_PATH];
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    ::CreateDirectoryA((std::string(windows) + "\\Debug").c_str(), nullptr);

    DialogHarness ui;
    ui.SetOptions(true, false);
    ui.Search();
    std::set<std::string> paths;
    for (const Row& row : ui.Rows()) {
        paths.insert(row.path);
        EXPECT_EQ(std::string::npos, row.path.find("\\windows\\")) << row.path;
        EXPECT_EQ(std::string::npos, row.path.find("\\WINDOWS\\")) << row.path;
    }
    for (char letter : local)
        EXPECT_EQ(1u, paths.count(std::string(1, letter) + ":\\Debug")) << letter << ": was not searched";
    EXPECT_EQ(0u, paths.count("N:\\Debug")) << "the network drive was searched";
    for (const std::string& title : ui.Titles())
        EXPECT_EQ(std::string::npos, title.find(":\\windows")) << title;
}

}  // namespace
