// The benchmark: the program against the platform's own floors, measured on
// the same trees in the same Wine (measure.sh runs it and times the native parts).
//   cleaner_bench search TREE FIND_MS [ROUNDS]  search figures for one tree
//   cleaner_bench titles COUNT               where a title's time goes
//   cleaner_bench rows                       where a row's time goes
//   cleaner_bench checks DELTREE             where Delete All's checks' time goes
//   cleaner_bench delete DELTREE SHELLTREE RM_MS ROUNDS   deletion alone
//   cleaner_bench extras TREE DELTREE SHELLTREE RM_MS
//                                            stop, list growth, start-up, deletion
// DELTREE and SHELLTREE hold one tree for each round: r0, r1, ...
#include "tests/DialogHarness.h"
#include "delete/SafeDelete.h"
#include <psapi.h>
#include <tlhelp32.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <mutex>

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
    size_t half = values.size() / 2;
    return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

// The run's end ("Start Search", the short title), seen without a message to
// the dialog's thread: the texts are read where the window manager keeps
// them, so watching costs the run nothing.
bool RunEnded(const DialogHarness& ui)
{
    wchar_t button[32] = L"", title[32] = L"";
    ::InternalGetWindowText(ui.Item(IDC_START_SEARCH), button, 32);
    ::InternalGetWindowText(ui.Dialog(), title, 32);
    return std::wcscmp(button, L"Start Search") == 0 && std::wcscmp(title, L"Tolvane Cleaner") == 0;
}

double FileTimeMs(const FILETIME& time)
{
    return (static_cast<double>(time.dwHighDateTime) * 4294967296.0 + time.dwLowDateTime) / 10000.0;
}

// CPU time of this process so far (all its threads, ended ones included), ms.
double ProcessCpuMs()
{
    FILETIME created, ended, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
    return FileTimeMs(kernel) + FileTimeMs(user);
}

// CPU time of this process's live threads, ms, summed: the threads that end
// during a turn (the program's worker) are the difference to ProcessCpuMs.
double LiveThreadsCpuMs()
{
    double sum = 0;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != ::GetCurrentProcessId())
            continue;
        HANDLE thread = ::OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        FILETIME created, ended, kernel, user;
        if (thread && ::GetThreadTimes(thread, &created, &ended, &kernel, &user))
            sum += FileTimeMs(kernel) + FileTimeMs(user);
        if (thread)
            ::CloseHandle(thread);
    }
    ::CloseHandle(snapshot);
    return sum;
}

double ThreadCpuMs()
{
    FILETIME created, ended, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &ended, &kernel, &user);
    return FileTimeMs(kernel) + FileTimeMs(user);
}

// One turn of a search: its time, and where the CPU went: the walking thread
// (the benchmark's own for the floor, the worker for the program) and the rest
// of the process (nearly all of it the dialog's thread, carrying out the walk's
// window calls).
struct Turn {
    double ms = 0, walkerCpuMs = 0, otherCpuMs = 0;
};

// A window procedure that keeps each title and returns, with no default
// handling: nothing is stored by the window manager and no caption is painted.
WNDPROC g_dialogProc;
std::string g_keptTitle;

LRESULT CALLBACK KeepTitleOnly(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT) {
        g_keptTitle = reinterpret_cast<LPCSTR>(lParam);
        return TRUE;
    }
    return ::CallWindowProcA(g_dialogProc, window, message, wParam, lParam);
}

// (3): the walk with the window calls the search must make, on a window of
// the same kind, its list shown as during a search. (3b), `keepTitleOnly`:
// the same, on a window that keeps each title without painting it.
Turn Floor(const std::string& root, bool keepTitleOnly = false)
{
    DialogHarness floor;
    floor.Click(IDC_DETAILS);
    if (keepTitleOnly)
        g_dialogProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
            floor.Dialog(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeepTitleOnly)));
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
    if (keepTitleOnly)
        ::SetWindowLongPtrA(floor.Dialog(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_dialogProc));
    return turn;
}

