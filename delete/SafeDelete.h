// The checks that keep a shell delete request inside the folders the user
// chose. They know nothing of the dialog.
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
    LinkInside,    // it holds a link that could not be removed as a link
    TooLong,       // its own path is too long for the shell's request
    TooDeep,       // a path inside it is too long for the shell's request
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

class FolderSet;

// Checks a listed folder right before deletion: its path must name a folder
// (not a link, and reached through no link) stored with the very name the
// path ends in (letter case too), and hold no wildcard character (the shell would expand it to other
// folders). `safeAncestors` keeps the folders on the way found safe, so that
// a batch of checks reads each of them once.
FolderState CheckListedFolder(const ListedFolder& folder, FolderSet& safeAncestors);

// Reads all of `folder` (its identity read) first, then removes every link inside it, each as a link: what it leads to is not
// touched. Ready when the folder may go to the shell. A folder kept by the
// reading is left as it was: LinkInside when a file cannot be told from a
// link, or the folder cannot be read to the end; TooLong when its own path,
// TooDeep when a path inside it, is too long for the shell (MAX_PATH, less
// two characters for its "\*").
// LinkInside too when a link cannot be removed (those before it are gone).
// A link to a file is told from a file by its listing where the platform
// lists every link as one; elsewhere (Wine) each file is opened to tell.
FolderState RemoveLinksInside(const ListedFolder& folder);

// The folder at `path` (a "\\?\" path) as the system resolves it, on its volume (from its
// drive letter or mount folder, else an NT path; letter case folded): the same through every drive letter, share or mapped
// drive that leads to it. Empty when it cannot be read.
std::wstring FolderIdentity(const std::wstring& path);

// True only when nothing is at `path` (a "\\?\" path) any more, on a drive
// or share that is still there (a path that cannot be read, or one whose
// drive or share has left, is not gone).
bool IsGone(const std::wstring& path);

// What `root` (a drive's root, or the picked folder) leads to now, against
// `found`, what it led to at the search. Ready when it is the same: for a
// drive's root the same folder (a substituted or mapped letter may lead to
// another folder of the same volume), for the picked folder the same volume
// (the folder itself may have been rebuilt); Ready too when `found` is not
// known, and the other checks decide. OtherVolume when it leads elsewhere
// now. When the root cannot be opened, its nearest folder above that opens
// tells: on the same volume, the picked folder is gone from a volume still
// there (Ready: its rows are gone); else, or with none, DriveGone.
FolderState VolumeNow(const CString& root, const FolderId& found, bool picked);

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

// The listed folders, outer ones first (by path length; the list's order otherwise).
std::vector<ListedFolder*> OuterFirst(std::vector<ListedFolder>& listed);

// Marks what goes to the shell: each Ready folder once, by its identity. A
// folder inside one that goes already, or the same folder through another
// drive letter or share, goes with that one (asked for again, the shell
// would find it missing, and on Windows its "cannot find" box would let the
// user cancel the rest). The others have their links removed first; a folder
// whose links cannot all be removed, or too deep for the shell, stays.
void ChooseRequests(const std::vector<ListedFolder*>& byLength, FolderSet& requested);

// One shell request that deletes `paths` permanently, without the shell's
// own confirmation or progress window; the shell's error messages, owned by
// `owner`, only when `showErrors`. True when the user cancelled it in one of
// those messages; an abort of the shell's own is not the user's.
bool ShellDelete(const std::vector<CString>& paths, HWND owner, bool showErrors);
