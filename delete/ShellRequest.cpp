#include "ShellRequest.h"

ShellOutcome ShellDelete(const std::vector<CString>& paths, HWND owner, bool showErrors)
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
    // DE_OPCANCELLED is the user's cancel, or a silent one where the flags
    // ask for silence; ERROR_CANCELLED likewise; the shell may return 0 after
    // a Cancel. Another result with the flag may be the user's Cancel in the
    // box of a file's error as well as an abort of the shell's own: either
    // way nothing more is deleted. (Wine shows no error box, and leaves the
    // flag unset on errors.)
    const int kOperationCancelled = 0x75;   // DE_OPCANCELLED
    if (!operation.fAnyOperationsAborted)
        return ShellOutcome::Done;
    bool cancel = result == 0 || result == kOperationCancelled || result == ERROR_CANCELLED;
    return cancel ? ShellOutcome::Cancelled : ShellOutcome::Stopped;
}
