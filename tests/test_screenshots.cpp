// Pictures of what a person sees, for looking at (written as BMP files to
// C:\shots; the test command turns them into PNG files in the build folder).
#include "DialogHarness.h"
#include "TestTree.h"
#include <gtest/gtest.h>

namespace {

// Saves the screen rectangle `rect` as a 24-bit BMP file.
bool SaveScreen(const RECT& rect, const char* path)
{
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);

    BITMAPINFOHEADER info = { sizeof info, width, height, 1, 24, BI_RGB };
    int stride = ((width * 3 + 3) / 4) * 4;
    std::string pixels(static_cast<size_t>(stride) * static_cast<size_t>(height), '\0');
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), &pixels[0],
                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    BITMAPFILEHEADER file = { 0x4D42, static_cast<DWORD>(sizeof file + sizeof info + pixels.size()), 0, 0,
                              sizeof file + sizeof info };
    HANDLE out = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    bool ok = out != INVALID_HANDLE_VALUE && ::WriteFile(out, &file, sizeof file, &written, nullptr) &&
              ::WriteFile(out, &info, sizeof info, &written, nullptr) &&
              ::WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    ::CloseHandle(out);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

RECT Grown(HWND window, int by)
{
    RECT rect;
    ::GetWindowRect(window, &rect);
    ::InflateRect(&rect, by, by);
    return rect;
}

TEST(Screenshots, CollapsedExpandedAboutAndMinimised)
{
    ::CreateDirectoryA("C:\\shots", nullptr);
    DialogHarness ui;
    ::Sleep(300);
    EXPECT_TRUE(SaveScreen(Grown(ui.Dialog(), 4), "C:\\shots\\collapsed.bmp"));
    ui.Click(IDC_DETAILS);
    ui.AddResult("Debug", "C:\\Work\\Tool\\Debug");
    ui.AddResult("Release", "C:\\Work\\Tool\\Release");
    ui.AddResult("DEBUG", "C:\\Work\\Old\\DEBUG");
    ::Sleep(300);
    EXPECT_TRUE(SaveScreen(Grown(ui.Dialog(), 4), "C:\\shots\\expanded.bmp"));

    // During a search: the caption shows a folder entered at most a tick ago.
    ui.PickFolder(BigTree());
    ui.SetOptions(true, false);
    ui.Click(IDC_START_SEARCH);
    WaitUntil([&] { return ui.Rows().size() >= 20; }, 30000);
    EXPECT_TRUE(SaveScreen(Grown(ui.Dialog(), 4), "C:\\shots\\searching.bmp"));
    ui.Click(IDC_START_SEARCH);
    ui.WaitForEnd();

    ::PostMessageA(ui.Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = ui.WaitForPopup("About Tolvane Cleaner");
    ASSERT_TRUE(about);
    ::Sleep(300);
    EXPECT_TRUE(SaveScreen(Grown(about, 4), "C:\\shots\\about.bmp"));
    ::PostMessageA(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    WaitUntil([&] { return !::IsWindow(about); }, 5000);

    ::PostMessageA(ui.Dialog(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    WaitUntil([&] { return ::IsIconic(ui.Dialog()) != 0; }, 5000);
    ::Sleep(300);
    RECT screen = { 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) };
    EXPECT_TRUE(SaveScreen(screen, "C:\\shots\\minimised.bmp"));
    EXPECT_EQ(reinterpret_cast<LRESULT>(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))),
              ::SendMessageA(ui.Dialog(), WM_QUERYDRAGICON, 0, 0));
}

}  // namespace
