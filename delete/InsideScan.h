// Everything inside a chosen folder, read before it goes to the shell: the
// links inside are removed as links, so that the shell never reaches what
// they lead to. It knows nothing of the dialog.
#pragma once
#include "FolderCheck.h"

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
