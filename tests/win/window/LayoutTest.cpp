// The window's frame, controls, captions, places and font: laid out at every DPI of the table
// below, each in a process started at that DPI, and after a change of DPI while the window is
// open.

#include "FormUnderTest.h"
#include "tests/e2e/ExpectedTexts.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace qarvel::drive {
namespace {

enum class Kind { Label, PushButton, CheckBox, List };

// Display scalings of 100, 125, 150 and 200 per cent, and the window's client area at each:
// 5985 by 3990 twips (1440 to the inch), in pixels rounded to the nearest, worked out by hand,
// as are the places below.
const UINT Dpis[] = {96, 120, 144, 192};
constexpr SIZE Clients[] = {{399, 266}, {499, 333}, {599, 399}, {798, 532}};

// A control's left, top, width and height in pixels; a label's width is that of its caption.
struct Place {
    int left;
    int top;
    int width;
    int height;
};

struct Expected {
    window::ids::Control id;
    const wchar_t *className;
    const wchar_t *caption; // nullptr: the drive list shows the chosen drive
    Kind kind;
    Place at[4]; // at each DPI of Dpis, in its order
};

// clang-format off
constexpr Expected Controls[] = {
    {window::ids::FileLabel,      L"Static",   L"File: Not Set",      Kind::Label,      {{8, 8, 0, 13},      {10, 10, 0, 16},     {12, 12, 0, 20},     {16, 16, 0, 26}}},
    {window::ids::CompressButton, L"Button",   L" iSO",               Kind::PushButton, {{265, 23, 41, 21},  {331, 29, 51, 26},   {398, 35, 62, 32},   {530, 46, 82, 42}}},
    {window::ids::AuthorLabel,    L"Static",   L"Written by Mordwin", Kind::Label,      {{151, 235, 0, 13},  {189, 294, 0, 16},   {227, 353, 0, 20},   {302, 470, 0, 26}}},
    {window::ids::CompanyLabel,   L"Static",   L"Halvoren",           Kind::Label,      {{135, 251, 0, 13},  {169, 314, 0, 16},   {203, 377, 0, 20},   {271, 502, 0, 26}}},
    {window::ids::FolderList,     L"ListBox",  L"",                   Kind::List,       {{8, 48, 237, 96},   {10, 60, 296, 120},  {12, 72, 356, 144},  {16, 96, 474, 192}}},
    {window::ids::DriveList,      L"ComboBox", nullptr,               Kind::List,       {{8, 24, 238, 21},   {10, 30, 298, 26},   {12, 36, 357, 32},   {16, 48, 476, 42}}},
    {window::ids::FileList,       L"ListBox",  L"",                   Kind::List,       {{9, 143, 234, 84},  {11, 179, 293, 105}, {14, 215, 351, 126}, {18, 286, 468, 168}}},
    {window::ids::ChdBox,         L"Button",   L"CHD",                Kind::CheckBox,   {{266, 57, 45, 13},  {333, 71, 56, 16},   {399, 86, 68, 20},   {532, 114, 90, 26}}},
    {window::ids::ZsoBox,         L"Button",   L"ZSO",                Kind::CheckBox,   {{266, 73, 44, 13},  {333, 91, 55, 16},   {399, 110, 66, 20},  {532, 146, 88, 26}}},
    {window::ids::Lz4Label,       L"Static",   L"pip install lz4",    Kind::Label,      {{315, 73, 0, 13},   {394, 91, 0, 16},    {473, 110, 0, 20},   {630, 146, 0, 26}}},
    {window::ids::ConvertButton,  L"Button",   L"BIN2ISO",            Kind::PushButton, {{311, 23, 53, 21},  {389, 29, 66, 26},   {467, 35, 80, 32},   {622, 46, 106, 42}}},
};
// clang-format on
constexpr const Expected &FileLabel = Controls[0];
static_assert(FileLabel.id == window::ids::FileLabel);

// The index of the DPI in Dpis.
std::size_t ScaleOf(UINT dpi)
{
    return static_cast<std::size_t>(std::ranges::find(Dpis, dpi) - std::begin(Dpis));
}

// The control's place inside its window's client area.
RECT PlaceInParent(HWND control)
{
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

LOGFONTW FontOf(HWND control)
{
    LOGFONTW font{};
    EXPECT_NE(::GetObjectW(FontHandle(control), sizeof font, &font), 0);
    return font;
}

LOGFONTW MessageFontAt(UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    EXPECT_TRUE(
        ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi));
    return metrics.lfMessageFont;
}

SIZE CaptionExtent(HWND control)
{
    return TextExtent(control, WindowText(control));
}

// The room a fixed-size control needs for its caption: a push button draws an edge and its
// focus rectangle's margin on each side, a check box its mark and a blank before the caption.
SIZE RoomNeeded(const Expected &control, HWND handle, UINT dpi)
{
    const int edgeX = ::GetSystemMetricsForDpi(SM_CXEDGE, dpi);
    const int edgeY = ::GetSystemMetricsForDpi(SM_CYEDGE, dpi);
    if (control.kind == Kind::PushButton) {
        const SIZE caption = CaptionExtent(handle);
        return {caption.cx + 4 * edgeX, caption.cy + 2 * edgeY};
    }
    const SIZE caption = TextExtent(handle, L" " + WindowText(handle));
    return {::GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) + caption.cx, caption.cy};
}

