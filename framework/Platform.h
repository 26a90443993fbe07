// The Win32 headers the framework is built on: ANSI API, Windows 7 and later.
#pragma once

#ifdef UNICODE
#error "The framework wraps the ANSI API: build without UNICODE."
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <mbstring.h>
