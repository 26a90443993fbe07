// CImageList: an image-list handle. The object does not destroy the handle:
// an image list attached to a list control belongs to that control.
#pragma once
#include "Platform.h"

class CImageList {
public:
    HIMAGELIST m_hImageList = nullptr;

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow)
    {
        m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
        return m_hImageList != nullptr;
    }
    // Appends a copy of `icon`; returns its index, or -1.
    int Add(HICON icon) { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
};
