// Deletion: the listed folders go through the shell's file operation, and
// exactly the rows whose folders are gone leave the list.
#include "../app/CleanerDlg.h"
#include "SafeDelete.h"
#include <algorithm>
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

namespace {
struct Listed {
    CString name;
    CString path;
    FolderState state;
    bool requested;   // handed to the shell, or inside a folder that was
    bool outer;       // handed to the shell itself
};
}

// Checks a Ready folder once more and clears the links inside it.
static bool StillSafe(const Listed& item)
{
    return CheckListedFolder(item.path, item.name) == FolderState::Ready && RemoveLinksInside(item.path);
}

// Deletes the folders of `rows`. Each is checked right before the request;
// what is refused keeps its row. Afterwards a row leaves the list only when
// its folder is gone; rows appended meanwhile by a search stay.
void CCleanerDlg::DeleteRows(const int* rows, int count)
{
    if (m_bDeleting)   // the UI thread may carry out clicks while the shell works
        return;
    m_bDeleting = true;

    std::vector<Listed> listed;
    for (int i = 0; i < count; ++i) {
        CString name = m_listResults.GetItemText(rows[i], 0);
        CString path = m_listResults.GetItemText(rows[i], 1);
        listed.push_back({ name, path, CheckListedFolder(path, name), false, false });
    }
    // Outer folders first: a folder inside a requested one goes with it.
    std::vector<Listed*> byLength;
    for (Listed& item : listed)
        byLength.push_back(&item);
    std::stable_sort(byLength.begin(), byLength.end(),
                     [](const Listed* a, const Listed* b) { return a->path.GetLength() < b->path.GetLength(); });
    for (Listed* item : byLength) {
        if (item->state != FolderState::Ready)
            continue;
        bool covered = std::any_of(listed.begin(), listed.end(),
                                   [item](const Listed& other) { return other.outer && IsInsideFolder(item->path, other.path); });
        item->outer = !covered && RemoveLinksInside(item->path);
        item->requested = covered || item->outer;
    }

    std::vector<CString> request;   // in the list's order
    for (const Listed& item : listed)
        if (item.outer)
            request.push_back(item.path);
    if (!request.empty() && !ShellDelete(request)) {
        // The shell may stop at the first folder it cannot delete: give each
        // folder still there a request of its own.
        for (const Listed& item : listed)
            if (item.outer && PathExists(item.path) && StillSafe(item))
                ShellDelete(std::vector<CString>(1, item.path));
    }

    for (int row = m_listResults.GetItemCount() - 1; row >= 0; --row) {
        CString path = m_listResults.GetItemText(row, 1);
        for (const Listed& item : listed) {
            bool removable = item.state == FolderState::Gone || item.requested;
            if (removable && MbsEqual(item.path, path) && !PathExists(path)) {
                m_listResults.DeleteItem(row);
                break;
            }
        }
    }
    m_bDeleting = false;
}
