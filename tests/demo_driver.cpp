// Drives the running cleaner the way a person would, for scripts/run.sh on a
// machine without a display:
//   demo_driver search   ticks both options, runs one search to its end and
//                        prints how many rows it found
//   demo_driver close    closes the program through its window menu
// Exits 1 when the cleaner's window does not appear or the search never ends.
#include "res/resource.h"
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cstring>

static bool WaitFor(bool (*condition)(HWND), HWND window, DWORD timeoutMs)
{
    for (DWORD start = ::GetTickCount(); !condition(window); ::Sleep(50))
        if (::GetTickCount() - start > timeoutMs)
            return false;
    return true;
}

static bool HasText(HWND window, const char* text)
{
    char buffer[256] = "";
    ::GetWindowTextA(window, buffer, sizeof buffer);
    return std::strcmp(buffer, text) == 0;
}

static bool SearchEnded(HWND dialog)
{
    return HasText(dialog, "Tolvane Cleaner") && HasText(::GetDlgItem(dialog, IDC_START_SEARCH), "Start Search");
}

int main(int argc, char** argv)
{
    HWND dialog = nullptr;
    for (DWORD start = ::GetTickCount(); !dialog && ::GetTickCount() - start < 60000; ::Sleep(100))
        dialog = ::FindWindowA(nullptr, "Orvel Tolvane Cleaner");
    if (!dialog) {
        std::printf("The cleaner's window did not appear.\n");
        return 1;
    }
    if (argc > 1 && std::strcmp(argv[1], "close") == 0) {
        ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return WaitFor([](HWND window) { return !::IsWindow(window); }, dialog, 10000) ? 0 : 1;
    }
    ::SendMessageA(::GetDlgItem(dialog, IDC_CHECK_DEBUG), BM_CLICK, 0, 0);
    ::SendMessageA(::GetDlgItem(dialog, IDC_CHECK_RELEASE), BM_CLICK, 0, 0);
    ::SendMessageA(::GetDlgItem(dialog, IDC_START_SEARCH), BM_CLICK, 0, 0);
    if (!WaitFor(SearchEnded, dialog, 120000)) {
        std::printf("The search did not end within two minutes.\n");
        return 1;
    }
    long rows = static_cast<long>(::SendMessageA(::GetDlgItem(dialog, IDC_LIST_RESULTS), LVM_GETITEMCOUNT, 0, 0));
    std::printf("The search found %ld folders.\n", rows);
    return 0;
}
