// A search, and deleting, where things change under the user (tests/map.md says which test covers what).
#include "DialogHarness.h"
#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

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

TEST(Search, StopEndsTheWalkAndTheWindowAnswersWhileAStoppedRunUnwinds)
{
    DialogHarness ui;
    std::vector<Row> all = ui.SearchIn("C:\\t\\stop", true, false);   // 2,000 folders, 20 of them Debug
    ASSERT_EQ(20u, all.size());
    ExpectLaidOut(ui.Dialog(), 385);   // a search shows the list, expanded
    EXPECT_EQ("Hide Details <<", ui.Text(IDC_DETAILS));
    auto isTitle = [&](const CWPRETSTRUCT& call) {
        return call.message == WM_SETTEXT && call.hwnd == ui.Dialog() &&
               std::strncmp(reinterpret_cast<const char*>(call.lParam), "Searching - ", 12) == 0;
    };
    std::atomic<long> titles{ 0 }, captions{ 0 };   // captions: as painted (the window's own text) when a title's handler ends
    ui.Watch([&](const CWPRETSTRUCT& call) {
        wchar_t caption[64] = L"";
        captions += isTitle(call) && ::InternalGetWindowText(ui.Dialog(), caption, 64) && std::wcsncmp(caption, L"Searching - ", 12) == 0;
        titles += isTitle(call);
    });
    ui.Click(IDC_START_SEARCH);
    ExpectLaidOut(ui.Dialog(), 385);   // and stays so when it was already
    ASSERT_TRUE(WaitUntil([&] { return titles >= 100; }, 60000));
    ui.Click(IDC_START_SEARCH);
    long atStop = titles;
    ASSERT_TRUE(ui.WaitForEnd());
    EXPECT_LE(titles - atStop, 2) << "the walk went on after Stop";
    EXPECT_EQ(titles, captions) << "the caption does not follow the title";

    auto startHeld = [&] {   // a run whose worker is held at its first title after a row
        ui.HoldWorker([&](const CWPRETSTRUCT& call) { return isTitle(call) && ListView_GetItemCount(ui.Item(IDC_LIST_RESULTS)) > 0; });
        ui.Click(IDC_START_SEARCH);
        return ui.WaitHeld();
    };
    long beeps = ui.Beeps();
    ASSERT_TRUE(startHeld());
    EXPECT_TRUE(ui.Enabled(IDC_DELETE_ALL) && ui.Enabled(IDC_DELETE_SELECTED)) << "Delete, enabled before the run";
    EXPECT_FALSE(ui.Enabled(IDC_CHECK_DEBUG) || ui.Enabled(IDC_CHECK_RELEASE) || ui.Enabled(IDC_SELECT_DRIVE));
    for (int height : { 200, 385 }) {   // Details, during the run too
        ui.Click(IDC_DETAILS);
        ExpectLaidOut(ui.Dialog(), height);
    }
    auto clickAnswered = [&] {   // with the worker held, a click that waits for it never returns
        return ::SendMessageTimeoutA(ui.Item(IDC_START_SEARCH), BM_CLICK, 0, 0, SMTO_NORMAL, 30000, nullptr) != 0;
    };
    EXPECT_TRUE(clickAnswered()) << "Stop";
    EXPECT_EQ("Start Search", ui.Text(IDC_START_SEARCH));
    EXPECT_TRUE(ui.Beeps() == beeps && ui.Title() != "Tolvane Cleaner") << "the run's end before the walk has unwound";
    EXPECT_FALSE(ui.Enabled(IDC_CHECK_DEBUG) || ui.Enabled(IDC_SELECT_DRIVE)) << "the options before the walk has unwound";
    EXPECT_TRUE(clickAnswered()) << "Start while the stopped run is held";
    EXPECT_EQ("Stop Search", ui.Text(IDC_START_SEARCH));
    EXPECT_TRUE(ui.Rows().empty()) << "the stopped run's rows";
    EXPECT_TRUE(::SendMessageTimeoutA(ui.Dialog(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr)) << "not answering";
    ui.LetGo();
    ASSERT_TRUE(ui.WaitForEnd());
    EXPECT_EQ(beeps + 1, ui.Beeps()) << "the stopped run and the one after it: one beep, at the end";
    std::vector<Row> rows = ui.Rows();
    EXPECT_TRUE(std::equal(rows.begin(), rows.end(), all.begin(), all.end(), [](const Row& a, const Row& b) { return a.path == b.path; }))
        << "the run started after the stopped one listed " << rows.size() << " rows";

    ASSERT_TRUE(startHeld());   // Stop, Start, Stop: the run that waited is called off
    EXPECT_TRUE(clickAnswered() && clickAnswered() && clickAnswered());
    beeps = ui.Beeps();
    ui.LetGo();
    ASSERT_TRUE(ui.WaitForEnd());
    EXPECT_TRUE(!ui.Dlg().m_pSearchThread && ui.Beeps() == beeps + 1 && ui.Rows().empty()) << "a search started after it was called off";

    ASSERT_TRUE(startHeld());
    ::PostMessageA(ui.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);   // the worker is held: a close that waits for it never hides
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(ui.Dialog()); }, 60000)) << "the window stayed";
    EXPECT_TRUE(::SendMessageTimeoutA(ui.Dialog(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr)) << "not answering";
    ui.LetGo();
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(ui.Dialog()); }, 60000)) << "the dialog did not end";
}