// Every list's lines are at least as tall as its text, and the open drive list shows the
// drives, up to eight of them, without scrolling.
void CheckListLines(HWND handle, window::ids::Control id)
{
    const LONG text = CaptionExtent(handle).cy;
    if (id == window::ids::DriveList) {
        EXPECT_GE(::SendMessageW(handle, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), text)
            << "the closed box's field";
        const auto line = static_cast<LONG>(::SendMessageW(handle, CB_GETITEMHEIGHT, 0, 0));
        EXPECT_GE(line, text) << "the open list";
        const auto drives = static_cast<LONG>(::SendMessageW(handle, CB_GETCOUNT, 0, 0));
        RECT open{};
        ::SendMessageW(handle, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&open));
        EXPECT_GE(open.bottom - open.top, std::min(drives, 8L) * line) << "the open list";
    } else {
        EXPECT_GE(::SendMessageW(handle, LB_GETITEMHEIGHT, 0, 0), text);
    }
}

// Every control in its place from the twips table at the DPI and inside the client area, in
// the window's one font, which is the message font of that DPI, with room for its caption.
void CheckLayout(FormUnderTest &window, UINT dpi)
{
    SCOPED_TRACE(std::to_string(dpi) + " DPI");
    // The client area of the table; the window's own is checked where the process runs at this
    // DPI (a change sent to a window whose frame stays at another DPI leaves a larger one).
    const std::size_t scale = ScaleOf(dpi);
    const RECT client{0, 0, Clients[scale].cx, Clients[scale].cy};

    const LOGFONTW messageFont = MessageFontAt(dpi);
    EXPECT_EQ(messageFont.lfHeight, ::MulDiv(MessageFontAt(96).lfHeight, static_cast<int>(dpi), 96))
        << "the message font grows with the DPI";
    const HFONT windowFont = FontHandle(window.Control(window::ids::FileLabel));
    for (const Expected &control : Controls) {
        SCOPED_TRACE(control.id);
        const HWND handle = window.Control(control.id);
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(ClassName(handle), control.className);
        if (control.caption != nullptr) {
            EXPECT_EQ(WindowText(handle), control.caption);
        }
        EXPECT_EQ(FontHandle(handle), windowFont) << "one font for every control";
        const LOGFONTW font = FontOf(handle);
        EXPECT_EQ(font.lfHeight, messageFont.lfHeight);
        EXPECT_STREQ(font.lfFaceName, messageFont.lfFaceName);

        const RECT got = PlaceInParent(handle);
        const Place &place = control.at[scale];
        EXPECT_EQ(got.left, place.left);
        EXPECT_EQ(got.top, place.top);
        const LONG height = got.bottom - got.top;
        const SIZE caption = CaptionExtent(handle);
        if (control.kind == Kind::Label) {
            // One line just wide enough for the caption, and never less than its own height.
            EXPECT_EQ(got.right - got.left, caption.cx) << "a clipped label";
            EXPECT_EQ(height, std::max<LONG>(place.height, caption.cy));
        } else {
            EXPECT_EQ(got.right - got.left, place.width);
            EXPECT_EQ(height, place.height);
        }
        if (control.kind == Kind::List) {
            CheckListLines(handle, control.id);
        } else if (control.kind != Kind::Label) {
            const SIZE room = RoomNeeded(control, handle, dpi);
            EXPECT_LE(room.cx, got.right - got.left) << "caption wider than its control";
            EXPECT_LE(room.cy, height) << "caption taller than its control";
        }
        EXPECT_GE(got.left, 0);
        EXPECT_GE(got.top, 0);
        EXPECT_LE(got.right, client.right);
        EXPECT_LE(got.bottom, client.bottom);
    }

    // The file label alone is cut off, at the window's edge, when its caption is too long.
    const HWND label = window.Control(window::ids::FileLabel);
    const std::wstring before = WindowText(label);
    window.form->SetFileLabel(L"File: " + std::wstring(200, L'W') + L".iso");
    const RECT cut = PlaceInParent(label);
    EXPECT_GT(CaptionExtent(label).cx, client.right - cut.left);
    EXPECT_EQ(cut.left, FileLabel.at[scale].left);
    EXPECT_EQ(cut.right, client.right);
    window.form->SetFileLabel(before);
}

