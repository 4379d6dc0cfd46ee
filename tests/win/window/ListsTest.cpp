// What the lists show: the file list's files, the folder list's chain of directories, the
// drives; names with blanks, other scripts and long paths; folders that cannot be read.

#include "FormUnderTest.h"

#include <algorithm>
#include <utility>

namespace qarvel::drive {
namespace {

std::vector<std::wstring> Sorted(std::vector<std::wstring> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

class Lists : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const std::wstring &name : rootFiles) {
            tree.File(name);
        }
        tree.File(L".starts with a dot");
        tree.File(L"hidden.iso", FILE_ATTRIBUTE_HIDDEN);
        tree.File(L"system.bin", FILE_ATTRIBUTE_SYSTEM);
        tree.Folder(L"sub folder");
        tree.File(L"sub folder\\deeper.cue");
        tree.Folder(L"hidden folder");
        ::SetFileAttributesW(tree.Path(L"hidden folder").c_str(), FILE_ATTRIBUTE_HIDDEN);
        // Wine reports names that begin with a dot as hidden, Windows does not.
        if ((::GetFileAttributesW(tree.Path(L".starts with a dot").c_str()) &
             FILE_ATTRIBUTE_HIDDEN) == 0) {
            rootFiles.push_back(L".starts with a dot");
        }
        window = std::make_unique<FormUnderTest>(tree.Root());
        folderList = window->Control(window::ids::FolderList);
        fileList = window->Control(window::ids::FileList);
    }

    std::vector<std::wstring> rootFiles = {L"a & b (1).iso", L"no extension", L"plain.iso",
                                           L"with  two blanks.cue",
                                           L"\u03a9mega \u00fcn\u00ef \u65e5\u672c.iso"};

    Lab tree;
    std::unique_ptr<FormUnderTest> window;
    HWND folderList = nullptr;
    HWND fileList = nullptr;
};

TEST_F(Lists, AtStartFileListShowsTheProgramDirectorysVisibleFiles)
{
    EXPECT_EQ(Sorted(ListItems(fileList)), Sorted(rootFiles));
    EXPECT_EQ(window->form->ReadFileListDirectory(), tree.Root());
    EXPECT_EQ(window->form->ReadHighlightedDirectory(), tree.Root());
    EXPECT_TRUE(window->host.boxes.empty());
    // Sorted without regard to letter case.
    const std::vector<std::wstring> shown = ListItems(fileList);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end(), [](const auto &a, const auto &b) {
        return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    }));
}

