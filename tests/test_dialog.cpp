// The main dialog as it opens, the details toggle, the window menu's About
// box, and closing the real program. At 96 DPI the dialog font gives the
// metrics the window sizes are laid out for, and the window must measure
// exactly as designed; at any other DPI (the drives prefix has 120) it must
// show every control whole.
#include "DialogHarness.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

void ExpectLaidOut(HWND dialog, int height, std::initializer_list<int> ids)
{
    HDC screen = ::GetDC(nullptr);
    bool designMetrics = ::GetDeviceCaps(screen, LOGPIXELSY) == 96;
    ::ReleaseDC(nullptr, screen);
    RECT window, client, control;
    ::GetWindowRect(dialog, &window);
    EXPECT_TRUE(!designMetrics || (window.right - window.left == 378 && window.bottom - window.top == height))
        << "not 378 x " << height;
    ::GetClientRect(dialog, &client);
    ::MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    for (int id : ids) {
        ::GetWindowRect(::GetDlgItem(dialog, id), &control);
        EXPECT_TRUE(control.left >= client.left && control.right <= client.right && control.bottom <= client.bottom)
            << "control " << id << " is cut off";
    }
}

TEST(Dialog, OpensCollapsedThenDetailsShowsTheListAndTheWindowMenuTheAboutBox)
{
    DialogHarness ui;
    EXPECT_EQ("Orvel Tolvane Cleaner", ui.Title());
    ExpectLaidOut(ui.Dialog(), 200, { IDC_CHECK_DEBUG, IDC_CHECK_RELEASE, IDC_DELETE_ALL, IDC_DELETE_SELECTED,
                                      IDC_DETAILS, IDC_START_SEARCH, IDC_SELECT_DRIVE });
    RECT area, window;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    ::GetWindowRect(ui.Dialog(), &window);
    EXPECT_TRUE(std::abs(area.left + area.right - window.left - window.right) <= 2 &&
                std::abs(area.top + area.bottom - window.top - window.bottom) <= 2) << "centred";
    const struct { int id; const char* text; bool enabled; } controls[] = {
        { IDC_CHECK_DEBUG, "Debug Files", true },    { IDC_CHECK_RELEASE, "Release Files", true },
        { IDC_SELECT_DRIVE, nullptr, true },         { IDC_DETAILS, "Show Details  >>", true },
        { IDC_START_SEARCH, "Start Search", false }, { IDC_DELETE_ALL, nullptr, false },
        { IDC_DELETE_SELECTED, nullptr, false },
    };
    for (const auto& control : controls) {
        EXPECT_EQ(control.enabled, ui.Enabled(control.id)) << control.id;
        EXPECT_FALSE(ui.Checked(control.id)) << control.id;
        EXPECT_EQ(control.text ? control.text : ui.Text(control.id), ui.Text(control.id));
    }
    EXPECT_FALSE(ui.Visible(IDC_LIST_RESULTS));
    EXPECT_TRUE(::GetWindowLongA(ui.Dialog(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(::SendMessageA(ui.Dialog(), WM_GETICON, ICON_BIG, 0) && ::SendMessageA(ui.Dialog(), WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))),
              ::SendMessageA(ui.Dialog(), WM_QUERYDRAGICON, 0, 0));

    // The list: two columns, its extended styles, the shell's folder icon.
    HWND list = ui.Item(IDC_LIST_RESULTS);
    EXPECT_EQ(0x0C38, ListView_GetExtendedListViewStyle(list) & 0x0C38);
    for (int column = 0; column < 2; ++column) {
        char text[64] = "";
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.pszText = text;
        col.cchTextMax = sizeof text;
        ListView_GetColumn(list, column, &col);
        EXPECT_EQ(column ? "Path 250 0" : "Name 120 0",   // heading, width, left-aligned
                  std::string(text) + " " + std::to_string(col.cx) + " " + std::to_string(col.fmt & LVCFMT_JUSTIFYMASK));
    }
    EXPECT_EQ(1, ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_SMALL)));

    // The details button shows and hides the list, and keeps the top-left corner.
    RECT start, now;
    ::GetWindowRect(ui.Dialog(), &start);
    for (bool shown : { true, false, true }) {
        ui.Click(IDC_DETAILS);
        EXPECT_EQ(shown, ui.Visible(IDC_LIST_RESULTS));
        EXPECT_EQ(shown ? "Hide Details <<" : "Show Details >>", ui.Text(IDC_DETAILS));
        ExpectLaidOut(ui.Dialog(), shown ? 385 : 200, { IDC_DETAILS, shown ? IDC_LIST_RESULTS : IDC_DETAILS });
        ::GetWindowRect(ui.Dialog(), &now);
        EXPECT_TRUE(now.left == start.left && now.top == start.top) << "moved";
    }

    // The window menu's last entry opens the About box over the dialog.
    char text[128] = "";
    ::GetMenuStringA(::GetSystemMenu(ui.Dialog(), FALSE), IDM_ABOUTBOX, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("&About Orvel TolvaneCleaner...", text);
    ::PostMessageA(ui.Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = ui.WaitForPopup("About Tolvane Cleaner");
    EXPECT_TRUE(about && ::GetWindow(about, GW_OWNER) == ui.Dialog() && !::IsWindowEnabled(ui.Dialog())) << "modal";
    ::PostMessageA(::GetDlgItem(about, IDOK), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about) && ::IsWindowEnabled(ui.Dialog()); }, 5000));
    EXPECT_FALSE(ui.WaitClosed(0)) << "the About box leaves the program running";
}

// The real program, started as a process of its own (with arguments, which
// change nothing): Escape, Enter and Close each end it with code 0, idle and
// in the middle of a search of C: (which holds the 10,000 folders of C:\t\big).
TEST(Process, EscapeEnterAndCloseEndTheProcessAlsoDuringASearch)
{
    for (int round = 0; round < 12; ++round) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        char command[] = "C:\\Cleaner.exe /search D:\\ --delete-all", title[64] = "";
        ASSERT_TRUE(::CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &process));
        HWND window = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window = ::FindWindowA(nullptr, "Orvel Tolvane Cleaner"), &owner);
            return owner == process.dwProcessId && ::IsWindowVisible(window);
        }, 10000));
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window, IDC_START_SEARCH))) << "as if started without arguments";
        if (round >= 3) {
            ::SendMessageA(::GetDlgItem(window, IDC_CHECK_DEBUG), BM_CLICK, 0, 0);
            ::SendMessageA(::GetDlgItem(window, IDC_START_SEARCH), BM_CLICK, 0, 0);
            EXPECT_TRUE(WaitUntil([&] {
                return ::GetWindowTextA(window, title, sizeof title) && !std::strncmp(title, "Searching - ", 12);
            }, 10000)) << "the search did not start";
            ::Sleep(static_cast<DWORD>(round * 11));   // a moment of the search, not a wait for something
        }
        if (round % 3 == 2)
            ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            ::PostMessageA(::GetDlgItem(window, IDC_CHECK_DEBUG), WM_KEYDOWN, round % 3 ? VK_RETURN : VK_ESCAPE, 1);
        DWORD code = 1;
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process.hProcess, 5000)) << "round " << round;
        EXPECT_TRUE(::GetExitCodeProcess(process.hProcess, &code) && code == 0) << "round " << round;
        ::TerminateProcess(process.hProcess, 1);   // if it is still running
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
}

}  // namespace
