// The window driven by real mouse and key input: tab order, the format boxes, the clickable
// labels, the buttons, and opening directories with a click, a double click and Enter.

#include "FormUnderTest.h"

#include "tests/e2e/ExpectedTexts.h"

#include <algorithm>

namespace qarvel::drive {
namespace {

int FocusedId()
{
    return ::GetDlgCtrlID(::GetFocus());
}

bool IsTicked(FormUnderTest &window, window::ids::Control box)
{
    return ::SendMessageW(window.Control(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::set<std::wstring> ToolFiles(const std::wstring &folder, bool chdman, bool ziso)
{
    std::set<std::wstring> files;
    if (chdman) {
        files.insert(folder + L"\\chdman.exe");
    }
    if (ziso) {
        files.insert(folder + L"\\ziso.py");
    }
    return files;
}

struct TabCase {
    const char *name;
    bool chdman;
    bool ziso;
    std::vector<int> order; // focus after each Tab, starting from the compress button
};

class TabOrder : public ::testing::TestWithParam<TabCase> {};

TEST_P(TabOrder, TabKeyWalksTheControlsSkippingDisabledBoxes)
{
    const TabCase &c = GetParam();
    Lab tree;
    FormUnderTest window(tree.Root(), ToolFiles(tree.Root(), c.chdman, c.ziso));
    window.ShowInFront();
    ASSERT_EQ(FocusedId(), window::ids::CompressButton) << "the first control to hold the focus";
    std::vector<int> seen;
    for (std::size_t i = 0; i < c.order.size(); ++i) {
        const int before = FocusedId();
        PressKey(VK_TAB);
        WaitFor([&] { return FocusedId() != before; });
        seen.push_back(FocusedId());
    }
    EXPECT_EQ(seen, c.order);
}

using enum window::ids::Control;
const TabCase TabCases[] = {
    {"BothBoxes",
     true,
     true,
     {FolderList, DriveList, FileList, ChdBox, ZsoBox, ConvertButton, CompressButton}},
    {"OnlyZso",
     false,
     true,
     {FolderList, DriveList, FileList, ZsoBox, ConvertButton, CompressButton}},
    {"NoBoxes", false, false, {FolderList, DriveList, FileList, ConvertButton, CompressButton}},
};
INSTANTIATE_TEST_SUITE_P(Window, TabOrder, ::testing::ValuesIn(TabCases),
                         [](const auto &test) { return std::string(test.param.name); });

// What the user does to a box, and what both boxes show afterwards.
struct BoxCase {
    const char *name;
    bool chdBefore;
    bool zsoBefore;
    window::ids::Control clicked;
    bool chdAfter;
    bool zsoAfter;
};

class FormatBoxClicks : public ::testing::TestWithParam<BoxCase> {};

TEST_P(FormatBoxClicks, TickChangesFirstThenTheOtherBoxIsCleared)
{
    const BoxCase &c = GetParam();
    Lab tree;
    FormUnderTest window(tree.Root(), ToolFiles(tree.Root(), true, true));
    window.ShowInFront();
    // SetTick runs no click handling, so both boxes can be set up as the case needs.
    window.form->SetTick(FormatBox::Chd, c.chdBefore ? Tick::Ticked : Tick::Unticked);
    window.form->SetTick(FormatBox::Zso, c.zsoBefore ? Tick::Ticked : Tick::Unticked);
    ASSERT_EQ(IsTicked(window, window::ids::ChdBox), c.chdBefore);
    ASSERT_EQ(IsTicked(window, window::ids::ZsoBox), c.zsoBefore);

    Click(window.Control(c.clicked));
    WaitFor([&] {
        return IsTicked(window, window::ids::ChdBox) == c.chdAfter &&
               IsTicked(window, window::ids::ZsoBox) == c.zsoAfter;
    });
    EXPECT_EQ(IsTicked(window, window::ids::ChdBox), c.chdAfter);
    EXPECT_EQ(IsTicked(window, window::ids::ZsoBox), c.zsoAfter);
    EXPECT_EQ(window.form->ReadTick(FormatBox::Chd) == Tick::Ticked, c.chdAfter);
    EXPECT_EQ(window.form->ReadTick(FormatBox::Zso) == Tick::Ticked, c.zsoAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Window, FormatBoxClicks,
    ::testing::Values(BoxCase{"NoneThenChd", false, false, window::ids::ChdBox, true, false},
                      BoxCase{"NoneThenZso", false, false, window::ids::ZsoBox, false, true},
                      BoxCase{"ChdThenZso", true, false, window::ids::ZsoBox, false, true},
                      BoxCase{"ZsoThenChd", false, true, window::ids::ChdBox, true, false},
                      BoxCase{"ChdAgain", true, false, window::ids::ChdBox, false, false},
                      BoxCase{"ZsoAgain", false, true, window::ids::ZsoBox, false, false},
                      // Only SetTick can tick both; a click then leaves the clicked box's
                      // new value and clears the other.
                      BoxCase{"BothThenChd", true, true, window::ids::ChdBox, false, false}),
    [](const auto &test) { return std::string(test.param.name); });

// The window is closed while a tool it started runs: when the tool ends, nothing is told to a
// window that is gone.
TEST(WindowInput, TellsNothingOfARunThatEndsAfterTheWindowIsGone)
{
    Lab tree;
    FormUnderTest window(tree.Root(), ToolFiles(tree.Root(), true, false));
    ASSERT_TRUE(WriteFile(tree.Path(L"game.iso"), "data"));
    window.host.files.insert(tree.Path(L"game.iso"));
    window.host.answer = Answer::AnswerYes;
    window.form->Refresh();
    const HWND fileList = window.Control(window::ids::FileList);
    ::SendMessageW(fileList, LB_SETCURSEL,
                   static_cast<WPARAM>(IndexOf(ListItems(fileList), L"game.iso")), 0);
    window.form->SetTick(FormatBox::Chd, Tick::Ticked);
    ::SendMessageW(window.Control(window::ids::CompressButton), BM_CLICK, 0, 0);
    ASSERT_EQ(window.host.launched.size(), 1u);
    window.host.boxes.clear();
    ::DestroyWindow(window.form->Handle());
    window.form->Actions().OnTaskEnded(4242, 0); // the fake host's first task number
    EXPECT_TRUE(window.host.boxes.empty());
}

TEST(WindowInput, SetTickRunsNoClickHandling)
{
    Lab tree;
    FormUnderTest window(tree.Root(), ToolFiles(tree.Root(), true, true));
    window.form->SetTick(FormatBox::Chd, Tick::Ticked);
    window.form->SetTick(FormatBox::Zso, Tick::Ticked);
    EXPECT_TRUE(IsTicked(window, window::ids::ChdBox)) << "ticking ZSO by SetTick cleared CHD";
    window.form->SetTick(FormatBox::Zso, Tick::Unticked);
    EXPECT_TRUE(IsTicked(window, window::ids::ChdBox));
    EXPECT_FALSE(IsTicked(window, window::ids::ZsoBox));
}

TEST(WindowInput, SpaceBarTogglesTheFocusedBox)
{
    Lab tree;
    FormUnderTest window(tree.Root(), ToolFiles(tree.Root(), true, true));
    window.ShowInFront();
    window.form->SetTick(FormatBox::Zso, Tick::Ticked);
    ::SetFocus(window.Control(window::ids::ChdBox));
    PressKey(VK_SPACE);
    WaitFor([&] { return IsTicked(window, window::ids::ChdBox); });
    EXPECT_TRUE(IsTicked(window, window::ids::ChdBox));
    EXPECT_FALSE(IsTicked(window, window::ids::ZsoBox));
}

TEST(WindowInput, DisabledBoxTakesNoClickAndKeepsItsTick)
{
    Lab tree;
    // Only ziso.py lies beside the program: CHD is disabled at load.
    FormUnderTest window(tree.Root(), ToolFiles(tree.Root(), false, true));
    window.ShowInFront();
    EXPECT_FALSE(::IsWindowEnabled(window.Control(window::ids::ChdBox)));
    EXPECT_TRUE(::IsWindowEnabled(window.Control(window::ids::ZsoBox)));

    window.form->SetTick(FormatBox::Zso, Tick::Ticked);
    Click(window.Control(window::ids::ChdBox));
    ::SendMessageW(window.Control(window::ids::ChdBox), BM_CLICK, 0, 0);
    RunMessagesFor(300ms);
    EXPECT_FALSE(IsTicked(window, window::ids::ChdBox));
    EXPECT_TRUE(IsTicked(window, window::ids::ZsoBox)) << "the disabled box ran its click handling";

    // Disabling keeps the tick value as it was.
    window.form->SetTick(FormatBox::Chd, Tick::Ticked);
    window.form->SetEnabled(FormatBox::Chd, false);
    EXPECT_EQ(window.form->ReadTick(FormatBox::Chd), Tick::Ticked);
}

TEST(WindowInput, LabelsAndButtonsRunTheirHandling)
{
    Lab tree;
    tree.File(L"game.bin");
    FormUnderTest window(tree.Root());
    window.ShowInFront();
    const std::wstring site = L"cmd.exe /c start https://halvoren.example/qarvel";
    struct Case {
        window::ids::Control control;
        std::vector<std::wstring> launched;
        std::wstring box; // empty: no message
    };
    const Case cases[] = {
        {window::ids::AuthorLabel, {site}, L""},
        {window::ids::CompanyLabel, {site}, L""},
        {window::ids::Lz4Label, {L"cmd.exe /c pip install lz4"}, L""},
        {window::ids::FileLabel, {}, L""},
        {window::ids::ConvertButton,
         {L"cmd.exe /c \"\"" + tree.Root() + L"\\bin2iso.exe\"\""},
         L""},
        {window::ids::CompressButton, {}, expected::NotAnImage},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.control);
        window.host.launched.clear();
        window.host.boxes.clear();
        Click(window.Control(c.control));
        WaitFor([&] { return !window.host.launched.empty() || !window.host.boxes.empty(); }, 1s);
        EXPECT_EQ(window.host.launched, c.launched);
        if (c.box.empty()) {
            EXPECT_TRUE(window.host.boxes.empty());
        } else {
            ASSERT_EQ(window.host.boxes.size(), 1u);
            EXPECT_EQ(window.host.boxes[0].prompt, c.box);
            EXPECT_EQ(window.host.boxes[0].style, MessageStyle::Critical);
        }
    }
    // The compress button captured the (empty) selection into the file label.
    EXPECT_EQ(window.form->ReadSelectedFile(), L"");
    EXPECT_EQ(WindowText(window.Control(window::ids::FileLabel)), L"File: ");
}

class FolderListClicks : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.Folder(L"alpha");
        tree.File(L"alpha\\inside alpha.iso");
        tree.Folder(L"beta");
        tree.File(L"top.cue");
        window = std::make_unique<FormUnderTest>(tree.Root());
        window->ShowInFront();
        folderList = window->Control(window::ids::FolderList);
        fileList = window->Control(window::ids::FileList);
    }

    Lab tree;
    std::unique_ptr<FormUnderTest> window;
    HWND folderList = nullptr;
    HWND fileList = nullptr;
};

TEST_F(FolderListClicks, SingleClickOnlyHighlights)
{
    ASSERT_EQ(ListItems(fileList), std::vector<std::wstring>{L"top.cue"});
    const int alpha = IndexOf(ListItems(folderList), L"alpha");
    ASSERT_GE(alpha, 0);
    ClickListItem(folderList, alpha);
    WaitFor([&] { return ::SendMessageW(folderList, LB_GETCURSEL, 0, 0) == alpha; });
    RunMessagesFor(600ms); // longer than a double click takes
    EXPECT_EQ(window->form->ReadHighlightedDirectory(), tree.Path(L"alpha"));
    EXPECT_EQ(ListItems(fileList), std::vector<std::wstring>{L"top.cue"});
    EXPECT_EQ(window->form->ReadFileListDirectory(), tree.Root());
    EXPECT_NE(IndexOf(ListItems(folderList), L"beta"), -1) << "the entries stayed";
}

TEST_F(FolderListClicks, DoubleClickOpens)
{
    ::SendMessageW(fileList, LB_SETCURSEL, 0, 0);
    const int alpha = IndexOf(ListItems(folderList), L"alpha");
    ASSERT_GE(alpha, 0);
    ClickListItem(folderList, alpha, 2);
    WaitFor([&] { return window->form->ReadFileListDirectory() != tree.Root(); });
    EXPECT_EQ(window->form->ReadFileListDirectory(), tree.Path(L"alpha"));
    EXPECT_EQ(ListItems(fileList), std::vector<std::wstring>{L"inside alpha.iso"});
    EXPECT_EQ(::SendMessageW(fileList, LB_GETCURSEL, 0, 0), LB_ERR) << "nothing selected";
    EXPECT_EQ(window->form->ReadHighlightedDirectory(), tree.Path(L"alpha"));
    const std::vector<std::wstring> entries = ListItems(folderList);
    EXPECT_EQ(entries.back(), L"alpha") << "alpha has no subdirectories";
    EXPECT_EQ(IndexOf(entries, L"beta"), -1);
}

TEST_F(FolderListClicks, TypingALetterHighlightsTheFolderWhoseNameStartsWithIt)
{
    const int open = static_cast<int>(::SendMessageW(folderList, LB_GETCURSEL, 0, 0));
    ClickListItem(folderList, open);
    WaitFor([&] { return ::GetFocus() == folderList; });
    PressKey('B');
    WaitFor([&] { return window->form->ReadHighlightedDirectory() != tree.Root(); });
    EXPECT_EQ(window->form->ReadHighlightedDirectory(), tree.Path(L"beta"));
    EXPECT_EQ(window->form->ReadFileListDirectory(), tree.Root()) << "typing only highlights";
}

// Tab brings the focus to the list: its caret item, the open folder, shows the focus
// rectangle over its highlight, and only while the list holds the focus.
TEST_F(FolderListClicks, TheCaretItemShowsTheFocus)
{
    RECT edge{}; // the caret item's top line
    ::SendMessageW(folderList, LB_GETITEMRECT, ::SendMessageW(folderList, LB_GETCARETINDEX, 0, 0),
                   reinterpret_cast<LPARAM>(&edge));
    edge.bottom = edge.top + 1;
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    for (const bool focused : {true, false}) {
        PressKey(VK_TAB);
        WaitFor([&] { return (::GetFocus() == folderList) == focused; });
        RunMessagesFor(100ms);
        EXPECT_EQ(PixelsOf(folderList, edge, highlight) < edge.right - edge.left, focused)
            << "with the focus: " << focused;
    }
}

TEST_F(FolderListClicks, EnterOpensTheHighlightedEntry)
{
    const int beta = IndexOf(ListItems(folderList), L"beta");
    ASSERT_GE(beta, 0);
    ClickListItem(folderList, beta);
    WaitFor([&] { return ::SendMessageW(folderList, LB_GETCURSEL, 0, 0) == beta; });
    ASSERT_EQ(::GetFocus(), folderList);
    PressKey(VK_RETURN);
    WaitFor([&] { return window->form->ReadFileListDirectory() != tree.Root(); });
    EXPECT_EQ(window->form->ReadFileListDirectory(), tree.Path(L"beta"));
    EXPECT_TRUE(ListItems(fileList).empty());
}

} // namespace
} // namespace qarvel::drive
