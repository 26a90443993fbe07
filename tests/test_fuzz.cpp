// Random trees (made natively by fuzz/fuzz.py, with the rows its oracle
// expects) run through the real dialog: search, faults, delete. What is on
// disk afterwards is checked natively by fuzz.py.
#include "DialogHarness.h"
#include "TestTree.h"
#include <gtest/gtest.h>
#include <psapi.h>
#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

namespace {

struct Plan {
    std::string root;
    bool debug = false, release = false, deleteAll = true;
    std::set<std::string> rows, select;
    std::map<std::string, std::string> faults;
};

Plan ReadPlan(const std::string& file)
{
    Plan plan;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');)
            fields.push_back(field);
        const std::string& kind = fields[0];
        if (kind == "root") plan.root = fields[1];
        if (kind == "options") plan.debug = fields[1] == "1", plan.release = fields[2] == "1";
        if (kind == "row") plan.rows.insert(fields[1] + "\t" + fields[2]);
        if (kind == "select") plan.select.insert(fields[1]);
        if (kind == "delete") plan.deleteAll = fields[1] == "all";
        if (kind == "fault") plan.faults[fields[1]] = fields[2];
    }
    return plan;
}

bool Inside(const std::string& path, const std::string& folder)
{
    return path == folder || path.rfind(folder + "\\", 0) == 0;
}

