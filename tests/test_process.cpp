// The real program, started as a process of its own (with arguments, which
// change nothing): Escape, Enter and Close each end it with code 0, also in
// the middle of a search of C: (which holds the 10,000 folders of C:\t\big).
#include "DialogHarness.h"
#include <gtest/gtest.h>

namespace {

TEST(Process, EscapeEnterAndCloseEndTheProcessAlsoDuringASearch)
{
    for (int round = 0; round < 12; ++round) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        char command[] = "C:\\Cleaner.exe /search D:\\ --delete-all";
        ASSERT_TRUE(::CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &process));
        HWND window = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            DWORD owner = 0;
            window = ::FindWindowA(nullptr, "Orvel Tolvane Cleaner");
            ::GetWindowThreadProcessId(window, &owner);
            return owner == process.dwProcessId && ::IsWindowVisible(window);
        }, 10000));
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window, IDC_START_SEARCH)) ||
                     ::IsWindowVisible(::GetDlgItem(window, IDC_LIST_RESULTS))) << "as if started without arguments";
        char title[64] = "";
        if (round >= 3) {
            ::SendMessageA(::GetDlgItem(window, IDC_CHECK_DEBUG), BM_CLICK, 0, 0);
            ::SendMessageA(::GetDlgItem(window, IDC_START_SEARCH), BM_CLICK, 0, 0);
            EXPECT_TRUE(WaitUntil([&] {
                ::GetWindowTextA(window, title, sizeof title);
                return std::string(title).rfind("Searching - ", 0) == 0;
            }, 10000));
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
