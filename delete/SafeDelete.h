// The checks that keep a shell delete request inside the folders the user
// chose. They know nothing of the dialog.
#pragma once
#include "../framework/afxwin.h"
#include <vector>

enum class FolderState {
    Ready,     // a real folder with its listed name: may be handed to the shell
    Gone,      // nothing is there any more
    Refused,   // something else is there, or it cannot be checked: keep it
};

// Checks a listed folder right before deletion: `path` must name a folder
// (not a link, and reached through no link) whose stored name is `name`, and
// hold no wildcard character (the shell would expand it to other folders).
FolderState CheckListedFolder(LPCSTR path, LPCSTR name);

// Removes every link inside `folder`, each as a link: what it leads to is not
// touched. False when some link cannot be removed or the folder cannot be
// read to the end; the folder must then not be handed to the shell.
bool RemoveLinksInside(LPCSTR folder);

// True when `path` lies below `ancestor` (letter case ignored).
bool IsInsideFolder(LPCSTR path, LPCSTR ancestor);

bool PathExists(LPCSTR path);

// One shell request that deletes `paths` permanently, without the shell's
// own confirmation or progress window. Returns fAnyOperationsAborted.
BOOL ShellDelete(const std::vector<CString>& paths);
