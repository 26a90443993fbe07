// The result list: one row per folder found, Name and Path, with the shell's
// folder icon. The list is the only store of results.
#include "../app/CleanerDlg.h"

void CCleanerDlg::SetUpResultList()
{
    const DWORD extra = LVS_EX_TRACKSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT |
                        LVS_EX_INFOTIP | LVS_EX_UNDERLINEHOT;   // 0x0C38
    m_listResults.SetExtendedStyle(m_listResults.GetExtendedStyle() | extra);
    m_listResults.InsertColumn(0, "Name", LVCFMT_LEFT, 120);
    m_listResults.InsertColumn(1, "Path", LVCFMT_LEFT, 250);

    m_pImageList.reset(new CImageList);
    m_pImageList->Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 1);
    m_listResults.SetImageList(m_pImageList.get(), LVSIL_SMALL);

    SHFILEINFOA info = {};   // COM is set up for the UI thread's life, as the shell asks
    ::SHGetFileInfoA("", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
    if (info.hIcon) {
        m_pImageList->Add(info.hIcon);   // the list keeps its own copy
        ::DestroyIcon(info.hIcon);
    }
}

FolderKind KindOf(CString name)
{
    name.MakeLower();
    return MbsEqual(name, "debug") ? FolderKind::Debug
           : MbsEqual(name, "release") ? FolderKind::Release : FolderKind::None;
}

// NM_HOVER and LVN_HOTTRACK: the list would select the row the pointer rests
// on (hot-track selection), in place of the rows the user clicked, and Delete
// Selected would delete that one (Wine's list does so too). A non-zero answer
// refuses; the hot-tracking look stays.
void CCleanerDlg::OnListHover(NMHDR*, LRESULT* result)
{
    *result = 1;
}

// Appends a row. Called by the search worker: each of the three list
// operations is a message carried out by the UI thread. The Path goes to the
// row the list says it inserted, which stays where it is until it has its
// Path (see WaitForCompleteRows).
void CCleanerDlg::AddResult(CString name, CString path)
{
    int index = m_listResults.GetItemCount();
    index = m_listResults.InsertItem(LVIF_TEXT | LVIF_IMAGE, index, name, 0, 0, 0, 0);
    m_listResults.SetItemText(index, 1, path);
}

// UI thread, before rows are removed: a row the worker has inserted but not
// yet given its Path is always the last one; wait for its Path, carrying out
// the worker's messages, so that no removal moves it meanwhile.
void CCleanerDlg::WaitForCompleteRows()
{
    for (;;) {
        int count = m_listResults.GetItemCount();
        if (count == 0 || !m_listResults.GetItemText(count - 1, 1).IsEmpty() || !CarryOutWorkerMessage())
            return;
    }
}

// Turns the list's redraw off while it is shown (one repaint for many row
// removals, not one each); a hidden list is left alone, since turning redraw
// back on would show it. Returns whether it was turned off.
bool CCleanerDlg::FreezeList()
{
    if (!m_listResults.IsWindowVisible())
        return false;
    m_listResults.SetRedraw(FALSE);
    return true;
}

void CCleanerDlg::ThawList(bool frozen)
{
    if (!frozen)
        return;
    m_listResults.SetRedraw(TRUE);
    // As documented for WM_SETREDRAW: the frame and the header repaint too.
    m_listResults.RedrawWindow(RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}
