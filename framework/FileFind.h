// CFileFind: the entries of one folder listing, one at a time.
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
    CString GetFileName() const { return CString(m_found.cFileName); }
    BOOL IsDots() const;
    BOOL MatchesMask(DWORD mask) const { return (m_found.dwFileAttributes & mask) != 0; }

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA m_found = {};
    WIN32_FIND_DATAA m_next = {};
    BOOL m_bHasNext = FALSE;
    CString m_strRoot;
};
