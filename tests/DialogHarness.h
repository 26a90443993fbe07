// Runs the real main dialog on a UI thread of its own and drives it as a person would.
#pragma once
#include "app/CleanerDlg.h"
#include "res/resource.h"
#include <functional>
#include <string>
#include <vector>

struct Row { std::string name, path; };
struct ShellRequest { std::vector<std::string> paths; UINT flags; std::string title; };   // title: the progress title

class DrivenDialog : public CCleanerDlg {   // the members the tests and the benchmark reach
public:
    using CCleanerDlg::AddResult;
    using CCleanerDlg::m_bWalking;
    using CCleanerDlg::m_pSearchThread;
    using CCleanerDlg::m_strSearchDir;
    using CCleanerDlg::m_bUseSearchDir;
};

class DialogHarness {
public:
    DialogHarness();
    ~DialogHarness();

    HWND Dialog() const { return m_hDialog; }
    DrivenDialog& Dlg() const { return *m_pDialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_hDialog, id); }
    std::string Text(HWND window) const;
    std::string Text(int id) const { return Text(Item(id)); }
    std::string Title() const { return Text(m_hDialog); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != 0; }
    bool Checked(int id) const { return ::SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::vector<Row> Rows() const;

    void Click(int id);        // returns when the handler has run
    void ClickAsync(int id);   // for handlers that open a modal window: returns at once
    bool WaitHandled(int id, DWORD timeoutMs = 60000) const;   // the last ClickAsync(id)'s handler returned
    long Handled(int id) const;   // clicks of `id` handled so far
    long Beeps() const;           // the program's asterisk beeps so far
    std::vector<ShellRequest> Requests() const;   // the shell's requests so far
    void AbortNextRequest(int result, int deleted);   // `result`, aborted, after its first `deleted` folders
    void BeforeNextRequest(std::function<void()> before, bool after = false);   // `after`: once it has returned
    // Shows the program what Windows, not Wine, may show: `what` as tests/README.md says, at `folder`.
    void Disguise(const std::string& what, const std::string& folder = "");
    size_t SelectRows(const std::function<bool(const Row&)>& which);   // those, and no other; how many

    // Delete All (answered `answer`) or Delete Selected, to its end: the message on the folders kept, closed; "" for none.
    std::string Delete(int button, int answer = IDYES);
    // Select Drive, the picker's selection set to `folder` (or the shell's `item`), then OK when `choose`, else
    // Cancel ("" only cancels): whether OK was enabled there.
    bool Pick(const std::wstring& folder, LPCITEMIDLIST item = nullptr, bool choose = true);
    void PickFolder(const std::string& folder);
    void SetOptions(bool debug, bool release);      // clicks the options that differ
    void Search();   // Start Search, and waits for the run's end
    std::vector<Row> SearchIn(const std::string& folder, bool debug, bool release);
    bool WaitForEnd() const;   // "Start Search" and the title "Tolvane Cleaner"

    // Calls `watch` on the dialog's thread after each message carried out there, until Watch(nullptr).
    void Watch(std::function<void(const CWPRETSTRUCT&)> watch);
    // Holds the search's worker, as a slow drive would, at the next message `at` is true of; LetGo() resumes it.
    void HoldWorker(std::function<bool(const CWPRETSTRUCT&)> at);
    bool WaitHeld() const;
    void LetGo();

    // A visible dialog, message box or picker of the dialog's thread, not the dialog.
    HWND WaitForPopup(const char* title, DWORD timeoutMs = 60000) const;

private:
    DrivenDialog* m_pDialog;
    CWinThread* m_pThread;
    HWND m_hDialog;
    HHOOK m_hCommandHook;
    std::vector<long> m_clicked = std::vector<long>(2048);   // Handled() at the last ClickAsync
};

bool ShowsIcon(HWND box, HICON icon);
// 378 x `height` pixels at 96 DPI (the font's base units 6 x 13), scaled by the base units elsewhere.
void ExpectLaidOut(HWND dialog, int height);

// Points this executable's import of `function` from `dll` at `hook`; returns the old target.
void* RouteImport(const char* dll, const char* function, void* hook);
template <typename F>
F* Route(const char* dll, const char* function, F* hook)
{
    return reinterpret_cast<F*>(RouteImport(dll, function, reinterpret_cast<void*>(hook)));
}

void HideWine(bool hidden);   // hides the key Software\Wine from the program: its checks as on Windows
void RemoveTree(const std::string& folder);   // through the shell; it must hold no links
bool DefineDrive(char letter, const std::string& folder);   // to a Unix folder, none when empty
inline bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Waits until `condition` holds, polling; false on time-out.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs)
{
    for (DWORD start = ::GetTickCount(); !condition(); ::Sleep(5))
        if (::GetTickCount() - start > timeoutMs)
            return false;
    return true;
}
