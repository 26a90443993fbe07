// The checks that keep a shell delete request inside the folders the user
// chose. They know nothing of the dialog.
#pragma once
#include "../framework/afxwin.h"
#include <set>
#include <string>
#include <vector>

enum class FolderState {
    Ready,     // a real folder with its listed name: may be handed to the shell
    Gone,      // nothing is there any more
    Refused,   // something else is there, or it cannot be checked: keep it
};

// One row's folder on its way through a delete request.
struct ListedFolder {
    CString name;
    CString path;
    FolderState state;
    bool requested;   // handed to the shell, or inside a folder that was
    bool outer;       // handed to the shell itself
};

class FolderSet;

// Checks a listed folder right before deletion: `path` must name a folder
// (not a link, and reached through no link) whose stored name is `name`, and
// hold no wildcard character (the shell would expand it to other folders).
// `safeAncestors`, when given, keeps the folders on the way found safe, so
// that a batch of checks reads each of them once.
FolderState CheckListedFolder(LPCSTR path, LPCSTR name, FolderSet* safeAncestors);

// Removes every link inside `folder`, each as a link: what it leads to is not
// touched. False when some link cannot be removed (or a file cannot be told
// from a link), or the folder cannot be read to the end; the folder must then
// not be handed to the shell.
bool RemoveLinksInside(LPCSTR folder);

// True only when nothing is at `path` any more (a path too long to ask about,
// or one that cannot be read, is not gone).
bool IsGone(LPCSTR path);

// Folders, to ask whether a path lies below one of them (names compared as
// SameFileName does).
class FolderSet {
public:
    void Add(LPCSTR folder);
    bool HasAncestorOf(LPCSTR path) const;
    bool Contains(LPCSTR folder) const;

private:
    std::set<std::wstring> m_keys;
};

// One shell request that deletes `paths` permanently, without the shell's
// own confirmation or progress window; the shell's error messages, owned by
// `owner`, only when `showErrors`. True when the user aborted it.
bool ShellDelete(const std::vector<CString>& paths, HWND owner, bool showErrors);
