// Form1: making the window and its controls, and their layout at the window's DPI.

#include "Form1.h"

#include "CommonControls.h"
#include "Font.h"
#include "WindowTexts.h"

#include <commctrl.h>

namespace qarvel::window {

namespace {

constexpr DWORD FormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD FormExStyle = 0;

struct ChildClass {
    const wchar_t *className;
    DWORD style;
    DWORD exStyle;
};

ChildClass ClassOf(const LayoutEntry &entry)
{
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (entry.kind) {
    case ControlKind::Label:
        // One line, clipped; "&" in a file name is shown, not taken for a mnemonic.
        return {WC_STATICW,
                child | SS_LEFTNOWORDWRAP | SS_NOPREFIX | (entry.clickable ? SS_NOTIFY : 0u), 0};
    case ControlKind::PushButton:
        return {WC_BUTTONW, child | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::CheckBox:
        // Not an automatic box: the window sets the tick itself, then runs the handling.
        return {WC_BUTTONW, child | WS_TABSTOP | BS_CHECKBOX, 0};
    case ControlKind::DirectoryList:
        return {WC_LISTBOXW,
                child | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                    LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                WS_EX_CLIENTEDGE};
    case ControlKind::DriveList:
        return {WC_COMBOBOXW, child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case ControlKind::FileList:
        // Scrolls sideways to a name wider than the list.
        return {WC_LISTBOXW,
                child | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                    LBS_HASSTRINGS,
                WS_EX_CLIENTEDGE};
    }
    return {WC_STATICW, child, 0};
}

// A drop-down list is given the height of its open list; its closed height is set apart.
int WindowHeightOf(const LayoutEntry &entry, const RECT &place)
{
    const int height = place.bottom - place.top;
    return entry.kind == ControlKind::DriveList ? height * 8 : height;
}

bool RegisterFormClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ids::Form1Class;
    return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

std::unique_ptr<Form1> Form1::Create(HINSTANCE instance, HostServices &host, OnClose onClose)
{
    // The standard controls come from the common controls library named in the manifest.
    LoadCommonControls();
    if (!RegisterFormClass(instance, &Form1::WindowProc)) {
        return nullptr;
    }
    auto form = std::make_unique<Form1>(Key{}, host, onClose);
    const SIZE size = form->WindowSizeFor(::GetDpiForSystem());
    if (::CreateWindowExW(FormExStyle, ids::Form1Class, FormCaption, FormStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, instance,
                          form.get()) == nullptr) {
        return nullptr;
    }
    const UINT dpi = ::GetDpiForWindow(form->window_);
    form->dpi_ = dpi != 0 ? dpi : ::GetDpiForSystem();
    form->font_ = CreateMessageFont(form->dpi_);
    if (!form->CreateControls(instance)) {
        const DWORD error = ::GetLastError();
        form.reset(); // destroys what was made
        ::SetLastError(error);
        return nullptr;
    }
    form->FitListsAndWindow(nullptr);
    if (!form->drive1_.Fill()) {
        host.ShowMessageBox(texts::NoDrives, MessageStyle::Critical);
    }
    form->actions_.OnWindowLoad();
    return form;
}

Form1::Form1(Key, HostServices &host, OnClose onClose)
    : host_(host), actions_(*this, host), onClose_(onClose)
{
}

Form1::~Form1()
{
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

bool Form1::CreateControls(HINSTANCE instance)
{
    // Creation order is the tab order of the layout table. Each control is made in its place,
    // at the window's DPI: moving it there afterwards would cost more than all the rest of
    // the layout (a drop-down list resizes its list window with it).
    for (const LayoutEntry &entry : FormLayout()) {
        const ChildClass kind = ClassOf(entry);
        const RECT place = PlaceOf(entry, entry.caption);
        const HWND control = ::CreateWindowExW(
            kind.exStyle, kind.className, entry.caption, kind.style, place.left, place.top,
            place.right - place.left, WindowHeightOf(entry, place), window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance, nullptr);
        if (control == nullptr) {
            return false;
        }
        Control(control).SetFont(CurrentFont());
        if (entry.kind == ControlKind::DriveList) {
            drive1_.Attach(control);
            drive1_.SetClosedHeight(place.bottom - place.top);
        }
    }
    dir1_.Attach(Child(ids::Dir1));
    file1_.Attach(Child(ids::File1));
    lastFocus_ = Child(ids::Command1);
    return true;
}

void Form1::Show(int showCommand)
{
    ::ShowWindow(window_, showCommand);
    ::UpdateWindow(window_);
}

bool Form1::HandleDialogMessage(MSG &message)
{
    if (window_ == nullptr) {
        return false;
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_F5 &&
        (message.hwnd == window_ || ::IsChild(window_, message.hwnd))) {
        OnRefresh();
        return true;
    }
    return ::IsDialogMessageW(window_, &message) != 0;
}

// --- DPI, font and layout ---

SIZE Form1::WindowSizeFor(UINT dpi) const
{
    const SIZE client = FormClientSize(dpi);
    RECT frame{0, 0, client.cx, client.cy};
    if (!::AdjustWindowRectExForDpi(&frame, FormStyle, FALSE, FormExStyle, dpi)) {
        ::AdjustWindowRectEx(&frame, FormStyle, FALSE, FormExStyle);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

HFONT Form1::CurrentFont() const
{
    return font_ ? font_.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void Form1::ApplyDpi(UINT dpi, const RECT *suggested)
{
    dpi_ = dpi;
    win32::UniqueFont font = CreateMessageFont(dpi);
    if (font) {
        // The controls let go of the old font before it is deleted.
        for (const LayoutEntry &entry : FormLayout()) {
            Control(Child(entry.id)).SetFont(font.get());
        }
        font_ = std::move(font);
    }
    for (const LayoutEntry &entry : FormLayout()) {
        PlaceControl(entry);
    }
    FitListsAndWindow(suggested);
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form1::FitListsAndWindow(const RECT *suggested)
{
    const int margin = ::MulDiv(2, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
    dir1_.SetItemHeight(MeasureText(dir1_.Handle(), CurrentFont(), L"Ag").cy + margin);
    file1_.FitNames();
    if (suggested != nullptr) {
        ::SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        // Made at this size already unless the DPI differs from the system's.
        const SIZE size = WindowSizeFor(dpi_);
        RECT frame{};
        ::GetWindowRect(window_, &frame);
        if (frame.right - frame.left != size.cx || frame.bottom - frame.top != size.cy) {
            ::SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

RECT Form1::PlaceOf(const LayoutEntry &entry, const std::wstring &caption) const
{
    SIZE extent{0, 0};
    if (entry.width == FitsCaption) {
        extent = MeasureText(window_, CurrentFont(), caption);
    }
    return ControlRect(entry, dpi_, extent);
}

void Form1::PlaceControl(const LayoutEntry &entry)
{
    const HWND control = Child(entry.id);
    const RECT place = PlaceOf(entry, Control(control).Text());
    ::SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
                   WindowHeightOf(entry, place), SWP_NOZORDER | SWP_NOACTIVATE);
    if (entry.kind == ControlKind::DriveList) {
        drive1_.SetClosedHeight(place.bottom - place.top);
    }
}

CheckBox Form1::Box(FormatBox box) const
{
    return CheckBox(Child(box == FormatBox::Check1 ? ids::Check1 : ids::Check2));
}

} // namespace qarvel::window
