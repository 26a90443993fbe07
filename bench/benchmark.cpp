// The benchmark: the program against the platform's own floors, measured on
// the same trees in the same Wine (bench.sh runs it and times the native parts).
//   cleaner_bench search TREE FIND_MS [ROUNDS]  search figures for one tree
//   cleaner_bench extras TREE DELTREE SHELLTREE RM_MS
//                                            stop, list growth, start-up, deletion
#include "tests/DialogHarness.h"
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

double Now()
{
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Walks `folder` with the directory listing alone; `visit` is called for each
// folder entered, with whether its name matches.
template <typename Visit>
void Walk(const std::string& folder, Visit& visit)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || entry.cFileName[0] == '.')
            continue;
        std::string child = folder + "\\" + entry.cFileName;
        visit(child, ::lstrcmpiA(entry.cFileName, "debug") == 0);
        Walk(child, visit);
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
}

size_t WorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool RunEnded(const DialogHarness& ui)
{
    return ui.Text(IDC_START_SEARCH) == "Start Search" && ui.Title() == "Tolvane Cleaner";
}

// (3): the walk with the window calls the search must make, on a window of
// the same kind, its list shown as during a search.
double FloorMs(const std::string& root)
{
    DialogHarness floor(false);
    floor.Click(IDC_DETAILS);
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
    double start = Now();
    Walk(root, calls);
    return Now() - start;
}

