#include "CmdTarget.h"

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = { { 0, 0, 0, 0, nullptr } };
    static const AFX_MSGMAP messageMap = { nullptr, entries };
    return &messageMap;
}

static const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, UINT message, WPARAM wParam, LPARAM lParam)
{
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry) {
            if (entry->nMessage != message)
                continue;
            if (message == WM_COMMAND) {
                if (entry->nID == LOWORD(wParam) && entry->nCode == HIWORD(wParam))
                    return entry;
            } else if (message == WM_NOTIFY) {
                const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
                if (entry->nID == header->idFrom && entry->nCode == header->code)
                    return entry;
            } else {
                return entry;
            }
        }
    }
    return nullptr;
}

bool CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const AFX_MSGMAP_ENTRY* entry = FindEntry(GetMessageMap(), message, wParam, lParam);
    if (!entry)
        return false;

    bool outerDefault = m_bDefault;   // handlers may send messages to their own window
    m_bDefault = false;
    *result = 0;
    switch (entry->nSig) {
    case AfxSig_vv:
        (this->*entry->pfn)();
        break;
    case AfxSig_vwl:
        (this->*reinterpret_cast<void (CCmdTarget::*)(UINT, LPARAM)>(entry->pfn))(
            static_cast<UINT>(wParam), lParam);
        break;
    case AfxSig_lwl:
        *result = (this->*reinterpret_cast<LRESULT (CCmdTarget::*)(WPARAM, LPARAM)>(entry->pfn))(wParam, lParam);
        break;
    case AfxSig_vw:
        (this->*reinterpret_cast<void (CCmdTarget::*)(UINT_PTR)>(entry->pfn))(static_cast<UINT_PTR>(wParam));
        break;
    case AfxSig_vNMHDRpl:
        (this->*reinterpret_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(entry->pfn))(
            reinterpret_cast<NMHDR*>(lParam), result);
        break;
    case AfxSig_hv:
        *result = reinterpret_cast<LRESULT>(
            (this->*reinterpret_cast<HCURSOR (CCmdTarget::*)()>(entry->pfn))());
        break;
    }
    bool handled = !m_bDefault;
    m_bDefault = outerDefault;
    return handled;
}
