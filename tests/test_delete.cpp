// Deleting listed folders: exactly the chosen folders go, everything else on
// disk stays byte for byte, and the list shows only what really happened.
#include "DialogHarness.h"
#include "TestTree.h"
#include <gtest/gtest.h>

namespace {

// Every entry of `before` under one of `deleted` (relative folders) must be
// gone from `after`; every other entry must be there, unchanged.
void ExpectOnlyDeleted(const Snapshot& before, const Snapshot& after, const std::vector<std::string>& deleted)
{
    for (const auto& entry : before) {
        bool chosen = false;
        for (const std::string& folder : deleted)
            chosen = chosen || entry.first == folder || entry.first.rfind(folder + "\\", 0) == 0;
        auto found = after.find(entry.first);
        if (chosen)
            EXPECT_TRUE(found == after.end()) << "not deleted: " << entry.first;
        else if (found == after.end())
            ADD_FAILURE() << "lost: " << entry.first;
        else
            EXPECT_EQ(entry.second, found->second) << "changed: " << entry.first;
    }
}

// A tree of five Debug folders with files, and things beside them to keep.
std::string FiveFolders(const char* name)
{
    std::string root = FreshFolder(name);
    for (int i = 0; i < 5; ++i) {
        std::string folder = root + "\\p" + std::to_string(i) + "\\Debug";
        MakeFolders(root, { "p" + std::to_string(i) + "\\Debug\\obj" });
        WriteFile(folder + "\\app.exe", "binary " + std::to_string(i));
        WriteFile(folder + "\\obj\\app.obj", std::string(1000 + i, 'x'));
        WriteFile(root + "\\p" + std::to_string(i) + "\\source.cpp", "int main() {}");
    }
    MakeFolders(root, { "keep\\Debug1", "keep\\debug.old" });
    WriteFile(root + "\\keep\\Debug1\\precious.txt", "keep me");
    WriteFile(root + "\\keep\\debug", "a file named debug");
    return root;
}

// Answers the Delete All question; returns its text.
std::string AnswerQuestion(DialogHarness& ui, int button)
{
    HWND box = ui.WaitForPopup("Confirm Delete");
    EXPECT_TRUE(box) << "no question was asked";
    if (!box)
        return "";
    std::string text = ui.Text(::GetDlgItem(box, 0xFFFF));
    EXPECT_TRUE(::GetDlgItem(box, IDYES) && ::GetDlgItem(box, IDNO)) << "Yes and No";
    ::PostMessageA(::GetDlgItem(box, button), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5000));
    return text;
}

// The rows once the Delete All handler has returned.
std::vector<Row> RowsAfterDelete(DialogHarness& ui)
{
    EXPECT_TRUE(ui.WaitHandled(IDC_DELETE_ALL));
    return ui.Rows();
}

