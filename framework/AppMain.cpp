// The process entry of a program built on the framework. It constructs
// nothing: the program's one CWinApp object exists by static initialisation.
#include "WinApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(instance);
}
