// The trees of fuzz/fuzz.py (CLEANER_BATCH names them, in C:\fz): plan.txt carried out, what the window showed to seen.txt.
#include "DialogHarness.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace {

struct Seen {
    std::ofstream out;
    void Fact(const char* what, const std::string& value) { out << what << '\t' << value << '\n'; }
    void Rows(const char* what, const std::vector<Row>& rows) { for (const Row& row : rows) Fact(what, row.name + '\t' + row.path); }
};

void Search(DialogHarness& ui, Seen& seen)
{
    ::SendMessageA(ui.Dialog(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));   // the last run's title is gone
    ui.Click(IDC_START_SEARCH);
    for (std::string title, last; ui.Text(IDC_START_SEARCH) == "Stop Search"; last = title)
        if ((title = ui.Title()).rfind("Searching - ", 0) == 0 && title != last)
            seen.Fact("title", title.substr(12));
    EXPECT_TRUE(ui.WaitForEnd());
    seen.Rows("listed", ui.Rows());
}

// Delete Selected on the rows of `select`, or Delete All answered Yes ("all") or No ("none"); the message and requests written down.
void Delete(DialogHarness& ui, const std::string& how, const std::set<std::string>& select, Seen& seen)
{
    if (how == "selected")
        ui.SelectRows([&](const Row& row) { return select.count(row.path) != 0; });
    size_t asked = ui.Requests().size();
    std::string kept = ui.Delete(how == "selected" ? IDC_DELETE_SELECTED : IDC_DELETE_ALL, how == "none" ? IDNO : IDYES);
    std::replace(kept.begin(), kept.end(), '\n', '|');
    if (!kept.empty())
        seen.Fact("kept", kept);
    std::vector<ShellRequest> requests = ui.Requests();
    for (size_t at = asked; at < requests.size(); ++at)
        seen.Fact("request", std::to_string(requests[at].flags) + '\t' + requests[at].title);
    EXPECT_FALSE(ui.WaitForPopup(nullptr, 0)) << "a window was left open";
    seen.Rows("left", ui.Rows());
}

void RunSeed(const std::string& seed)
{
    SCOPED_TRACE("seed " + seed + " (rerun alone: CLEANER_SEED=" + seed + " bash scripts/test.sh -R fuzz)");
    std::ifstream plan("C:\\fz\\" + seed + "\\plan.txt", std::ios::binary);
    Seen seen{ std::ofstream("C:\\fz\\" + seed + "\\seen.txt", std::ios::binary) };
    DialogHarness ui;
    std::set<std::string> select;
    HANDLE held = INVALID_HANDLE_VALUE;
    for (std::string line; std::getline(plan, line);) {
        std::istringstream fields(line);
        std::string step, a, b;
        std::getline(std::getline(std::getline(fields, step, '\t'), a, '\t'), b, '\t');
        if (step == "root")
            ui.PickFolder(a);
        else if (step == "share")   // what the picker's OK does (Wine's picker cannot select a share)
            ui.Dlg().m_strSearchDir = a.c_str(), ui.Dlg().m_bUseSearchDir = 1;
        else if (step == "options")
            ui.SetOptions(a == "1", b == "1");
        else if (step == "search")
            Search(ui, seen);
        else if (step == "extra")   // listed before the folder became a link
            ui.Dlg().AddResult(a.c_str(), b.c_str());
        else if (step == "remove")
            RemoveTree(a);
        else if (step == "move")   // the picked link's folder swapped with another, and back after the delete
            ::MoveFileA(a.c_str(), b.c_str());
        else if (step == "hold")   // open without delete sharing: it cannot be deleted
            held = ::CreateFileA(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        else if (step == "abort")   // the shell's next request ends as an abort does
            ui.AbortNextRequest(std::stoi(a), std::stoi(b));
        else if (step == "disguise")
            ui.Disguise(a, b);
        else if (step == "select")
            select.insert(a);
        else if (step == "delete" && !ui.Rows().empty())
            Delete(ui, a, select, seen);
    }
    if (held != INVALID_HANDLE_VALUE)
        ::CloseHandle(held);
}

TEST(Fuzz, TreesThroughTheDialog)
{
    std::istringstream seeds(::getenv("CLEANER_BATCH") ? ::getenv("CLEANER_BATCH") : "");
    for (std::string seed; seeds >> seed;)
        RunSeed(seed);
}

}  // namespace
