// Search roots: every local drive, recorded when the dialog opens, or the one
// folder picked with Select Drive; and the Windows directory, never walked.
#include "../app/CleanerDlg.h"

void CCleanerDlg::FillSearchRoots()
{
    DWORD drives = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1UL << i)))
            continue;
        char root[4];
        ::wsprintfA(root, "%c:\\", 'A' + i);   // the type is asked of the root
        if (::GetDriveTypeA(root) == DRIVE_REMOTE)
            continue;
        ::wsprintfA(m_szDrives[m_nDriveCount], "%c:", 'A' + i);
        ++m_nDriveCount;
    }

    // The shared Windows directory: on a Remote Desktop host
    // GetWindowsDirectory may name a private one of the user's instead
    // (Wine has no such hosts: both give C:\windows).
    ::GetSystemWindowsDirectoryA(m_szWindowsDir, MAX_PATH);
    m_windowsDirId = ReadFolderId(m_szWindowsDir);
    LPCSTR name = reinterpret_cast<LPCSTR>(_mbsrchr(reinterpret_cast<const unsigned char*>(m_szWindowsDir), '\\'));
    m_strWindowsName = name ? name + 1 : m_szWindowsDir;
}

// Picks the folder to search instead of the drives; a cancelled picker, or an
// item with no file-system path, returns to the drives.
void CCleanerDlg::OnSelectDrive()
{
    char path[MAX_PATH] = "";
    BROWSEINFOA info = {};
    info.hwndOwner = m_hWnd;   // no other button can be used while it is open
    info.pszDisplayName = path;
    info.lpszTitle = "Browse for Search Directory";
    info.ulFlags = BIF_EDITBOX;

    {
        CComScope com;
        PIDLIST_ABSOLUTE item = ::SHBrowseForFolderA(&info);
        path[0] = '\0';   // only the picked item's file-system path counts
        if (item) {
            ::SHGetPathFromIDListA(item, path);
            ::CoTaskMemFree(item);
        }
    }

    if (path[0] != '\0') {
        m_strSearchDir = path;
        m_bUseSearchDir = 1;
    } else {
        m_bUseSearchDir = 0;
    }
}
