// CCmdTarget and the static dispatch tables ("message maps").
//
// A class that handles messages declares DECLARE_MESSAGE_MAP() and lists its
// handlers between BEGIN_MESSAGE_MAP(Class, Base) and END_MESSAGE_MAP(). A
// message goes to the first matching entry of the most derived table, then of
// its bases; one that no table lists gets the window's default processing.
#pragma once
#include "Platform.h"

class CCmdTarget;
typedef void (CCmdTarget::*AFX_PMSG)();

// How an entry's handler is called.
enum AfxSig : UINT {
    AfxSig_vv,      // void OnX()
    AfxSig_vwl,     // void OnX(UINT, LPARAM)
    AfxSig_hv,      // HCURSOR OnX(); the handle is the message's result
    AfxSig_lwl,     // LRESULT OnX(WPARAM, LPARAM); the message's result
    AfxSig_vw,      // void OnX(UINT_PTR)
    AfxSig_vNMHDRpl,   // void OnX(NMHDR*, LRESULT*); the LRESULT is the message's result
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message; WM_COMMAND or WM_NOTIFY for notifications
    UINT nCode;     // notification code (BN_CLICKED, NM_HOVER, ...)
    UINT nID;       // control or command id of a WM_COMMAND or WM_NOTIFY entry
    UINT nSig;      // AfxSig
    AFX_PMSG pfn;   // 0 ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Calls the handler that the tables give for the message. Returns false
    // when no entry matches or the handler asked for default processing.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

protected:
    // Called by a handler: the message also gets its default processing.
    void Default() { m_bDefault = true; }

    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_MSGMAP* GetThisMessageMap();

private:
    bool m_bDefault = false;
};

#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                  \
    const AFX_MSGMAP* theClass::GetMessageMap() const           \
        { return GetThisMessageMap(); }                         \
    const AFX_MSGMAP* theClass::GetThisMessageMap()             \
    {                                                           \
        typedef theClass ThisClass;                             \
        typedef baseClass TheBaseClass;                         \
        static_assert(sizeof(ThisClass) > 0, "complete class"); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                       \
            { 0, 0, 0, 0, nullptr }                             \
        };                                                      \
        static const AFX_MSGMAP messageMap =                    \
            { &TheBaseClass::GetThisMessageMap, _messageEntries }; \
        return &messageMap;                                     \
    }

#define AFX_ENTRY(message, code, id, sig, type, member)         \
    { message, code, id, sig,                                   \
      reinterpret_cast<AFX_PMSG>(static_cast<type>(member)) },

#define ON_COMMAND(id, member)                                  \
    AFX_ENTRY(WM_COMMAND, 0, id, AfxSig_vv, void (CCmdTarget::*)(), member)
#define ON_BN_CLICKED(id, member)                               \
    AFX_ENTRY(WM_COMMAND, BN_CLICKED, id, AfxSig_vv, void (CCmdTarget::*)(), &ThisClass::member)
#define ON_NOTIFY(code, id, member)                             \
    AFX_ENTRY(WM_NOTIFY, static_cast<UINT>(code), id, AfxSig_vNMHDRpl, void (CCmdTarget::*)(NMHDR*, LRESULT*), &ThisClass::member)
#define ON_WM_SYSCOMMAND()                                      \
    AFX_ENTRY(WM_SYSCOMMAND, 0, 0, AfxSig_vwl, void (CCmdTarget::*)(UINT, LPARAM), &ThisClass::OnSysCommand)
#define ON_WM_PAINT()                                           \
    AFX_ENTRY(WM_PAINT, 0, 0, AfxSig_vv, void (CCmdTarget::*)(), &ThisClass::OnPaint)
#define ON_WM_QUERYDRAGICON()                                   \
    AFX_ENTRY(WM_QUERYDRAGICON, 0, 0, AfxSig_hv, HCURSOR (CCmdTarget::*)(), &ThisClass::OnQueryDragIcon)
#define ON_MESSAGE(message, member)                             \
    AFX_ENTRY(message, 0, 0, AfxSig_lwl, LRESULT (CCmdTarget::*)(WPARAM, LPARAM), &ThisClass::member)
#define ON_WM_TIMER()                                           \
    AFX_ENTRY(WM_TIMER, 0, 0, AfxSig_vw, void (CCmdTarget::*)(UINT_PTR), &ThisClass::OnTimer)
#define ON_WM_DESTROY()                                         \
    AFX_ENTRY(WM_DESTROY, 0, 0, AfxSig_vv, void (CCmdTarget::*)(), &ThisClass::OnDestroy)
