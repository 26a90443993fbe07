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

    SHFILEINFOA info = {};
    ::SHGetFileInfoA("", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                     SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
    if (info.hIcon) {
        m_pImageList->Add(info.hIcon);   // the list keeps its own copy
        ::DestroyIcon(info.hIcon);
    }
}

// Appends a row. Called by the search worker: each of the three list
// operations is a message carried out by the UI thread.
void CCleanerDlg::AddResult(CString name, CString path)
{
    int index = m_listResults.GetItemCount();
    m_listResults.InsertItem(LVIF_TEXT | LVIF_IMAGE, index, name, 0, 0, 0, 0);
    m_listResults.SetItemText(index, 1, path);
}
