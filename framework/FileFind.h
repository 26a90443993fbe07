// CFileFind: the entries of one folder listing, one at a time. Names come in
// the system code page exactly: a character it cannot hold shows as '?' (never
// as a look-alike, which would name another file or none).
#pragma once
#include "CString.h"

class CFileFind {
public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Starts the listing of the entries matching `pattern` (a folder, a
    // separator and a wildcard name). False when nothing can be listed.
    BOOL FindFile(LPCSTR pattern);
    // Moves to the next entry (the first call: to the first one). Returns
    // whether a further entry follows the one moved to.
    BOOL FindNextFile();
    void Close();

    // The listed folder, absolute and normalised, joined with the entry name.
    CString GetFilePath() const;
    CString GetFileName() const { return m_strName; }
    BOOL IsDots() const;
    BOOL MatchesMask(DWORD mask) const { return (m_found.dwFileAttributes & mask) != 0; }

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW m_found = {};
    WIN32_FIND_DATAW m_next = {};
    CString m_strName;
    BOOL m_bHasNext = FALSE;
    CString m_strRoot;
};
