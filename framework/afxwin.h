// The framework: a thin layer of classes over the ANSI Win32 API.
#pragma once
#include "Platform.h"
#include "CString.h"
#include "PathName.h"
#include "CmdTarget.h"
#include "Wnd.h"
#include "Dialog.h"
#include "ListCtrl.h"
#include "ImageList.h"
#include "PaintDC.h"
#include "FileFind.h"
#include "WinApp.h"
#include "ComScope.h"