TEST_F(Lists, FolderListShowsAncestorsTheFolderAndItsSubfolders)
{
    const std::vector<std::wstring> entries = ListItems(folderList);
    // Each entry's text is the name it shows: C:\, then every folder down to the open one,
    // then its visible subfolders.
    const std::wstring &path = tree.Root();
    std::vector<std::wstring> expected{path.substr(0, 3)};
    for (std::size_t start = 3; start < path.size();) {
        const std::size_t end = std::min(path.find(L'\\', start), path.size());
        expected.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    expected.push_back(L"sub folder");
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(::SendMessageW(folderList, LB_GETCURSEL, 0, 0),
              static_cast<LRESULT>(expected.size()) - 2);
}

TEST_F(Lists, OpeningOrRefreshingClearsTheSelection)
{
    const std::pair<const char *, void (*)(window::MainWindow &, const std::wstring &)> cases[] = {
        {"Refresh", [](window::MainWindow &form, const std::wstring &) { form.Refresh(); }},
        {"SetOpenDirectory",
         [](window::MainWindow &form, const std::wstring &root) { form.SetOpenDirectory(root); }},
    };
    for (const auto &[name, operation] : cases) {
        SCOPED_TRACE(name);
        ::SendMessageW(fileList, LB_SETCURSEL, 1, 0);
        ASSERT_EQ(window->form->ReadSelectedFile(), ListItems(fileList)[1]);
        operation(*window->form, tree.Root());
        EXPECT_EQ(window->form->ReadSelectedFile(), L"");
        EXPECT_EQ(::SendMessageW(fileList, LB_GETCURSEL, 0, 0), LB_ERR);
        EXPECT_EQ(Sorted(ListItems(fileList)), Sorted(rootFiles));
    }
}

TEST_F(Lists, RefreshSeesNewAndRemovedFiles)
{
    tree.File(L"arrived later.iso");
    ASSERT_TRUE(::DeleteFileW(tree.Path(L"plain.iso").c_str()));
    window->form->Refresh();
    EXPECT_GE(IndexOf(ListItems(fileList), L"arrived later.iso"), 0);
    EXPECT_EQ(IndexOf(ListItems(fileList), L"plain.iso"), -1);
}

TEST_F(Lists, FileListScrollsSidewaysToItsWidestName)
{
    const std::wstring wide = L"a name wider than the list " + std::wstring(60, L'W') + L".iso";
    tree.File(wide);
    window->form->Refresh();
    window->ShowInFront();
    const SIZE name = TextExtent(fileList, wide);
    RECT client{};
    ::GetClientRect(fileList, &client);
    ASSERT_GT(name.cx, client.right) << "the name fits the list";
    EXPECT_GE(::SendMessageW(fileList, LB_GETHORIZONTALEXTENT, 0, 0), name.cx);

    // Clicks on the scroll bar, just left of its right arrow, page along until the name's end
    // shows.
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(::GetScrollBarInfo(fileList, OBJID_HSCROLL, &bar));
    ASSERT_EQ(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u) << "no scroll bar shown";
    const int arrow = ::GetSystemMetricsForDpi(SM_CXHSCROLL, ::GetDpiForWindow(fileList));
    const POINT trough{bar.rcScrollBar.right - arrow - 2,
                       (bar.rcScrollBar.top + bar.rcScrollBar.bottom) / 2};
    for (int click = 0; click < 10 && ::GetScrollPos(fileList, SB_HORZ) + client.right < name.cx;
         ++click) {
        const int before = ::GetScrollPos(fileList, SB_HORZ);
        ClickAt(trough);
        WaitFor([&] { return ::GetScrollPos(fileList, SB_HORZ) != before; }, 1s);
    }
    EXPECT_GE(::GetScrollPos(fileList, SB_HORZ) + client.right, name.cx);
}

TEST_F(Lists, DriveRootsEndInASeparator)
{
    window->form->SetOpenDirectory(L"C:\\");
    EXPECT_EQ(window->form->ReadHighlightedDirectory(), L"C:\\");
    EXPECT_EQ(window->form->ReadFileListDirectory(), L"C:\\");
    EXPECT_EQ(ListItems(folderList).front(), L"C:\\");
    // The drive list shows the drive of the open directory.
    EXPECT_EQ(ComboShown(window->Control(window::ids::DriveList)), L"C:\\");
}

TEST_F(Lists, ChoosingADriveOpensItsRoot)
{
    const HWND driveList = window->Control(window::ids::DriveList);
    const int c = IndexOf(ComboItems(driveList), L"C:\\");
    ASSERT_GE(c, 0);
    ::SendMessageW(driveList, CB_SETCURSEL, static_cast<WPARAM>(c), 0);
    // What the drop-down list tells its parent when the user picks an entry.
    ::SendMessageW(window->form->Handle(), WM_COMMAND,
                   MAKEWPARAM(window::ids::DriveList, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(driveList));
    EXPECT_EQ(window->form->ReadHighlightedDirectory(), L"C:\\");
    EXPECT_EQ(window->form->ReadFileListDirectory(), L"C:\\");
}

TEST_F(Lists, LongPathsWork)
{
    const std::wstring a(90, L'a');
    const std::wstring b = L"b \u00e9" + std::wstring(90, L'b');
    const std::wstring c(90, L'c');
    tree.Folder(a + L"\\" + b + L"\\" + c + L"\\inner");
    tree.File(a + L"\\" + b + L"\\" + c + L"\\long name.iso");
    const std::wstring deep = tree.Path(a + L"\\" + b + L"\\" + c);
    ASSERT_GT(deep.size(), 260u);

    window->form->SetOpenDirectory(deep);
    EXPECT_TRUE(window->host.boxes.empty());
    EXPECT_EQ(window->form->ReadHighlightedDirectory(), deep);
    EXPECT_EQ(window->form->ReadFileListDirectory(), deep);
    EXPECT_EQ(ListItems(fileList), std::vector<std::wstring>{L"long name.iso"});
    EXPECT_EQ(ListItems(folderList).back(), L"inner");
}

TEST_F(Lists, UnreadableFolderIsReportedAndTheListsStayAsTheyWere)
{
    ::SendMessageW(fileList, LB_SETCURSEL, 0, 0);
    const std::vector<std::wstring> dirBefore = ListItems(folderList);
    const std::vector<std::wstring> filesBefore = ListItems(fileList);
    const std::pair<const char *, std::wstring> cases[] = {
        {"missing", tree.Path(L"never there")},
        {"a file, not a folder", tree.Path(L"plain.iso")},
        {"missing drive", L"Q:\\"},
    };
    for (const auto &[name, folder] : cases) {
        SCOPED_TRACE(name);
        window->host.boxes.clear();
        window->form->SetOpenDirectory(folder);
        ASSERT_EQ(window->host.boxes.size(), 1u);
        EXPECT_EQ(window->host.boxes[0].style, MessageStyle::Critical);
        EXPECT_NE(window->host.boxes[0].prompt.find(L"\"" + folder + L"\""), std::wstring::npos)
            << "the message names the folder";
        EXPECT_EQ(ListItems(folderList), dirBefore);
        EXPECT_EQ(ListItems(fileList), filesBefore);
        EXPECT_EQ(window->form->ReadHighlightedDirectory(), tree.Root());
        EXPECT_EQ(window->form->ReadFileListDirectory(), tree.Root());
    }
}

TEST_F(Lists, VanishedSubfolderIsReportedWhenOpened)
{
    const std::vector<std::wstring> entries = ListItems(folderList);
    const int sub = IndexOf(entries, L"sub folder");
    ASSERT_GE(sub, 0);
    RemoveTree(tree.Path(L"sub folder"));
    window->ShowInFront();
    ClickListItem(folderList, sub, 2);
    WaitFor([&] { return !window->host.boxes.empty(); });
    ASSERT_EQ(window->host.boxes.size(), 1u);
    EXPECT_NE(window->host.boxes[0].prompt.find(tree.Path(L"sub folder")), std::wstring::npos);
    EXPECT_EQ(ListItems(folderList), entries);
    EXPECT_EQ(window->form->ReadHighlightedDirectory(), tree.Root()) << "highlight restored";
    EXPECT_EQ(Sorted(ListItems(fileList)), Sorted(rootFiles));
}

TEST_F(Lists, WorkingDirectoryNeverChanges)
{
    wchar_t before[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryW(MAX_PATH + 1, before);
    window->form->SetOpenDirectory(tree.Path(L"sub folder"));
    window->form->SetOpenDirectory(L"C:\\");
    wchar_t after[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryW(MAX_PATH + 1, after);
    EXPECT_STREQ(after, before);
}

} // namespace
} // namespace qarvel::drive
