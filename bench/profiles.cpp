// The profiles: where the time of a title, a row and Delete All's checks goes.
// They explain the figures; they are not figures themselves.
#include "Measure.h"
#include "delete/FolderCheck.h"
#include "delete/FolderRoots.h"
#include "delete/InsideScan.h"
#include "delete/ShellRequest.h"
#include <cstdio>
#include <functional>

// `count` calls from this thread to a dialog on another, each kind timed on
// its own (microseconds a call).
void TitleProfile(int count)
{
    DialogHarness ui;
    HWND dialog = ui.Dialog();
    if (count <= 0)
        return;
    auto time = [&](const char* what, UINT message, bool withText) {
        double start = Now();
        for (int i = 0; i < count; ++i) {
            std::string text = "Searching - C:\\bench\\folder" + std::to_string(i);
            ::SendMessageA(dialog, message, 0, withText ? reinterpret_cast<LPARAM>(text.c_str()) : 0);
        }
        double us = (Now() - start) * 1000.0 / count;
        std::printf("  %-58s %7.0f us\n", what, us);
        return us;
    };
    std::printf("title profile, %d calls each from another thread:\n", count);
    double delivery = time("WM_NULL: delivering a message and its reply", WM_NULL, false);
    double kept;
    {
        KeepTitlesOnly keep(dialog);
        kept = time("WM_SETTEXT kept by the window procedure, not stored", WM_SETTEXT, true);
    }
    ui.Dlg().m_bWalking = true;
    double program = time("WM_SETTEXT, the program's own handling during a walk", WM_SETTEXT, true);
    ui.Dlg().m_bWalking = false;
    LONG style = ::GetWindowLongA(dialog, GWL_STYLE);
    ::SetWindowLongA(dialog, GWL_STYLE, style & ~WS_CAPTION);
    ::SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    double stored = time("WM_SETTEXT, default handling, window without a caption", WM_SETTEXT, true);
    ::SetWindowLongA(dialog, GWL_STYLE, style);
    ::SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    double painted = time("WM_SETTEXT, default handling, caption repainted", WM_SETTEXT, true);
    std::printf("  so: delivery %.0f us, storing the text %.0f us, repainting the caption %.0f us; the program's"
                " handling %.0f us more than keeping the text\n", delivery, stored - delivery, painted - stored,
                program - kept);
}

// 100 appends from another thread to a list of 100 rows, shown or hidden,
// with or without its extended styles and image list.
void RowProfile()
{
    std::printf("row profile, 100 appends each (ms a row):\n");
    const char* names[] = { "list shown", "list hidden", "shown, no extended styles", "shown, no image list" };
    for (int variant = 0; variant < 4; ++variant) {
        DialogHarness ui;
        HWND list = ui.Item(IDC_LIST_RESULTS);
        if (variant != 1)
            ui.Click(IDC_DETAILS);
        if (variant == 2)
            ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0x0C38, 0);
        if (variant == 3)
            ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
        for (int i = 0; i < 100; ++i)
            ui.Dlg().AddResult("Debug", "C:\\some\\folder\\Debug");
        double start = Now();
        for (int i = 0; i < 100; ++i)
            ui.Dlg().AddResult("Debug", "C:\\some\\folder\\Debug");
        std::printf("  %-30s %7.2f\n", names[variant], (Now() - start) / 100);
    }
}

// The checks Delete All makes before and after the shell's request, each
// timed over every Debug folder of `root`, with one request for them all
// between.
// The links inside are looked for in both settings, in turns ABBA: each file
// opened (as under Wine) and none (as on Windows, where the listing tells).
void CheckProfile(const std::string& root)
{
    DialogHarness ui;   // routes the program's imports: Wine can be hidden from it
    std::vector<ListedFolder> folders;
    auto collect = [&](const std::string& folder, bool match) {
        if (match)
            folders.push_back(ListFolder(folder.c_str()));
    };
    Walk(root, collect);
    double count = static_cast<double>(folders.size());
    auto each = [&](const std::function<void(ListedFolder&)>& check) {
        double start = Now();
        for (ListedFolder& folder : folders)
            check(folder);
        return (Now() - start) / count;
    };
    FolderSet safe;
    double listed = each([&](ListedFolder& folder) { CheckListedFolder(folder, safe); });
    double identity = each([](ListedFolder& folder) { folder.identity = FolderIdentity(folder.wide); });
    double inside[2] = {};   // each file opened, none
    for (int turn = 0; turn < 4; ++turn) {
        bool windows = turn == 1 || turn == 2;
        HideWine(windows);
        inside[windows] += each([](ListedFolder& folder) { RemoveLinksInside(folder); }) / 2;
    }
    HideWine(false);
    std::vector<CString> request;
    for (const ListedFolder& folder : folders)
        request.push_back(folder.path);
    double start = Now();
    ShellDelete(request, nullptr, true);
    double shell = (Now() - start) / count;
    double gone = each([](ListedFolder& folder) { NothingAt(folder.wide); });   // as after the request: gone
    double before = listed + identity + gone;   // with the links inside: the checks of one Delete All
    std::printf("checks before and after Delete All, %u folders (ms each): listed folder checked %.3f, identity"
                " read %.3f, links inside looked for: each file opened %.3f, none opened %.3f; gone asked %.3f;"
                " the program's shell request %.3f\n  the checks' share of Delete All: each file opened %.1f %%,"
                " none opened (Windows) %.1f %%\n",
                static_cast<unsigned>(folders.size()), listed, identity, inside[0], inside[1], gone, shell,
                100 * (before + inside[0]) / (before + inside[0] + shell),
                100 * (before + inside[1]) / (before + inside[1] + shell));
}
