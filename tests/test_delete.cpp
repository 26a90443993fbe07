// Deleting, where the disk or the shell does not do as asked: folders the
// shell cannot delete, paths at its limit, a drive that left or leads to
// another volume now, the shell's aborts, and Delete All during a search.
#include "DialogHarness.h"
#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

// Whether something is at `path` (a full path, of any length).
bool Exists(const std::string& path)
{
    std::wstring wide(path.begin(), path.end());
    return ::GetFileAttributesW((L"\\\\?\\" + wide).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Makes `folder` (and every folder on its way) and a file in it (none when
// `file` is empty), at any length.
void MakeFile(const std::string& folder, const std::string& file)
{
    std::wstring wide(folder.begin(), folder.end());
    for (size_t at = wide.find(L'\\', 3); at != std::wstring::npos; at = wide.find(L'\\', at + 1))
        ::CreateDirectoryW((L"\\\\?\\" + wide.substr(0, at)).c_str(), nullptr);
    ::CreateDirectoryW((L"\\\\?\\" + wide).c_str(), nullptr);
    if (file.empty())
        return;
    std::wstring name(file.begin(), file.end());
    HANDLE handle = ::CreateFileW((L"\\\\?\\" + wide + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::WriteFile(handle, "obj", 3, nullptr, nullptr);
    ::CloseHandle(handle);
}

// Removes `folder` and everything in it, at any length, without the shell
// (Wine's shell works on a cut path past MAX_PATH).
void RemoveLong(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &entry);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &entry)) {
        std::wstring path = folder + L"\\" + entry.cFileName;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ::DeleteFileW((L"\\\\?\\" + path).c_str());
        else if (entry.cFileName != std::wstring(L".") && entry.cFileName != std::wstring(L".."))
            RemoveLong(path);
    }
    ::FindClose(find);
    ::RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
}

// Open without delete sharing: no one can delete it, nor the folders around it.
HANDLE Hold(const std::string& file)
{
    return ::CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

std::string Names(const std::vector<Row>& rows)
{
    std::string names;
    for (const Row& row : rows)
        names += row.path + "|";
    return names;
}

// Presses Delete All (or Delete Selected) and answers Yes. The message on the
// folders left, closed; "" when there was none. It must carry the warning icon.
std::string Delete(DialogHarness& ui, int button = IDC_DELETE_ALL)
{
    ui.ClickAsync(button);
    if (button == IDC_DELETE_ALL) {
        HWND box = ui.WaitForPopup("Confirm Delete");
        EXPECT_TRUE(box) << "no question was asked";
        ::PostMessageA(::GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    }
    HWND kept = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (kept = ui.WaitForPopup("Tolvane Cleaner", 0)) || ui.WaitHandled(button, 0); },
                          60000)) << "the delete did not end";
    if (!kept)
        return "";
    std::string text = ui.Text(::GetDlgItem(kept, 0xFFFF));
    bool warning = false;
    for (HWND child = ::GetWindow(kept, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        warning = warning || ::SendMessageA(child, STM_GETICON, 0, 0) ==
                                 reinterpret_cast<LRESULT>(::LoadIconA(nullptr, IDI_WARNING));
    EXPECT_TRUE(warning) << "the message's icon";
    ::PostMessageA(::GetDlgItem(kept, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(ui.WaitHandled(button));
    return text;
}

const char kNotDeleted[] = "\n    Windows could not delete it: a file in it may be in use, or access is denied";

// One, five and seven folders the shell cannot delete: the message names the
// first five, each with its reason, and counts the rest. One request asks for
// all, permanently (not to the Recycle Bin), without the shell's own questions
// or progress; then each folder left is asked for again, without its errors.
TEST(Delete, KeptFoldersAreNamedFiveAtMostWithTheirReasonAndNothingGoesToTheRecycleBin)
{
    RemoveTree("C:\\fz\\kept");
    DialogHarness ui;
    for (int count : { 1, 5, 7 }) {
        SCOPED_TRACE(std::to_string(count) + " folders kept");
        std::string top = "C:\\fz\\kept\\" + std::to_string(count);
        std::string expected = std::to_string(count) + (count == 1 ? " folder was" : " folders were") + " not deleted:\n";
        std::vector<HANDLE> held;
        for (int i = 0; i < count; ++i) {
            std::string folder = top + "\\k" + std::to_string(i) + "\\Debug";
            MakeFile(folder, "app.pdb");
            held.push_back(Hold(folder + "\\app.pdb"));
            expected += i < 5 ? "\n" + folder + kNotDeleted : "";
        }
        expected += count > 5 ? "\n\nand " + std::to_string(count - 5) + " more." : "";
        ui.SearchIn(top, true, false);
        size_t asked = ui.Requests().size();
        EXPECT_EQ(expected, Delete(ui));
        EXPECT_EQ(static_cast<size_t>(count), ui.Rows().size());
        std::vector<ShellRequest> requests = ui.Requests();
        ASSERT_EQ(asked + 1 + count, requests.size());
        EXPECT_EQ(static_cast<size_t>(count), requests[asked].paths.size());
        for (size_t at = asked; at < requests.size(); ++at) {
            EXPECT_EQ(FOF_SILENT | FOF_NOCONFIRMATION | (at > asked ? FOF_NOERRORUI : 0), requests[at].flags) << at;
            EXPECT_EQ("Cleaner", requests[at].title);
        }
        for (HANDLE handle : held)
            ::CloseHandle(handle);
    }
}

// An empty listed folder whose own path is 257, 258 and 259 characters long,
// and folders holding a file whose path is 257 and 258 long: the shell's
// request works in MAX_PATH (260) with "\*" and a NUL after a folder, so 257
// is the longest it can delete. The others stay, named with their reason.
TEST(Delete, PathsAtTheShellsLimitAreDeletedOnePastItAreKeptAndNamed)
{
    const std::string top = "C:\\fz\\limit\\";   // 12 characters
    RemoveLong(L"C:\\fz\\limit");
    MakeFile("C:\\fz\\limit-cwd", "canary.txt");   // the shell's current folder, should a cut path reach it
    ::SetCurrentDirectoryA("C:\\fz\\limit-cwd");
    const struct { const char* parent; size_t length; bool inside; const char* reason; } folders[] = {
        { "a", 257, false, nullptr }, { "b", 258, false, "its path is too long for the shell" },
        { "c", 259, false, "its path is too long for the shell" }, { "d", 257, true, nullptr },
        { "e", 258, true, "a path inside it is longer than the shell can delete" },
    };
    std::string expected = "3 folders were not deleted:\n", kept;
    std::vector<std::string> debugs;
    for (const auto& folder : folders) {
        std::string parent = top + folder.parent;
        if (!folder.inside)
            parent += std::string(folder.length - parent.size() - 6, 'x');   // and "\Debug"
        debugs.push_back(parent + "\\Debug");
        MakeFile(debugs.back(), folder.inside ? std::string(folder.length - debugs.back().size() - 1, 'f') : "");
        expected += folder.reason ? "\n" + debugs.back() + "\n    " + folder.reason : "";
        kept += folder.reason ? debugs.back() + "|" : "";
    }
    {
        DialogHarness ui;
        EXPECT_EQ(5u, ui.SearchIn("C:\\fz\\limit", true, false).size());
        EXPECT_EQ(expected, Delete(ui));
        EXPECT_EQ(kept, Names(ui.Rows()));
    }
    for (size_t i = 0; i < debugs.size(); ++i)
        EXPECT_EQ(folders[i].reason != nullptr, Exists(debugs[i])) << debugs[i].size() << " characters";
    EXPECT_TRUE(Exists("C:\\fz\\limit-cwd\\canary.txt"));
    ::SetCurrentDirectoryA("C:\\");
}

// V: leads to C:\vol at the search. Then V: has left (a stick pulled); then
// it leads to X:, another volume (another file system) holding the same
// folders: the rows stay, named with the reason, and no folder of either
// volume is touched.
TEST(Delete, ADriveThatLeftOrNowLeadsToAnotherVolumeKeepsItsRowsAndLosesNothing)
{
    const std::string prefix = std::getenv("WINEPREFIX"), other = std::getenv("CLEANER_OTHER_VOLUME");
    ASSERT_TRUE(DefineDrive('x', other));   // a volume of its own, as a second stick
    for (const char* drive : { "C:\\vol", "X:" }) {
        RemoveTree(std::string(drive) + "\\a");
        MakeFile(std::string(drive) + "\\a\\Debug", "a.obj");
        MakeFile(std::string(drive) + "\\b\\Release", "b.pdb");
    }
    ASSERT_TRUE(DefineDrive('v', prefix + "/drive_c/vol"));
    DialogHarness ui;
    ASSERT_EQ("V:\\a\\Debug|V:\\b\\Release|", Names(ui.SearchIn("V:\\", true, true)));
    const struct { std::string volume; const char* reason; } steps[] = {
        { "", "the drive or share it was found on is no longer there" },
        { other, "its drive now leads to another volume" },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.reason);
        ASSERT_TRUE(DefineDrive('v', step.volume));
        std::string reason = std::string("\n    ") + step.reason;
        EXPECT_EQ("2 folders were not deleted:\n\nV:\\a\\Debug" + reason + "\nV:\\b\\Release" + reason, Delete(ui));
        EXPECT_EQ("V:\\a\\Debug|V:\\b\\Release|", Names(ui.Rows()));
        for (const char* drive : { "C:\\vol", "X:" })
            EXPECT_TRUE(Exists(std::string(drive) + "\\a\\Debug\\a.obj") && Exists(std::string(drive) + "\\b\\Release\\b.pdb"));
    }
    DefineDrive('v', "");
    DefineDrive('x', "");
}

// The user's Cancel in the shell's error box (documented results: 0,
// DE_OPCANCELLED, ERROR_CANCELLED), after it deleted the first folder: the
// rest stay, rows and folders, with no word. An abort of the shell's own
// (any other result) is not the user's: each folder is asked for again, and
// the one that cannot go is named.
TEST(Delete, TheUsersCancelKeepsTheRestInSilenceTheShellsOwnAbortIsRetried)
{
    DialogHarness ui;
    const int results[] = { ERROR_CANCELLED, 0x75, 0, ERROR_SHARING_VIOLATION };
    for (int result : results) {
        SCOPED_TRACE(result);
        bool users = result != ERROR_SHARING_VIOLATION;
        const std::string top = "C:\\fz\\abort\\", a = top + "a\\Debug", b = top + "b\\Debug", c = top + "c\\Debug";
        for (const std::string& folder : { a, b, c })
            MakeFile(folder, "app.pdb");
        HANDLE held = users ? INVALID_HANDLE_VALUE : Hold(b + "\\app.pdb");
        ui.SearchIn("C:\\fz\\abort", true, false);
        size_t asked = ui.Requests().size();
        ui.AbortNextRequest(result, users);
        EXPECT_EQ(users ? "" : "1 folder was not deleted:\n\n" + b + kNotDeleted, Delete(ui));
        EXPECT_EQ(users ? b + "|" + c + "|" : b + "|", Names(ui.Rows()));
        EXPECT_TRUE(!Exists(a) && Exists(b) && Exists(c) == users);
        EXPECT_EQ(asked + (users ? 1 : 4), ui.Requests().size()) << "retries after the user's Cancel, or none after an abort";
        if (held != INVALID_HANDLE_VALUE)
            ::CloseHandle(held);
        RemoveTree("C:\\fz\\abort");
    }
}

// Delete All while a search runs: the rows found while its question is open
// are deleted with the others; those found after the request stay, with
// their folders. The worker is held at the titles of f3 and f6.
TEST(Delete, AllDuringASearchTakesTheRowsFoundWhileItAskedNotThoseAfter)
{
    RemoveTree("C:\\fz\\during");
    for (char folder = '0'; folder <= '9'; ++folder)
        MakeFile(std::string("C:\\fz\\during\\f") + folder + "\\Debug", "a.obj");
    DialogHarness ui;
    ASSERT_EQ(10u, ui.SearchIn("C:\\fz\\during", true, false).size());   // Delete All enabled
    std::atomic<HANDLE> worker{ nullptr };
    std::atomic<bool> held{ false };
    std::string holdAt = "Searching - C:\\fz\\during\\f3";
    ui.Watch([&](const CWPRETSTRUCT& call) {
        if (call.message == WM_SETTEXT && call.hwnd == ui.Dialog() && !held &&
            holdAt == reinterpret_cast<const char*>(call.lParam)) {
            ::SuspendThread(worker);   // it waits for this title's answer
            held = true;
        }
    });
    auto holdNext = [&](const char* title) {
        holdAt = title;
        held = false;
        ::ResumeThread(worker);
        return WaitUntil([&] { return held.load(); }, 10000);
    };
    struct LetGo {   // however the test ends, the worker is not left held
        DialogHarness& ui;
        std::atomic<HANDLE>& worker;
        ~LetGo() { ui.Watch(nullptr); ::ResumeThread(worker); }
    } letGo{ ui, worker };
    ui.Click(IDC_START_SEARCH);
    worker = ui.Dlg().m_pSearchThread->m_hThread;
    ASSERT_TRUE(WaitUntil([&] { return held.load(); }, 10000));
    ui.ClickAsync(IDC_DELETE_ALL);
    HWND box = ui.WaitForPopup("Confirm Delete");
    ASSERT_TRUE(box);
    ASSERT_TRUE(holdNext("Searching - C:\\fz\\during\\f6"));   // f3 to f5 found while it asks
    size_t asked = ui.Requests().size();
    ::PostMessageA(::GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    ASSERT_TRUE(ui.WaitHandled(IDC_DELETE_ALL));
    EXPECT_EQ("", Names(ui.Rows()));
    holdAt.clear();
    ::ResumeThread(worker);
    ASSERT_TRUE(ui.WaitForEnd());
    ui.Watch(nullptr);
    std::string after;
    for (char folder = '0'; folder <= '9'; ++folder) {
        std::string debug = std::string("C:\\fz\\during\\f") + folder + "\\Debug";
        EXPECT_EQ(folder >= '6', Exists(debug)) << debug;
        after += folder >= '6' ? debug + "|" : "";
    }
    EXPECT_EQ(after, Names(ui.Rows()));
    ASSERT_EQ(asked + 1, ui.Requests().size());
    EXPECT_EQ(6u, ui.Requests().back().paths.size());
}

}  // namespace
