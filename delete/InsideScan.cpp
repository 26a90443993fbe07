#include "InsideScan.h"
#include "FolderRoots.h"

// Characters of `path` (a "\\?\" path) as the shell is given it: "C:\..." or "\\server\...".
static size_t ListedLength(const std::wstring& path)
{
    return path.size() - (path.compare(0, 8, L"\\\\?\\UNC\\") == 0 ? 6 : 4);
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