TEST(WindowLayout, FrameAndCaption)
{
    Lab tree;
    FormUnderTest window(tree.Root());
    const HWND form = window.form->Handle();
    EXPECT_EQ(WindowText(form), expected::Caption);
    EXPECT_EQ(ClassName(form), window::ids::MainWindowClass);
    // A fixed layout: the frame does not resize and there is nothing to maximise.
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_STYLE));
    EXPECT_EQ(style & WS_THICKFRAME, 0u);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0u);
    EXPECT_NE(style & WS_CAPTION, 0u);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0u);
}

TEST(WindowLayout, LabelsTakeNoFocusAndOthersDo)
{
    Lab tree;
    FormUnderTest window(tree.Root());
    for (const Expected &control : Controls) {
        SCOPED_TRACE(control.id);
        const auto style =
            static_cast<DWORD>(::GetWindowLongPtrW(window.Control(control.id), GWL_STYLE));
        EXPECT_EQ((style & WS_TABSTOP) != 0, control.kind != Kind::Label);
    }
}

TEST(WindowLayout, FileLabelFollowsItsCaptionAndStopsAtTheEdge)
{
    Lab tree;
    FormUnderTest window(tree.Root());
    const HWND label = window.Control(window::ids::FileLabel);
    RECT client{};
    ::GetClientRect(window.form->Handle(), &client);
    const std::pair<const wchar_t *, bool> cases[] = {
        {L"File: a.iso", false},
        {L"File: a rather longer name & more, of a disc image.cue", false},
        {L"File: a name so long that it cannot fit into the window at all, however small the "
         L"letters are drawn.iso",
         true},
        {L"File: ", false},
    };
    for (const auto &[text, cutOff] : cases) {
        SCOPED_TRACE(text);
        window.form->SetFileLabel(text);
        EXPECT_EQ(WindowText(label), text);
        const RECT place = PlaceInParent(label);
        const SIZE caption = CaptionExtent(label);
        if (cutOff) {
            EXPECT_GT(caption.cx, client.right - place.left);
            EXPECT_EQ(place.right, client.right);
        } else {
            EXPECT_EQ(place.right - place.left, caption.cx);
        }
    }
}

TEST(WindowLayout, Lz4LabelIsDrawnInTheHighlightColour)
{
    Lab tree;
    FormUnderTest window(tree.Root());
    window.ShowInFront();
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    auto pixelsOf = [&](window::ids::Control id) {
        return PixelsOf(window.form->Handle(), PlaceInParent(window.Control(id)), highlight);
    };
    EXPECT_GT(pixelsOf(window::ids::Lz4Label), 10);
    EXPECT_EQ(pixelsOf(window::ids::AuthorLabel), 0);
    EXPECT_EQ(pixelsOf(window::ids::CompanyLabel), 0);
}

