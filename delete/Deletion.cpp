// Deletion: the listed folders go through the shell's file operation, and
// exactly the rows whose folders are gone leave the list. Runs on the UI
// thread; while a message box or the shell's request waits, the worker's
// messages are carried out (a running search goes on appending rows).
#include "../app/CleanerDlg.h"
#include "SafeDelete.h"
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

// How many kept folders the message names; the rest are counted.
static const size_t kKeptNamed = 5;

void CCleanerDlg::OnDeleteAll()
{
    int count = m_listResults.GetItemCount();
    if (count == 0)
        return;
    if (MessageBox("Are you sure you want to delete?", "Confirm Delete", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    count = m_listResults.GetItemCount();   // rows found while the question was open count too
    std::vector<int> rows(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row)
        rows[static_cast<size_t>(row)] = row;
    DeleteRows(rows);
}

void CCleanerDlg::OnDeleteSelected()
{
    std::vector<int> rows;
    for (int row = m_listResults.GetNextItem(-1, LVNI_SELECTED); row != -1;
         row = m_listResults.GetNextItem(row, LVNI_SELECTED))
        rows.push_back(row);
    if (!rows.empty())
        DeleteRows(rows);
}

// Checks a folder once more and removes the links inside it: Ready when it
// may go to the shell, else why not.
static FolderState Recheck(ListedFolder item, FolderSet way)
{
    FolderState state = CheckListedFolder(item, way);
    if (state != FolderState::Ready)
        return state;
    item.identity = FolderIdentity(item.wide);
    return RemoveLinksInside(item);
}

// The way to the rows of the last run: the picked folder and the folders
// above it. The search listed its rows through them, so a link among them (a
// folder mount point, the only way to a volume without a letter, or a
// junction) is the user's choice, not a change; below the picked folder any
// link is refused. They count as safe only while the picked folder still
// leads to the very folder the run started from (m_rootIds[kPickedRoot]: not
// re-pointed, not replaced). Empty after a search of the drives: nothing
// lies above a drive's root.
FolderSet CCleanerDlg::ChosenWay() const
{
    FolderSet way;
    std::wstring root = FileNameKey(LongPath(m_request.strSearchDir));
    size_t start = LongRootLength(root);
    if (!m_request.bUseSearchDir || start == 0 || !(ReadFolderId(m_request.strSearchDir) == m_rootIds[kPickedRoot]))
        return way;
    for (size_t at = root.find(L'\\', start); at != std::wstring::npos; at = root.find(L'\\', at + 1))
        way.Add(root.substr(0, at));
    way.Add(root);
    return way;
}

// Deletes the folders of `rows`. Each is checked right before the request;
// what is refused keeps its row, and the user is told why. Afterwards a row
// leaves the list only when its folder is gone; rows appended meanwhile by a
// search stay.
void CCleanerDlg::DeleteRows(const std::vector<int>& rows)
{
    if (m_bDeleting)   // the UI thread may carry out clicks while the shell works
        return;
    m_bDeleting = true;
    WaitForCompleteRows();

    std::vector<ListedFolder> listed = CheckRows(rows);
    std::set<std::wstring> there = FoldersThere(rows, listed);
    std::vector<ListedFolder*> byLength = OuterFirst(listed);
    FolderSet requested;
    ChooseRequests(byLength, requested);

    std::vector<CString> request;   // in the list's order
    for (const ListedFolder& item : listed)
        if (item.handedToShell)
            request.push_back(item.path);
    bool cancelled = !request.empty() && ShellDelete(request, m_hWnd, true);
    RetryLeftOver(byLength, cancelled);
    RemoveGoneRows(listed, requested, there);
    ReportKeptFolders(listed);
    m_bDeleting = false;
}

// The folders of `rows`, each checked: first that its root (the picked folder,
// or its drive's root) still leads where the walk found it, asked once for
// each root; then the folder itself.
std::vector<ListedFolder> CCleanerDlg::CheckRows(const std::vector<int>& rows)
{
    std::vector<ListedFolder> listed;
    FolderSet safeAncestors = ChosenWay();
    std::map<int, FolderState> roots;
    for (int row : rows) {
        CString path = m_listResults.GetItemText(row, 1);
        int index = m_request.bUseSearchDir ? kPickedRoot : ::toupper(static_cast<unsigned char>(path[0])) - 'A';
        auto root = roots.find(index);
        if (root == roots.end() && index >= 0 && index <= kPickedRoot)
            root = roots.emplace(index, VolumeNow(index == kPickedRoot ? m_request.strSearchDir : path.Left(3),
                                                  m_rootIds[index], index == kPickedRoot)).first;
        listed.push_back(ListFolder(path));
        ListedFolder& item = listed.back();
        item.state = root == roots.end() ? FolderState::Ready : root->second;
        if (item.state == FolderState::Ready)
            item.state = CheckListedFolder(item, safeAncestors);
    }
    return listed;
}

// The folders of all rows that are there before the request: those of
// `rows`, just checked (`listed`, in the same order), and the others asked now.
std::set<std::wstring> CCleanerDlg::FoldersThere(const std::vector<int>& rows, const std::vector<ListedFolder>& listed)
{
    std::set<std::wstring> there;
    std::vector<bool> checked(static_cast<size_t>(m_listResults.GetItemCount()));
    for (size_t i = 0; i < rows.size(); ++i) {
        checked[static_cast<size_t>(rows[i])] = true;
        if (listed[i].state != FolderState::Gone && !VolumeLeft(listed[i].state))
            there.insert(listed[i].wide);
    }
    for (size_t row = 0; row < checked.size(); ++row) {
        std::wstring path = checked[row] ? std::wstring() : LongPath(m_listResults.GetItemText(static_cast<int>(row), 1));
        if (!path.empty() && !IsGone(path))
            there.insert(path);
    }
    return there;
}

// The shell may stop at the first folder it cannot delete, and a folder
// inside one it could not delete is still there: each chosen folder still
// there gets a request of its own, outer folders first, checked again. The
// shell has shown its error for the folder it failed on already; what stays
// after its retry is marked NotDeleted, so that the message names it. When
// the user cancelled the request, what is still there stays, as asked
// (Cancelled: no retry, and no word of it).
void CCleanerDlg::RetryLeftOver(const std::vector<ListedFolder*>& byLength, bool cancelled)
{
    const FolderSet way = cancelled ? FolderSet() : ChosenWay();
    for (ListedFolder* item : byLength) {
        if (!item->inRequest || IsGone(item->wide))
            continue;
        FolderState state = cancelled ? FolderState::Cancelled : Recheck(*item, way);
        if (state == FolderState::Ready) {
            ShellDelete(std::vector<CString>(1, item->path), m_hWnd, false);
            state = IsGone(item->wide) ? FolderState::Ready : FolderState::NotDeleted;
        }
        item->state = state;
    }
}

// Removes the rows whose folders are gone: the rows deleted, the rows found
// gone before, and any row whose folder was there before the request (inside
// a deleted folder, through whatever drive letter). When every row goes (the
// usual Delete All), the list is emptied in one message: the list-view takes
// a third of a millisecond for each row removed on its own.
void CCleanerDlg::RemoveGoneRows(const std::vector<ListedFolder>& listed, const FolderSet& requested,
                                 const std::set<std::wstring>& there)
{
    std::set<std::wstring> removable;
    for (const ListedFolder& item : listed)
        if (item.state == FolderState::Gone || item.inRequest)
            removable.insert(item.wide);
    WaitForCompleteRows();
    int count = m_listResults.GetItemCount();
    std::vector<int> gone;   // from the last row up
    for (int row = count - 1; row >= 0; --row) {
        std::wstring path = LongPath(m_listResults.GetItemText(row, 1));
        if ((removable.count(path) || there.count(path) || requested.HasAncestorOf(FileNameKey(path))) && IsGone(path))
            gone.push_back(row);
    }
    if (gone.size() == static_cast<size_t>(count)) {
        m_listResults.DeleteAllItems();
        return;
    }
    bool frozen = FreezeList();
    for (int row : gone)
        m_listResults.DeleteItem(row);
    ThawList(frozen);
}

static const char* Reason(FolderState state)
{
    switch (state) {
    case FolderState::DriveGone:
        return "the drive or share it was found on is no longer there";
    case FolderState::OtherVolume:
        return "its drive now leads to another volume or folder";
    case FolderState::Changed:
        return "it has changed since the search";
    case FolderState::ThroughLink:
        return "a folder on its path has become a link, or leads elsewhere, since the search";
    case FolderState::TooLong:
        return "its path is too long for the shell";
    case FolderState::TooDeep:
        return "a path inside it is longer than the shell can delete";
    case FolderState::NotDeleted:
        return "Windows could not delete it: a file in it may be in use, or access is denied";
    default:
        return "it holds a link that could not be removed, or a file that could not be checked";
    }
}

// One message for every chosen folder still there, whether the checks kept
// it or Windows could not delete it (but not what the user cancelled): how
// many, the first few, and why. A folder whose volume has left is there
// still, wherever its path leads now.
void CCleanerDlg::ReportKeptFolders(const std::vector<ListedFolder>& listed)
{
    std::vector<const ListedFolder*> kept;
    for (const ListedFolder& item : listed)
        if (item.state > FolderState::Cancelled && (VolumeLeft(item.state) || !IsGone(item.wide)))
            kept.push_back(&item);
    if (kept.empty())
        return;
    char count[64];
    ::wsprintfA(count, kept.size() == 1 ? "%d folder was" : "%d folders were", static_cast<int>(kept.size()));
    CString text = CString(count) + " not deleted:\n";
    for (size_t i = 0; i < kept.size() && i < kKeptNamed; ++i)
        text += "\n" + kept[i]->path + "\n    " + Reason(kept[i]->state);
    if (kept.size() > kKeptNamed) {
        ::wsprintfA(count, "\n\nand %d more.", static_cast<int>(kept.size() - kKeptNamed));
        text += count;
    }
    MessageBox(text, kProductName, MB_OK | MB_ICONWARNING);
}
