// CCleanerDlg: the program's only window. It holds every control and all of
// the program's state; its members are grouped by what they do, and each
// group lives in its own source file (see the comments below).
#pragma once
#include "../framework/afxwin.h"
#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct ListedFolder;
class FolderSet;
enum class FolderState;
enum class ShellOutcome;

// The two folder names a search looks for, in any letter case: which one a
// folder's `name` is (lower-cased in the code page). search/ResultList.cpp.
enum class FolderKind { None, Debug, Release };
FolderKind KindOf(CString name);

// Posted by the search worker as it returns: the run has ended.
const UINT WM_SEARCH_ENDED = WM_APP + 1;
// Sent by the search worker before it walks a root: wParam the root's index
// (a drive's letter from 0 for A:; kPickedRoot for the picked folder,
// kPickedDrive for the root of its path, "S:\" or "\\server\share\"), lParam
// a const FolderId* of what the root leads to now.
const UINT WM_SEARCH_ROOT = WM_APP + 2;
const int kPickedRoot = 26;
const int kPickedDrive = 27;

// Texts that are state: the Start/Stop button's caption is the run state;
// the title shows the folder a search enters, and the short product name
// once a search has ended.
inline constexpr char kStartSearch[] = "Start Search";
inline constexpr char kStopSearch[] = "Stop Search";
inline constexpr char kSearching[] = "Searching - ";
inline constexpr char kProductName[] = "Tolvane Cleaner";

class CCleanerDlg : public CDialog {
public:
    CCleanerDlg();
    ~CCleanerDlg() override;

protected:
    // The state record. The search worker reads it without locks; only the
    // UI thread writes it (m_bStopSearch during a run, hence atomic).
    int m_bDetailsHidden;               // 1 while the list is hidden
    std::atomic<int> m_bStopSearch;     // asks the running worker to stop; cleared once the run has ended
    CCleanerDlg* m_pThis;               // handed to the worker
    char m_szDrives[26][10];            // "C:" for each local drive, in letter order
    char m_szWindowsDir[MAX_PATH];
    int m_nDriveCount;
    std::unique_ptr<CImageList> m_pImageList;  // its handle belongs to m_listResults
    CString m_strSearchDir;
    int m_bSearchDebug;
    int m_bSearchRelease;
    int m_bUseSearchDir;
    CButton m_btnDeleteAll;
    CButton m_btnDeleteSelected;
    CButton m_btnSelectDrive;
    CButton m_btnStartSearch;
    CButton m_chkRelease;
    CButton m_chkDebug;
    CButton m_btnDetails;
    CListCtrl m_listResults;
    HICON m_hIcon;

    // search/SearchRoots.cpp: the Windows directory, however it is reached.
    FolderId m_windowsDirId;
    CString m_strWindowsName;           // its own name

    // search/SearchControl.cpp: the run (UI thread, but m_request).
    CWinThread* m_pSearchThread;        // the run's worker until its end is handled; owned
    struct SearchRequest {              // what the running worker searches: set before it starts
        int bSearchDebug;
        int bSearchRelease;
        int bUseSearchDir;
        CString strSearchDir;
    } m_request;
    FolderId m_rootIds[kPickedDrive + 1];  // each root of the run as the walk found it (WM_SEARCH_ROOT)
    bool m_bStartPending;               // Start pressed while the stopped run unwinds
    bool m_bClosePending;               // closed during a run: ends when the run has unwound
    int m_nCloseResult;                 // the button that closed it

    // delete/Deletion.cpp
    bool m_bDeleting;                   // a shell delete request is under way
    std::map<int, FolderState> m_rootsNow;   // RootNow's answers, by root index, until cleared

    // search/SearchTitle.cpp: the title during a walk (UI thread, but m_bWalking).
    std::atomic<bool> m_bWalking;       // set by the worker while it walks
    struct Title {
        CString text;                   // the last title set
        bool pending;                   // text is not yet on screen
        DWORD shownMs;                  // NowMs() when a title was last shown
    } m_title;

    // app/CleanerDlg.cpp: binding, initialisation, details toggle, window
    // menu and About box, minimised icon, shutdown.
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnDetails();
    void OnOK() override;
    void OnCancel() override;
    void CloseWhenIdle(int result);
    void OnDestroy();
    void ResizeWindow(int designHeight);
    void AddAboutMenuItem();
    void OnSysCommand(UINT commandId, LPARAM param);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

    // search/ResultList.cpp
    void SetUpResultList();
    void OnListHover(NMHDR* header, LRESULT* result);
    void AddResult(CString name, CString path);
    void WaitForCompleteRows();
    bool FreezeList();
    void ThawList(bool frozen);

    // search/SearchRoots.cpp
    void FillSearchRoots();
    void OnSelectDrive();

    // search/SearchControl.cpp
    void OnCheckDebug();
    void OnCheckRelease();
    void RemoveResults(LPCSTR kind);
    void OnStartSearch();
    void StartWorker();
    static UINT SearchThreadProc(LPVOID dialog);
    LRESULT OnSearchEnded(WPARAM, LPARAM);
    LRESULT OnSearchRoot(WPARAM index, LPARAM id);
    void EnableControls(BOOL busy);
    bool CarryOutWorkerMessage();
    void WaitForSearchEnd();

    // search/SearchTitle.cpp
    LRESULT OnSetText(WPARAM, LPARAM text);
    LRESULT OnGetText(WPARAM size, LPARAM buffer);
    LRESULT OnGetTextLength(WPARAM, LPARAM);
    void OnTimer(UINT_PTR id);
    void ShowTitle();

    // search/FolderWalk.cpp
    void SearchRoot(const CString& folder, const CString& root, int index);
    void SearchFolder(CString folder);
    bool IsWindowsDir(const CFileFind& finder) const;

    // delete/Deletion.cpp
    void OnDeleteAll();
    void OnDeleteSelected();
    void DeleteRows(const std::vector<int>& rows);
    std::vector<ListedFolder> CheckRows(const std::vector<int>& rows);
    FolderSet ChosenWay(bool* known) const;
    FolderState RootNow(const CString& path);
    bool FolderGone(const CString& path, const std::wstring& wide);
    bool KeepsItsRoot(ListedFolder& item);
    std::set<std::wstring> FoldersThere(const std::vector<int>& rows, const std::vector<ListedFolder>& listed);
    void RetryLeftOver(const std::vector<ListedFolder*>& byLength, ShellOutcome outcome);
    void RemoveGoneRows(const std::vector<ListedFolder>& listed, const FolderSet& requested,
                        const std::set<std::wstring>& there);
    void ReportKeptFolders(const std::vector<ListedFolder>& listed);

    DECLARE_MESSAGE_MAP()
};
