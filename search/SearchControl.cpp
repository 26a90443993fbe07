// Search control: the two options, Start/Stop, and the worker thread.
#include "../app/CleanerDlg.h"
#include <algorithm>
#include <iterator>

void CCleanerDlg::OnCheckDebug()
{
    m_bSearchDebug = 1;
    m_btnStartSearch.EnableWindow(m_chkDebug.GetCheck() || m_chkRelease.GetCheck());
    if (!m_chkDebug.GetCheck()) {
        m_bSearchDebug = 0;
        RemoveResults("Debug");
    }
}

void CCleanerDlg::OnCheckRelease()
{
    m_bSearchRelease = 1;
    m_btnStartSearch.EnableWindow(m_chkDebug.GetCheck() || m_chkRelease.GetCheck());
    if (!m_chkRelease.GetCheck()) {
        m_bSearchRelease = 0;
        RemoveResults("Release");
    }
}

// Removes the rows of one kind ("Debug" or "Release"), in any letter case.
void CCleanerDlg::RemoveResults(LPCSTR kind)
{
    FolderKind remove = MbsEqual(kind, "Debug") ? FolderKind::Debug
                        : MbsEqual(kind, "Release") ? FolderKind::Release : FolderKind::None;
    WaitForCompleteRows();
    bool frozen = FreezeList();
    for (int row = m_listResults.GetItemCount() - 1; row >= 0; --row)
        if (remove != FolderKind::None && KindOf(m_listResults.GetItemText(row, 0)) == remove)
            m_listResults.DeleteItem(row);
    ThawList(frozen);
}

// The button's caption is the run state: "Start Search" starts a run,
// "Stop Search" asks the running one to stop and returns at once. One run at
// a time: a Start pressed while a stopped run still unwinds (a slow drive
// holds it) shows the new run at once and starts it when the old one has
// ended (OnSearchEnded), without waiting for it here.
void CCleanerDlg::OnStartSearch()
{
    if (!m_chkDebug.GetCheck() && !m_chkRelease.GetCheck())
        return;
    CString caption;
    m_btnStartSearch.GetWindowText(caption);
    if (!MbsEqual(caption, kStartSearch)) {
        m_btnStartSearch.SetWindowText(kStartSearch);
        m_bStopSearch = 1;
        m_bStartPending = false;   // a run waiting for the stopped one is called off too
        return;
    }

    m_btnStartSearch.SetWindowText(kStopSearch);
    m_bDetailsHidden = 1;
    m_listResults.DeleteAllItems();
    OnDetails();
    if (m_pSearchThread)   // the last run has not ended yet
        m_bStartPending = true;
    else
        StartWorker();
}

// UI thread, when the last run has ended: starts a worker on what is asked
// now (the options and Select Drive stay disabled from here until the run
// ends, so nothing asked can change before the worker reads it).
void CCleanerDlg::StartWorker()
{
    m_bStopSearch = 0;
    m_request = { m_bSearchDebug, m_bSearchRelease, m_bUseSearchDir, m_strSearchDir };
    std::fill(std::begin(m_rootIds), std::end(m_rootIds), FolderId());
    m_pSearchThread = AfxBeginThread(SearchThreadProc, m_pThis, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pSearchThread) {   // no run: the controls as at a run's end
        m_btnStartSearch.SetWindowText(kStartSearch);
        EnableControls(FALSE);
        return;
    }
    m_pSearchThread->m_bAutoDelete = FALSE;
    m_pSearchThread->ResumeThread();
}