// Moved between displays: the window goes to every DPI of the table in turn and back to its own.
TEST(WindowLayout, DpiChangeRescalesLayoutFontAndFrame)
{
    Lab tree;
    FormUnderTest window(tree.Root());
    const HWND form = window.form->Handle();
    const UINT start = ::GetDpiForWindow(form);
    std::vector<UINT> steps;
    std::ranges::copy_if(Dpis, std::back_inserter(steps),
                         [start](UINT dpi) { return dpi != start; });
    steps.push_back(start);
    for (const UINT dpi : steps) {
        SCOPED_TRACE("changed to " + std::to_string(dpi) + " DPI");
        const SIZE client = Clients[ScaleOf(dpi)];
        RECT frame{0, 0, client.cx, client.cy};
        ASSERT_TRUE(::AdjustWindowRectExForDpi(
            &frame, static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_STYLE)), FALSE,
            static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_EXSTYLE)), dpi));
        // The system asks for the size at the new DPI before it suggests a rectangle.
        SIZE size{};
        EXPECT_TRUE(
            ::SendMessageW(form, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size)));
        EXPECT_EQ(size.cx, frame.right - frame.left);
        EXPECT_EQ(size.cy, frame.bottom - frame.top);
        RECT suggested{40, 30, 40 + frame.right - frame.left, 30 + frame.bottom - frame.top};
        ::SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        RECT placed{};
        ::GetWindowRect(form, &placed);
        EXPECT_TRUE(::EqualRect(&placed, &suggested));
        CheckLayout(window, dpi);
    }
}

// Wine takes the display's DPI from LogPixels when a process starts. Each row of the table
// sets it, runs its own test again in a new process that finds the DPI in this variable, and
// puts the old value back.
constexpr const wchar_t *DpiVariable = L"QARVEL_WINDOW_TEST_DPI";

// The DPI this process was started at by a row of the table; 0 in the process ctest starts.
UINT StartedDpi()
{
    return static_cast<UINT>(std::wcstoul(Variable(DpiVariable).c_str(), nullptr, 10));
}

void RunInAProcessStartedAt(UINT dpi, const std::string &testName)
{
    wchar_t self[MAX_PATH + 1] = {};
    ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH + 1), 0u);
    const std::wstring commandLine = L"\"" + std::wstring(self) +
                                     L"\" --gtest_brief=1 --gtest_filter=" +
                                     std::wstring(testName.begin(), testName.end());
    ASSERT_TRUE(::SetEnvironmentVariableW(DpiVariable, std::to_wstring(dpi).c_str()));
    DWORD exitCode = 1;
    {
        const RegistryValue setting(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels",
                                    DWORD{dpi});
        ASSERT_TRUE(setting.IsSet());
        const auto child = StartProcess(self, commandLine);
        ASSERT_TRUE(child);
        ASSERT_EQ(::WaitForSingleObject(child->process.get(), 120000), WAIT_OBJECT_0);
        ::GetExitCodeProcess(child->process.get(), &exitCode);
    }
    ::SetEnvironmentVariableW(DpiVariable, nullptr);
    EXPECT_EQ(exitCode, 0u) << "the test failed at " << dpi << " DPI; its output is above";
}

class StartedAt : public ::testing::TestWithParam<UINT> {};

TEST_P(StartedAt, LaysOutTheWindowForItsDpi)
{
    const UINT dpi = GetParam();
    const UINT started = StartedDpi();
    if (started == 0) {
        const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
        RunInAProcessStartedAt(dpi, std::string(test->test_suite_name()) + "." + test->name());
        return;
    }
    if (started != dpi) {
        GTEST_SKIP() << "this process was started at " << started << " DPI";
    }
    Lab tree;
    FormUnderTest window(tree.Root());
    ASSERT_EQ(::GetDpiForWindow(window.form->Handle()), dpi);
    RECT client{};
    ::GetClientRect(window.form->Handle(), &client);
    EXPECT_EQ(client.right, Clients[ScaleOf(dpi)].cx);
    EXPECT_EQ(client.bottom, Clients[ScaleOf(dpi)].cy);
    CheckLayout(window, dpi);
    const HWND label = window.Control(window::ids::FileLabel);
    std::printf("%u DPI: client %ldx%ld pixels, message font height %ld, text %ld pixels high\n",
                dpi, client.right, client.bottom, FontOf(label).lfHeight, CaptionExtent(label).cy);
}

INSTANTIATE_TEST_SUITE_P(Dpi, StartedAt, ::testing::ValuesIn(Dpis),
                         [](const ::testing::TestParamInfo<UINT> &row) {
                             return std::to_string(row.param);
                         });

} // namespace
} // namespace qarvel::drive
