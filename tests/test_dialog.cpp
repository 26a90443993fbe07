// The main dialog as it opens, the details toggle and the window menu's About
// box. At 96 DPI the dialog font gives the metrics the window sizes are laid
// out for, and the window must measure exactly as designed; at any other DPI
// (the drives prefix has 120) it must show every control whole.
#include "DialogHarness.h"
#include <gtest/gtest.h>

namespace {

void ExpectLaidOut(HWND dialog, int height, std::initializer_list<int> ids)
{
    HDC screen = ::GetDC(nullptr);
    bool designMetrics = ::GetDeviceCaps(screen, LOGPIXELSY) == 96;
    ::ReleaseDC(nullptr, screen);
    RECT window, client;
    ::GetWindowRect(dialog, &window);
    if (designMetrics) {
        EXPECT_EQ(378, window.right - window.left);
        EXPECT_EQ(height, window.bottom - window.top);
    }
    ::GetClientRect(dialog, &client);
    ::MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    for (int id : ids) {
        RECT control;
        ::GetWindowRect(::GetDlgItem(dialog, id), &control);
        EXPECT_TRUE(control.left >= client.left && control.right <= client.right && control.bottom <= client.bottom)
            << "control " << id << " is cut off";
    }
}

TEST(Dialog, FreshStartShowsTheCollapsedWindowWithEveryControlInItsInitialState)
{
    DialogHarness ui;
    EXPECT_EQ("Orvel Tolvane Cleaner", ui.Title());
    ExpectLaidOut(ui.Dialog(), 200, { IDC_CHECK_DEBUG, IDC_CHECK_RELEASE, IDC_DELETE_ALL, IDC_DELETE_SELECTED,
                                      IDC_DETAILS, IDC_START_SEARCH, IDC_SELECT_DRIVE });
    RECT window, area;
    ::GetWindowRect(ui.Dialog(), &window);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_NEAR(area.left + area.right, window.left + window.right, 2) << "centred";
    EXPECT_NEAR(area.top + area.bottom, window.top + window.bottom, 2) << "centred";

    const struct { int id; const char* text; bool enabled; } controls[] = {
        { IDC_CHECK_DEBUG, "Debug Files", true },  { IDC_CHECK_RELEASE, "Release Files", true },
        { IDC_SELECT_DRIVE, nullptr, true },       { IDC_DETAILS, "Show Details  >>", true },
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

    // The list: a report, several rows selectable, unsorted, two columns, the
    // shell's folder icon in an image list of its own.
    HWND list = ui.Item(IDC_LIST_RESULTS);
    LONG style = ::GetWindowLongA(list, GWL_STYLE);
    EXPECT_EQ(LVS_REPORT | LVS_SHOWSELALWAYS, style & (LVS_TYPEMASK | LVS_SHOWSELALWAYS | LVS_SINGLESEL |
                                                      LVS_SHAREIMAGELISTS | LVS_SORTASCENDING |
                                                      LVS_SORTDESCENDING | LVS_EDITLABELS));
    EXPECT_EQ(0x0C38, ::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 0x0C38);
    const struct { const char* heading; int width; } columns[] = { { "Name", 120 }, { "Path", 250 } };
    for (int column = 0; column < 2; ++column) {
        char text[64] = "";
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.pszText = text;
        col.cchTextMax = sizeof text;
        ASSERT_TRUE(::SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&col)));
        EXPECT_STREQ(columns[column].heading, text);
        EXPECT_EQ(columns[column].width, col.cx);
        EXPECT_EQ(LVCFMT_LEFT, col.fmt & LVCFMT_JUSTIFYMASK);
    }
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    EXPECT_EQ(1, ImageList_GetImageCount(images));
    EXPECT_TRUE(ui.Rows().empty());
}

TEST(Dialog, DetailsButtonShowsAndHidesTheListAndKeepsTheTopLeftCorner)
{
    DialogHarness ui;
    RECT start, now;
    ::GetWindowRect(ui.Dialog(), &start);
    const struct { bool shown; const char* text; int height; } steps[] = {
        { true, "Hide Details <<", 385 }, { false, "Show Details >>", 200 }, { true, "Hide Details <<", 385 },
    };
    for (const auto& step : steps) {
        ui.Click(IDC_DETAILS);
        EXPECT_EQ(step.shown, ui.Visible(IDC_LIST_RESULTS));
        EXPECT_EQ(step.text, ui.Text(IDC_DETAILS));
        ExpectLaidOut(ui.Dialog(), step.height, { IDC_DETAILS, step.shown ? IDC_LIST_RESULTS : IDC_DETAILS });
        ::GetWindowRect(ui.Dialog(), &now);
        EXPECT_TRUE(now.left == start.left && now.top == start.top) << "moved";
    }
}

TEST(Dialog, WindowMenuOpensTheAboutBoxOverTheDialog)
{
    DialogHarness ui;
    HMENU menu = ::GetSystemMenu(ui.Dialog(), FALSE);
    int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_TRUE(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
    char text[128] = "";
    ::GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&About Orvel TolvaneCleaner...", text);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), ::GetMenuItemID(menu, count - 1));

    for (UINT closeWith : { static_cast<UINT>(BM_CLICK), static_cast<UINT>(WM_KEYDOWN) }) {   // OK, Escape
        ::PostMessageA(ui.Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        HWND about = ui.WaitForPopup("About Tolvane Cleaner");
        ASSERT_TRUE(about);
        EXPECT_FALSE(::IsWindowEnabled(ui.Dialog())) << "the main dialog is disabled under the About box";
        EXPECT_EQ(ui.Dialog(), ::GetWindow(about, GW_OWNER));
        RECT box, main;
        ::GetWindowRect(about, &box);
        ::GetWindowRect(ui.Dialog(), &main);
        EXPECT_NEAR(main.left + main.right, box.left + box.right, 2) << "centred over the dialog";
        EXPECT_NEAR(main.top + main.bottom, box.top + box.bottom, 2) << "centred over the dialog";
        ::PostMessageA(::GetDlgItem(about, IDOK), closeWith, VK_ESCAPE, 1);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }, 5000));
        EXPECT_TRUE(::IsWindowEnabled(ui.Dialog()));
    }
    EXPECT_FALSE(ui.WaitClosed(0)) << "the About box leaves the program running";
}

}  // namespace
