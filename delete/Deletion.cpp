// Deletion: the listed folders go through the shell's file operation, and
// exactly the rows whose folders are gone leave the list.
#include "../app/CleanerDlg.h"
#include "SafeDelete.h"
#include <algorithm>
#include <set>
#include <string>
#include <vector>

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
    DeleteRows(rows.data(), count);
}

void CCleanerDlg::OnDeleteSelected()
{
    std::vector<int> rows;
    for (int row = m_listResults.GetNextItem(-1, LVNI_SELECTED); row != -1;
         row = m_listResults.GetNextItem(row, LVNI_SELECTED))
        rows.push_back(row);
    if (!rows.empty())
        DeleteRows(rows.data(), static_cast<int>(rows.size()));
}

// Checks a Ready folder once more and removes the links inside it; true
// when it may go to the shell.
static bool RecheckAndRemoveLinks(const ListedFolder& item)
{
    return CheckListedFolder(item.path, item.name, nullptr) == FolderState::Ready && RemoveLinksInside(item.path);
}

static std::vector<ListedFolder*> OuterFirst(std::vector<ListedFolder>& listed)
{
    std::vector<ListedFolder*> byLength;
    for (ListedFolder& item : listed)
        byLength.push_back(&item);
    std::stable_sort(byLength.begin(), byLength.end(),
                     [](const ListedFolder* a, const ListedFolder* b) { return a->path.GetLength() < b->path.GetLength(); });
    return byLength;
}

// Removes the links inside each Ready folder and marks what goes to the
// shell: each Ready folder whose links could all be removed, unless a folder
// around it goes already (then it goes with that).
static void RemoveLinksAndChooseRequests(const std::vector<ListedFolder*>& byLength, FolderSet& requested)
{
    for (ListedFolder* item : byLength) {
        if (item->state != FolderState::Ready)
            continue;
        bool covered = requested.HasAncestorOf(item->path);
        item->outer = !covered && RemoveLinksInside(item->path);
        item->requested = covered || item->outer;
        if (item->outer)
            requested.Add(item->path);
    }
}

// Deletes the folders of `rows`. Each is checked right before the request;
// what is refused keeps its row. Afterwards a row leaves the list only when
// its folder is gone; rows appended meanwhile by a search stay.
void CCleanerDlg::DeleteRows(const int* rows, int count)
{
    if (m_bDeleting)   // the UI thread may carry out clicks while the shell works
        return;
    m_bDeleting = true;
    WaitForCompleteRows();

    std::vector<ListedFolder> listed;
    FolderSet safeAncestors;
    for (int i = 0; i < count; ++i) {
        CString name = m_listResults.GetItemText(rows[i], 0);
        CString path = m_listResults.GetItemText(rows[i], 1);
        listed.push_back({ name, path, CheckListedFolder(path, name, &safeAncestors), false, false });
    }
    std::vector<ListedFolder*> byLength = OuterFirst(listed);
    FolderSet requested;
    RemoveLinksAndChooseRequests(byLength, requested);

    std::vector<CString> request;   // in the list's order
    for (const ListedFolder& item : listed)
        if (item.outer)
            request.push_back(item.path);
    bool aborted = !request.empty() && ShellDelete(request, m_hWnd, true);
    if (!request.empty() && !aborted) {
        // The shell may stop at the first folder it cannot delete, and a folder
        // inside one it could not delete is still there: each chosen folder
        // still there gets a request of its own, outer folders first. The
        // shell has shown its error for the folder it failed on already.
        for (ListedFolder* item : byLength)
            if (item->requested && !IsGone(item->path) && RecheckAndRemoveLinks(*item)) {
                item->outer = true;
                requested.Add(item->path);
                ShellDelete(std::vector<CString>(1, item->path), m_hWnd, false);
            }
    }
    RemoveGoneRows(listed, requested);
    m_bDeleting = false;
}

// Removes the rows whose folders are gone: the rows deleted, the rows found
// gone before, and any row inside a folder that was deleted. When every row
// goes (the usual Delete All), the list is emptied in one message: the
// list-view takes a third of a millisecond for each row removed on its own.
void CCleanerDlg::RemoveGoneRows(const std::vector<ListedFolder>& listed, const FolderSet& requested)
{
    std::set<std::string> removable;
    for (const ListedFolder& item : listed)
        if (item.state == FolderState::Gone || item.requested)
            removable.insert(static_cast<LPCSTR>(item.path));
    WaitForCompleteRows();
    int count = m_listResults.GetItemCount();
    std::vector<int> gone;   // from the last row up
    for (int row = count - 1; row >= 0; --row) {
        CString path = m_listResults.GetItemText(row, 1);
        if ((removable.count(static_cast<LPCSTR>(path)) || requested.HasAncestorOf(path)) && IsGone(path))
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
