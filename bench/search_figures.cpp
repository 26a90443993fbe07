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

// One round of the search figures: its turns ran side by side.
struct SearchRound {
    double bareMs = 0;            // (2)
    Turn floor, keptFloor;        // (3), (3b)
    Turn program;                 // (1)
};

template <typename Figure>
double MedianOf(const std::vector<SearchRound>& rounds, Figure figure)
{
    std::vector<double> values;
    for (const SearchRound& round : rounds)
        values.push_back(figure(round));
    return Median(values);
}

}  // namespace

// (1), (2), (3), (3b), (7) on `root`; (4) comes from the caller. Each round
// walks bare, then the program and the floor that keeps titles (3b), which the
// search is held to, take turns in the order ABBA so that a drift of the
// machine falls on both alike, then (3) runs. Each ratio is the median of the
// rounds' own.
void SearchFigures(const std::string& root, double findMs, int roundCount)
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
        double start = Now();
        Walk(root, nothing);
        rounds[r].bareMs = Now() - start;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (r % 2 == 0)) {
                rounds[r].keptFloor = FloorSearch(root, true);
            } else {
                rounds[r].program = ProgramSearch(root, &memory, &rows);
                growth = std::max(growth, memory.peak - memory.idle);
            }
        }
        rounds[r].floor = FloorSearch(root, false);
    }

    auto toFloor = [](const SearchRound& r) { return r.program.ms / r.floor.ms; };
    auto toBare = [](const SearchRound& r) { return r.program.ms / r.bareMs; };
    std::printf("tree %s: %d folders, %d matches, %u rows listed; %d rounds (medians)\n", root.c_str(), entered,
                matches, static_cast<unsigned>(rows), roundCount);
    std::printf("  (1) program search, click to end       %9.0f ms\n",
                MedianOf(rounds, [](const SearchRound& r) { return r.program.ms; }));
    std::printf("  (2) bare walk (FindFirstFileA)          %9.0f ms\n",
                MedianOf(rounds, [](const SearchRound& r) { return r.bareMs; }));
    std::printf("  (3) bare walk + required window calls   %9.0f ms\n",
                MedianOf(rounds, [](const SearchRound& r) { return r.floor.ms; }));
    std::printf("  (3b) the same, titles kept, not painted %9.0f ms\n",
                MedianOf(rounds, [](const SearchRound& r) { return r.keptFloor.ms; }));
    std::printf("  (4) find, natively                      %9.0f ms\n", findMs);
    std::printf("  (7) working set: idle %.1f MiB, peak during the search +%.2f MiB\n", memory.idle / 1048576.0,
                growth / 1048576.0);
    std::printf("  ratios, medians of the rounds' own: (1)/(3) %.3f   (1)/(2) %.2f   (1)/(3b) %.2f   (3b)/(2) %.2f"
                "   (2)/(4) %.1f\n", MedianOf(rounds, toFloor), MedianOf(rounds, toBare),
                MedianOf(rounds, [](const SearchRound& r) { return r.program.ms / r.keptFloor.ms; }),
                MedianOf(rounds, [](const SearchRound& r) { return r.keptFloor.ms / r.bareMs; }),
                findMs > 0 ? MedianOf(rounds, [](const SearchRound& r) { return r.bareMs; }) / findMs : 0.0);
    std::printf("  round    (1) ms    (2) ms    (3) ms   (3b) ms  (1)/(3)  (1)/(2)   CPU ms: walker (1) (3) (3b),"
                " dialog's thread and rest (1) (3) (3b)\n");
    for (size_t r = 0; r < rounds.size(); ++r) {
        const SearchRound& round = rounds[r];
        std::printf("  %5u %9.0f %9.0f %9.0f %9.0f   %.3f   %5.2f   %6.0f %6.0f %6.0f   %6.0f %6.0f %6.0f\n",
                    static_cast<unsigned>(r + 1), round.program.ms, round.bareMs, round.floor.ms,
                    round.keptFloor.ms, toFloor(round), toBare(round), round.program.walkerCpuMs,
                    round.floor.walkerCpuMs, round.keptFloor.walkerCpuMs, round.program.otherCpuMs,
                    round.floor.otherCpuMs, round.keptFloor.otherCpuMs);
    }
}
