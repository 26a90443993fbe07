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
    std::string name, path;
    bool operator==(const Row& other) const { return name == other.name && path == other.path; }
};

inline void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name << " @ " << row.path;
}

class DialogHarness {
public:
    explicit DialogHarness(bool recordTitles = true);   // see Titles()
    ~DialogHarness();

    HWND Dialog() const { return m_hDialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_hDialog, id); }
    std::string Text(HWND window) const;
    std::string Text(int id) const { return Text(Item(id)); }
    std::string Title() const { return Text(m_hDialog); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != 0; }
    bool Visible(int id) const { return ::IsWindowVisible(Item(id)) != 0; }
    bool Checked(int id) const { return ::SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::vector<Row> Rows() const;

    void Click(int id);        // returns when the handler has run
    void ClickAsync(int id);   // for handlers that open a modal window: returns at once
    bool WaitHandled(int id, DWORD timeoutMs = 60000) const;   // the last ClickAsync(id) handled
    long Handled(int id) const;   // clicks of `id` handled so far
    void Key(int id, WORD key);   // a key pressed while `id` has the focus
    void SelectRows(const std::vector<int>& rows);
    void AddResult(const char* name, const char* path);   // as the search worker does
    HANDLE Worker() const;   // the thread of the last search started

    // Select Drive: picks `folder` in the shell's picker; "" cancels it.
    void PickFolder(const std::string& folder);
    // What picking `folder` does, for folders Wine's picker cannot select (shares).
    void UseSearchDir(const std::string& folder);
    void SetOptions(bool debug, bool release);   // clicks the options that differ
    void Search();   // Start Search, and waits for the run's end
    std::vector<Row> SearchIn(const std::string& folder, bool debug, bool release);
    bool WaitForEnd(DWORD timeoutMs = 120000) const;   // "Start Search" and "Tolvane Cleaner"

    // Every title the dialog was given since the harness started, and when.
    std::vector<std::string> Titles(std::vector<DWORD>* ticks = nullptr) const;
    // A visible top-level window of the dialog's thread other than the dialog.
    HWND WaitForPopup(const char* title, DWORD timeoutMs = 10000) const;
    bool WaitClosed(DWORD timeoutMs) const;   // the dialog's thread has ended

private:
    static UINT UiThread(LPVOID self);

    class Driven;
    Driven* m_pDialog = nullptr;
    CWinThread* m_pThread = nullptr;
    HWND m_hDialog = nullptr;
    HHOOK m_hTitleHook = nullptr;
    HHOOK m_hCommandHook = nullptr;
    std::vector<long> m_clicked = std::vector<long>(2048);   // Handled() at the last ClickAsync
};

// Removes a folder and everything in it. It must hold no links (Wine lists a
// link to a file as a file, and deleting that deletes what it leads to).
void RemoveTree(const std::string& folder);

// Waits until `condition` holds, polling; false on time-out.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs)
{
    for (DWORD start = ::GetTickCount(); !condition(); ::Sleep(5))
        if (::GetTickCount() - start > timeoutMs)
            return false;
    return true;
}
