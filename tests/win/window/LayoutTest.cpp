// The window's frame, controls, captions, places and font, at 96 DPI, after a change to 144 DPI,
// and in a process started at 144 DPI.

#include "WindowTestSupport.h"

#include <cstdlib>

namespace qarvel::test {
namespace {

struct Expected {
    ids::Control id;
    const wchar_t *className;
    const wchar_t *caption;
    RECT at96;  // left, top, right, bottom in client pixels
    RECT at144; // the same at 144 DPI (1.5 times, rounded to the nearest)
    bool label; // width fits the caption, so only left, top and height are pinned
};

// clang-format off
const Expected Controls[] = {
    {ids::Label1,   L"Static",   L"File: Not Set",      {8, 8, 0, 21},       {12, 12, 0, 32},     true},
    {ids::Command1, L"Button",   L" iSO",               {265, 23, 306, 44},  {398, 35, 460, 67},  false},
    {ids::Label2,   L"Static",   L"Written by Mordwin", {151, 235, 0, 248},  {227, 353, 0, 373},  true},
    {ids::Label3,   L"Static",   L"Halvoren",           {135, 251, 0, 264},  {203, 377, 0, 397},  true},
    {ids::Dir1,     L"ListBox",  L"",                   {8, 48, 245, 144},   {12, 72, 368, 216},  false},
    {ids::Drive1,   L"ComboBox", nullptr,                 {8, 24, 246, 45},    {12, 36, 369, 68},   false},
    {ids::File1,    L"ListBox",  L"",                   {9, 143, 243, 227},  {14, 215, 365, 341}, false},
    {ids::Check1,   L"Button",   L"CHD",                {266, 57, 311, 70},  {399, 86, 467, 106}, false},
    {ids::Check2,   L"Button",   L"ZSO",                {266, 73, 310, 86},  {399, 110, 465, 130}, false},
    {ids::Label4,   L"Static",   L"pip install lz4",    {315, 73, 0, 86},    {473, 110, 0, 130},  true},
    {ids::Command2, L"Button",   L"BIN2ISO",            {311, 23, 364, 44},  {467, 35, 547, 67},  false},
};
// clang-format on

std::wstring ClassName(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring Text(HWND window)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

LOGFONTW FontOf(HWND control)
{
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    EXPECT_NE(handle, nullptr);
    ::GetObjectW(handle, sizeof font, &font);
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

// The caption's size on one line in the control's own font.
SIZE CaptionExtent(HWND control)
{
    const std::wstring text = Text(control);
    HDC dc = ::GetDC(control);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return {extent.cx, metrics.tmHeight};
}

// Every control in place at the DPI, in the message font of that DPI.
void CheckLayout(FormUnderTest &window, UINT dpi)
{
    const LOGFONTW messageFont = MessageFontAt(dpi);
    RECT client{};
    ::GetClientRect(window.form->Handle(), &client);
    for (const Expected &control : Controls) {
        SCOPED_TRACE(control.id);
        const HWND handle = window.Control(control.id);
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(ClassName(handle), control.className);
        if (control.caption != nullptr) { // the drive list shows the chosen drive
            EXPECT_EQ(Text(handle), control.caption);
        }
        const RECT want = dpi == 144 ? control.at144 : control.at96;
        const RECT got = PlaceInParent(handle);
        EXPECT_EQ(got.left, want.left);
        EXPECT_EQ(got.top, want.top);
        const LOGFONTW font = FontOf(handle);
        EXPECT_EQ(font.lfHeight, messageFont.lfHeight);
        EXPECT_STREQ(font.lfFaceName, messageFont.lfFaceName);
        if (control.label) {
            // One line just wide enough for the caption, and never less than its own height.
            const SIZE caption = CaptionExtent(handle);
            EXPECT_EQ(got.right - got.left, caption.cx);
            EXPECT_EQ(got.bottom - got.top, std::max(want.bottom - want.top, caption.cy));
        } else {
            EXPECT_EQ(got.right, want.right);
            EXPECT_EQ(got.bottom, want.bottom);
        }
        EXPECT_LE(got.right, client.right);
        EXPECT_LE(got.bottom, client.bottom);
    }
}

TEST(WindowLayout, FrameCaptionAndClientAt96Dpi)
{
    FolderTree tree;
    FormUnderTest window(tree.Root());
    const HWND form = window.form->Handle();
    ASSERT_EQ(::GetDpiForWindow(form), 96u) << "the test expects the 96 DPI prefix";
    EXPECT_EQ(Text(form), L"Qarvel Compression Tool v0.1 ");
    wchar_t className[64] = {};
    ::GetClassNameW(form, className, 64);
    EXPECT_STREQ(className, ids::Form1Class);
    RECT client{};
    ::GetClientRect(form, &client);
    EXPECT_EQ(client.right, 399);
    EXPECT_EQ(client.bottom, 266);
    // A fixed layout: the frame does not resize and there is nothing to maximise.
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_STYLE));
    EXPECT_EQ(style & WS_THICKFRAME, 0u);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0u);
    EXPECT_NE(style & WS_CAPTION, 0u);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0u);
}