TEST(Delete, ADriveThatLeftOrNowLeadsToAnotherVolumeKeepsItsRowsAndLosesNothing)
{
    const std::string prefix = std::getenv("WINEPREFIX"), other = std::getenv("CLEANER_OTHER_VOLUME");
    ASSERT_TRUE(DefineDrive('x', other));   // a volume of its own, as a second stick (serials: C:\vol 1111, X: 2222)
    for (const char* drive : { "C:\\vol", "X:" }) {
        RemoveTree(std::string(drive) + "\\a");
        MakeFile(std::string(drive) + "\\a\\Debug", "a.obj");
        MakeFile(std::string(drive) + "\\b\\Release", "b.pdb");
    }
    ::CreateDirectoryA("X:\\empty", nullptr);
    ASSERT_TRUE(DefineDrive('v', prefix + "/drive_c/vol"));
    DialogHarness ui;
    ASSERT_EQ("V:\\a\\Debug|V:\\b\\Release|", Names(ui.SearchIn("V:\\", true, true)));
    auto serial = [] { return ReadFolderId("V:\\").volume; };   // of the volume V: leads to now, as the program reads it
    const ULONGLONG searched = serial();
    const char* gone = "the drive or share it was found on is no longer there";
    const char* elsewhere = "its drive now leads to another volume or folder";
    const std::string vol = prefix + "/drive_c/vol";
    const struct { std::string volume; const char* reason; ULONGLONG serial; std::string after; } steps[] = {
        { vol, gone, searched, "" }, { "", gone, 0, "" }, { other, elsewhere, 0x2222, "" },
        { vol, elsewhere, searched, other }, { vol, elsewhere, searched, other + "/empty" }, { vol, elsewhere, searched, "moved" },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.volume + " " + step.after);
        ASSERT_TRUE(DefineDrive('v', step.volume) || step.volume.empty());   // (it may have left already)
        ASSERT_TRUE(WaitUntil([&] { return serial() == step.serial; }, 30000))   // what the program will read
            << "Wine still reports the serial " << std::hex << serial() << " for V:, not " << step.serial;
        if (&step == steps)
            ui.BeforeNextRequest([] { DefineDrive('v', ""); });
        bool retried = !step.after.empty() && step.after != "moved";   // the request fails on a held file; V: moves
        HANDLE held = retried ? ::CreateFileA("V:\\a\\Debug\\a.obj", GENERIC_READ, 1, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
        if (retried)
            ui.BeforeNextRequest([&] { DefineDrive('v', step.after), WaitUntil([&] { return serial() != searched; }, 30000); }, true);
        if (step.after == "moved")   // V:\ answers the same volume, another folder (a substituted letter moved)
            ui.Disguise("moved", "V:\\");
        std::string reason = std::string("\n    ") + step.reason;
        EXPECT_EQ("2 folders were not deleted:\n\nV:\\a\\Debug" + reason + "\nV:\\b\\Release" + reason, ui.Delete(IDC_DELETE_ALL));
        EXPECT_EQ("V:\\a\\Debug|V:\\b\\Release|", Names(ui.Rows()));
        for (const char* drive : { "C:\\vol", "X:" })
            EXPECT_TRUE(Exists(std::string(drive) + "\\a\\Debug\\a.obj") && Exists(std::string(drive) + "\\b\\Release\\b.pdb"));
        if (held)
            ::CloseHandle(held);
    }
    DefineDrive('v', "");
    DefineDrive('x', "");
}