std::vector<std::string> Seeds()
{
    std::vector<std::string> seeds;
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA("C:\\fz\\*", &entry);
    if (find == INVALID_HANDLE_VALUE)
        return seeds;
    do {
        if (entry.cFileName[0] != '.' && PathExists(std::string("C:\\fz\\") + entry.cFileName + "\\plan.txt"))
            seeds.push_back(entry.cFileName);
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
    return seeds;
}

void Pick(DialogHarness& ui, const std::string& root)
{
    if (root.rfind("\\\\", 0) == 0)
        ui.UseSearchDir(root);
    else
        ui.PickFolder(root);
}

// Escape at a random moment of a search: the dialog closes at once.
void EscapeDuringSearch(const Plan& plan, int delayMs)
{
    DialogHarness ui;
    Pick(ui, plan.root);
    ui.SetOptions(plan.debug, plan.release);
    ui.Click(IDC_START_SEARCH);
    ::Sleep(static_cast<DWORD>(delayMs));
    ui.Key(IDC_CHECK_DEBUG, VK_ESCAPE);
    EXPECT_TRUE(ui.WaitClosed(1000)) << "Escape during a search";
}

void RunSeed(const std::string& seed)
{
    SCOPED_TRACE("seed " + seed + " (rerun alone: CLEANER_SEED=" + seed + " bash scripts/test.sh -R fuzz)");
    Plan plan = ReadPlan("C:\\fz\\" + seed + "\\plan.txt");
    if (plan.faults.count("escape"))
        EscapeDuringSearch(plan, std::stoi(plan.faults["escape"]));

    DialogHarness ui;
    Pick(ui, plan.root);
    ui.SetOptions(plan.debug, plan.release);
    if (plan.faults.count("stop-start")) {   // Stop at a random moment, then a whole run
        ui.Click(IDC_START_SEARCH);
        ::Sleep(static_cast<DWORD>(std::stoi(plan.faults["stop-start"])));
        if (ui.Text(IDC_START_SEARCH) == "Stop Search")
            ui.Click(IDC_START_SEARCH);
        // A run that ended just before that click made it a Start: stop that run too.
        if (ui.Text(IDC_START_SEARCH) == "Stop Search")
            ui.Click(IDC_START_SEARCH);
    }
    std::string vanishing = plan.faults.count("vanish-during-search") ? plan.faults["vanish-during-search"] : "";
    std::thread remover([&] {
        if (!vanishing.empty()) {
            WaitUntil([&] { return ui.Title().rfind("Searching - ", 0) == 0; }, 2000);
            RemoveTree(vanishing);
        }
    });
    ui.Search();
    remover.join();

    // The rows: the oracle's, each once, every nested match after its ancestor.
    std::vector<Row> rows = ui.Rows();
    std::set<std::string> listed;
    for (const Row& row : rows)
        EXPECT_TRUE(listed.insert(row.name + "\t" + row.path).second) << "listed twice: " << row.path;
    for (const std::string& expected : plan.rows) {
        std::string path = expected.substr(expected.find('\t') + 1);
        if (!listed.count(expected) && !(vanishing.size() && Inside(path, vanishing)))
            ADD_FAILURE() << "not listed: " << expected;
    }
    for (const std::string& got : listed)
        EXPECT_TRUE(plan.rows.count(got)) << "listed but not expected: " << got;
    for (const Row& row : rows)
        ASSERT_TRUE(Inside(row.path, plan.root)) << "searched outside the tree: " << row.path;
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(Inside(rows[j].path, rows[i].path + "\\")) << rows[j].path << " before its ancestor";

    // Faults before the delete, then the delete as a person would do it.
    if (plan.faults.count("vanish-before-delete"))
        RemoveTree(plan.faults["vanish-before-delete"]);
    HANDLE held = INVALID_HANDLE_VALUE;
    if (plan.faults.count("hold"))
        held = ::CreateFileA(plan.faults["hold"].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::set<std::string> chosen;
    if (plan.deleteAll) {
        for (const Row& row : rows)
            chosen.insert(row.path);
        if (!rows.empty()) {
            ui.ClickAsync(IDC_DELETE_ALL);
            HWND box = ui.WaitForPopup("Confirm Delete");
            ASSERT_TRUE(box);
            ::PostMessageA(::GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
            ASSERT_TRUE(ui.WaitHandled(IDC_DELETE_ALL));
        }
    } else {
        std::vector<int> indices;
        for (size_t i = 0; i < rows.size(); ++i)
            if (plan.select.count(rows[i].path)) {
                indices.push_back(static_cast<int>(i));
                chosen.insert(rows[i].path);
            }
        ui.SelectRows(indices);
        if (ui.Enabled(IDC_DELETE_SELECTED))
            ui.Click(IDC_DELETE_SELECTED);
    }
    if (held != INVALID_HANDLE_VALUE)
        ::CloseHandle(held);

    // The list tells the truth: a row left has its folder, a row gone has none.
    std::set<std::string> left;
    for (const Row& row : ui.Rows()) {
        left.insert(row.path);
        if (chosen.count(row.path) && ::MultiByteToWideChar(CP_ACP, 0, row.path.c_str(), -1, nullptr, 0) <= MAX_PATH) {
            EXPECT_TRUE(PathExists(row.path)) << "kept in the list but gone: " << row.path;
        }
    }
    // A row that was not chosen may go only with its folder, inside a chosen
    // one: the shell may delete part of a chosen folder and stop at what it
    // cannot delete, and a fault may remove part of one.
    auto goneInsideChosen = [&](const std::string& path) {
        return !PathExists(path) && std::any_of(chosen.begin(), chosen.end(), [&](const std::string& folder) {
            return path != folder && Inside(path, folder);
        });
    };
    for (const Row& row : rows) {
        if (!chosen.count(row.path)) {
            EXPECT_TRUE(left.count(row.path) || goneInsideChosen(row.path)) << "a row that was not chosen went: " << row.path;
        } else if (!left.count(row.path)) {
            EXPECT_FALSE(PathExists(row.path)) << "the row went but the folder stayed: " << row.path;
        }
    }
}

TEST(Fuzz, RandomTreesThroughTheDialog)
{
    std::vector<std::string> seeds = Seeds();
    ASSERT_FALSE(seeds.empty()) << "no trees: fuzz.py generate makes them";
    for (const std::string& seed : seeds)
        RunSeed(seed);
}

}  // namespace

namespace {

size_t WorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

// 100,000 folders, 5,000 matches: every match listed, the window answers all
// the while, and the walk holds little memory beyond the rows it lists.
TEST(Load, HundredThousandFoldersWithFiveThousandMatches)
{
    ASSERT_TRUE(PathExists("C:\\load\\complete")) << "load.sh makes the tree";
    DialogHarness ui(false);
    ui.PickFolder("C:\\load");
    ui.SetOptions(true, false);
    size_t idle = WorkingSet(), peak = idle;
    DWORD slowest = 0, checks = 0, start = ::GetTickCount();
    ui.Click(IDC_START_SEARCH);
    for (;;) {
        DWORD sent = ::GetTickCount();
        DWORD_PTR result = 0;
        bool answered = ::SendMessageTimeoutA(ui.Dialog(), WM_NULL, 0, 0, SMTO_NORMAL, 100, &result) != 0;
        ASSERT_TRUE(answered) << "the window did not answer within 100 ms";
        slowest = std::max(slowest, ::GetTickCount() - sent);
        ++checks;
        peak = std::max(peak, WorkingSet());
        if (ui.Text(IDC_START_SEARCH) == "Start Search" && ui.Title() == "Tolvane Cleaner")
            break;
        ::Sleep(50);
    }
    size_t after = WorkingSet();
    std::vector<Row> rows = ui.Rows();
    EXPECT_EQ(5000u, rows.size());

    // The rows stay in the list, its only store. What the same rows cost when
    // added directly is theirs; the walk itself may hold only a few MiB more.
    size_t before = WorkingSet();
    for (const Row& row : rows)
        ui.AddResult(row.name.c_str(), row.path.c_str());
    size_t grown = WorkingSet();
    size_t rowsCost = grown - std::min(grown, before);
    size_t walk = peak - idle - std::min(peak - idle, rowsCost);
    EXPECT_LT(walk, 4u << 20) << "the walk held " << walk / 1024 << " KiB beyond its rows";
    std::printf("load: %lu s, %lu checks, slowest answer %lu ms; working set +%.2f MiB at the peak,"
                " +%.2f MiB after the run; the same 5,000 rows added directly +%.2f MiB\n",
                (::GetTickCount() - start) / 1000, checks, slowest, (peak - idle) / 1048576.0,
                (after - idle) / 1048576.0, rowsCost / 1048576.0);
}

}  // namespace