// Where a title's time goes: `count` calls from this thread to a dialog on
// another, each kind timed on its own (microseconds a call).
void TitleProfile(int count)
{
    DialogHarness ui;
    HWND dialog = ui.Dialog();
    if (count <= 0)
        return;
    auto time = [&](const char* what, UINT message, bool withText) {
        double start = Now();
        for (int i = 0; i < count; ++i) {
            std::string text = "Searching - C:\\bench\\folder" + std::to_string(i);
            ::SendMessageA(dialog, message, 0, withText ? reinterpret_cast<LPARAM>(text.c_str()) : 0);
        }
        double us = (Now() - start) * 1000.0 / count;
        std::printf("  %-58s %7.0f us\n", what, us);
        return us;
    };
    std::printf("title profile, %d calls each from another thread:\n", count);
    double delivery = time("WM_NULL: delivering a message and its reply", WM_NULL, false);
    g_dialogProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeepTitleOnly)));
    double kept = time("WM_SETTEXT kept by the window procedure, not stored", WM_SETTEXT, true);
    ::SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_dialogProc));
    ui.Dlg().m_bWalking = true;
    double program = time("WM_SETTEXT, the program's own handling during a walk", WM_SETTEXT, true);
    ui.Dlg().m_bWalking = false;
    LONG style = ::GetWindowLongA(dialog, GWL_STYLE);
    ::SetWindowLongA(dialog, GWL_STYLE, style & ~WS_CAPTION);
    ::SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    double stored = time("WM_SETTEXT, default handling, window without a caption", WM_SETTEXT, true);
    ::SetWindowLongA(dialog, GWL_STYLE, style);
    ::SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    double painted = time("WM_SETTEXT, default handling, caption repainted", WM_SETTEXT, true);
    std::printf("  so: delivery %.0f us, storing the text %.0f us, repainting the caption %.0f us; the program's"
                " handling %.0f us more than keeping the text\n", delivery, stored - delivery, painted - stored,
                program - kept);
}

// Where a row's time goes: 100 appends from another thread to a list of 100
// rows, shown or hidden, with or without its extended styles and image list.
void RowProfile()
{
    std::printf("row profile, 100 appends each (ms a row):\n");
    for (int variant = 0; variant < 4; ++variant) {
        DialogHarness ui;
        HWND list = ui.Item(IDC_LIST_RESULTS);
        if (variant != 1)
            ui.Click(IDC_DETAILS);
        if (variant == 2)
            ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0x0C38, 0);
        if (variant == 3)
            ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
        for (int i = 0; i < 100; ++i)
            ui.Dlg().AddResult("Debug", "C:\\some\\folder\\Debug");
        double start = Now();
        for (int i = 0; i < 100; ++i)
            ui.Dlg().AddResult("Debug", "C:\\some\\folder\\Debug");
        const char* names[] = { "list shown", "list hidden", "shown, no extended styles", "shown, no image list" };
        std::printf("  %-30s %7.2f\n", names[variant], (Now() - start) / 100);
    }
}

// Where Delete All's time goes before and after the shell's request: the
// checks made right before it, each timed over every Debug folder of `root`.
void CheckProfile(const std::string& root)
{
    std::vector<std::string> folders;
    auto collect = [&](const std::string& folder, bool match) { if (match) folders.push_back(folder); };
    Walk(root, collect);
    FolderSet safe;
    double start = Now();
    for (const std::string& folder : folders)
        CheckListedFolder(folder.c_str(), "Debug", &safe);
    double checked = Now();
    for (const std::string& folder : folders)
        RemoveLinksInside(folder.c_str(), FolderIdentity(folder.c_str()));
    double cleared = Now();
    for (const std::string& folder : folders)
        IsGone(folder.c_str());
    double asked = Now();
    std::vector<CString> request;
    for (const std::string& folder : folders)
        request.push_back(folder.c_str());
    ShellDelete(request, nullptr, true);
    double deleted = Now();
    std::printf("checks before and after Delete All, %u folders (ms each): listed folder checked %.3f, links"
                " inside looked for %.3f, gone asked %.3f; the program's shell request %.3f\n",
                static_cast<unsigned>(folders.size()), (checked - start) / folders.size(),
                (cleared - checked) / folders.size(), (asked - cleared) / folders.size(),
                (deleted - asked) / folders.size());
}

