// The real program, started as a process of its own: closing it by any means
// ends the process, also in the middle of a search; arguments change nothing.
#include "DialogHarness.h"
#include "TestTree.h"
#include <gtest/gtest.h>

namespace {

struct Program {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;

    explicit Program(const char* arguments = "")
    {
        STARTUPINFOA startup = { sizeof startup };
        std::string command = std::string("C:\\Cleaner.exe ") + arguments;
        EXPECT_TRUE(::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\",
                                     &startup, &process))
            << "error " << ::GetLastError();
        ::WaitForInputIdle(process.hProcess, 10000);
        WaitUntil([this] {
            window = ::FindWindowA(nullptr, "Orvel Tolvane Cleaner");
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            return window && owner == process.dwProcessId && ::IsWindowVisible(window);
        }, 10000);
    }
    ~Program()
    {
        if (::WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0)
            ::TerminateProcess(process.hProcess, 1);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    HWND Item(int id) const { return ::GetDlgItem(window, id); }
    // Waits for the process to end; its exit code, or -1 on time-out.
    long Ended(DWORD timeoutMs) const
    {
        if (::WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(process.hProcess, &code);
        return static_cast<long>(code);
    }
    std::string Title() const
    {
        char text[512] = "";
        ::GetWindowTextA(window, text, sizeof text);
        return text;
    }
};

TEST(Process, EscapeEnterAndCloseEndTheProcess)
{
    {
        Program program;
        ASSERT_TRUE(program.window);
        ::PostMessageA(program.Item(IDC_CHECK_DEBUG), WM_KEYDOWN, VK_ESCAPE, 1);
        EXPECT_EQ(0, program.Ended(5000)) << "Escape";
    }
    {
        Program program;
        ASSERT_TRUE(program.window);
        ::PostMessageA(program.Item(IDC_CHECK_DEBUG), WM_KEYDOWN, VK_RETURN, 1);
        EXPECT_EQ(0, program.Ended(5000)) << "Enter";
    }
    {
        Program program;
        ASSERT_TRUE(program.window);
        ::PostMessageA(program.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(0, program.Ended(5000)) << "Close";
    }
}

TEST(Process, ArgumentsChangeNothing)
{
    Program program("/search D:\\ --delete-all");
    ASSERT_TRUE(program.window);
    RECT rect;
    ::GetWindowRect(program.window, &rect);
    Program plain;
    RECT plainRect;
    ::GetWindowRect(plain.window, &plainRect);
    EXPECT_EQ(plainRect.right - plainRect.left, rect.right - rect.left);
    EXPECT_EQ(plainRect.bottom - plainRect.top, rect.bottom - rect.top);
    EXPECT_FALSE(::IsWindowEnabled(program.Item(IDC_START_SEARCH)));
    EXPECT_FALSE(::IsWindowVisible(program.Item(IDC_LIST_RESULTS)));
}

TEST(Process, EscapeDuringASearchEndsTheProcessCleanly)
{
    BigTree();
    DWORD slowest = 0;
    for (int round = 0; round < 20; ++round) {
        Program program;
        ASSERT_TRUE(program.window);
        ::SendMessageA(program.Item(IDC_CHECK_DEBUG), BM_CLICK, 0, 0);
        ::SendMessageA(program.Item(IDC_START_SEARCH), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return program.Title().rfind("Searching - ", 0) == 0; }, 10000));
        ::Sleep(static_cast<DWORD>(round * 11));
        DWORD start = ::GetTickCount();
        ::PostMessageA(program.Item(IDC_CHECK_DEBUG), WM_KEYDOWN, VK_ESCAPE, 1);
        EXPECT_EQ(0, program.Ended(5000)) << "round " << round;
        slowest = std::max(slowest, ::GetTickCount() - start);
    }
    EXPECT_LT(slowest, 1000u) << "the slowest close took " << slowest << " ms";
    printf("slowest close during a search: %lu ms\n", static_cast<unsigned long>(slowest));
}

}  // namespace
