// The benchmark: the program's search through the real dialog against the
// platform's own floors, measured in one run on the same tree and Wine.
//   cleaner_bench FIND_MS FOLDERS   (FIND_MS: native `find` on the same tree)
#include "tests/DialogHarness.h"
#include "tests/TestTree.h"
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

std::string MakeTree(int folders)
{
    return folders <= 10000 ? BigTree() : FolderTree("huge", folders / 1000);
}

}  // namespace

int main(int argc, char** argv)
{
    double findMs = argc > 1 ? std::atof(argv[1]) : 0;
    int folders = argc > 2 ? std::atoi(argv[2]) : 10000;
    std::string root = MakeTree(folders);

    // (2) the bare walk
    int entered = 0, matches = 0;
    auto count = [&](const std::string&, bool match) { ++entered; matches += match; };
    double start = Now();
    Walk(root, count);
    double bare = Now() - start;

    // (3) the bare walk plus the window calls the search must make
    DialogHarness floor;
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
    start = Now();
    Walk(root, calls);
    double withCalls = Now() - start;

    // (1) the program's whole search, through the dialog; (7) its memory
    DialogHarness ui;
    ui.PickFolder(root);
    ui.SetOptions(true, false);
    size_t idle = WorkingSet(), peak = idle;
    ::SendMessageA(ui.Dialog(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    start = Now();
    ui.Click(IDC_START_SEARCH);
    // Polled every 20 ms: each look at the dialog is a message its thread must carry out.
    while (!(ui.Text(IDC_START_SEARCH) == "Start Search" && ui.Title() == "Tolvane Cleaner")) {
        peak = std::max(peak, WorkingSet());
        ::Sleep(20);
    }
    double program = Now() - start;
    size_t rows = ui.Rows().size();

    // (5) stop latency: Stop at a random moment, until the run has ended
    std::vector<double> stops;
    std::srand(7);
    for (int i = 0; i < 20; ++i) {
        ::SendMessageA(ui.Dialog(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        ui.Click(IDC_START_SEARCH);
        WaitUntil([&] { return ui.Title().rfind("Searching - ", 0) == 0; }, 10000);
        ::Sleep(static_cast<DWORD>(std::rand() % 300));
        start = Now();
        ui.Click(IDC_START_SEARCH);
        while (ui.Title() != "Tolvane Cleaner")
            ::Sleep(0);
        stops.push_back(Now() - start);
    }
    std::sort(stops.begin(), stops.end());

    // (6) the cost of appending a row at 1,000 and at 10,000 rows
    DialogHarness growth;
    double append[2];
    int sizes[2] = { 1000, 10000 };
    for (int k = 0; k < 2; ++k) {
        while (static_cast<int>(::SendMessageA(growth.Item(IDC_LIST_RESULTS), LVM_GETITEMCOUNT, 0, 0)) < sizes[k])
            growth.AddResult("Debug", "C:\\some\\folder\\Debug");
        start = Now();
        for (int i = 0; i < 200; ++i)
            growth.AddResult("Debug", "C:\\some\\folder\\Debug");
        append[k] = (Now() - start) / 200;
        for (int i = 0; i < 200; ++i)
            ::SendMessageA(growth.Item(IDC_LIST_RESULTS), LVM_DELETEITEM, sizes[k], 0);
    }

    std::printf("tree: %d folders, %d matches (program listed %u)\n", entered, matches, static_cast<unsigned>(rows));
    std::printf("(1) program search, click to end      %9.0f ms\n", program);
    std::printf("(2) bare walk (FindFirstFileA)         %9.0f ms\n", bare);
    std::printf("(3) bare walk + required window calls  %9.0f ms\n", withCalls);
    std::printf("(4) find, natively                     %9.0f ms\n", findMs);
    std::printf("(5) stop latency, median / max         %9.1f / %.1f ms\n", stops[stops.size() / 2], stops.back());
    std::printf("(6) append a row at 1,000 / 10,000     %9.3f / %.3f ms  (ratio %.2f)\n", append[0], append[1],
                append[1] / append[0]);
    std::printf("(7) working set: idle %.1f MiB, peak during search +%.2f MiB\n", idle / 1048576.0,
                (peak - idle) / 1048576.0);
    std::printf("ratios: (1)/(3) %.3f   (1)/(2) %.2f   (2)/(4) %.1f\n", program / withCalls, program / bare,
                findMs > 0 ? bare / findMs : 0.0);
    return 0;
}
