// What the benchmark's figures and profiles share: the clock, the bare walk,
// CPU times, and a window procedure that keeps titles without painting them.
#pragma once
#include "tests/DialogHarness.h"
#include <algorithm>
#include <string>
#include <vector>

// Milliseconds, from the performance counter.
double Now();

// How every listing of this process is asked for: as the program asked
// before (FindFirstFile: the standard information, no large fetch), or as it
// asks now (the basic information in large batches). The program's own
// listings are switched too: its import of FindFirstFileExW is routed.
void ListAsBefore(bool before);
bool ListingAsBefore();

// Walks `folder` with the directory listing alone; `visit` is called for each
// folder entered, with whether its name matches "debug" in any letter case.
template <typename Visit>
void Walk(const std::string& folder, Visit& visit)
{
    WIN32_FIND_DATAA entry;
    bool before = ListingAsBefore();
    HANDLE find = ::FindFirstFileExA((folder + "\\*.*").c_str(), before ? FindExInfoStandard : FindExInfoBasic, &entry,
                                     FindExSearchNameMatch, nullptr, before ? 0 : FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || entry.cFileName[0] == '.')
            continue;
        std::string child = folder + "\\" + entry.cFileName;
        visit(child, ::lstrcmpiA(entry.cFileName, "debug") == 0);
        Walk(child, visit);
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t half = values.size() / 2;
    return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

// The lower quartile, the median and the upper quartile of `values`.
struct Spread {
    double low, median, high;
};
Spread SpreadOf(std::vector<double> values);

size_t WorkingSet();
double ProcessCpuMs();       // all threads of this process so far, ended ones included
double LiveThreadsCpuMs();   // this process's live threads, summed
double ThreadCpuMs();        // the calling thread

// The run's end ("Start Search", the short title), seen without a message to
// the dialog's thread: the texts are read where the window manager keeps
// them, so watching costs the run nothing.
bool RunEnded(const DialogHarness& ui);

// While it lives, `dialog` keeps each title it is sent and returns, with no
// default handling: nothing is stored by the window manager, nothing painted.
class KeepTitlesOnly {
public:
    explicit KeepTitlesOnly(HWND dialog);
    ~KeepTitlesOnly();
    KeepTitlesOnly(const KeepTitlesOnly&) = delete;
    KeepTitlesOnly& operator=(const KeepTitlesOnly&) = delete;

private:
    HWND m_dialog;
};

// The modes that live in files of their own.
void SearchFigures(const std::string& root, double findMs, int roundCount, bool both);   // search_figures.cpp
void TitleProfile(int count);                                                 // profiles.cpp
void RowProfile();
void CheckProfile(const std::string& root);
