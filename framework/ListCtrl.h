// CListCtrl: a list-view control. Every operation is one message to the
// control, so a call from another thread is carried out by the thread that
// owns the control while the caller waits.
#pragma once
#include "Wnd.h"
#include "ImageList.h"

class CListCtrl : public CWnd {
public:
    DWORD GetExtendedStyle() const
        { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    DWORD SetExtendedStyle(DWORD style)
        { return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style)); }
    int InsertColumn(int column, LPCSTR heading, int format, int width);
    HIMAGELIST SetImageList(CImageList* list, int which)
        { return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list->GetSafeHandle()))); }

    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    int InsertItem(UINT mask, int item, LPCSTR text, UINT state, UINT stateMask, int image, LPARAM param);
    BOOL SetItemText(int item, int subItem, LPCSTR text);
    CString GetItemText(int item, int subItem) const;
    BOOL DeleteItem(int item) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, item)); }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    int GetNextItem(int item, int flags) const
        { return static_cast<int>(SendMessage(LVM_GETNEXTITEM, item, MAKELPARAM(flags, 0))); }
};
