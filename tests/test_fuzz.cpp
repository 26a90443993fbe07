// The trees of fuzz/fuzz.py (random ones and hand-written cases), each with a
// plan: options, the rows its oracle expects, faults, what to delete. Each
// plan runs through the dialog as a person would use it; what the window
// shows is checked here, what is on disk afterwards by fuzz.py.
#include "DialogHarness.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

namespace {

struct Plan {
    std::string root, del;   // del: "all", "selected" or "none" (Delete All answered No)
    bool debug = false, release = false;
    std::set<std::string> rows, select;   // rows as "name\tpath"
    std::vector<Row> extra;               // listed by hand: folders since replaced by links
    std::map<std::string, std::string> faults;
    bool Has(const char* fault) const { return faults.count(fault) != 0; }
    int Number(const char* fault) const { return Has(fault) ? std::stoi(faults.at(fault)) : 0; }
};

Plan ReadPlan(const std::string& file)
{
    Plan plan;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> field;
        std::stringstream split(line);
        for (std::string value; std::getline(split, value, '\t');)
            field.push_back(value);
        field.resize(3);
        const std::string& kind = field[0];
        if (kind == "root") plan.root = field[1];
        if (kind == "options") plan.debug = field[1] == "1", plan.release = field[2] == "1";
        if (kind == "delete") plan.del = field[1];
        if (kind == "row") plan.rows.insert(field[1] + "\t" + field[2]);
        if (kind == "extra") plan.extra.push_back({ field[1], field[2] });
        if (kind == "select") plan.select.insert(field[1]);
        if (kind == "fault") plan.faults[field[1]] = field[2];
    }
    return plan;
}

bool Inside(const std::string& path, const std::string& folder)
{
    return path == folder || path.rfind(folder + "\\", 0) == 0;
}

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> Seeds()
{
    std::vector<std::string> seeds;
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA("C:\\fz\\*", &entry);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileA(find, &entry))
        if (Exists(std::string("C:\\fz\\") + entry.cFileName + "\\plan.txt"))
            seeds.push_back(entry.cFileName);
    ::FindClose(find);
    return seeds;
}

void Prepare(DialogHarness& ui, const Plan& plan)
{
    if (plan.root.rfind("\\\\", 0) == 0)
        ui.UseSearchDir(plan.root);   // Wine's picker cannot select a network share
    else
        ui.PickFolder(plan.root);
    ui.SetOptions(plan.debug, plan.release);
}

