// The main dialog as it opens, the details toggle, the result list, closing,
// and the window menu's About box.
#include "DialogHarness.h"
#include <gtest/gtest.h>

namespace {

// At 96 DPI the dialog font gives 6 x 13 base units, the metrics the window
// sizes are laid out for: the window must measure exactly as designed. At any
// other DPI it must show every control whole.
bool DesignMetrics()
{
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi == 96;
}

// Every control of `ids` lies wholly inside the dialog's client area.
void ExpectWhole(HWND dialog, std::initializer_list<int> ids)
{
    RECT client;
    ::GetClientRect(dialog, &client);
    ::MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    for (int id : ids) {
        RECT control;
        ::GetWindowRect(::GetDlgItem(dialog, id), &control);
        EXPECT_GE(control.left, client.left) << "control " << id;
        EXPECT_LE(control.right, client.right) << "control " << id << " is cut off on the right";
        EXPECT_LE(control.bottom, client.bottom) << "control " << id << " is cut off at the bottom";
    }
}

void ExpectSize(HWND dialog, int height)
{
    RECT window;
    ::GetWindowRect(dialog, &window);
    if (DesignMetrics()) {
        EXPECT_EQ(378, window.right - window.left);
        EXPECT_EQ(height, window.bottom - window.top);
    }
}

TEST(Dialog, FreshStartShowsTheCollapsedWindowWithEveryControlInItsInitialState)
{
    DialogHarness ui;
    EXPECT_EQ("Orvel Tolvane Cleaner", ui.Title());
    RECT window = ui.WindowRect();
    ExpectSize(ui.Dialog(), 200);

    RECT area;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_NEAR((area.left + area.right) / 2, (window.left + window.right) / 2, 1);
    EXPECT_NEAR((area.top + area.bottom) / 2, (window.top + window.bottom) / 2, 1);

    EXPECT_FALSE(ui.Checked(IDC_CHECK_DEBUG));
    EXPECT_FALSE(ui.Checked(IDC_CHECK_RELEASE));
    EXPECT_TRUE(ui.Enabled(IDC_CHECK_DEBUG));
    EXPECT_TRUE(ui.Enabled(IDC_CHECK_RELEASE));
    EXPECT_TRUE(ui.Enabled(IDC_SELECT_DRIVE));
    EXPECT_TRUE(ui.Enabled(IDC_DETAILS));
    EXPECT_FALSE(ui.Enabled(IDC_START_SEARCH));
    EXPECT_FALSE(ui.Enabled(IDC_DELETE_ALL));
    EXPECT_FALSE(ui.Enabled(IDC_DELETE_SELECTED));
    EXPECT_FALSE(ui.Visible(IDC_LIST_RESULTS));
    EXPECT_EQ("Show Details  >>", ui.Text(IDC_DETAILS));
    EXPECT_EQ("Debug Files", ui.Text(IDC_CHECK_DEBUG));
    EXPECT_EQ("Release Files", ui.Text(IDC_CHECK_RELEASE));
    EXPECT_EQ("Start Search", ui.Text(IDC_START_SEARCH));

    ExpectWhole(ui.Dialog(), { IDC_CHECK_DEBUG, IDC_CHECK_RELEASE, IDC_DELETE_ALL, IDC_DELETE_SELECTED,
                               IDC_DETAILS, IDC_START_SEARCH, IDC_SELECT_DRIVE });

    EXPECT_TRUE(::GetWindowLongA(ui.Dialog(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(::SendMessageA(ui.Dialog(), WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(::SendMessageA(ui.Dialog(), WM_GETICON, ICON_SMALL, 0));
}

TEST(Dialog, DetailsButtonShowsAndHidesTheListAndKeepsTheTopLeftCorner)
{
    DialogHarness ui;
    RECT before = ui.WindowRect();

    ui.Click(IDC_DETAILS);
    RECT expanded = ui.WindowRect();
    EXPECT_TRUE(ui.Visible(IDC_LIST_RESULTS));
    EXPECT_EQ("Hide Details <<", ui.Text(IDC_DETAILS));
    ExpectSize(ui.Dialog(), 385);
    ExpectWhole(ui.Dialog(), { IDC_LIST_RESULTS });
    EXPECT_EQ(before.left, expanded.left);
    EXPECT_EQ(before.top, expanded.top);

    ui.Click(IDC_DETAILS);
    RECT collapsed = ui.WindowRect();
    EXPECT_FALSE(ui.Visible(IDC_LIST_RESULTS));
    EXPECT_EQ("Show Details >>", ui.Text(IDC_DETAILS));
    ExpectSize(ui.Dialog(), 200);
    EXPECT_EQ(before.left, collapsed.left);
    EXPECT_EQ(before.top, collapsed.top);
}

TEST(Dialog, ResultListHasTwoColumnsTheFolderIconAndRowsInTheOrderAdded)
{
    DialogHarness ui;
    HWND list = ui.Item(IDC_LIST_RESULTS);
    LONG style = ::GetWindowLongA(list, GWL_STYLE);
    EXPECT_EQ(LVS_REPORT, style & LVS_TYPEMASK);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_FALSE(style & LVS_SINGLESEL);
    EXPECT_FALSE(style & LVS_SHAREIMAGELISTS);
    EXPECT_FALSE(style & (LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_EDITLABELS));
    DWORD extended = static_cast<DWORD>(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(0x0C38u, extended & 0x0C38u);

    const char* headings[] = { "Name", "Path" };
    const int widths[] = { 120, 250 };
    for (int column = 0; column < 2; ++column) {
        char text[64] = "";
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.pszText = text;
        col.cchTextMax = sizeof text;
        ASSERT_TRUE(::SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&col)));
        EXPECT_STREQ(headings[column], text);
        EXPECT_EQ(widths[column], col.cx);
        EXPECT_EQ(LVCFMT_LEFT, col.fmt & LVCFMT_JUSTIFYMASK);
    }
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_TRUE(images);
    EXPECT_EQ(1, ImageList_GetImageCount(images));
    EXPECT_TRUE(ui.Rows().empty());

    ui.AddResult("Debug", "C:\\a\\Debug");
    ui.AddResult("RELEASE", "C:\\b\\RELEASE");
    ui.AddResult("Debug", "C:\\c\\Debug");
    std::vector<Row> expected = { { "Debug", "C:\\a\\Debug" }, { "RELEASE", "C:\\b\\RELEASE" },
                                  { "Debug", "C:\\c\\Debug" } };
    EXPECT_EQ(expected, ui.Rows());
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = 1;
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(0, item.iImage);

    ui.SelectRows({ 0, 2 });
    EXPECT_EQ(2, ::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0)) << "several rows can be selected";
}

TEST(Dialog, EscapeEnterAndCloseEachCloseTheDialog)
{
    {
        DialogHarness ui;
        ui.Key(IDC_CHECK_DEBUG, VK_ESCAPE);
        EXPECT_TRUE(ui.WaitClosed(5000)) << "Escape";
    }
    {
        DialogHarness ui;
        ui.Key(IDC_CHECK_DEBUG, VK_RETURN);
        EXPECT_TRUE(ui.WaitClosed(5000)) << "Enter on a check box";
    }
    {
        DialogHarness ui;
        ::PostMessageA(ui.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(ui.WaitClosed(5000)) << "Close from the window menu";
    }
}

TEST(Dialog, WindowMenuOpensTheAboutBoxOverTheDialog)
{
    DialogHarness ui;
    HMENU menu = ::GetSystemMenu(ui.Dialog(), FALSE);
    int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), ::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
    char text[128] = "";
    ::GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&About Orvel TolvaneCleaner...", text);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), ::GetMenuItemID(menu, count - 1));

    for (WORD closeWith : { static_cast<WORD>(IDOK), static_cast<WORD>(VK_ESCAPE) }) {
        ::PostMessageA(ui.Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        HWND about = ui.WaitForPopup("About Tolvane Cleaner");
        ASSERT_TRUE(about);
        EXPECT_FALSE(::IsWindowEnabled(ui.Dialog())) << "the main dialog is disabled under the About box";
        EXPECT_EQ(ui.Dialog(), ::GetWindow(about, GW_OWNER));
        RECT box, main;
        ::GetWindowRect(about, &box);
        ::GetWindowRect(ui.Dialog(), &main);
        EXPECT_NEAR((main.left + main.right) / 2, (box.left + box.right) / 2, 1);
        EXPECT_NEAR((main.top + main.bottom) / 2, (box.top + box.bottom) / 2, 1);
        if (closeWith == IDOK)
            ::PostMessageA(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        else
            ::PostMessageA(::GetDlgItem(about, IDOK), WM_KEYDOWN, VK_ESCAPE, 1);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }, 5000));
        EXPECT_TRUE(::IsWindowEnabled(ui.Dialog()));
    }
    EXPECT_FALSE(ui.WaitClosed(0)) << "the About box leaves the program running";
}

}  // namespace