TEST(Delete, AllDuringASearchTakesTheRowsFoundWhileItAskedNotThoseAfter)
{
    RemoveTree("C:\\fz\\during");
    for (char folder = '0'; folder <= '9'; ++folder)
        MakeFile(std::string("C:\\fz\\during\\f") + folder + "\\Debug", "a.obj");
    DialogHarness ui;
    ASSERT_EQ(10u, ui.SearchIn("C:\\fz\\during", true, false).size());   // Delete All enabled
    auto titled = [&](std::string title) {   // the worker waits for this title's answer
        return [&ui, title](const CWPRETSTRUCT& call) {
            return call.message == WM_SETTEXT && call.hwnd == ui.Dialog() && title == reinterpret_cast<const char*>(call.lParam);
        };
    };
    ui.HoldWorker(titled("Searching - C:\\fz\\during\\f3"));
    ui.Click(IDC_START_SEARCH);
    ASSERT_TRUE(ui.WaitHeld());
    ui.ClickAsync(IDC_DELETE_ALL);
    HWND box = ui.WaitForPopup("Confirm Delete");
    ASSERT_TRUE(box);
    ui.HoldWorker([](const CWPRETSTRUCT& call) { return call.message == LVM_INSERTITEMA && call.lResult == 6; });   // f6's row, no Path yet
    ui.LetGo();
    ASSERT_TRUE(ui.WaitHeld());
    ui.HoldWorker(titled("Searching - C:\\fz\\during\\f7"));
    std::atomic<bool> once{ false };
    ui.Watch([&](const CWPRETSTRUCT& call) {   // the delete reads a Path: f6's comes now
        if ((call.message == LVM_GETITEMTEXTA || call.message == LVM_GETITEMTEXTW) &&
            reinterpret_cast<const LVITEMA*>(call.lParam)->iSubItem == 1 && !once.exchange(true))
            ui.LetGo();
    });
    size_t asked = ui.Requests().size();
    ::PostMessageA(::GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    ASSERT_TRUE(ui.WaitHandled(IDC_DELETE_ALL));
    ui.Watch(nullptr);
    EXPECT_EQ("", Names(ui.Rows()));
    ASSERT_TRUE(ui.WaitHeld());
    ui.LetGo();
    ASSERT_TRUE(ui.WaitForEnd());
    std::string after;
    for (char folder = '0'; folder <= '9'; ++folder) {
        std::string debug = std::string("C:\\fz\\during\\f") + folder + "\\Debug";
        EXPECT_EQ(folder >= '7', Exists(debug)) << debug;
        after += folder >= '7' ? debug + "|" : "";
    }
    EXPECT_EQ(after, Names(ui.Rows()));
    ASSERT_EQ(asked + 1, ui.Requests().size());
    EXPECT_EQ(7u, ui.Requests().back().paths.size());
}

}  // namespace
