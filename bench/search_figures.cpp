// The search figures (1) to (4) and (7): the program's search against the
// floors, on one tree, round by round.
#include "Measure.h"
#include <cstdio>
#include <memory>

namespace {

// One turn of a search: its time, and where the CPU went: the walking thread
// (the benchmark's own for the floor, the worker for the program) and the rest
// of the process (nearly all of it the dialog's thread, carrying out the walk's
// window calls).
struct Turn {
    double ms = 0, walkerCpuMs = 0, otherCpuMs = 0;
};

// (3), or (3b) with `keepTitlesOnly`: the walk with the window calls the
// search must make, on a dialog of the same kind, its list shown as during a
// search.
Turn FloorSearch(const std::string& root, bool keepTitlesOnly)
{
    DialogHarness floor;
    floor.PickFolder(root);   // as before the program's search: the picker's effects fall on both
    floor.Click(IDC_DETAILS);
    std::unique_ptr<KeepTitlesOnly> keep(keepTitlesOnly ? new KeepTitlesOnly(floor.Dialog()) : nullptr);
    HWND list = floor.Item(IDC_LIST_RESULTS);
    auto calls = [&](const std::string& folder, bool match) {
        ::SetWindowTextA(floor.Dialog(), ("Searching - " + folder).c_str());
        if (match) {
            int index = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = index;
            item.pszText = const_cast<char*>("Debug");
            ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            item.iSubItem = 1;
            item.pszText = const_cast<char*>(folder.c_str());
            ::SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
        }
    };
    Turn turn;
    double process = ProcessCpuMs(), walker = ThreadCpuMs(), start = Now();
    Walk(root, calls);
    turn.ms = Now() - start;
    turn.walkerCpuMs = ThreadCpuMs() - walker;
    turn.otherCpuMs = ProcessCpuMs() - process - turn.walkerCpuMs;
    return turn;
}

// The working set around a program's search.
struct Memory {
    size_t idle = 0, peak = 0;
};

// (1) and (7): the program's search through the dialog, click to end.
Turn ProgramSearch(const std::string& root, Memory* memory, size_t* rows)
{
    DialogHarness ui;
    ui.PickFolder(root);
    ui.SetOptions(true, false);
    memory->idle = memory->peak = WorkingSet();
    ::SendMessageA(ui.Dialog(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    Turn turn;
    double process = ProcessCpuMs(), live = LiveThreadsCpuMs(), start = Now();
    ui.Click(IDC_START_SEARCH);
    while (!RunEnded(ui)) {   // looked at every 10 ms: the end is seen 5 ms late on average
        memory->peak = std::max(memory->peak, WorkingSet());
        ::Sleep(10);
    }
    turn.ms = Now() - start;
    double all = ProcessCpuMs() - process;
    turn.otherCpuMs = LiveThreadsCpuMs() - live;
    turn.walkerCpuMs = all - turn.otherCpuMs;
    *rows = ui.Rows().size();
    return turn;
}

// One listing's turns in one round: they ran side by side.
struct ListingTurns {
    double bareMs = 0;            // (2)
    Turn keptFloor, program;      // (3b), (1)
    bool ran = false;
};

// One round of the search figures: each listing's turns, and (3) in the
// first rounds (the listing as now).
struct SearchRound {
    ListingTurns listing[2];      // as now, as before
    Turn floor;
    bool floorRan = false;
};

const int kFloorRounds = 3;   // (3) runs in these only: it takes twice a search, and is not held to a rule

// "median [lower quartile, upper quartile]" of `figure` over the rounds that have it.
template <typename Figure>
Spread SpreadOver(const std::vector<SearchRound>& rounds, Figure figure)
{
    std::vector<double> values;
    for (const SearchRound& round : rounds)
        if (figure(round) >= 0)
            values.push_back(figure(round));
    return SpreadOf(values);
}

void PrintSpread(const char* what, const Spread& spread, const char* format)
{
    std::printf("  %-46s", what);
    std::printf(format, spread.median);
    std::printf("  [");
    std::printf(format, spread.low);
    std::printf(", ");
    std::printf(format, spread.high);
    std::printf("]\n");
}

}  // namespace

// (1), (2), (3), (3b), (7) on `root`; (4) comes from the caller. Each round
// walks bare, then the program and the floor that keeps titles (3b), which the
// search is held to, take turns in the order ABBA so that a drift of the
// machine falls on both alike; (3) runs after them in the first rounds. With
// `both`, each round does so for the listing as before and as now, in turns
// ABBA too. Each figure is the median of the rounds' own, with its quartiles.
void SearchFigures(const std::string& root, double findMs, int roundCount, bool both)
{
    // The first walk counts, and brings the tree into the caches for all turns.
    int entered = 0, matches = 0;
    auto count = [&](const std::string&, bool match) { ++entered; matches += match; };
    Walk(root, count);
    auto nothing = [](const std::string&, bool) {};

    std::vector<SearchRound> rounds(static_cast<size_t>(roundCount));
    size_t rows = 0, growth = 0;   // growth: the largest of all rounds
    Memory memory;
    for (size_t r = 0; r < rounds.size(); ++r) {
        for (int l = 0; l < (both ? 2 : 1); ++l) {
            int listing = both && (l == 0) != (r % 2 == 0) ? 1 : 0;
            ListAsBefore(listing == 1);
            ListingTurns& turns = rounds[r].listing[listing];
            double start = Now();
            Walk(root, nothing);
            turns.bareMs = Now() - start;
            for (int turn = 0; turn < 2; ++turn) {
                if ((turn == 0) == (r % 2 == 0)) {
                    turns.keptFloor = FloorSearch(root, true);
                } else {
                    turns.program = ProgramSearch(root, &memory, &rows);
                    growth = std::max(growth, memory.peak - memory.idle);
                }
            }
            turns.ran = true;
        }
        ListAsBefore(false);
        if (r < kFloorRounds) {
            rounds[r].floor = FloorSearch(root, false);
            rounds[r].floorRan = true;
        }
    }

    std::printf("tree %s: %d folders, %d matches, %u rows listed; %d rounds: medians [lower, upper quartile]\n",
                root.c_str(), entered, matches, static_cast<unsigned>(rows), roundCount);
    for (int listing = 0; listing < (both ? 2 : 1); ++listing) {
        std::printf(" the listing %s:\n", listing ? "as before (FindFirstFile)" : "as now (basic, large fetch)");
        auto figure = [&](auto of) {
            return SpreadOver(rounds, [&](const SearchRound& r) { return r.listing[listing].ran ? of(r.listing[listing]) : -1; });
        };
        PrintSpread("(1) program search, click to end, ms", figure([](const ListingTurns& t) { return t.program.ms; }), "%.0f");
        PrintSpread("(2) bare walk, ms", figure([](const ListingTurns& t) { return t.bareMs; }), "%.0f");
        PrintSpread("(3b) the floor, titles kept, not painted, ms", figure([](const ListingTurns& t) { return t.keptFloor.ms; }), "%.0f");
        Spread toKept = figure([](const ListingTurns& t) { return t.program.ms / t.keptFloor.ms; });
        PrintSpread("(1)/(3b)", toKept, "%.3f");
        PrintSpread("(1)/(2)", figure([](const ListingTurns& t) { return t.program.ms / t.bareMs; }), "%.2f");
        PrintSpread("(2)/(4)", figure([&](const ListingTurns& t) { return findMs > 0 ? t.bareMs / findMs : 0; }), "%.1f");
        std::printf("  the rule, (1) within 10 %% of (3b): %s\n",
                    toKept.high <= 1.10 ? "held (upper quartile <= 1.10)" :
                    toKept.low > 1.10 ? "broken (lower quartile > 1.10)" : "not told apart from the noise");
    }
    if (both) {   // each round's own turns, as now against as before
        std::printf(" the listing as now against as before, round by round:\n");
        PrintSpread("(1) now / before", SpreadOver(rounds, [](const SearchRound& r) {
            return r.listing[0].program.ms / r.listing[1].program.ms; }), "%.3f");
        PrintSpread("(2) now / before", SpreadOver(rounds, [](const SearchRound& r) {
            return r.listing[0].bareMs / r.listing[1].bareMs; }), "%.3f");
    }
    PrintSpread("(3) bare walk + required window calls, ms",
                SpreadOver(rounds, [](const SearchRound& r) { return r.floorRan ? r.floor.ms : -1; }), "%.0f");
    PrintSpread("(1)/(3)", SpreadOver(rounds, [](const SearchRound& r) {
        return r.floorRan ? r.listing[0].program.ms / r.floor.ms : -1; }), "%.3f");
    std::printf("  (4) find, natively %.0f ms\n", findMs);
    std::printf("  (7) working set: idle %.1f MiB, peak during the search +%.2f MiB\n", memory.idle / 1048576.0,
                growth / 1048576.0);
    std::printf("  round listing  (1) ms    (2) ms   (3b) ms  (1)/(3b)  CPU ms: walker (1) (3b), dialog's thread and"
                " rest (1) (3b)\n");
    for (size_t r = 0; r < rounds.size(); ++r)
        for (int listing = 0; listing < 2; ++listing) {
            const ListingTurns& t = rounds[r].listing[listing];
            if (t.ran)
                std::printf("  %5u %-7s %9.0f %9.0f %9.0f   %.3f   %6.0f %6.0f   %6.0f %6.0f\n",
                            static_cast<unsigned>(r + 1), listing ? "before" : "now", t.program.ms, t.bareMs,
                            t.keptFloor.ms, t.program.ms / t.keptFloor.ms, t.program.walkerCpuMs,
                            t.keptFloor.walkerCpuMs, t.program.otherCpuMs, t.keptFloor.otherCpuMs);
        }
}
