// The benchmark's standing figures: the program against the platform's own
// floors, on the same trees in the same Wine (measure.sh runs it, makes the
// trees and times the native parts: find and rm -rf).
//   (1)  the program's search through the dialog, click to end
//   (2)  a bare FindFirstFileA walk of the same tree
//   (3)  that walk plus the window calls a search must make (a title per
//        folder, three list messages per match), the platform's own handling
//   (3b) the same calls on a window that keeps each title and paints nothing:
//        the floor of one synchronous title per folder
//   (4)  native find (timed by measure.sh)
//   (5)  Stop to the run's end; (5b) how far the caption lags the title
//   (6)  appending a row at 1,000 against 10,000 rows
//   (7)  the working set's growth during a search
//   (8)  start-up to the dialog shown, against a bare dialog
//   (9)  Delete All against one shell request for the same folders and rm -rf
// (1) to (4) and (7) are in search_figures.cpp; the profiles (profiles.cpp)
// show where a title's, a row's and the checks' time goes.
#include "Measure.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>

namespace {

const char kUsage[] =
    "usage: cleaner_bench MODE ...\n"
    "  search TREE FIND_MS [ROUNDS] [both]        (1) to (4) and (7) on one tree; FIND_MS is (4); 10 rounds\n"
    "                                             unless told; both: the listing as before and as now\n"
    "  extras TREE DELTREE SHELLTREE RM_MS        (5), (5b), (6), (8), and (9) in three rounds\n"
    "  caption TREE                               (5b), with rows and without\n"
    "  delete DELTREE SHELLTREE RM_MS ROUNDS [windows]  (9) alone; windows: the checks as on Windows\n"
    "  titles COUNT | rows | checks DELTREE       the profiles\n"
    "DELTREE and SHELLTREE hold one tree for each round: r0, r1, ...; RM_MS is rm -rf's time\n";

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

// (5b) how far the caption on screen (the text the window manager holds)
// lags behind the title during a run: for each sample, how long ago the title
// that replaced the one on screen was set.
std::mutex g_titleLock;
std::vector<std::string> g_titles;   // every title set on g_titled, and when
std::vector<double> g_titleTicks;   // Now(): GetTickCount moves in steps of about 16 ms
HWND g_titled;

LRESULT CALLBACK RecordTitle(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETTEXT && call->hwnd == g_titled) {
        std::lock_guard<std::mutex> lock(g_titleLock);
        g_titles.push_back(reinterpret_cast<const char*>(call->lParam));
        g_titleTicks.push_back(Now());
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// `rows`: search for the tree's Debug folders (1 %); without, for Release
// folders, which it has none of: the same walk and titles with no row painted.
void CaptionFigures(const std::string& root, bool rows = true)
{
    DialogHarness ui;
    ui.PickFolder(root);
    ui.SetOptions(rows, !rows);
    g_titled = ui.Dialog();
    HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, RecordTitle, nullptr,
                                     ::GetWindowThreadProcessId(ui.Dialog(), nullptr));
    ui.Click(IDC_START_SEARCH);
    std::vector<double> lags;
    while (!RunEnded(ui)) {
        wchar_t shown[MAX_PATH + 20] = L"";
        ::InternalGetWindowText(ui.Dialog(), shown, MAX_PATH + 20);
        double now = Now();
        {   // searched from the end, under the lock: the dialog's thread waits for it
            std::lock_guard<std::mutex> lock(g_titleLock);
            auto last = std::find(g_titles.rbegin(), g_titles.rend(), std::string(shown, shown + std::wcslen(shown)));
            size_t next = static_cast<size_t>(g_titles.rend() - last);   // the title that replaced it
            if (last != g_titles.rend() && next < g_titleTicks.size() && g_titleTicks[next] <= now)
                lags.push_back(now - g_titleTicks[next]);
        }
        ::Sleep(5);
    }
    ::UnhookWindowsHookEx(hook);
    std::printf("(5b) caption behind the title during a run%s, %zu samples: median %.0f ms, max %.0f ms\n",
                rows ? "" : " that lists no rows", lags.size(), lags.empty() ? 0.0 : Median(lags),
                lags.empty() ? 0.0 : *std::max_element(lags.begin(), lags.end()));
}

// (6) the cost of appending a row when the list holds 1,000 and 10,000 rows:
// two dialogs, measured in turns (100 appends, then those rows removed), medians.
void GrowthFigures()
{
    const int sizes[2] = { 1000, 10000 };
    DialogHarness small, large;
    DialogHarness* dialogs[2] = { &small, &large };
    std::vector<double> append[2];
    for (int k = 0; k < 2; ++k) {
        dialogs[k]->Click(IDC_DETAILS);   // the list shown, as during a search
        for (int i = 0; i < sizes[k]; ++i)
            dialogs[k]->Dlg().AddResult("Debug", "C:\\some\\folder\\Debug");
    }
    for (int round = 0; round < 10; ++round)
        for (int k = 0; k < 2; ++k) {
            double start = Now();
            for (int i = 0; i < 100; ++i)
                dialogs[k]->Dlg().AddResult("Debug", "C:\\some\\folder\\Debug");
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

// One Delete All of every Debug folder of `root`, Yes to its end (ms).
double ProgramDelete(const std::string& root, size_t* folders, size_t* left)
{
    DialogHarness ui;
    *folders = ui.SearchIn(root, true, false).size();
    ui.ClickAsync(IDC_DELETE_ALL);
    HWND box = ui.WaitForPopup("Confirm Delete");
    double start = Now();
    ::PostMessageA(::GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    ui.WaitHandled(IDC_DELETE_ALL);   // not the rows: reading them would take turns with the delete
    double ms = Now() - start;
    *left = ui.Rows().size();
    return ms;
}

// One shell request for every Debug folder of `root`, as the floor (ms).
double ShellFloorDelete(const std::string& root)
{
    std::string list;
    auto collect = [&](const std::string& folder, bool match) { if (match) list += folder + '\0'; };
    Walk(root, collect);
    list += '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    double start = Now();
    ::SHFileOperationA(&operation);
    return Now() - start;
}

// (9) Delete All on the trees `root`\r0, \r1, ... against one shell request
// for the same folders of `shellRoot`\r0, ... (the floor), in turns ABBA, and
// `rm -rf` (rmMs). Single deletions here vary by 10 % and more.
void DeleteFigures(const std::string& root, const std::string& shellRoot, double rmMs, int rounds)
{
    std::vector<double> program, shell, ratios;
    size_t folders = 0, left = 0;
    for (int r = 0; r < rounds; ++r) {
        std::string tree = "\\r" + std::to_string(r);
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (r % 2 == 0))
                shell.push_back(ShellFloorDelete(shellRoot + tree));
            else
                program.push_back(ProgramDelete(root + tree, &folders, &left));
        }
        ratios.push_back(program.back() / shell.back());
    }
    std::printf("(9) Delete All on %u folders %.0f ms (%u rows left); one shell request for the same %.0f ms;"
                " rm -rf %.0f ms\n    medians of %d rounds; ratios: program / shell %.2f, shell / rm -rf %.1f\n",
                static_cast<unsigned>(folders), Median(program), static_cast<unsigned>(left), Median(shell), rmMs,
                rounds, Median(ratios), rmMs > 0 ? Median(shell) / rmMs : 0.0);
    for (int r = 0; r < rounds; ++r)
        std::printf("    round %d: %.0f / %.0f ms = %.3f\n", r + 1, program[r], shell[r], ratios[r]);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    bool last = argc > 2 && (std::strcmp(argv[argc - 1], "both") == 0 || std::strcmp(argv[argc - 1], "windows") == 0);
    int args = argc - last;   // without that last word
    if (mode == "search" && (args == 4 || args == 5)) {
        SearchFigures(argv[2], std::atof(argv[3]), args > 4 ? std::atoi(argv[4]) : 10, last);
    } else if (mode == "extras" && argc == 6) {
        StopFigures(argv[2]);
        CaptionFigures(argv[2]);
        GrowthFigures();
        StartUpFigures();
        DeleteFigures(argv[3], argv[4], std::atof(argv[5]), 3);
    } else if (mode == "caption" && argc == 3) {
        CaptionFigures(argv[2], true);
        CaptionFigures(argv[2], false);
    } else if (mode == "delete" && args == 6) {
        HideWine(last);   // the checks as on Windows: no file opened
        DeleteFigures(argv[2], argv[3], std::atof(argv[4]), std::atoi(argv[5]));
    } else if (mode == "titles" && argc == 3) {
        TitleProfile(std::atoi(argv[2]));
    } else if (mode == "rows") {
        RowProfile();
    } else if (mode == "checks" && argc == 3) {
        CheckProfile(argv[2]);
    } else {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
