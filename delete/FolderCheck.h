// The checks of one listed folder right before the shell's request, and the
// choice of what goes into it. They know nothing of the dialog.
#pragma once
#include "../framework/afxwin.h"
#include <set>
#include <string>
#include <vector>

enum class FolderState {
    Ready,         // a real folder with its listed name: may be handed to the shell
    Gone,          // nothing is there any more, on a volume that is still there
    Cancelled,     // handed to the shell, and the user cancelled its request: kept in silence
    // Kept, and the user is told why (every state from here on):
    DriveGone,     // the drive or share it was found on is not there now
    OtherVolume,   // its drive now leads to another volume or folder
    Changed,       // something else is there now, or it cannot be checked
    ThroughLink,   // a folder on its way has become a link
    WayUnknown,    // a link is on its way, and the picked folder's identity cannot be read
    LinkInside,    // it holds a link that could not be removed as a link
    TooLong,       // its own path is too long for the shell's request
    TooDeep,       // a path inside it is too long for the shell's request
    Stopped,       // its request was stopped (the user's Cancel or the shell's abort) before it was deleted
    NotDeleted,    // handed to the shell, and still there afterwards
};

// True for the states that keep a folder because its volume is not the one
// it was found on: what its path leads to now says nothing of it.
inline bool VolumeLeft(FolderState state)
{
    return state == FolderState::DriveGone || state == FolderState::OtherVolume;
}

// One row's folder on its way through a delete request. Its path is
// converted once, as it enters the checks (ListFolder): every check works on
// the wide form; the shell's request and the message take the listed one.
struct ListedFolder {
    CString path;            // the row's Path, as listed
    std::wstring wide;       // path as "\\?\" path (LongPath); empty when it cannot be converted
    std::wstring key;        // FileNameKey(wide): what FolderSet holds
    FolderState state;
    bool inRequest;          // goes with the request: its path, or a folder around it
                             // (or the same folder by another path), is handed to the shell
    bool handedToShell;      // its own path is in the request
    std::wstring identity;   // FolderIdentity, once it is Ready
};

// The row's `path` as the checks take it, Ready.
ListedFolder ListFolder(const CString& path);

// Folders, each by its key (FileNameKey of its "\\?\" path, or its
// identity), to ask whether a folder lies below one of them.
class FolderSet {
public:
    void Add(const std::wstring& key) { m_keys.insert(key); }
    bool HasAncestorOf(const std::wstring& key) const;
    bool Contains(const std::wstring& key) const { return m_keys.count(key) != 0; }

private:
    std::set<std::wstring> m_keys;
};

// Checks a listed folder right before deletion, on a root that still leads
// where the search found it: its path must name a folder (not a link, and
// reached through no link) stored with the very name the path ends in
// (letter case too), and hold no wildcard character (the shell would expand
// it to other folders). Gone when nothing is there. `safeAncestors` keeps the
// folders on the way found safe, so that a batch of checks reads each once.
FolderState CheckListedFolder(const ListedFolder& folder, FolderSet& safeAncestors);

// The listed folders, outer ones first (by path length; the list's order otherwise).
std::vector<ListedFolder*> OuterFirst(std::vector<ListedFolder>& listed);

// Marks what goes to the shell: each Ready folder once, by its identity. A
// folder inside one that goes already, or the same folder through another
// drive letter or share, goes with that one (asked for again, the shell
// would find it missing, and on Windows its "cannot find" box would let the
// user cancel the rest). The others have their links removed first; a folder
// whose links cannot all be removed, or too deep for the shell, stays.
void ChooseRequests(const std::vector<ListedFolder*>& byLength, FolderSet& requested);
