// The folder walk: depth first, on the search worker thread.
#include "../app/CleanerDlg.h"

// True for the Windows directory, however the walk reaches it (another
// drive letter, another letter case), and for a folder of its name whose
// identity cannot be read (it may be the Windows directory: it holds a
// folder named Debug). Only entries with its name are opened.
bool CCleanerDlg::IsWindowsDir(const CFileFind& finder) const
{
    // Its name is ASCII, in any letter case, so a name of another length is
    // never it: the walk compares no further for nearly every folder.
    CString name = finder.GetFileName();
    if (!finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) || name.GetLength() != m_strWindowsName.GetLength() ||
        !SameFileName(name, m_strWindowsName))
        return false;
    CString path = finder.GetFilePath();
    if (m_windowsDirId.fileKnown) {
        FolderId id = ReadFolderId(path);
        return !id.valid || id == m_windowsDirId;
    }
    return SameFileName(path, m_szWindowsDir);
}

// Worker thread: walks one root (`folder`, a drive as "C:" or the picked
// folder; `root`, the same as the system opens it; `index`, its place in
// m_rootIds). What the root leads to now goes to the dialog first (for the
// picked folder, the root of its path too), so that a delete can tell
// whether it still leads where its rows were found (a root that cannot be
// identified is walked all the same).
void CCleanerDlg::SearchRoot(const CString& folder, const CString& root, int index)
{
    FolderId id = ReadFolderId(root);
    SendMessage(WM_SEARCH_ROOT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&id));
    if (index == kPickedRoot) {
        FolderId top = ReadFolderId(PathRoot(root));
        SendMessage(WM_SEARCH_ROOT, kPickedDrive, reinterpret_cast<LPARAM>(&top));
    }
    SearchFolder(folder);
}

// Lists every folder below `folder` named debug or release (as the options
// ask) in the result list, pre-order, in the order the file system lists them.
// Folder links are neither entered nor listed; names that the code page cannot
// show (with '?' in place of a character) cannot be opened and are passed by.
void CCleanerDlg::SearchFolder(CString folder)
{
    CFileFind finder;
    if (!finder.FindFile(JoinPath(folder, "*.*")))
        return;

    BOOL more;
    do {
        more = finder.FindNextFile();
        if (IsWindowsDir(finder))
            continue;
        if (m_bStopSearch)
            break;
        if (finder.IsDots() || !finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (finder.IsLink())
            continue;
        CString name = finder.GetFileName();
        if (HasWildcard(name))
            continue;

        CString child = JoinPath(folder, name);
        AfxGetThread()->m_pMainWnd->SetWindowText(kSearching + child);

        FolderKind kind = KindOf(name);
        if ((kind == FolderKind::Debug && m_request.bSearchDebug) ||
            (kind == FolderKind::Release && m_request.bSearchRelease))
            AddResult(name, finder.GetFilePath());

        SearchFolder(child);
    } while (more);
}
