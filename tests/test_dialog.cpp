// The dialog beyond the trees of fuzz/fuzz.py (tests/map.md says which test covers what).
#include "DialogHarness.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>

namespace {

bool CentredOn(HWND window, const RECT& area)
{
    RECT rect;
    ::GetWindowRect(window, &rect);
    return std::abs(rect.left + rect.right - area.left - area.right) <= 1 && std::abs(rect.top + rect.bottom - area.top - area.bottom) <= 1;
}

std::vector<DWORD> Drawn(int width, int height, const std::function<void(HDC)>& draw)
{
    BITMAPINFO info = {};
    info.bmiHeader = { sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ::PatBlt(dc, 0, 0, width, height, WHITENESS);
    draw(dc);
    ::GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + width * height);
    ::DeleteObject(::SelectObject(dc, old));
    ::DeleteDC(dc);
    return pixels;
}

// The list's rows as on screen, or as the list draws them when asked now.
std::vector<DWORD> Pixels(HWND list, bool onScreen)
{
    RECT area, header;
    ::GetClientRect(list, &area);
    ::GetClientRect(ListView_GetHeader(list), &header);
    return Drawn(area.right, area.bottom - header.bottom, [&](HDC dc) {
        HDC screen = ::GetDC(list);
        ::SetViewportOrgEx(dc, 0, -header.bottom, nullptr);
        if (onScreen)
            ::BitBlt(dc, 0, header.bottom, area.right, area.bottom, screen, 0, header.bottom, SRCCOPY);
        else
            ::SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
        ::ReleaseDC(list, screen);
    });
}

TEST(Dialog, OpensCollapsedThenDetailsShowsTheListAndTheWindowMenuTheAboutBox)
{
    DialogHarness ui;
    EXPECT_EQ("Orvel Tolvane Cleaner", ui.Title());
    ExpectLaidOut(ui.Dialog(), 200);
    RECT area, start, now;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_TRUE(CentredOn(ui.Dialog(), area)) << "not centred in the work area";
    ::GetWindowRect(ui.Dialog(), &start);
    std::string seen;
    for (HWND control = ::GetWindow(ui.Dialog(), GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT))
        seen += ui.Text(control) + (::IsWindowEnabled(control) ? "" : " (disabled)") + (::IsWindowVisible(control) ? "" : " (hidden)") +
                (::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? " (ticked)" : "") + "\n";
    EXPECT_EQ("Debug Files\nRelease Files\nList1 (hidden)\nDelete All (disabled)\nDelete Selected (disabled)\n"
              "Show Details  >>\nSearch Options\nOrvel Tolvane Cleaner helps to free up space on your hard disk. It "
              "searches your local drives, and then shows Debug Folders and Release Folders. You can search on "
              "selected drive by clicking Select Drive Button.\nStart Search (disabled)\nSelect Drive\n", seen);
    EXPECT_TRUE(::GetWindowLongA(ui.Dialog(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    for (std::pair<UINT, WPARAM> asked : { std::make_pair(WM_GETICON, ICON_BIG), { WM_GETICON, ICON_SMALL }, { WM_QUERYDRAGICON, 0 } })
        EXPECT_EQ(reinterpret_cast<LRESULT>(icon), ::SendMessageA(ui.Dialog(), asked.first, asked.second, 0));

    HWND list = ui.Item(IDC_LIST_RESULTS);
    EXPECT_EQ(0x0C38, ListView_GetExtendedListViewStyle(list) & 0x0C38);
    for (int column = 0; column < 2; ++column) {   // heading, width, left-aligned
        char text[64] = "";
        LVCOLUMNA col = { LVCF_TEXT | LVCF_WIDTH | LVCF_FMT, 0, 0, text, sizeof text, 0, 0, 0 };
        ListView_GetColumn(list, column, &col);
        EXPECT_EQ(column ? "Path 250 0" : "Name 120 0", text + (" " + std::to_string(col.cx)) + " " + std::to_string(col.fmt & LVCFMT_JUSTIFYMASK));
    }
    HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
    EXPECT_EQ(1, ImageList_GetImageCount(images));
    std::vector<DWORD> listed = Drawn(16, 16, [&](HDC dc) { ImageList_Draw(images, 0, dc, 0, 0, ILD_NORMAL); });
    int unlike[2] = {};   // how far the listed image is from the shell's folder, and from its file
    for (DWORD attributes : { FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_NORMAL }) {
        SHFILEINFOA shell = {};
        ::SHGetFileInfoA("a.txt", attributes, &shell, sizeof shell, SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
        std::vector<DWORD> icon = Drawn(16, 16, [&](HDC dc) { ::DrawIconEx(dc, 0, 0, shell.hIcon, 16, 16, 0, nullptr, DI_NORMAL); });
        for (size_t i = 0; i < icon.size() * 4; ++i)
            unlike[attributes == FILE_ATTRIBUTE_NORMAL] += std::abs(reinterpret_cast<BYTE*>(icon.data())[i] -
                                                                    reinterpret_cast<BYTE*>(listed.data())[i]);
        ::DestroyIcon(shell.hIcon);
    }
    EXPECT_LT(unlike[0] * 2, unlike[1]) << "the rows' icon is not the shell's folder: " << unlike[0] << ", " << unlike[1];

    for (bool shown : { true, false, true }) {
        ui.Click(IDC_DETAILS);
        EXPECT_EQ(shown, ::IsWindowVisible(ui.Item(IDC_LIST_RESULTS)) != 0);
        EXPECT_EQ(shown ? "Hide Details <<" : "Show Details >>", ui.Text(IDC_DETAILS));
        ExpectLaidOut(ui.Dialog(), shown ? 385 : 200);
        ::GetWindowRect(ui.Dialog(), &now);
        EXPECT_TRUE(now.left == start.left && now.top == start.top) << "moved";
    }

    HMENU menu = ::GetSystemMenu(ui.Dialog(), FALSE);
    int count = ::GetMenuItemCount(menu);
    char text[128] = "";
    ::GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&About Orvel TolvaneCleaner...", text);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), ::GetMenuItemID(menu, count - 1));
    EXPECT_TRUE(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
    ::PostMessageA(ui.Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = ui.WaitForPopup("About Tolvane Cleaner");
    EXPECT_TRUE(about && ::GetWindow(about, GW_OWNER) == ui.Dialog() && !::IsWindowEnabled(ui.Dialog())) << "modal";
    ::GetWindowRect(ui.Dialog(), &now);
    EXPECT_TRUE(CentredOn(about, now)) << "the About box is not centred over the dialog";
    std::string texts;
    for (HWND control = ::GetWindow(about, GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT))
        texts += (::SendMessageA(control, STM_GETICON, 0, 0) == reinterpret_cast<LRESULT>(icon) ? "(icon)" : ui.Text(control)) + "|";
    EXPECT_EQ("(icon)|Tolvane Cleaner Version 1.0\nFrees disk space taken by Debug and Release folders.|OK|", texts);
    ::PostMessageA(::GetDlgItem(about, IDOK), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about) && ::IsWindowEnabled(ui.Dialog()); }, 5000));
}

TEST(Dialog, OptionsEnableStartASearchBeepsAndOnlyRowsEnableDelete)
{
    const char* none = "C:\\fz\\ends\\none";
    const char* found = "C:\\fz\\ends\\rows";
    RemoveTree("C:\\fz\\ends");
    for (const char* folder : { "a\\Debug", "b\\release", "c\\DEBUG", "d\\Release" })
        ::SHCreateDirectoryExA(nullptr, (std::string(found) + "\\" + folder).c_str(), nullptr);
    ::SHCreateDirectoryExA(nullptr, "C:\\fz\\ends\\none\\obj", nullptr);
    DialogHarness ui;
    enum Do { Search, Options, Pick, DeleteNothing, DeleteAll };
    const char* all = "Debug release DEBUG Release ";
    const struct { Do what; const char* folder; bool debug, release; const char* rows; bool deleteEnabled; } steps[] = {
        { Search, none, 1, 0, "", false }, { Search, found, 1, 1, all, true },
        { Options, nullptr, 0, 1, "release Release ", true }, { Options, nullptr, 1, 1, "release Release ", true },
        { Options, nullptr, 1, 0, "", true }, { Search, found, 1, 1, all, true }, { Pick, none, 1, 1, all, true },
        { DeleteNothing, nullptr, 1, 1, all, true }, { DeleteAll, nullptr, 1, 1, "", true },
        { Search, none, 1, 1, "", true }, { DeleteAll, nullptr, 1, 1, "", true }, { Options, nullptr, 1, 0, "", true },
        { Options, nullptr, 0, 0, "", true }, { Options, nullptr, 1, 1, "", true }, { Options, nullptr, 0, 0, "", true },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE("step " + std::to_string(&step - steps));
        long beeps = ui.Beeps();
        ui.SetOptions(step.debug, step.release);
        if (step.what == Search) {
            ui.PickFolder(step.folder);
            ui.Search();
            EXPECT_EQ(beeps + 1, ui.Beeps()) << "one beep at the end of the search";
        } else if (step.what == Pick) {
            ui.PickFolder(step.folder);
        } else if (step.what == DeleteNothing) {   // the pointer resting on the top row selects none
            ui.SelectRows([](const Row& row) { return row.name == "release"; });
            HWND list = ui.Item(IDC_LIST_RESULTS);
            RECT top;
            ListView_GetItemRect(list, 0, &top, LVIR_LABEL);
            for (UINT message : { WM_MOUSEMOVE, WM_MOUSEHOVER })
                ::SendMessageA(list, message, 0, MAKELPARAM(top.left + 5, (top.top + top.bottom) / 2));
            EXPECT_TRUE(ListView_GetSelectedCount(list) == 1 && ListView_GetNextItem(list, -1, LVNI_SELECTED) == 1);
            ui.SelectRows([](const Row&) { return false; });
            ui.Click(IDC_DELETE_SELECTED);
        } else if (step.what == DeleteAll) {
            bool asks = !ui.Rows().empty();
            HWND box = nullptr;   // the question, or the handler's end without one
            ui.ClickAsync(IDC_DELETE_ALL);
            ASSERT_TRUE(WaitUntil([&] { return (box = ui.WaitForPopup("Confirm Delete", 0)) || ui.WaitHandled(IDC_DELETE_ALL, 0); }, 60000));
            EXPECT_EQ(asks, box != nullptr) << "the question, with rows and only then";
            if (box) {   // its text, the question's icon, Yes and No
                EXPECT_EQ("Are you sure you want to delete?", ui.Text(::GetDlgItem(box, 0xFFFF)));
                EXPECT_TRUE(ShowsIcon(box, ::LoadIconA(nullptr, IDI_QUESTION)) && ::GetDlgItem(box, IDYES) && ::GetDlgItem(box, IDNO) && !::GetDlgItem(box, IDCANCEL));
                ::PostMessageA(::GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
            }
            ASSERT_TRUE(ui.WaitHandled(IDC_DELETE_ALL));
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA("C:\\fz\\ends\\rows\\c\\DEBUG"));
        }
        std::string rows;
        for (const Row& row : ui.Rows())
            rows += row.name + " ";
        EXPECT_EQ(step.rows, rows);
        HWND list = ui.Item(IDC_LIST_RESULTS);   // shown, and painted as it draws itself now
        ::UpdateWindow(list);
        EXPECT_TRUE(::IsWindowVisible(list) && Pixels(list, true) == Pixels(list, false)) << "the list is not painted";
        EXPECT_TRUE(step.what == Search || ui.Beeps() == beeps) << "a beep";
        EXPECT_TRUE(ui.Enabled(IDC_CHECK_DEBUG) && ui.Enabled(IDC_CHECK_RELEASE) && ui.Enabled(IDC_SELECT_DRIVE));
        EXPECT_TRUE(ui.Checked(IDC_CHECK_DEBUG) == step.debug && ui.Checked(IDC_CHECK_RELEASE) == step.release);
        EXPECT_EQ(step.debug || step.release, ui.Enabled(IDC_START_SEARCH));
        EXPECT_EQ(step.deleteEnabled, ui.Enabled(IDC_DELETE_ALL));
        EXPECT_EQ(step.deleteEnabled, ui.Enabled(IDC_DELETE_SELECTED));
    }
}

TEST(Process, EscapeEnterAndCloseEndTheProcessAlsoDuringASearch)
{
    for (int round = 0; round < 9; ++round) {
        STARTUPINFOA startup = { sizeof startup };
        PROCESS_INFORMATION process = {};
        char command[] = "C:\\Cleaner.exe /search D:\\ --delete-all";
        ASSERT_TRUE(::CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &process));
        HWND window = nullptr;
        DWORD owner = 0;
        ASSERT_TRUE(WaitUntil([&] {
            window = ::FindWindowA(nullptr, "Orvel Tolvane Cleaner");
            return ::GetWindowThreadProcessId(window, &owner) && owner == process.dwProcessId && ::IsWindowVisible(window);
        }, 60000));
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window, IDC_START_SEARCH))) << "as if started without arguments";
        if (round > 0) {   // the first round closes it with no search run; the others once the run has entered `round` folders
            ::SendMessageA(::GetDlgItem(window, IDC_CHECK_DEBUG), BM_CLICK, 0, 0);
            ::SendMessageA(::GetDlgItem(window, IDC_START_SEARCH), BM_CLICK, 0, 0);
            char title[MAX_PATH + 20] = "", last[MAX_PATH + 20] = "";
            int entered = 0;
            ASSERT_TRUE(WaitUntil([&] {
                ::GetWindowTextA(window, title, sizeof title);
                entered += std::strncmp(title, "Searching - ", 12) == 0 && std::strcmp(title, last) && std::strcpy(last, title);
                return entered >= round;
            }, 60000)) << "round " << round << ": no search ran";
            char button[32] = "";
            ::GetWindowTextA(::GetDlgItem(window, IDC_START_SEARCH), button, sizeof button);
            ASSERT_STREQ("Stop Search", button) << "round " << round << ": the search ended before the key";
        }
        if (round % 3 == 2)
            ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            ::PostMessageA(::GetDlgItem(window, IDC_CHECK_DEBUG), WM_KEYDOWN, round % 3 ? VK_RETURN : VK_ESCAPE, 1);
        DWORD code = 1;
        EXPECT_TRUE(::WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0 &&
                    ::GetExitCodeProcess(process.hProcess, &code) && code == 0) << "round " << round;
        ::TerminateProcess(process.hProcess, 1);   // if it is still running
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
}

TEST(Drives, EveryLocalDriveIsSearchedNetworkDrivesAreNotAndWindowsIsSkippedOnEach)
{
    const std::string local = "ADEFGHIJKLMOZ";
    for (char letter : local + "N")
        ::CreateDirectoryA((std::string(1, letter) + ":\\Debug").c_str(), nullptr);
    ::CreateDirectoryW(L"E:\\\u65E5\u672C", nullptr);   // "日本"
    ::CreateDirectoryW(L"E:\\\u65E5\u672C\\Debug", nullptr);
    ::SHCreateDirectoryExA(nullptr, "C:\\twice\\Debug\\Release", nullptr);
    char windows[MAX_PATH];
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string inside = std::string(windows) + "\\cleaner-test";
    ::SHCreateDirectoryExA(nullptr, (inside + "\\Debug").c_str(), nullptr);

    DialogHarness ui;
    std::vector<Row> rows = ui.SearchIn(inside, true, false);
    EXPECT_TRUE(rows.size() == 1 && rows[0].path == inside + "\\Debug") << "a folder picked inside Windows is searched";
    rows = ui.SearchIn("E:\\", true, false);
    EXPECT_TRUE(rows.size() == 1 && rows[0].path == "E:\\Debug") << "a drive's root picked is searched alone";
    PIDLIST_ABSOLUTE computer = nullptr, drive = ::ILCreateFromPathA("E:\\");
    ::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
    EXPECT_TRUE(!ui.Pick(L"", computer, false) && ui.Pick(L"", drive, false)) << "OK, on This PC and on a drive";
    const struct { std::wstring folder; LPCITEMIDLIST item; const char* reason; } picks[] = {
        { L"E:\\\u65E5\u672C", nullptr, "its path holds characters that the system's code page cannot show" },
        { L"", computer, "it is not a folder of the file system, or its path is too long" }, { L"", nullptr, nullptr } };   // last: cancelled after a folder
    for (const auto& pick : picks) {
        if (!pick.reason)
            ui.PickFolder(inside);
        ui.Pick(pick.folder, pick.item, pick.reason != nullptr);
        if (pick.reason) {
            HWND box = ui.WaitForPopup("Tolvane Cleaner", 60000);
            ASSERT_TRUE(box) << "a folder that cannot be searched was taken in silence";
            EXPECT_EQ(std::string("The folder you picked cannot be searched: ") + pick.reason +
                      ".\n\nThe search will cover all local drives.", ui.Text(::GetDlgItem(box, 0xFFFF)));
            ::PostMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            ASSERT_TRUE(ui.WaitHandled(IDC_SELECT_DRIVE));
        }
        ui.Search();
        std::set<std::string> paths;
        for (const Row& row : ui.Rows()) {
            paths.insert(row.path);
            EXPECT_EQ(std::string::npos, row.path.find(std::string(windows + 2) + "\\")) << row.path;
        }
        for (char letter : local)
            EXPECT_EQ(1u, paths.count(std::string(1, letter) + ":\\Debug")) << letter << ": was not searched";
        EXPECT_EQ(0u, paths.count("N:\\Debug")) << "the network drive was searched";
    }
    ::ILFree(computer);
    ::ILFree(drive);

    ui.SetOptions(true, true);
    ui.Search();
    rows = ui.Rows();
    size_t asked = ui.Requests().size();
    ASSERT_EQ(4u, ui.SelectRows([](const Row& row) { return row.path.find(":\\twice\\") == 1; }))
        << "C:\\twice\\Debug and its Release folder, through C: and Y:";
    ui.Click(IDC_DELETE_SELECTED);
    std::vector<ShellRequest> requests = ui.Requests();
    EXPECT_TRUE(requests.size() == asked + 1 && requests.back().paths == std::vector<std::string>{ "C:\\twice\\Debug" });
    EXPECT_EQ(rows.size() - 4, ui.Rows().size());

    const std::string prefix = std::getenv("WINEPREFIX");   // E:\ answers another folder of its volume; E: leads to F:'s folder; it left
    for (std::string now : { "moved", "/drive_f", "" }) {
        if (now == "moved")
            ui.Disguise(now, "E:\\");
        else
            ASSERT_TRUE(DefineDrive('e', now.empty() ? now : prefix + now));
        ui.SelectRows([](const Row& row) { return row.path == "E:\\Debug"; });
        EXPECT_EQ(std::string("1 folder was not deleted:\n\nE:\\Debug\n    ") +
                  (!now.empty() ? "its drive now leads to another volume or folder" : "the drive or share it was found on is no longer there"),
                  ui.Delete(IDC_DELETE_SELECTED));
        EXPECT_EQ(rows.size() - 4, ui.Rows().size());
    }
    EXPECT_TRUE(DefineDrive('e', prefix + "/drive_e") && ::GetFileAttributesA("E:\\Debug") != INVALID_FILE_ATTRIBUTES &&
                ::GetFileAttributesA("F:\\Debug") != INVALID_FILE_ATTRIBUTES);
}

}  // namespace
