// Drives the running cleaner the way a person would, for scripts/run.sh on a
// machine without a display (the script takes a picture after each step):
//   demo_driver show     waits for the cleaner's window
//   demo_driver search   ticks both options, starts a search of every drive
//                        and returns while it runs
//   demo_driver end      waits for the search's end, prints how many rows it found
//   demo_driver about    opens the About box from the window menu
//   demo_driver close    closes the About box, then the program
// Exits 1 when the window does not appear or a step does not come about.
#include "res/resource.h"
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cstring>

static bool WaitFor(bool (*condition)(HWND), HWND window, DWORD timeoutMs)
{
    for (DWORD start = ::GetTickCount(); !condition(window); ::Sleep(20))
        if (::GetTickCount() - start > timeoutMs)
            return false;
    return true;
}

static bool TextStarts(HWND window, const char* text)
{
    char buffer[300] = "";
    ::GetWindowTextA(window, buffer, sizeof buffer);
    return std::strncmp(buffer, text, std::strlen(text)) == 0;
}

static bool Searching(HWND dialog)
{
    return TextStarts(dialog, "Searching - ");
}

static bool SearchEnded(HWND dialog)
{
    return TextStarts(dialog, "Tolvane Cleaner") && TextStarts(::GetDlgItem(dialog, IDC_START_SEARCH), "Start Search");
}

static bool AboutShown(HWND)
{
    HWND about = ::FindWindowA(nullptr, "About Tolvane Cleaner");
    return about && ::IsWindowVisible(about);
}

static bool Gone(HWND window)
{
    return !::IsWindow(window);
}

static int Step(HWND dialog, const char* step)
{
    if (std::strcmp(step, "search") == 0) {
        ::SendMessageA(::GetDlgItem(dialog, IDC_CHECK_DEBUG), BM_CLICK, 0, 0);
        ::SendMessageA(::GetDlgItem(dialog, IDC_CHECK_RELEASE), BM_CLICK, 0, 0);
        ::SendMessageA(::GetDlgItem(dialog, IDC_START_SEARCH), BM_CLICK, 0, 0);
        return WaitFor(Searching, dialog, 10000) ? 0 : 1;
    }
    if (std::strcmp(step, "end") == 0) {
        if (!WaitFor(SearchEnded, dialog, 120000)) {
            std::printf("The search did not end within two minutes.\n");
            return 1;
        }
        HWND list = ::GetDlgItem(dialog, IDC_LIST_RESULTS);
        std::printf("The search found %ld folders.\n", static_cast<long>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
        return 0;
    }
    if (std::strcmp(step, "about") == 0) {
        ::PostMessageA(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        return WaitFor(AboutShown, dialog, 10000) ? 0 : 1;
    }
    if (std::strcmp(step, "close") == 0) {
        if (HWND about = ::FindWindowA(nullptr, "About Tolvane Cleaner"))
            ::PostMessageA(about, WM_COMMAND, IDOK, 0);
        WaitFor([](HWND) { return !AboutShown(nullptr); }, dialog, 10000);
        ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return WaitFor(Gone, dialog, 10000) ? 0 : 1;
    }
    return 0;   // show
}

// The cleaner's window, whatever its title says: the one with its buttons.
static BOOL CALLBACK FindCleaner(HWND window, LPARAM found)
{
    if (!::GetDlgItem(window, IDC_START_SEARCH) || !::GetDlgItem(window, IDC_LIST_RESULTS))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

int main(int argc, char** argv)
{
    HWND dialog = nullptr;
    for (DWORD start = ::GetTickCount(); !dialog && ::GetTickCount() - start < 60000; ::Sleep(100))
        ::EnumWindows(FindCleaner, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) {
        std::printf("The cleaner's window did not appear.\n");
        return 1;
    }
    return Step(dialog, argc > 1 ? argv[1] : "show");
}