TEST(WindowLayout, ControlsAt96Dpi)
{
    FolderTree tree;
    FormUnderTest window(tree.Root());
    CheckLayout(window, 96);
}

TEST(WindowLayout, LabelsTakeNoFocusAndOthersDo)
{
    FolderTree tree;
    FormUnderTest window(tree.Root());
    for (const Expected &control : Controls) {
        SCOPED_TRACE(control.id);
        const auto style =
            static_cast<DWORD>(::GetWindowLongPtrW(window.Control(control.id), GWL_STYLE));
        EXPECT_EQ((style & WS_TABSTOP) != 0, !control.label);
    }
}

TEST(WindowLayout, FileLabelFollowsItsCaptionAndStopsAtTheEdge)
{
    FolderTree tree;
    FormUnderTest window(tree.Root());
    const HWND label = window.Control(ids::Label1);
    struct Case {
        const wchar_t *caption;
        bool cutOff;
    };
    const Case cases[] = {
        {L"File: a.iso", false},
        {L"File: a rather longer name & more, of a disc image.cue", false},
        {L"File: a name so long that it cannot fit into the window at all, however small the "
         L"letters are drawn.iso",
         true},
        {L"File: ", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption);
        window.form->SetFileLabel(c.caption);
        EXPECT_EQ(Text(label), c.caption);
        const RECT place = PlaceInParent(label);
        const SIZE caption = CaptionExtent(label);
        if (c.cutOff) {
            EXPECT_GT(caption.cx, 399 - 8);
            EXPECT_EQ(place.right, 399);
        } else {
            EXPECT_EQ(place.right - place.left, caption.cx);
        }
    }
}

TEST(WindowLayout, Lz4LabelIsDrawnInTheHighlightColour)
{
    FolderTree tree;
    FormUnderTest window(tree.Root());
    window.ShowInFront();
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    auto pixelsOf = [&](ids::Control id) {
        const RECT place = PlaceInParent(window.Control(id));
        HDC dc = ::GetDC(window.form->Handle());
        int count = 0;
        for (int y = place.top; y < place.bottom; ++y) {
            for (int x = place.left; x < place.right; ++x) {
                count += ::GetPixel(dc, x, y) == highlight ? 1 : 0;
            }
        }
        ::ReleaseDC(window.form->Handle(), dc);
        return count;
    };
    EXPECT_GT(pixelsOf(ids::Label4), 10);
    EXPECT_EQ(pixelsOf(ids::Label2), 0);
    EXPECT_EQ(pixelsOf(ids::Label3), 0);
}