// The worker. Every control operation here is a message that the UI thread
// carries out while the worker waits; the last thing it does is to post
// WM_SEARCH_ENDED.
UINT CCleanerDlg::SearchThreadProc(LPVOID dialog)
{
    CCleanerDlg* dlg = static_cast<CCleanerDlg*>(dialog);
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, nullptr);   // an empty drive yields nothing, silently

    dlg->EnableControls(TRUE);
    dlg->m_bWalking = true;
    if (dlg->m_request.bUseSearchDir) {
        dlg->SearchRoot(dlg->m_request.strSearchDir, dlg->m_request.strSearchDir, kPickedRoot);
    } else {
        for (int i = 0; i < dlg->m_nDriveCount; ++i)
            dlg->SearchRoot(CString(dlg->m_szDrives[i]), CString(dlg->m_szDrives[i]) + "\\", dlg->m_szDrives[i][0] - 'A');
    }
    dlg->m_bWalking = false;
    // A posted message is refused only while the UI thread's queue holds its
    // limit of 10,000; the run's end must not be lost.
    while (!dlg->PostMessage(WM_SEARCH_ENDED) && ::IsWindow(dlg->m_hWnd))
        ::Sleep(10);
    return 0;
}

// WM_SEARCH_ENDED: the run's end, carried out here so that it and what the
// user pressed meanwhile (Start again, Close) are seen in one order. The
// worker is released (it has posted this as it returns); then the dialog
// closes, or the run that waited starts, or the run ends as the user sees
// it: the beep, the caption, the controls and the title.
LRESULT CCleanerDlg::OnSearchEnded(WPARAM, LPARAM)
{
    if (!m_pSearchThread)   // released as the window closed
        return 0;
    WaitForSearchEnd();
    m_bStopSearch = 0;
    if (m_bClosePending) {
        EndDialog(m_nCloseResult);
    } else if (m_bStartPending) {
        m_bStartPending = false;
        m_listResults.DeleteAllItems();   // what the stopped run listed as it unwound
        StartWorker();
    } else {
        ::MessageBeep(MB_ICONASTERISK);
        m_btnStartSearch.SetWindowText(kStartSearch);
        EnableControls(FALSE);
        AfxGetThread()->m_pMainWnd->SetWindowText(kProductName);
    }
    return 0;
}

// WM_SEARCH_ROOT: the worker is about to walk a root; what it leads to is
// kept for the deletion's checks of its rows.
LRESULT CCleanerDlg::OnSearchRoot(WPARAM index, LPARAM id)
{
    if (index <= static_cast<WPARAM>(kPickedDrive))
        m_rootIds[index] = *reinterpret_cast<const FolderId*>(id);
    return 0;
}

// Escape, Enter and Close: during a run the window goes at once and the
// dialog ends when the stopped run has unwound.
void CCleanerDlg::OnOK()
{
    CloseWhenIdle(IDOK);
}

void CCleanerDlg::OnCancel()
{
    CloseWhenIdle(IDCANCEL);
}

void CCleanerDlg::CloseWhenIdle(int result)
{
    if (!m_pSearchThread) {
        EndDialog(result);
        return;
    }
    m_bStopSearch = 1;
    m_bStartPending = false;
    m_bClosePending = true;
    m_nCloseResult = result;
    ShowWindow(SW_HIDE);
}

// Disables the options and Select Drive while busy; the Delete buttons follow
// only while the list has rows. Details and Start/Stop are never touched.
void CCleanerDlg::EnableControls(BOOL busy)
{
    BOOL enable = !busy;
    m_chkDebug.EnableWindow(enable);
    m_chkRelease.EnableWindow(enable);
    m_btnSelectDrive.EnableWindow(enable);
    if (m_listResults.GetItemCount() > 0) {
        m_btnDeleteSelected.EnableWindow(enable);
        m_btnDeleteAll.EnableWindow(enable);
    }
}

// UI thread: waits until the worker sends a message, and carries it out (the
// worker waits in it), or until the worker ends. False once it has ended, or
// when there is none.
bool CCleanerDlg::CarryOutWorkerMessage()
{
    if (!m_pSearchThread)
        return false;
    HANDLE thread = m_pSearchThread->m_hThread;
    if (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0 + 1)
        return false;
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    return true;
}

// UI thread: waits for the last worker to end, carrying out the messages it
// sends meanwhile, then releases it. Called once the worker has posted its
// end (or, as the window goes, been told to stop): it waits only a moment.
void CCleanerDlg::WaitForSearchEnd()
{
    while (CarryOutWorkerMessage()) {
    }
    delete m_pSearchThread;
    m_pSearchThread = nullptr;
}
