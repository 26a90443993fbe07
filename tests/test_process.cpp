// The real program, started as a process of its own: closing it by any means
// ends the process with code 0, also in the middle of a search; arguments
// change nothing.
#include "DialogHarness.h"
#include <gtest/gtest.h>

namespace {

struct Program {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;

    explicit Program(const char* arguments = "")
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string command = std::string("C:\\Cleaner.exe ") + arguments;
        EXPECT_TRUE(::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup,
                                     &process)) << "error " << ::GetLastError();
        WaitUntil([this] {
            window = ::FindWindowA(nullptr, "Orvel Tolvane Cleaner");
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            return window && owner == process.dwProcessId && ::IsWindowVisible(window);
        }, 10000);
    }
    ~Program()
    {
        ::TerminateProcess(process.hProcess, 1);   // when it is still running
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    HWND Item(int id) const { return ::GetDlgItem(window, id); }
    long ExitCode(DWORD timeoutMs) const   // -1: still running
    {
        DWORD code = 0;
        if (::WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -1;
        ::GetExitCodeProcess(process.hProcess, &code);
        return static_cast<long>(code);
    }
};

// Each way to close, idle and at moments of a search of C: (which holds the
// 10,000 folders of C:\t\big).
TEST(Process, EscapeEnterAndCloseEndTheProcessAlsoDuringASearch)
{
    for (int round = 0; round < 12; ++round) {
        Program program;
        ASSERT_TRUE(program.window);
        if (round >= 3) {
            ::SendMessageA(program.Item(IDC_CHECK_DEBUG), BM_CLICK, 0, 0);
            ::SendMessageA(program.Item(IDC_START_SEARCH), BM_CLICK, 0, 0);
            ASSERT_TRUE(WaitUntil([&] {
                char title[64] = "";
                ::GetWindowTextA(program.window, title, sizeof title);
                return std::string(title).rfind("Searching - ", 0) == 0;
            }, 10000));
            ::Sleep(static_cast<DWORD>(round * 11));   // a moment of the search, not a wait for something
        }
        if (round % 3 == 2)
            ::PostMessageA(program.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            ::PostMessageA(program.Item(IDC_CHECK_DEBUG), WM_KEYDOWN, round % 3 ? VK_RETURN : VK_ESCAPE, 1);
        EXPECT_EQ(0, program.ExitCode(5000)) << "round " << round;
    }
}

TEST(Process, ArgumentsChangeNothing)
{
    Program program("/search D:\\ --delete-all"), plain;
    RECT rect, plainRect;
    ::GetWindowRect(program.window, &rect);
    ::GetWindowRect(plain.window, &plainRect);
    EXPECT_EQ(plainRect.right - plainRect.left, rect.right - rect.left);
    EXPECT_EQ(plainRect.bottom - plainRect.top, rect.bottom - rect.top);
    EXPECT_FALSE(::IsWindowEnabled(program.Item(IDC_START_SEARCH)));
    EXPECT_FALSE(::IsWindowVisible(program.Item(IDC_LIST_RESULTS)));
}

}  // namespace