TEST(WindowLayout, DpiChangeRescalesLayoutFontAndFrame)
{
    FolderTree tree;
    FormUnderTest window(tree.Root());
    const HWND form = window.form->Handle();
    RECT frame144{0, 0, 599, 399};
    ASSERT_TRUE(::AdjustWindowRectExForDpi(
        &frame144, static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_STYLE)), FALSE,
        static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_EXSTYLE)), 144));
    RECT suggested{40, 30, 40 + frame144.right - frame144.left,
                   30 + frame144.bottom - frame144.top};
    ::SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT placed{};
    ::GetWindowRect(form, &placed);
    EXPECT_EQ(placed.left, suggested.left);
    EXPECT_EQ(placed.top, suggested.top);
    EXPECT_EQ(placed.right, suggested.right);
    EXPECT_EQ(placed.bottom, suggested.bottom);
    CheckLayout(window, 144);
    // The system asks for the size at the new DPI before it suggests a rectangle.
    SIZE size{};
    EXPECT_TRUE(::SendMessageW(form, WM_GETDPISCALEDSIZE, 144, reinterpret_cast<LPARAM>(&size)));
    EXPECT_EQ(size.cx, frame144.right - frame144.left);
    EXPECT_EQ(size.cy, frame144.bottom - frame144.top);
}

// Wine takes the display's DPI from LogPixels when a process starts: this sets it to 144,
// runs the At144Dpi tests in a process of their own, and puts the old value back.
class LogPixelsSetting {
public:
    explicit LogPixelsSetting(DWORD value)
    {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                          KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
        DWORD size = sizeof old_;
        had_ = ::RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr,
                                  reinterpret_cast<BYTE *>(&old_), &size) == ERROR_SUCCESS;
        set_ =
            ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD,
                             reinterpret_cast<const BYTE *>(&value), sizeof value) == ERROR_SUCCESS;
    }
    LogPixelsSetting(const LogPixelsSetting &) = delete;
    LogPixelsSetting &operator=(const LogPixelsSetting &) = delete;
    ~LogPixelsSetting()
    {
        if (had_) {
            ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD,
                             reinterpret_cast<const BYTE *>(&old_), sizeof old_);
        } else {
            ::RegDeleteValueW(key_, L"LogPixels");
        }
        ::RegCloseKey(key_);
    }
    bool IsSet() const { return set_; }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
    bool set_ = false;
};

constexpr const wchar_t *At144Marker = L"QARVEL_WINDOW_TEST_AT_144";

TEST(WindowLayout, InAProcessStartedAt144Dpi)
{
    wchar_t self[MAX_PATH + 1] = {};
    ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH + 1), 0u);
    std::wstring commandLine =
        L"\"" + std::wstring(self) + L"\" --gtest_filter=At144Dpi.* --gtest_brief=1";
    ASSERT_TRUE(::SetEnvironmentVariableW(At144Marker, L"1"));
    DWORD exitCode = 1;
    {
        LogPixelsSetting setting(144);
        ASSERT_TRUE(setting.IsSet());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(::CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &startup, &process));
        const win::UniqueHandle processHandle(process.hProcess);
        const win::UniqueHandle threadHandle(process.hThread);
        ASSERT_EQ(::WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
        ::GetExitCodeProcess(process.hProcess, &exitCode);
    }
    ::SetEnvironmentVariableW(At144Marker, nullptr);
    EXPECT_EQ(exitCode, 0u) << "the At144Dpi tests failed; their output is above";
}

class At144Dpi : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::GetEnvironmentVariableW(At144Marker, nullptr, 0) == 0) {
            GTEST_SKIP() << "runs inside WindowLayout.InAProcessStartedAt144Dpi";
        }
    }
};

TEST_F(At144Dpi, FrameAndControls)
{
    FolderTree tree;
    FormUnderTest window(tree.Root());
    const HWND form = window.form->Handle();
    ASSERT_EQ(::GetDpiForWindow(form), 144u);
    RECT client{};
    ::GetClientRect(form, &client);
    EXPECT_EQ(client.right, 599);
    EXPECT_EQ(client.bottom, 399);
    EXPECT_LT(MessageFontAt(144).lfHeight, MessageFontAt(96).lfHeight) << "a larger font";
    CheckLayout(window, 144);
}

} // namespace
} // namespace qarvel::test
