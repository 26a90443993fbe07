// Runs the real main dialog on a UI thread of its own and drives it as a person
// would: clicks, the folder picker, and reading back what the window shows.
#pragma once
#include "app/CleanerDlg.h"
#include "res/resource.h"
#include <functional>
#include <string>
#include <vector>

struct Row { std::string name, path; };

struct ShellRequest {   // one request to the shell's file operation, as made
    std::vector<std::string> paths;
    UINT flags;
    std::string title;   // the progress title
};

// The dialog, with the members the tests and the benchmark reach.
class DrivenDialog : public CCleanerDlg {
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
    long Beeps() const;           // the program's asterisk beeps so far (its import is counted)
    std::vector<ShellRequest> Requests() const;   // the shell's requests so far
    // The shell's next request ends as an abort does: `result` with
    // fAnyOperationsAborted, after deleting the first folder when `first`.
    void AbortNextRequest(int result, bool first);
    void BeforeNextRequest(std::function<void()> before);   // runs as the shell's next request starts
    size_t SelectRows(const std::function<bool(const Row&)>& which);   // those, and no other; how many

    // Delete All (answered `answer`) or Delete Selected, to its end: the
    // message on the folders kept (which must carry the warning icon), closed; "" for none.
    std::string Delete(int button, int answer = IDYES);
    void PickFolder(const std::string& folder);     // Select Drive; "" cancels the picker
    void PickFolder(const std::wstring& folder);
    // Select Drive on the shell's `item`: whether the picker's OK can be pressed
    // there. It is then chosen by its command (Windows keeps OK enabled for some
    // items without a path), or the picker cancelled.
    bool PickItem(LPCITEMIDLIST item, bool choose);
    void SetOptions(bool debug, bool release);      // clicks the options that differ
    void Search();   // Start Search, and waits for the run's end
    std::vector<Row> SearchIn(const std::string& folder, bool debug, bool release);
    bool WaitForEnd() const;   // "Start Search" and the title "Tolvane Cleaner"

    // Calls `watch` on the dialog's thread after each message carried out
    // there, until Watch(nullptr).
    void Watch(std::function<void(const CWPRETSTRUCT&)> watch);
    // The search's worker is held, as a slow drive would hold it, at the next
    // message of the dialog's thread that `at` is true of (waiting for the answer
    // of one it sent); nullptr: nowhere. LetGo() resumes it, as the end does.
    void HoldWorker(std::function<bool(const CWPRETSTRUCT&)> at);
    bool WaitHeld() const;   // true once it is held
    void LetGo();

    // A visible dialog, message box or picker of the dialog's thread, not the dialog.
    HWND WaitForPopup(const char* title, DWORD timeoutMs = 10000) const;

private:
    HWND OpenPicker();

    DrivenDialog* m_pDialog;
    CWinThread* m_pThread;
    HWND m_hDialog;
    HHOOK m_hCommandHook;
    std::vector<long> m_clicked = std::vector<long>(2048);   // Handled() at the last ClickAsync
};

// Whether a message box or dialog shows `icon`.
bool ShowsIcon(HWND box, HICON icon);

// The dialog is 378 pixels wide and `height` high at 96 DPI (the dialog font's
// base units 6 x 13), scaled by the base units elsewhere; every control shown is whole.
void ExpectLaidOut(HWND dialog, int height);

// Points this executable's import of `function` (from `dll`) at `to`: the
// program's calls of it come there. Returns the old target.
void* RouteImport(const char* dll, const char* function, void* to);

// Hides from the program that it runs under Wine (the key Software\Wine), or
// shows it again: hidden, the delete's checks open no file, as on Windows,
// which lists every link to a file as a link. CLEANER_CHECKS=windows hides it from the start.
void HideWine(bool hidden);

// Removes a folder and everything in it through the shell, as another program
// would. It must hold no links (under Wine the shell deletes what they lead to).
void RemoveTree(const std::string& folder);

// Points drive `letter` at the Unix folder `folder` (none when empty), as a
// stick pulled or put in, or a letter mapped elsewhere. (Wine gives a drive the
// serial number of the first volume it knows on the same Unix file system:
// only a folder on another file system is another volume for certain.)
bool DefineDrive(char letter, const std::string& folder);

// Waits until `condition` holds, polling; false on time-out.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs)
{
    for (DWORD start = ::GetTickCount(); !condition(); ::Sleep(5))
        if (::GetTickCount() - start > timeoutMs)
            return false;
    return true;
}
