// Runs the real main dialog on a UI thread of its own and drives it from the
// test thread the way a person would: clicks, keys, the folder picker, and
// reading back what the window shows.
#pragma once
#include "app/CleanerDlg.h"
#include "res/resource.h"
#include <ostream>
#include <string>
#include <vector>

struct Row {
    std::string name;
    std::string path;
    bool operator==(const Row& other) const { return name == other.name && path == other.path; }
};

inline void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name << " @ " << row.path;
}

class DialogHarness {
public:
    // recordTitles: log every title the dialog is given (see Titles()).
    explicit DialogHarness(bool recordTitles = true);
    ~DialogHarness();

    HWND Dialog() const { return m_hDialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_hDialog, id); }
    std::string Text(HWND window) const;
    std::string Text(int id) const { return Text(Item(id)); }
    std::string Title() const { return Text(m_hDialog); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != 0; }
    bool Visible(int id) const { return ::IsWindowVisible(Item(id)) != 0; }
    bool Checked(int id) const { return ::SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    RECT WindowRect() const;

    // A click that returns when the handler has run.
    void Click(int id);
    // A click whose handler may open a modal window: returns at once.
    void ClickAsync(int id);
    // Waits until the handler of the last ClickAsync(id) has returned.
    bool WaitHandled(int id, DWORD timeoutMs = 60000) const;
    // How many clicks of `id` the dialog has handled so far.
    long Handled(int id) const;
    void Key(int id, WORD key);   // a key pressed while `id` has the focus

    std::vector<Row> Rows() const;
    void SelectRows(const std::vector<int>& rows);
    void AddResult(const char* name, const char* path);   // as the search worker does
    HANDLE Worker() const;   // the thread of the last search started

    // Select Drive: picks `folder` in the shell's picker, or cancels it.
    void PickFolder(const std::string& folder);
    void CancelPicker();
    // What picking `folder` does, for folders the platform's picker cannot
    // select (Wine's cannot select a network share).
    void UseSearchDir(const std::string& folder);
    // Ticks the options as given (clicking only those that differ).
    void SetOptions(bool debug, bool release);
    // Start Search, then waits for the run's end (the short title).
    void Search();
    // Picks `folder`, sets the options and searches.
    std::vector<Row> SearchIn(const std::string& folder, bool debug, bool release);
    // Waits for the run to end: "Start Search" and the title "Tolvane Cleaner".
    bool WaitForEnd(DWORD timeoutMs = 120000) const;

    // Every title the dialog was given since the harness started (and when).
    std::vector<std::string> Titles(std::vector<DWORD>* ticks = nullptr) const;

    // A visible top-level window of the dialog's thread other than the dialog.
    HWND WaitForPopup(const char* title, DWORD timeoutMs = 10000) const;
    // True when the dialog thread has ended (the dialog was closed).
    bool WaitClosed(DWORD timeoutMs) const;

private:
    static UINT UiThread(LPVOID self);

    class Driven;
    Driven* m_pDialog = nullptr;
    CWinThread* m_pThread = nullptr;
    HANDLE m_hReady = nullptr;
    HWND m_hDialog = nullptr;
    HHOOK m_hTitleHook = nullptr;
    HHOOK m_hCommandHook = nullptr;
    std::vector<long> m_clicked = std::vector<long>(2048);   // handled-count at the last ClickAsync
};

// Waits until `condition` holds, polling; false on time-out.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::Sleep(5);
    }
    return true;
}