// Escape, Enter or Close at a random moment of a search: the dialog closes at once.
void CloseDuringSearch(const Plan& plan)
{
    int delay = 0, how = 0;
    std::istringstream(plan.faults.at("close")) >> delay >> how;
    DialogHarness ui;
    Prepare(ui, plan);
    ui.Click(IDC_START_SEARCH);
    ::Sleep(static_cast<DWORD>(delay));   // a random moment, not a wait for something
    if (how == 2)
        ::PostMessageA(ui.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    else
        ui.Key(how == 0 ? IDC_CHECK_DEBUG : IDC_LIST_RESULTS, how == 0 ? VK_ESCAPE : VK_RETURN);
    EXPECT_TRUE(ui.WaitClosed(1000)) << "close " << how << " during a search";
}

// Stop at a random moment: the button says Start at once.
void StopAtRandom(DialogHarness& ui, int delay)
{
    ui.Click(IDC_START_SEARCH);
    ::Sleep(static_cast<DWORD>(delay));   // a random moment
    for (int i = 0; i < 2 && ui.Text(IDC_START_SEARCH) == "Stop Search"; ++i)
        ui.Click(IDC_START_SEARCH);   // a run that ended just before the first click made it a Start
    EXPECT_EQ("Start Search", ui.Text(IDC_START_SEARCH));
}

// The rows: the oracle's, each once, every nested match after its ancestor.
void ExpectRows(const Plan& plan, const std::vector<Row>& rows, const std::string& vanished)
{
    std::set<std::string> listed;
    for (const Row& row : rows) {
        ASSERT_TRUE(Inside(row.path, plan.root)) << "searched outside the tree: " << row.path;
        EXPECT_TRUE(listed.insert(row.name + "\t" + row.path).second) << "listed twice: " << row.path;
        EXPECT_TRUE(plan.rows.count(row.name + "\t" + row.path)) << "listed but not expected: " << row.path;
    }
    for (const std::string& expected : plan.rows)
        if (!listed.count(expected) && !(vanished.size() && Inside(expected.substr(expected.find('\t') + 1), vanished)))
            ADD_FAILURE() << "not listed: " << expected;
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(Inside(rows[j].path, rows[i].path + "\\")) << rows[j].path << " before its ancestor";
}

// Delete as the plan says; returns the folders chosen.
std::set<std::string> Delete(DialogHarness& ui, const Plan& plan, const std::vector<Row>& rows)
{
    std::set<std::string> chosen;
    if (rows.empty())
        return chosen;
    if (plan.del == "selected") {
        std::vector<int> indices;
        for (size_t i = 0; i < rows.size(); ++i)
            if (plan.select.count(rows[i].path) && chosen.insert(rows[i].path).second)
                indices.push_back(static_cast<int>(i));
        ui.SelectRows(indices);
        ui.Click(IDC_DELETE_SELECTED);
        return chosen;
    }
    ui.ClickAsync(IDC_DELETE_ALL);
    HWND box = ui.WaitForPopup("Confirm Delete");
    EXPECT_TRUE(box) << "no question was asked";
    EXPECT_EQ("Are you sure you want to delete?", ui.Text(::GetDlgItem(box, 0xFFFF)));
    ::PostMessageA(::GetDlgItem(box, plan.del == "all" ? IDYES : IDNO), BM_CLICK, 0, 0);
    EXPECT_TRUE(ui.WaitHandled(IDC_DELETE_ALL));
    EXPECT_FALSE(ui.WaitForPopup(nullptr, 0)) << "a window was left open";
    if (plan.del == "all")
        for (const Row& row : rows)
            chosen.insert(row.path);
    return chosen;
}

// The list tells the truth: a chosen row left has its folder, a chosen row
// gone has none, and a row not chosen goes only with its folder, inside a
// chosen one (the shell may delete part of a chosen folder and stop at what
// it cannot delete).
void ExpectTruth(const std::vector<Row>& before, const std::vector<Row>& after, const std::set<std::string>& chosen)
{
    std::set<std::string> left;
    for (const Row& row : after)
        left.insert(row.path);
    for (const Row& row : before) {
        bool tooLong = ::MultiByteToWideChar(CP_ACP, 0, row.path.c_str(), -1, nullptr, 0) > MAX_PATH;
        bool exists = tooLong || Exists(row.path);   // what cannot be asked counts as there
        bool insideChosen = std::any_of(chosen.begin(), chosen.end(), [&](const std::string& folder) {
            return row.path != folder && Inside(row.path, folder);
        });
        if (left.count(row.path))
            EXPECT_TRUE(exists) << "kept in the list but gone: " << row.path;
        else if (chosen.count(row.path))
            EXPECT_FALSE(exists) << "the row went but the folder stayed: " << row.path;
        else
            EXPECT_TRUE(!exists && insideChosen) << "a row that was not chosen went: " << row.path;
    }
}

void RunSeed(const std::string& seed)
{
    SCOPED_TRACE("seed " + seed + " (rerun alone: CLEANER_SEED=" + seed + " bash scripts/test.sh -R fuzz)");
    Plan plan = ReadPlan("C:\\fz\\" + seed + "\\plan.txt");
    if (plan.Has("close"))
        CloseDuringSearch(plan);
    DialogHarness ui;
    Prepare(ui, plan);
    if (plan.Has("stop-start"))
        StopAtRandom(ui, plan.Number("stop-start"));
    std::string vanishing = plan.Has("vanish-during-search") ? plan.faults["vanish-during-search"] : "";
    std::thread remover([&] {
        if (!vanishing.empty() && WaitUntil([&] { return ui.Title().rfind("Searching - ", 0) == 0; }, 2000))
            RemoveTree(vanishing);
    });
    if (plan.Has("click-options")) {   // the run searches what was asked when it started
        ui.Click(IDC_START_SEARCH);
        ::SendMessageA(ui.Item(IDC_CHECK_DEBUG), BM_CLICK, 0, 0);
        ::SendMessageA(ui.Item(IDC_CHECK_RELEASE), BM_CLICK, 0, 0);
        EXPECT_TRUE(ui.WaitForEnd());
    } else {
        ui.Search();
    }
    remover.join();
    std::vector<Row> rows = ui.Rows();
    ExpectRows(plan, rows, vanishing);
    // One run: the Delete buttons are enabled when it found rows.
    EXPECT_TRUE(plan.Has("stop-start") || rows.empty() == !ui.Enabled(IDC_DELETE_ALL));
    if (plan.Has("untick")) {   // exactly the Release rows go
        ui.Click(IDC_CHECK_RELEASE);
        rows.erase(std::remove_if(rows.begin(), rows.end(),
                                  [](const Row& row) { return ::lstrcmpiA(row.name.c_str(), "debug") != 0; }),
                   rows.end());
        EXPECT_EQ(rows, ui.Rows());
    }
    for (const Row& row : plan.extra)
        ui.AddResult(row.name.c_str(), row.path.c_str());
    rows = ui.Rows();

    if (plan.Has("vanish-before-delete"))
        RemoveTree(plan.faults["vanish-before-delete"]);
    HANDLE held = INVALID_HANDLE_VALUE;
    if (plan.Has("hold"))   // a file held open without delete sharing cannot be deleted
        held = ::CreateFileA(plan.faults["hold"].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::set<std::string> chosen = Delete(ui, plan, rows);
    if (held != INVALID_HANDLE_VALUE)
        ::CloseHandle(held);
    std::vector<Row> after = ui.Rows();
    ExpectTruth(rows, after, chosen);
    EXPECT_TRUE(plan.del != "none" || rows == after) << "answered No, yet rows went";
    if (after.empty() && ui.Enabled(IDC_DELETE_ALL)) {   // nothing listed: Delete All asks nothing
        ui.ClickAsync(IDC_DELETE_ALL);
        EXPECT_TRUE(ui.WaitHandled(IDC_DELETE_ALL));
        EXPECT_FALSE(ui.WaitForPopup("Confirm Delete", 0));
    }
}

TEST(Fuzz, TreesThroughTheDialog)
{
    std::vector<std::string> seeds = Seeds();
    ASSERT_FALSE(seeds.empty()) << "no trees: fuzz.py generate makes them";
    for (const std::string& seed : seeds)
        RunSeed(seed);
}

}  // namespace
