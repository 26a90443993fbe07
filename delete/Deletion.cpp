// Deletion: the listed folders go through the shell's file operation, and
// exactly the rows whose folders are gone leave the list. Runs on the UI
// thread; while a message box or the shell's request waits, the worker's
// messages are carried out (a running search goes on appending rows).
#include "../app/CleanerDlg.h"
#include "FolderCheck.h"
#include "FolderRoots.h"
#include "InsideScan.h"
#include "ShellRequest.h"
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
// may go to the shell, else why not (see CheckRows).
static FolderState Recheck(ListedFolder item, FolderSet way, bool wayKnown)
{
    FolderState state = CheckListedFolder(item, way);
    if (state == FolderState::ThroughLink && !wayKnown)
        return FolderState::WayUnknown;
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
// re-pointed, not replaced). `known` is false when its identity cannot be
// read then or now: a link on the way cannot be told from one put there
// since. Empty after a search of the drives: nothing lies above a drive's root.
FolderSet CCleanerDlg::ChosenWay(bool* known) const
{
    FolderSet way;
    std::wstring root = FileNameKey(LongPath(m_request.strSearchDir));
    size_t start = LongRootLength(root);
    FolderId now = m_request.bUseSearchDir ? ReadFolderId(m_request.strSearchDir) : FolderId();
    *known = !m_request.bUseSearchDir || (now.fileKnown && m_rootIds[kPickedRoot].fileKnown);
    if (!m_request.bUseSearchDir || !*known || start == 0 || !(now == m_rootIds[kPickedRoot]))
        return way;
    for (size_t at = root.find(L'\\', start); at != std::wstring::npos; at = root.find(L'\\', at + 1))
        way.Add(root.substr(0, at));
    way.Add(root);
    return way;
}

// What the root of a row's `path` (the picked folder, or its drive's root)
// leads to now against the search (VolumeNow): each root asked once, until
// m_rootsNow is cleared for a new round.
FolderState CCleanerDlg::RootNow(const CString& path)
{
    int index = m_request.bUseSearchDir ? kPickedRoot : ::toupper(static_cast<unsigned char>(path[0])) - 'A';
    if (index < 0 || index > kPickedRoot)
        return RootThere(LongPath(path)) ? FolderState::Ready : FolderState::DriveGone;
    auto root = m_rootsNow.find(index);
    if (root == m_rootsNow.end())
        root = m_rootsNow.emplace(index, VolumeNow(index == kPickedRoot ? m_request.strSearchDir : path.Left(3),
                                                   m_rootIds[index], index == kPickedRoot,
                                                   m_rootIds[kPickedDrive])).first;
    return root->second;
}

// True when the folder of a row (`path`, `wide` its LongPath) is gone: nothing
// is there, and its root still leads where the search found it.
bool CCleanerDlg::FolderGone(const CString& path, const std::wstring& wide)
{
    return RootNow(path) == FolderState::Ready && NothingAt(wide);
}

// Deletes the folders of `rows`. Each is checked right before the request;
// what is refused keeps its row, and the user is told why. Each root is
// asked again right before every request to the shell. Afterwards a row
// leaves the list only when its folder is gone; rows appended meanwhile by a
// search stay.
void CCleanerDlg::DeleteRows(const std::vector<int>& rows)
{
    if (m_bDeleting)   // the UI thread may carry out clicks while the shell works
        return;
    m_bDeleting = true;
    WaitForCompleteRows();

    m_rootsNow.clear();
    std::vector<ListedFolder> listed = CheckRows(rows);
    std::set<std::wstring> there = FoldersThere(rows, listed);
    std::vector<ListedFolder*> byLength = OuterFirst(listed);
    FolderSet requested;
    ChooseRequests(byLength, requested);

    m_rootsNow.clear();
    std::vector<CString> request;   // in the list's order
    for (ListedFolder& item : listed)
        if (item.handedToShell && KeepsItsRoot(item))
            request.push_back(item.path);
    ShellOutcome outcome = request.empty() ? ShellOutcome::Done : ShellDelete(request, m_hWnd, true);
    RetryLeftOver(byLength, outcome);
    m_rootsNow.clear();
    RemoveGoneRows(listed, requested, there);
    ReportKeptFolders(listed);
    m_bDeleting = false;
}

// The folders of `rows`, each checked: first that its root still leads where
// the walk found it (RootNow), then the folder itself.
std::vector<ListedFolder> CCleanerDlg::CheckRows(const std::vector<int>& rows)
{
    std::vector<ListedFolder> listed;
    bool known = true;
    FolderSet safeAncestors = ChosenWay(&known);
    for (int row : rows) {
        listed.push_back(ListFolder(m_listResults.GetItemText(row, 1)));
        ListedFolder& item = listed.back();
        item.state = RootNow(item.path);
        if (item.state == FolderState::Ready)
            item.state = CheckListedFolder(item, safeAncestors);
        if (item.state == FolderState::ThroughLink && !known)
            item.state = FolderState::WayUnknown;
    }
    return listed;
}

// True when `item`, handed to the shell, still has its root (RootNow); else
// it leaves the request, kept with its root's reason. A folder inside it
// that was to go with it is then asked for on its own, checked again.
bool CCleanerDlg::KeepsItsRoot(ListedFolder& item)
{
    FolderState root = RootNow(item.path);
    if (root != FolderState::Ready) {
        item.state = root;
        item.inRequest = item.handedToShell = false;
    }
    return root == FolderState::Ready;
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
        CString path = checked[row] ? CString() : m_listResults.GetItemText(static_cast<int>(row), 1);
        std::wstring wide = LongPath(path);
        if (!wide.empty() && !FolderGone(path, wide))
            there.insert(wide);
    }
    return there;
}