// (1) and (7): the program's search through the dialog, click to end.
Turn Program(const std::string& root, size_t* idle, size_t* peak, size_t* rows)
{
    DialogHarness ui;
    ui.PickFolder(root);
    ui.SetOptions(true, false);
    *idle = *peak = WorkingSet();
    ::SendMessageA(ui.Dialog(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    Turn turn;
    double process = ProcessCpuMs(), live = LiveThreadsCpuMs(), start = Now();
    ui.Click(IDC_START_SEARCH);
    while (!RunEnded(ui)) {   // looked at every 10 ms: the end is seen 5 ms late on average
        *peak = std::max(*peak, WorkingSet());
        ::Sleep(10);
    }
    turn.ms = Now() - start;
    double all = ProcessCpuMs() - process;
    turn.otherCpuMs = LiveThreadsCpuMs() - live;
    turn.walkerCpuMs = all - turn.otherCpuMs;
    *rows = ui.Rows().size();
    return turn;
}

// (1), (2), (3), (3b), (7) on `root`; (4) comes from the caller. Each round
// walks bare, then the floor and the program take turns in the order ABBA so
// that a drift of the machine falls on both alike, then the floor that keeps
// titles. Each ratio is the median of the rounds' own: a round's turns ran
// side by side.
void SearchFigures(const std::string& root, double findMs, int rounds)
{
    // The first walk counts, and brings the tree into the caches for all turns.
    int entered = 0, matches = 0;
    auto count = [&](const std::string&, bool match) { ++entered; matches += match; };
    Walk(root, count);
    auto nothing = [](const std::string&, bool) {};

    std::vector<Turn> floors(rounds), programs(rounds), keptFloors(rounds);
    std::vector<double> bareMs(rounds), floorMs, programMs, keptMs, ratios, toBare, toKept, keptToBare;
    size_t idle = 0, peak = 0, rows = 0, growth = 0;   // growth: the largest of all rounds
    for (size_t r = 0; r < static_cast<size_t>(rounds); ++r) {
        double start = Now();
        Walk(root, nothing);
        bareMs[r] = Now() - start;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (r % 2 == 0)) {
                floors[r] = Floor(root);
            } else {
                programs[r] = Program(root, &idle, &peak, &rows);
                growth = std::max(growth, peak - idle);
            }
        }
        keptFloors[r] = Floor(root, true);
        floorMs.push_back(floors[r].ms);
        programMs.push_back(programs[r].ms);
        keptMs.push_back(keptFloors[r].ms);
        ratios.push_back(programs[r].ms / floors[r].ms);
        toBare.push_back(programs[r].ms / bareMs[r]);
        toKept.push_back(programs[r].ms / keptFloors[r].ms);
        keptToBare.push_back(keptFloors[r].ms / bareMs[r]);
    }

    std::printf("tree %s: %d folders, %d matches, %u rows listed; %d rounds (medians)\n", root.c_str(), entered,
                matches, static_cast<unsigned>(rows), rounds);
    std::printf("  (1) program search, click to end       %9.0f ms\n", Median(programMs));
    std::printf("  (2) bare walk (FindFirstFileA)          %9.0f ms\n", Median(bareMs));
    std::printf("  (3) bare walk + required window calls   %9.0f ms\n", Median(floorMs));
    std::printf("  (3b) the same, titles kept, not painted %9.0f ms\n", Median(keptMs));
    std::printf("  (4) find, natively                      %9.0f ms\n", findMs);
    std::printf("  (7) working set: idle %.1f MiB, peak during the search +%.2f MiB\n", idle / 1048576.0,
                growth / 1048576.0);
    std::printf("  ratios, medians of the rounds' own: (1)/(3) %.3f   (1)/(2) %.2f   (1)/(3b) %.2f   (3b)/(2) %.2f"
                "   (2)/(4) %.1f\n", Median(ratios), Median(toBare), Median(toKept), Median(keptToBare),
                findMs > 0 ? Median(bareMs) / findMs : 0.0);
    std::printf("  round    (1) ms    (2) ms    (3) ms   (3b) ms  (1)/(3)  (1)/(2)   CPU ms: walker (1) (3) (3b),"
                " dialog's thread and rest (1) (3) (3b)\n");
    for (size_t r = 0; r < static_cast<size_t>(rounds); ++r)
        std::printf("  %5u %9.0f %9.0f %9.0f %9.0f   %.3f   %5.2f   %6.0f %6.0f %6.0f   %6.0f %6.0f %6.0f\n",
                    static_cast<unsigned>(r + 1), programs[r].ms, bareMs[r], floors[r].ms, keptFloors[r].ms,
                    ratios[r], toBare[r], programs[r].walkerCpuMs, floors[r].walkerCpuMs, keptFloors[r].walkerCpuMs,
                    programs[r].otherCpuMs, floors[r].otherCpuMs, keptFloors[r].otherCpuMs);
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
    if (mode == "search" && (argc == 4 || argc == 5)) {
        SearchFigures(argv[2], std::atof(argv[3]), argc > 4 ? std::atoi(argv[4]) : 1);
    } else if (mode == "checks" && argc == 3) {
        CheckProfile(argv[2]);
    } else if (mode == "rows") {
        RowProfile();
    } else if (mode == "caption" && argc == 3) {
        CaptionFigures(argv[2], true);
        CaptionFigures(argv[2], false);
    } else if (mode == "delete" && argc == 6) {
        DeleteFigures(argv[2], argv[3], std::atof(argv[4]), std::atoi(argv[5]));
    } else if (mode == "titles" && argc == 3) {
        TitleProfile(std::atoi(argv[2]));
    } else if (mode == "extras" && argc == 6) {
        StopFigures(argv[2]);
        CaptionFigures(argv[2]);
        GrowthFigures();
        StartUpFigures();
        DeleteFigures(argv[3], argv[4], std::atof(argv[5]), 3);
    } else {
        std::fprintf(stderr, "usage: cleaner_bench search TREE FIND_MS [ROUNDS] | titles COUNT | caption TREE | rows | checks DELTREE | delete DELTREE SHELLTREE RM_MS ROUNDS | extras TREE DELTREE SHELLTREE RM_MS\n");
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
