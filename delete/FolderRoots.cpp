#include "FolderRoots.h"

// The final path of `file` in one volume form (VOLUME_NAME_DOS or _NT); ""
// when it cannot be read.
static std::wstring FinalPathOf(HANDLE file, DWORD flags)
{
    std::wstring final(MAX_PATH, L'\0');
    DWORD length = ::GetFinalPathNameByHandleW(file, &final[0], MAX_PATH, flags);
    if (length >= MAX_PATH) {   // the size it needs, its NUL included
        final.resize(length);
        length = ::GetFinalPathNameByHandleW(file, &final[0], length, flags);
    }
    final.resize(length < final.size() ? length : 0);
    return final;
}

// What `path` names, as the system resolves it on its volume: a path from
// the volume's drive letter or mount folder ("\\?\D:\src\Debug"), or,
// where the volume has none (RAM disks, mounted images, volumes reached only
// by their GUID), its NT path ("\Device\HarddiskVolume2\src\Debug"): one
// volume always answers in the same form. `flags`: FILE_NAME_NORMALIZED, or
// FILE_NAME_OPENED where normalising fails (an unreadable folder on the way
// over SMB). (Wine gives the normalised name for both, and fails with
// ERROR_MORE_DATA for any result past MAX_PATH; its NT form costs twice the
// drive-letter form, the other way round from Windows.)
std::wstring FinalPath(const std::wstring& path, DWORD flags)
{
    HANDLE file = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::wstring();
    std::wstring final = FinalPathOf(file, flags | VOLUME_NAME_DOS);
    if (final.empty())
        final = FinalPathOf(file, flags | VOLUME_NAME_NT);
    ::CloseHandle(file);
    return final;
}

std::wstring FolderIdentity(const std::wstring& path)
{
    std::wstring final = path.empty() ? path : FinalPath(path, FILE_NAME_NORMALIZED);
    if (final.empty() && !path.empty())
        final = FinalPath(path, FILE_NAME_OPENED);
    return final.empty() ? final : FileNameKey(final);
}

// Windows documents GetFileAttributes as failing on a share's root, whose
// listing then tells. Any answer from the server means the share is there:
// an empty root, and a root the user may pass through but not list
// (access-based enumeration) too. (Wine answers the attributes of a share's
// root.)
bool RootThere(const std::wstring& path)
{
    size_t root = LongRootLength(path);
    std::wstring top = path.substr(0, root);
    if (root == 0 || ::GetFileAttributesW(top.c_str()) != INVALID_FILE_ATTRIBUTES)
        return root > 0;
    WIN32_FIND_DATAW entry;
    HANDLE find = CFileFind::FindFirst((top + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_ACCESS_DENIED ||
               ::GetLastError() == ERROR_NETWORK_ACCESS_DENIED;
    ::FindClose(find);
    return true;
}

bool NothingAt(const std::wstring& path)
{
    if (path.empty() || ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

FolderState VolumeNow(const CString& root, const FolderId& found, bool picked, const FolderId& foundRoot)
{
    if (picked && foundRoot.valid) {   // the root of the picked path, exactly
        FolderId now = ReadFolderId(PathRoot(root));
        if (!(now == foundRoot))
            return now.valid ? FolderState::OtherVolume : FolderState::DriveGone;
    }
    if (!found.valid)
        return RootThere(LongPath(root)) ? FolderState::Ready : FolderState::DriveGone;
    FolderId now = ReadFolderId(root);
    if (now.valid)
        return (picked ? now.volume == found.volume : now == found) ? FolderState::Ready : FolderState::OtherVolume;
    int rootLength = RootLength(root);
    for (CString above = root; rootLength > 0 && above.GetLength() > rootLength;) {
        int at = above.ReverseFind('\\');
        above = above.Left(at >= rootLength ? at : rootLength);
        if ((now = ReadFolderId(above)).valid)
            return now.volume == found.volume ? FolderState::Ready : FolderState::DriveGone;
    }
    return FolderState::DriveGone;
}
