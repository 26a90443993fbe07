// Deleting where the disk changes under the user: a drive that left or leads
// to another volume now, and Delete All while a search goes on.
#include "DialogHarness.h"
#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Makes `folder` (and every folder on its way) and a file in it.
void MakeFile(const std::string& folder, const char* file)
{
    ::SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    ::CloseHandle(::CreateFileA((folder + "\\" + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

std::string Names(const std::vector<Row>& rows)
{
    std::string names;
    for (const Row& row : rows)
        names += row.path + "|";
    return names;
}

// V: leads to C:\vol at the search. Then V: leaves as the shell's request
// starts; V: has left (a stick pulled); V: leads to X:, another volume
// (another file system) holding the same folders. Each time the rows stay,
// named with the reason, and no folder of either volume is touched.
TEST(Delete, ADriveThatLeftOrNowLeadsToAnotherVolumeKeepsItsRowsAndLosesNothing)
{
    const std::string prefix = std::getenv("WINEPREFIX"), other = std::getenv("CLEANER_OTHER_VOLUME");
    ASSERT_TRUE(DefineDrive('x', other));   // a volume of its own, as a second stick
    ::SHCreateDirectoryExA(nullptr, "C:\\vol", nullptr);
    FILE* volume = std::fopen("C:\\vol\\.windows-serial", "w");   // X:'s is 2222
    std::fputs("1111", volume);
    std::fclose(volume);
    for (const char* drive : { "C:\\vol", "X:" }) {
        RemoveTree(std::string(drive) + "\\a");
        MakeFile(std::string(drive) + "\\a\\Debug", "a.obj");
        MakeFile(std::string(drive) + "\\b\\Release", "b.pdb");
    }
    ASSERT_TRUE(DefineDrive('v', prefix + "/drive_c/vol"));
    DialogHarness ui;
    ASSERT_EQ("V:\\a\\Debug|V:\\b\\Release|", Names(ui.SearchIn("V:\\", true, true)));
    auto serial = [] {   // of the volume V: leads to now, as the program reads it
        BY_HANDLE_FILE_INFORMATION info = {};
        HANDLE root = ::CreateFileA("V:\\", 0, 7, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ::GetFileInformationByHandle(root, &info);
        ::CloseHandle(root);
        return info.dwVolumeSerialNumber;
    };
    const DWORD searched = serial();
    const char* gone = "the drive or share it was found on is no longer there";
    const struct { std::string volume; const char* reason; } steps[] = {
        { prefix + "/drive_c/vol", gone }, { "", gone }, { other, "its drive now leads to another volume or folder" },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.volume);
        ASSERT_TRUE(DefineDrive('v', step.volume) || step.volume.empty());   // (it may have left already)
        for (int again = 0; step.volume == other && serial() == searched && again < 5; ++again)
            DefineDrive('v', other);   // until Wine tells the volumes apart (see DefineDrive)
        if (&step == steps)
            ui.BeforeNextRequest([] { DefineDrive('v', ""); });
        std::string reason = std::string("\n    ") + step.reason;
        EXPECT_EQ("2 folders were not deleted:\n\nV:\\a\\Debug" + reason + "\nV:\\b\\Release" + reason, ui.Delete(IDC_DELETE_ALL));
        EXPECT_EQ("V:\\a\\Debug|V:\\b\\Release|", Names(ui.Rows()));
        for (const char* drive : { "C:\\vol", "X:" })
            EXPECT_TRUE(Exists(std::string(drive) + "\\a\\Debug\\a.obj") && Exists(std::string(drive) + "\\b\\Release\\b.pdb"));
    }
    DefineDrive('v', "");
    DefineDrive('x', "");
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