// The shell may stop at the first folder it cannot delete, and a folder
// inside one it could not delete is still there: when the request reported
// no abort, each chosen folder still there gets a request of its own, outer
// folders first, checked again, its root asked right before. The shell has
// shown its error for the folder it failed on already, so a retry shows
// none (nor a Cancel: an abort there is the shell's own, for that folder);
// what stays after its retry is marked NotDeleted, so that the message names
// it. After an abort
// (of the user's or the shell's own: Windows does not tell them apart),
// nothing more is asked for: what is still there stays, Cancelled (no word
// of it) when the result was a Cancel's, else Stopped.
void CCleanerDlg::RetryLeftOver(const std::vector<ListedFolder*>& byLength, ShellOutcome outcome)
{
    bool wayKnown = true;
    const FolderSet way = ChosenWay(&wayKnown);
    m_rootsNow.clear();
    for (ListedFolder* item : byLength) {
        if (!item->inRequest || FolderGone(item->path, item->wide))
            continue;
        FolderState state = RootNow(item->path);
        if (state == FolderState::Ready)
            state = outcome == ShellOutcome::Cancelled ? FolderState::Cancelled
                    : outcome == ShellOutcome::Stopped ? FolderState::Stopped : Recheck(*item, way, wayKnown);
        if (state == FolderState::Ready) {
            m_rootsNow.clear();
            state = RootNow(item->path);
        }
        if (state == FolderState::Ready) {
            ShellDelete(std::vector<CString>(1, item->path), m_hWnd, false);   // no error box: an abort is its own
            state = FolderGone(item->path, item->wide) ? FolderState::Ready : FolderState::NotDeleted;
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
        CString text = m_listResults.GetItemText(row, 1);
        std::wstring path = LongPath(text);
        if ((removable.count(path) || there.count(path) || requested.HasAncestorOf(FileNameKey(path))) &&
            FolderGone(text, path))
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
    case FolderState::WayUnknown:
        return "a folder on its path is a link, and Windows cannot tell whether it still leads where it did";
    case FolderState::TooDeep:
        return "a path inside it is longer than the shell can delete";
    case FolderState::Stopped:
        return "the deletion was stopped before this folder was deleted";
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
        if (item.state > FolderState::Cancelled && (VolumeLeft(item.state) || !FolderGone(item.path, item.wide)))
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