// Wine cannot remove a link as a link (Windows can).
bool OnWine()
{
    return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(Delete, DeleteAllAnsweredYesDeletesExactlyTheListedFolders)
{
    std::string root = FiveFolders("all");
    Snapshot before = TakeSnapshot(root);
    DialogHarness ui;
    ASSERT_EQ(5u, ui.SearchIn(root, true, true).size());
    ui.ClickAsync(IDC_DELETE_ALL);
    EXPECT_EQ("Are you sure you want to delete?", AnswerQuestion(ui, IDYES));
    EXPECT_TRUE(RowsAfterDelete(ui).empty());
    ExpectOnlyDeleted(before, TakeSnapshot(root), { "\\p0\\Debug", "\\p1\\Debug", "\\p2\\Debug", "\\p3\\Debug", "\\p4\\Debug" });

    // With the list empty, Delete All asks nothing.
    ASSERT_TRUE(ui.Enabled(IDC_DELETE_ALL));
    ui.ClickAsync(IDC_DELETE_ALL);
    ASSERT_TRUE(ui.WaitHandled(IDC_DELETE_ALL));
    EXPECT_FALSE(ui.WaitForPopup("Confirm Delete", 0));
}

TEST(Delete, DeleteAllAnsweredNoDeletesNothing)
{
    std::string root = FiveFolders("no");
    Snapshot before = TakeSnapshot(root);
    DialogHarness ui;
    std::vector<Row> rows = ui.SearchIn(root, true, false);
    ui.ClickAsync(IDC_DELETE_ALL);
    AnswerQuestion(ui, IDNO);
    EXPECT_EQ(rows, RowsAfterDelete(ui));
    EXPECT_EQ("", Differences(before, TakeSnapshot(root)));
}

TEST(Delete, DeleteSelectedDeletesTheSelectedRowsOnly)
{
    std::string root = FiveFolders("selected");
    Snapshot before = TakeSnapshot(root);
    DialogHarness ui;
    std::vector<Row> rows = ui.SearchIn(root, true, false);
    ASSERT_EQ(5u, rows.size());

    ui.Click(IDC_DELETE_SELECTED);   // nothing selected: nothing happens
    EXPECT_EQ(rows, ui.Rows());
    EXPECT_EQ("", Differences(before, TakeSnapshot(root)));

    ui.SelectRows({ 1, 3 });
    ui.Click(IDC_DELETE_SELECTED);
    EXPECT_EQ((std::vector<Row>{ rows[0], rows[2], rows[4] }), ui.Rows());
    ExpectOnlyDeleted(before, TakeSnapshot(root),
                      { rows[1].path.substr(root.size()), rows[3].path.substr(root.size()) });

    ui.SelectRows({ 0, 1, 2 });
    ui.Click(IDC_DELETE_SELECTED);
    EXPECT_TRUE(ui.Rows().empty());
    for (const Row& row : rows)
        EXPECT_FALSE(PathExists(row.path)) << row.path;
    EXPECT_TRUE(PathExists(root + "\\keep\\Debug1\\precious.txt"));
}

TEST(Delete, AFolderInsideAnotherListedFolderGoesWithIt)
{
    std::string root = FreshFolder("nested");
    MakeFolders(root, { "x\\Debug\\Release\\obj", "x\\Debug\\src", "y\\Release" });
    WriteFile(root + "\\x\\Debug\\Release\\obj\\a.obj", "obj");
    WriteFile(root + "\\x\\keep.txt", "keep");
    Snapshot before = TakeSnapshot(root);
    DialogHarness ui;
    ASSERT_EQ(3u, ui.SearchIn(root, true, true).size());
    ui.ClickAsync(IDC_DELETE_ALL);
    AnswerQuestion(ui, IDYES);
    EXPECT_TRUE(RowsAfterDelete(ui).empty());
    ExpectOnlyDeleted(before, TakeSnapshot(root), { "\\x\\Debug", "\\y\\Release" });
    EXPECT_FALSE(ui.WaitForPopup(nullptr, 0)) << "an error box was left open";
}

TEST(Delete, ALinkInsideAChosenFolderNeverLeadsTheDeleteOutside)
{
    Snapshot canary = TakeSnapshot("C:\\links\\canary");
    ASSERT_EQ(3u, canary.size());
    DialogHarness ui;
    ASSERT_EQ(2u, ui.SearchIn("C:\\links\\inside", true, true).size());
    ui.ClickAsync(IDC_DELETE_ALL);
    AnswerQuestion(ui, IDYES);
    std::vector<Row> rows = RowsAfterDelete(ui);
    EXPECT_EQ("", Differences(canary, TakeSnapshot("C:\\links\\canary")));
    EXPECT_FALSE(PathExists("C:\\links\\inside\\Release"));
    // Where the link cannot be removed as a link, its folder stays, listed.
    EXPECT_EQ(OnWine(), PathExists("C:\\links\\inside\\Debug"));
    EXPECT_EQ(OnWine() ? 1u : 0u, rows.size());
}

// Rows listed before their folders became links (or a folder on their way
// did): the delete re-checks each row and follows no link.
TEST(Delete, AListedFolderSinceReplacedByALinkIsNotFollowed)
{
    Snapshot canary = TakeSnapshot("C:\\links\\canary");
    Snapshot elsewhere = TakeSnapshot("C:\\links\\elsewhere");
    DialogHarness ui;
    ui.Click(IDC_DETAILS);
    ui.AddResult("Debug", "C:\\links\\swap\\Debug");
    ui.AddResult("Debug", "C:\\links\\swap\\via\\Debug");
    std::vector<Row> rows = ui.Rows();
    ::EnableWindow(ui.Item(IDC_DELETE_ALL), TRUE);
    ui.ClickAsync(IDC_DELETE_ALL);
    AnswerQuestion(ui, IDYES);
    EXPECT_EQ(rows, RowsAfterDelete(ui)) << "a link is not the listed folder: its row stays";
    EXPECT_EQ("", Differences(canary, TakeSnapshot("C:\\links\\canary")));
    EXPECT_EQ("", Differences(elsewhere, TakeSnapshot("C:\\links\\elsewhere")));
}

TEST(Delete, AFolderThatCannotBeDeletedKeepsItsRowAndTheOthersGo)
{
    std::string root = FiveFolders("locked");
    DialogHarness ui;
    std::vector<Row> rows = ui.SearchIn(root, true, false);
    ASSERT_EQ(5u, rows.size());
    // A file held open without delete sharing cannot be deleted.
    HANDLE held = ::CreateFileA((rows[0].path + "\\app.exe").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ui.ClickAsync(IDC_DELETE_ALL);
    AnswerQuestion(ui, IDYES);
    std::vector<Row> left = RowsAfterDelete(ui);
    ::CloseHandle(held);
    EXPECT_EQ((std::vector<Row>{ rows[0] }), left);
    EXPECT_TRUE(PathExists(rows[0].path + "\\app.exe"));
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_FALSE(PathExists(rows[i].path)) << rows[i].path;
}

TEST(Delete, AFolderDeletedByAnotherProgramDoesNotStopTheOthers)
{
    std::string root = FiveFolders("vanished");
    DialogHarness ui;
    std::vector<Row> rows = ui.SearchIn(root, true, false);
    ASSERT_EQ(5u, rows.size());
    RemoveTree(rows[0].path);
    RemoveTree(rows[2].path);
    ui.ClickAsync(IDC_DELETE_ALL);
    AnswerQuestion(ui, IDYES);
    EXPECT_TRUE(RowsAfterDelete(ui).empty());
    for (const Row& row : rows)
        EXPECT_FALSE(PathExists(row.path)) << row.path;
    EXPECT_TRUE(PathExists(root + "\\p0\\source.cpp"));
}

TEST(Delete, NamesTheCodePageCannotShowAreNeitherListedNorTouched)
{
    std::string root = FreshFolder("codepage");
    std::wstring wide(root.begin(), root.end());
    for (const wchar_t* folder : { L"\\D\x0119" L"bug", L"\\\x65E5\x672C", L"\\\x65E5\x672C\\Debug",
                                   L"\\Dx", L"\\Debug", L"\\Debug\\\x0142\x00F3d\x017A" }) {
        ::CreateDirectoryW((wide + folder).c_str(), nullptr);
        ::CreateDirectoryW((wide + folder + L"\\Debug").c_str(), nullptr);
    }
    HANDLE file = ::CreateFileW((wide + L"\\\x65E5\x672C\\Debug\\keep.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(file);
    Snapshot before = TakeSnapshot(root);
    DialogHarness ui;
    std::vector<Row> rows = ui.SearchIn(root, true, false);
    for (const Row& row : rows)
        EXPECT_EQ(std::string::npos, row.path.find('?')) << row.path;
    ui.ClickAsync(IDC_DELETE_ALL);
    AnswerQuestion(ui, IDYES);
    EXPECT_TRUE(RowsAfterDelete(ui).empty());
    std::vector<std::string> deleted;
    for (const Row& row : rows)
        deleted.push_back(row.path.substr(root.size()));
    ExpectOnlyDeleted(before, TakeSnapshot(root), deleted);
    EXPECT_FALSE(PathExists(root + "\\Debug"));
}

}  // namespace
