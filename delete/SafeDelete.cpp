#include "SafeDelete.h"
#include <algorithm>
#include <string>

ListedFolder ListFolder(const CString& path)
{
    std::wstring wide = LongPath(path);
    return { path, wide, FileNameKey(wide), FolderState::Ready, false, false, {} };
}

// Characters of `path` (a "\\?\" path) as the shell is given it: "C:\..." or "\\server\...".
static size_t ListedLength(const std::wstring& path)
{
    return path.size() - (path.compare(0, 8, L"\\\\?\\UNC\\") == 0 ? 6 : 4);
}

// Reads the entry `path` (a "\\?\" path) as the listing of its folder shows
// it (asked for by its exact name, a link may report what it leads to
// instead of itself). An entry with the very name wins over one that differs
// in letter case only.
static bool ReadEntry(const std::wstring& path, bool* isFolder, bool* isLink, std::wstring* storedName)
{
    size_t slash = path.rfind(L'\\');
    std::wstring name = path.substr(slash + 1);
    WIN32_FIND_DATAW entry;
    HANDLE find = CFileFind::FindFirst((path.substr(0, slash + 1) + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool found = false;
    do {
        bool exact = name == entry.cFileName;
        if (exact || (!found && SameFileName(name, entry.cFileName))) {
            found = true;
            *isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            *isLink = CFileFind::IsLinkEntry(entry.dwFileAttributes, entry.dwReserved0);
            *storedName = entry.cFileName;
            if (exact)
                break;
        }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return found;
}

// True when the drive or share that `path` (a "\\?\" path) starts with is
// there: its root answers. Windows documents GetFileAttributes as failing on
// a share's root, whose listing then tells (an empty root answers that
// nothing is in it). (Wine answers the attributes of a share's root.)
static bool RootThere(const std::wstring& path)
{
    size_t root = LongRootLength(path);
    std::wstring top = path.substr(0, root);
    if (root == 0 || ::GetFileAttributesW(top.c_str()) != INVALID_FILE_ATTRIBUTES)
        return root > 0;
    WIN32_FIND_DATAW entry;
    HANDLE find = CFileFind::FindFirst((top + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    ::FindClose(find);
    return true;
}

FolderState CheckListedFolder(const ListedFolder& folder, FolderSet& safeAncestors)
{
    const std::wstring& path = folder.wide;
    size_t root = LongRootLength(path);
    if (root == 0 || path.size() <= root || HasWildcard(folder.path))
        return FolderState::Changed;
    bool isFolder = false, isLink = false;
    std::wstring stored;
    if (!ReadEntry(path, &isFolder, &isLink, &stored))
        return IsGone(path) ? FolderState::Gone : !RootThere(path) ? FolderState::DriveGone : FolderState::Changed;
    if (!isFolder || isLink || stored != path.substr(path.rfind(L'\\') + 1))
        return FolderState::Changed;

    // No folder on the way below the root may have become a link: the path
    // would lead elsewhere.
    for (size_t at = path.find(L'\\', root); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        std::wstring ancestor = path.substr(0, at);
        std::wstring key = FileNameKey(ancestor);
        if (safeAncestors.Contains(key))
            continue;
        if (!ReadEntry(ancestor, &isFolder, &isLink, &stored) || !isFolder || isLink)
            return FolderState::ThroughLink;
        safeAncestors.Add(key);
    }
    return FolderState::Ready;
}

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
// over SMB). "" when it cannot be opened or read. (Wine gives the normalised
// name for both, and fails with ERROR_MORE_DATA for any result past MAX_PATH;
// its NT form costs twice the drive-letter form, the other way round from
// Windows.)
static std::wstring FinalPath(const std::wstring& path, DWORD flags)
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

// True where a link to a file can be listed as a plain file, so that only an
// open of the file tells. Windows lists every symbolic link, junction and
// mount point with FILE_ATTRIBUTE_REPARSE_POINT, its tag in dwReserved0 ("a
// file that is a symbolic link": File Attribute Constants; FindNextFile
// gives "information about the symbolic link, not the target"): there the
// listing tells. Wine flags only links to folders, and lists a Unix symbolic
// link to a file as the file. Wine is known by the key every Wine prefix has
// in the machine's registry (its native view); not by ntdll's
// wine_get_version, which Wine can be set to hide. On Windows a stray key only
// adds the opens.
static bool FileLinksLookPlain()
{
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

// A folder inside a chosen folder, as the scan reads it: its \\?\ path, its
// length as the shell is given it, and its final path (the parent's, and
// its name). Its path as opened is read only where a file needs it, once.
struct InsideFolder {
    std::wstring path;
    size_t length;
    std::wstring final;
    std::wstring opened;
    bool openedRead;
};

// What the scan gathers: the links inside, to be removed as links; and
// whether each plain file must be opened to tell it from a link.
struct InsideScan {
    bool openEachFile;
    std::vector<std::pair<std::wstring, bool>> links;   // path, and whether it is a folder's
};

// True when the file `name` in `folder` is itself, not a link to another
// file: its final path is its folder's and its name, so that a drive letter
// mapped onto another drive or share cancels out. Where the two cannot be
// read alike, both are read as opened.
static bool IsItself(InsideFolder& folder, const std::wstring& name)
{
    std::wstring path = folder.path + L"\\" + name;
    std::wstring file = FinalPath(path, FILE_NAME_NORMALIZED);
    if (!file.empty() && SameFileName(file, folder.final + L"\\" + name))
        return true;
    if (!folder.openedRead) {
        folder.opened = FinalPath(folder.path, FILE_NAME_OPENED);
        folder.openedRead = true;
    }
    file = FinalPath(path, FILE_NAME_OPENED);
    return !folder.opened.empty() && !file.empty() && SameFileName(file, folder.opened + L"\\" + name);
}

// Reads everything inside `folder` and decides, changing nothing: Ready with
// the links inside in `scan`, or why the folder must stay. The walk uses the
// wide API: names that the code page cannot show must be seen as they are,
// or a link behind one would go unnoticed; and paths inside may pass
// MAX_PATH. Such a path is refused: the shell's request works on MAX_PATH
// buffers (Wine's shell then goes on with a cut, empty path and deletes
// names relative to the current folder: seen).
static FolderState ScanInside(InsideFolder folder, InsideScan& scan)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = CFileFind::FindFirst((folder.path + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? FolderState::Ready : FolderState::LinkInside;
    FolderState state = FolderState::Ready;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = folder.path + L"\\" + name;
        size_t length = folder.length + 1 + name.size();
        bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (length + 2 >= MAX_PATH)
            state = FolderState::TooDeep;
        else if (CFileFind::IsLinkEntry(entry.dwFileAttributes, entry.dwReserved0))
            scan.links.emplace_back(path, isFolder);
        else if (isFolder)
            state = ScanInside({ path, length, folder.final + L"\\" + name, {}, false }, scan);
        else if (scan.openEachFile && !IsItself(folder, name))
            state = FolderState::LinkInside;
    } while (state == FolderState::Ready && ::FindNextFileW(find, &entry));
    if (state == FolderState::Ready && ::GetLastError() != ERROR_NO_MORE_FILES)
        state = FolderState::LinkInside;   // the listing broke off: the rest is unread
    ::FindClose(find);
    return state;
}

FolderState RemoveLinksInside(const ListedFolder& folder)
{
    if (folder.wide.empty() || folder.identity.empty())
        return FolderState::LinkInside;
    size_t length = ListedLength(folder.wide);
    if (length + 2 >= MAX_PATH)   // the folder's own path: the walk lists names a little past it
        return FolderState::TooLong;
    InsideScan scan = { FileLinksLookPlain(), {} };
    FolderState state = ScanInside({ folder.wide, length, folder.identity, {}, false }, scan);
    for (size_t i = 0; state == FolderState::Ready && i < scan.links.size(); ++i) {
        const std::wstring& link = scan.links[i].first;
        if (!(scan.links[i].second ? ::RemoveDirectoryW(link.c_str()) : ::DeleteFileW(link.c_str())))
            state = FolderState::LinkInside;
    }
    return state;
}

std::wstring FolderIdentity(const std::wstring& path)
{
    std::wstring final = path.empty() ? path : FinalPath(path, FILE_NAME_NORMALIZED);
    if (final.empty() && !path.empty())
        final = FinalPath(path, FILE_NAME_OPENED);
    return final.empty() ? final : FileNameKey(final);
}

bool IsGone(const std::wstring& path)
{
    if (path.empty() || ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    // A drive letter that has left answers ERROR_PATH_NOT_FOUND as a folder
    // gone does: the root tells them apart.
    DWORD error = ::GetLastError();
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) && RootThere(path);
}

FolderState VolumeNow(const CString& root, const FolderId& found, bool picked)
{
    if (!found.valid)
        return FolderState::Ready;
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

bool FolderSet::HasAncestorOf(const std::wstring& key) const
{
    for (size_t at = key.find(L'\\'); at != std::wstring::npos; at = key.find(L'\\', at + 1))
        if (m_keys.count(key.substr(0, at)))
            return true;
    return false;
}

std::vector<ListedFolder*> OuterFirst(std::vector<ListedFolder>& listed)
{
    std::vector<ListedFolder*> byLength;
    for (ListedFolder& item : listed)
        byLength.push_back(&item);
    std::stable_sort(byLength.begin(), byLength.end(),
                     [](const ListedFolder* a, const ListedFolder* b) { return a->path.GetLength() < b->path.GetLength(); });
    return byLength;
}

void ChooseRequests(const std::vector<ListedFolder*>& byLength, FolderSet& requested)
{
    for (ListedFolder* item : byLength) {
        if (item->state != FolderState::Ready)
            continue;
        item->identity = FolderIdentity(item->wide);
        bool covered = requested.HasAncestorOf(item->key) ||
                       (!item->identity.empty() && (requested.Contains(item->identity) ||
                                                    requested.HasAncestorOf(item->identity)));
        if (!covered)
            item->state = RemoveLinksInside(*item);
        if (item->state != FolderState::Ready)
            continue;
        item->handedToShell = !covered;
        item->inRequest = true;
        requested.Add(item->key);
        if (!item->identity.empty())
            requested.Add(item->identity);
    }
}

bool ShellDelete(const std::vector<CString>& paths, HWND owner, bool showErrors)
{
    CString list;   // each path with its NUL, then one more NUL
    for (const CString& path : paths) {
        list += path;
        list += '\0';
    }
    list += '\0';

    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = list;
    operation.pTo = nullptr;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | (showErrors ? 0 : FOF_NOERRORUI);
    operation.fAnyOperationsAborted = FALSE;
    operation.hNameMappings = nullptr;
    operation.lpszProgressTitle = "Cleaner";
    int result = ::SHFileOperationA(&operation);
    // fAnyOperationsAborted is set by the user's Cancel and by the shell's own
    // silent aborts alike. Only these results name the user's Cancel:
    // DE_OPCANCELLED, and ERROR_CANCELLED, documented as the user's cancel or
    // a silent one; 0 too, which the shell may return after a Cancel. Any
    // other result is a failure of the shell's own, not the user's choice.
    // (Wine shows no error box, so no Cancel: its aborts are its own.)
    const int kOperationCancelled = 0x75;   // DE_OPCANCELLED
    return operation.fAnyOperationsAborted &&
           (result == 0 || result == kOperationCancelled || result == ERROR_CANCELLED);
}
