// A bare dialog program: the floor for the cleaner's start-up time. It shows
// one empty dialog and closes with it. With the argument "shell" it also does
// what any program showing a folder icon in a list view must: load the
// common controls and ask the shell for the folder icon.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <cstring>

static bool g_shell;

static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG && g_shell) {
        SHFILEINFOA info = {};
        SHGetFileInfoA("", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
        DestroyIcon(info.hIcon);
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    g_shell = std::strstr(commandLine, "shell") != nullptr;
    if (g_shell) {
        INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_LISTVIEW_CLASSES };
        InitCommonControlsEx(&controls);
    }
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(1), nullptr, Proc, 0));
}