// (1) and (7): the program's search through the dialog, click to end.
double ProgramMs(const std::string& root, size_t* idle, size_t* peak, size_t* rows)
{
    DialogHarness ui(false);
    ui.PickFolder(root);
    ui.SetOptions(true, false);
    *idle = *peak = WorkingSet();
    ::SendMessageA(ui.Dialog(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    double start = Now();
    ui.Click(IDC_START_SEARCH);
    // Polled every 250 ms: each look at the dialog is a message its thread must carry out.
    while (!RunEnded(ui)) {
        *peak = std::max(*peak, WorkingSet());
        ::Sleep(250);
    }
    double program = Now() - start;
    *rows = ui.Rows().size();
    return program;
}

// (1), (2), (3), (7) on `root`; (4) comes from the caller. The floor and the
// program take turns, `rounds` times each; the medians are reported.
void SearchFigures(const std::string& root, double findMs, int rounds)
{
    int entered = 0, matches = 0;
    auto count = [&](const std::string&, bool match) { ++entered; matches += match; };
    double start = Now();
    Walk(root, count);
    double bare = Now() - start;

    std::vector<double> floors, programs;
    size_t idle = 0, peak = 0, rows = 0, growth = 0;   // growth: the largest of all rounds
    for (int round = 0; round < rounds; ++round) {
        floors.push_back(FloorMs(root));
        programs.push_back(ProgramMs(root, &idle, &peak, &rows));
        growth = std::max(growth, peak - idle);
    }
    double withCalls = Median(floors), program = Median(programs);

    std::printf("tree %s: %d folders, %d matches, %u rows listed; medians of %d rounds\n", root.c_str(), entered,
                matches, static_cast<unsigned>(rows), rounds);
    std::printf("  (1) program search, click to end       %9.0f ms\n", program);
    std::printf("  (2) bare walk (FindFirstFileA)          %9.0f ms\n", bare);
    std::printf("  (3) bare walk + required window calls   %9.0f ms\n", withCalls);
    std::printf("  (4) find, natively                      %9.0f ms\n", findMs);
    std::printf("  (7) working set: idle %.1f MiB, peak during the search +%.2f MiB\n", idle / 1048576.0,
                growth / 1048576.0);
    std::printf("  ratios: (1)/(3) %.3f   (1)/(2) %.2f   (2)/(4) %.1f\n", program / withCalls, program / bare,
                findMs > 0 ? bare / findMs : 0.0);
    if (rounds > 1) {
        std::printf("  each round (1)/(3):");
        for (int round = 0; round < rounds; ++round)
            std::printf(" %.3f", programs[static_cast<size_t>(round)] / floors[static_cast<size_t>(round)]);
        std::printf("\n");
    }
}

// (5) stop latency: Stop at a random moment, until the run has ended.
void StopFigures(const std::string& root)
{
    DialogHarness ui;
    ui.PickFolder(root);
    ui.SetOptions(true, false);
    std::vector<double> stops;
    std::srand(7);
    for (int i = 0; i < 20; ++i) {
        ::SendMessageA(ui.Dialog(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        ui.Click(IDC_START_SEARCH);
        WaitUntil([&] { return ui.Title().rfind("Searching - ", 0) == 0; }, 10000);
        ::Sleep(static_cast<DWORD>(std::rand() % 300));
        double start = Now();
        ui.Click(IDC_START_SEARCH);
        while (!RunEnded(ui))
            ::Sleep(1);
        stops.push_back(Now() - start);
    }
    std::printf("(5) stop latency over 20 stops: median %.1f ms, max %.1f ms\n", Median(stops),
                *std::max_element(stops.begin(), stops.end()));
}

// (6) the cost of appending a row when the list holds 1,000 and 10,000 rows:
// two dialogs, measured in turns (100 appends, then those rows removed), medians.
void GrowthFigures()
{
    const int sizes[2] = { 1000, 10000 };
    DialogHarness small(false), large(false);
    DialogHarness* dialogs[2] = { &small, &large };
    std::vector<double> append[2];
    for (int k = 0; k < 2; ++k) {
        dialogs[k]->Click(IDC_DETAILS);   // the list shown, as during a search
        for (int i = 0; i < sizes[k]; ++i)
            dialogs[k]->AddResult("Debug", "C:\\some\\folder\\Debug");
    }
    for (int round = 0; round < 10; ++round)
        for (int k = 0; k < 2; ++k) {
            double start = Now();
            for (int i = 0; i < 100; ++i)
                dialogs[k]->AddResult("Debug", "C:\\some\\folder\\Debug");
            append[k].push_back((Now() - start) / 100);
            HWND list = dialogs[k]->Item(IDC_LIST_RESULTS);
            for (int i = 0; i < 100; ++i)
                ::SendMessageA(list, LVM_DELETEITEM, sizes[k], 0);
        }
    double at1000 = Median(append[0]), at10000 = Median(append[1]);
    std::printf("(6) append a row at 1,000 rows %.3f ms, at 10,000 rows %.3f ms (medians of 10 x 100): ratio %.2f\n",
                at1000, at10000, at10000 / at1000);
}

// Process start until its window `caption` shows; the program is closed after.
double StartUp(const char* command, const char* caption)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string line = command;
    double start = Now();
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &process))
        return -1;
    HWND window = nullptr;
    while (!(window = ::FindWindowA(nullptr, caption)) || !::IsWindowVisible(window))
        ::Sleep(1);
    double shown = Now() - start;
    ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return shown;
}

// (8) start-up against a bare dialog program, and against one that also
// loads the shell's folder icon; 5 starts each, in turn.
void StartUpFigures()
{
    std::vector<double> cleaner, bare, shell;
    for (int i = 0; i < 5; ++i) {
        cleaner.push_back(StartUp("C:\\Cleaner.exe", "Orvel Tolvane Cleaner"));
        bare.push_back(StartUp("C:\\bare.exe", "Bare Dialog"));
        shell.push_back(StartUp("C:\\bare.exe shell", "Bare Dialog"));
    }
    std::printf("(8) start-up to the dialog shown (medians): cleaner %.0f ms, bare dialog %.0f ms, bare dialog with\n"
                "    the shell's folder icon %.0f ms: ratios %.2f and %.2f\n",
                Median(cleaner), Median(bare), Median(shell), Median(cleaner) / Median(bare),
                Median(cleaner) / Median(shell));
}

// (9) Delete All on the listed folders of `root`, against one shell request
// for the same folders of `shellRoot` (the floor) and `rm -rf` (rmMs).
void DeleteFigures(const std::string& root, const std::string& shellRoot, double rmMs)
{
    DialogHarness ui(false);
    std::vector<Row> rows = ui.SearchIn(root, true, false);
    ui.ClickAsync(IDC_DELETE_ALL);
    HWND box = ui.WaitForPopup("Confirm Delete");
    double start = Now();
    ::PostMessageA(::GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    while (!ui.Rows().empty())
        ::Sleep(5);
    double deleting = Now() - start;

    std::string list;
    for (const Row& row : rows)
        list += shellRoot + row.path.substr(root.size()) + '\0';
    list += '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    start = Now();
    ::SHFileOperationA(&operation);
    double shell = Now() - start;
    std::printf("(9) Delete All on %u folders %.0f ms; one shell request for the same %.0f ms; rm -rf %.0f ms\n"
                "    ratios: program / shell %.2f, shell / rm -rf %.1f\n",
                static_cast<unsigned>(rows.size()), deleting, shell, rmMs, deleting / shell,
                rmMs > 0 ? shell / rmMs : 0.0);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "search" && (argc == 4 || argc == 5)) {
        SearchFigures(argv[2], std::atof(argv[3]), argc > 4 ? std::atoi(argv[4]) : 1);
    } else if (mode == "extras" && argc == 6) {
        StopFigures(argv[2]);
        GrowthFigures();
        StartUpFigures();
        DeleteFigures(argv[3], argv[4], std::atof(argv[5]));
    } else {
        std::fprintf(stderr, "usage: cleaner_bench search TREE FIND_MS [ROUNDS] | extras TREE DELTREE SHELLTREE RM_MS\n");
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
