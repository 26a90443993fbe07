// CComScope: COM initialised (single-threaded apartment) on the calling
// thread for the life of the object, as the shell's functions require.
// Nested or repeated use is fine: each successful initialisation is undone.
#pragma once
#include "Platform.h"

class CComScope {
public:
    CComScope() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~CComScope()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;

private:
    HRESULT m_hr;
};
