// CString: an 8-bit string in the system code page. It may hold embedded NUL
// characters (a double-NUL-terminated path list is built in one).
#pragma once
#include "Platform.h"
#include <string>

class CString {
public:
    CString() = default;
    CString(LPCSTR text) : m_str(text ? text : "") {}
    CString(LPCSTR text, int length) : m_str(text, static_cast<size_t>(length)) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    operator LPCSTR() const { return m_str.c_str(); }

    CString& operator=(LPCSTR text) { m_str = text ? text : ""; return *this; }
    CString& operator+=(const CString& other) { m_str += other.m_str; return *this; }
    CString& operator+=(LPCSTR text) { m_str += text ? text : ""; return *this; }
    CString& operator+=(char ch) { m_str += ch; return *this; }
    friend CString operator+(CString left, const CString& right) { return left += right; }
    friend CString operator+(CString left, LPCSTR right) { return left += right; }
    friend CString operator+(LPCSTR left, const CString& right) { return CString(left) += right; }

    // Lower-cases in the system code page (CharLowerBuffA).
    void MakeLower();
    // Loads string resource `id` of the program; false (and empty) when there is none.
    BOOL LoadString(UINT id);
    // The first `ch` at or after byte `start` (a character boundary), or the
    // last `ch`; -1 when there is none. Double-byte characters are skipped
    // whole: their second byte may equal '\\'.
    int Find(char ch, int start = 0) const;
    int ReverseFind(char ch) const;
    CString Left(int count) const { return CString(m_str.c_str(), count); }

private:
    std::string m_str;
};
