#include "FolderCheck.h"
#include "FolderRoots.h"
#include "InsideScan.h"
#include <algorithm>

ListedFolder ListFolder(const CString& path)
{
    std::wstring wide = LongPath(path);
    return { path, wide, FileNameKey(wide), FolderState::Ready, false, false, {} };
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

// True when the entry at `path` (a "\\?\" path) is a folder, not a link.
static bool IsPlainFolder(const std::wstring& path)
{
    bool isFolder = false, isLink = false;
    std::wstring stored;
    if (ReadEntry(path, &isFolder, &isLink, &stored))
        return isFolder && !isLink;
    // A folder whose parent the user may pass through but not list (a share's
    // root with access-based enumeration): its own attributes, which Windows
    // gives of a link itself, not of what it leads to.
    DWORD attributes = ::GetLastError() == ERROR_ACCESS_DENIED ? ::GetFileAttributesW(path.c_str()) : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
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
        return NothingAt(path) ? FolderState::Gone : FolderState::Changed;
    if (!isFolder || isLink || stored != path.substr(path.rfind(L'\\') + 1))
        return FolderState::Changed;

    // No folder on the way below the root may have become a link: the path
    // would lead elsewhere.
    for (size_t at = path.find(L'\\', root); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        std::wstring ancestor = path.substr(0, at);
        std::wstring key = FileNameKey(ancestor);
        if (safeAncestors.Contains(key))
            continue;
        if (!IsPlainFolder(ancestor))
            return FolderState::ThroughLink;
        safeAncestors.Add(key);
    }
    return FolderState::Ready;
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
