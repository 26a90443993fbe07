#include "ListCtrl.h"
#include "PathName.h"
#include <vector>

int CListCtrl::InsertColumn(int column, LPCSTR heading, int format, int width)
{
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
    col.fmt = format;
    col.cx = width;
    col.pszText = const_cast<LPSTR>(heading);
    col.iSubItem = column;
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(UINT mask, int item, LPCSTR text, UINT state, UINT stateMask, int image, LPARAM param)
{
    LVITEMA row = {};
    row.mask = mask;
    row.iItem = item;
    row.pszText = const_cast<LPSTR>(text);
    row.state = state;
    row.stateMask = stateMask;
    row.iImage = image;
    row.lParam = param;
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, LPCSTR text)
{
    LVITEMA row = {};
    row.iSubItem = subItem;
    row.pszText = const_cast<LPSTR>(text);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&row)));
}

CString CListCtrl::GetItemText(int item, int subItem) const
{
    // Read in UTF-16 and converted here: an ANSI read into a buffer too small
    // for the text in a double-byte or UTF-8 code page comes back cut, or
    // empty, with no sign of it. The control copies at most the buffer's
    // size; grow until the text fits.
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    int length;
    for (;;) {
        LVITEMW row = {};
        row.iSubItem = subItem;
        row.pszText = buffer.data();
        row.cchTextMax = static_cast<int>(buffer.size());
        length = static_cast<int>(SendMessage(LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&row)));
        if (length < static_cast<int>(buffer.size()) - 1)
            break;
        buffer.resize(buffer.size() * 2);
    }
    return CodePageFromWide(buffer.data(), length);
}
