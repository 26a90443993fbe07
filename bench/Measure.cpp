#include "Measure.h"
#include <psapi.h>
#include <tlhelp32.h>
#include <atomic>
#include <cwchar>

static std::atomic<bool> g_listAsBefore;
static HANDLE(WINAPI* g_findFirst)(LPCWSTR, FINDEX_INFO_LEVELS, LPVOID, FINDEX_SEARCH_OPS, LPVOID, DWORD);

static HANDLE WINAPI FindFirstAsChosen(LPCWSTR pattern, FINDEX_INFO_LEVELS level, LPVOID entry,
                                       FINDEX_SEARCH_OPS search, LPVOID filter, DWORD flags)
{
    if (g_listAsBefore)
        return g_findFirst(pattern, FindExInfoStandard, entry, search, filter, 0);   // what FindFirstFileW does
    return g_findFirst(pattern, level, entry, search, filter, flags);
}

void ListAsBefore(bool before)
{
    if (!g_findFirst)
        g_findFirst = reinterpret_cast<decltype(g_findFirst)>(
            RouteImport("kernel32.dll", "FindFirstFileExW", reinterpret_cast<void*>(FindFirstAsChosen)));
    g_listAsBefore = before;
}

bool ListingAsBefore()
{
    return g_listAsBefore;
}

Spread SpreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    auto at = [&](double part) {   // linear between the two nearest ranks
        double rank = part * static_cast<double>(values.size() - 1);
        size_t below = static_cast<size_t>(rank);
        double above = below + 1 < values.size() ? values[below + 1] : values[below];
        return values[below] + (rank - static_cast<double>(below)) * (above - values[below]);
    };
    return values.empty() ? Spread{ 0, 0, 0 } : Spread{ at(0.25), at(0.5), at(0.75) };
}

double Now()
{
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

size_t WorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

static double FileTimeMs(const FILETIME& time)
{
    return (static_cast<double>(time.dwHighDateTime) * 4294967296.0 + time.dwLowDateTime) / 10000.0;
}

double ProcessCpuMs()
{
    FILETIME created, ended, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
    return FileTimeMs(kernel) + FileTimeMs(user);
}

// The threads that end during a search (the program's worker) are the
// difference between this and ProcessCpuMs.
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

bool RunEnded(const DialogHarness& ui)
{
    wchar_t button[32] = L"", title[32] = L"";
    ::InternalGetWindowText(ui.Item(IDC_START_SEARCH), button, 32);
    ::InternalGetWindowText(ui.Dialog(), title, 32);
    return std::wcscmp(button, L"Start Search") == 0 && std::wcscmp(title, L"Tolvane Cleaner") == 0;
}

// One dialog at a time keeps its titles: the benchmark runs one such turn at once.
static WNDPROC g_dialogProc;
static std::string g_keptTitle;

static LRESULT CALLBACK KeepTitleOnly(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT) {
        g_keptTitle = reinterpret_cast<LPCSTR>(lParam);
        return TRUE;
    }
    return ::CallWindowProcA(g_dialogProc, window, message, wParam, lParam);
}

KeepTitlesOnly::KeepTitlesOnly(HWND dialog) : m_dialog(dialog)
{
    g_dialogProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeepTitleOnly)));
}

KeepTitlesOnly::~KeepTitlesOnly()
{
    ::SetWindowLongPtrA(m_dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_dialogProc));
}
