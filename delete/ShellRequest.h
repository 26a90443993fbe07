// The shell's file operation, as the delete asks it. It knows nothing of the dialog.
#pragma once
#include "../framework/afxwin.h"
#include <vector>

// How a request ended. Windows tells no abort of the user's apart from one of
// the shell's own: fAnyOperationsAborted is set by both, and its results are
// documented as an aid to debugging, not as definitive.
enum class ShellOutcome {
    Done,        // no abort reported: what is still there failed on its own
    Cancelled,   // aborted with the result of a Cancel (0, DE_OPCANCELLED, ERROR_CANCELLED)
    Stopped,     // aborted with any other result (a file's error, after Cancel in its box, or the shell's own)
};

// One shell request that deletes `paths` permanently, without the shell's
// own confirmation or progress window; the shell's error messages, owned by
// `owner`, only when `showErrors`.
ShellOutcome ShellDelete(const std::vector<CString>& paths, HWND owner, bool showErrors);
