#include "MainWindow.h"

#include "actions/Texts.h"
#include "CommonControls.h"
#include "Font.h"

namespace qarvel::window {

namespace {

constexpr DWORD WindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD WindowExStyle = 0;

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ids::MainWindowClass;
    return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

ids::Control BoxId(FormatBox box)
{
    return box == FormatBox::Chd ? ids::ChdBox : ids::ZsoBox;
}

} // namespace

// --- making the window ---

std::unique_ptr<MainWindow> MainWindow::Create(HINSTANCE instance, HostServices &host,
                                               OnClose onClose)
{
    // The standard controls come from the common controls library named in the manifest.
    LoadCommonControls();
    if (!RegisterWindowClass(instance, &MainWindow::WindowProc)) {
        return nullptr;
    }
    auto window = std::make_unique<MainWindow>(Key{}, host, onClose);
    const SIZE size = window->WindowSizeFor(::GetDpiForSystem());
    if (::CreateWindowExW(WindowExStyle, ids::MainWindowClass, texts::WindowTitle, WindowStyle,
                          CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr,
                          instance, window.get()) == nullptr) {
        return nullptr;
    }
    const UINT dpi = ::GetDpiForWindow(window->window_);
    window->dpi_ = dpi != 0 ? dpi : ::GetDpiForSystem();
    window->font_ = CreateMessageFont(window->dpi_);
    ACCEL refresh{FVIRTKEY, VK_F5, ids::Refresh};
    window->keys_.reset(::CreateAcceleratorTableW(&refresh, 1));
    if (!window->keys_ || !window->CreateControls(instance)) {
        const DWORD error = ::GetLastError();
        window.reset(); // destroys what was made
        ::SetLastError(error);
        return nullptr;
    }
    window->FitListsAndWindow(nullptr);
    if (!window->browser_.Drives().Fill()) {
        host.ShowMessageBox(texts::NoDrives, MessageStyle::Critical);
    }
    window->actions_.OnWindowLoad();
    return window;
}

MainWindow::MainWindow(Key, HostServices &host, OnClose onClose)
    : actions_(*this, host), onClose_(onClose), browser_(host)
{
}

MainWindow::~MainWindow()
{
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

bool MainWindow::CreateControls(HINSTANCE instance)
{
    // Creation order is the tab order of the layout table. Each control is made in its place,
    // at the window's DPI: moving it there afterwards would cost more than all the rest of
    // the layout (a drop-down list resizes its list window with it).
    for (const LayoutEntry &entry : WindowLayout()) {
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
    }
    browser_.Attach(Child(ids::FolderList), Child(ids::DriveList), Child(ids::FileList));
    const RECT drives = PlaceOf(LayoutOf(ids::DriveList), {});
    browser_.Drives().SetClosedHeight(drives.bottom - drives.top);
    lastFocus_ = Child(ids::CompressButton);
    return true;
}

void MainWindow::Show(int showCommand)
{
    ::ShowWindow(window_, showCommand);
    ::UpdateWindow(window_);
}

bool MainWindow::TranslateKeys(MSG &message)
{
    const HWND top = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (top == nullptr) {
        return false;
    }
    wchar_t className[32] = {};
    ::GetClassNameW(top, className, static_cast<int>(std::size(className)));
    if (std::wstring_view(className) == ids::MainWindowClass) {
        const auto *window =
            reinterpret_cast<const MainWindow *>(::GetWindowLongPtrW(top, GWLP_USERDATA));
        if (window != nullptr && ::TranslateAcceleratorW(top, window->keys_.get(), &message)) {
            return true;
        }
    }
    return ::IsDialogMessageW(top, &message) != 0;
}

// --- DPI, font and layout ---

SIZE MainWindow::WindowSizeFor(UINT dpi) const
{
    const SIZE client = ClientSize(dpi);
    RECT frame{0, 0, client.cx, client.cy};
    if (!::AdjustWindowRectExForDpi(&frame, WindowStyle, FALSE, WindowExStyle, dpi)) {
        ::AdjustWindowRectEx(&frame, WindowStyle, FALSE, WindowExStyle);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

HFONT MainWindow::CurrentFont() const
{
    return font_ ? font_.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void MainWindow::ApplyDpi(UINT dpi, const RECT *suggested)
{
    dpi_ = dpi;
    win32::UniqueFont font = CreateMessageFont(dpi);
    if (font) {
        // The controls let go of the old font before it is deleted.
        for (const LayoutEntry &entry : WindowLayout()) {
            Control(Child(entry.id)).SetFont(font.get());
        }
        font_ = std::move(font);
    }
    for (const LayoutEntry &entry : WindowLayout()) {
        PlaceControl(entry);
    }
    FitListsAndWindow(suggested);
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::FitListsAndWindow(const RECT *suggested)
{
    const int margin = ::MulDiv(2, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
    FolderList &folders = browser_.Folders();
    folders.SetItemHeight(MeasureText(folders.Handle(), CurrentFont(), L"Ag").cy + margin);
    browser_.Files().FitNames();
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

RECT MainWindow::PlaceOf(const LayoutEntry &entry, const std::wstring &caption) const
{
    SIZE extent{0, 0};
    if (entry.width == FitsCaption) {
        extent = MeasureText(window_, CurrentFont(), caption);
    }
    return ControlRect(entry, dpi_, extent);
}

void MainWindow::PlaceControl(const LayoutEntry &entry)
{
    const HWND control = Child(entry.id);
    const RECT place = PlaceOf(entry, Control(control).Text());
    ::SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
                   WindowHeightOf(entry, place), SWP_NOZORDER | SWP_NOACTIVATE);
    if (entry.kind == ControlKind::DriveList) {
        browser_.Drives().SetClosedHeight(place.bottom - place.top);
    }
}

// --- messages, and the handling each control event runs ---

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MainWindow *self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<MainWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<MainWindow *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_MEASUREITEM:
        if (wParam == ids::FolderList) {
            // Asked once while the list is made; the height follows the font afterwards.
            reinterpret_cast<MEASUREITEMSTRUCT *>(lParam)->itemHeight =
                static_cast<UINT>(::MulDiv(16, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI));
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (wParam == ids::FolderList) {
            browser_.Folders().Draw(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam), dpi_);
            return TRUE;
        }
        break;
    case WM_CTLCOLORSTATIC:
        return OnStaticColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (focus != nullptr && ::IsChild(window_, focus)) {
                lastFocus_ = focus;
            }
        } else if (lastFocus_ != nullptr && ::IsWindow(lastFocus_)) {
            ::SetFocus(lastFocus_);
        }
        return 0;
    case WM_SETFOCUS:
        if (lastFocus_ != nullptr && ::IsWindow(lastFocus_)) {
            ::SetFocus(lastFocus_);
        }
        return 0;
    case WM_GETDPISCALEDSIZE:
        *reinterpret_cast<SIZE *>(lParam) = WindowSizeFor(static_cast<UINT>(LOWORD(wParam)));
        return TRUE;
    case WM_DPICHANGED:
        ApplyDpi(LOWORD(wParam), reinterpret_cast<const RECT *>(lParam));
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETNONCLIENTMETRICS) {
            ApplyDpi(dpi_, nullptr);
        }
        break;
    case WM_DESTROY:
        // Tools still running run on; nothing more is told of them.
        actions_.OnWindowClosed();
        if (onClose_ == OnClose::EndMessageLoop) {
            ::PostQuitMessage(0);
        }
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT MainWindow::OnStaticColour(HDC dc, HWND control)
{
    if (control == Child(ids::Lz4Label)) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    return ::DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(control));
}

void MainWindow::OnCommand(int id, int code)
{
    switch (id) {
    case IDOK: // Enter, from the keyboard navigation
        OnEnter();
        break;
    case ids::Refresh:
        Refresh();
        break;
    case ids::CompressButton:
        if (code == BN_CLICKED) {
            actions_.OnCompress();
        }
        break;
    case ids::ConvertButton:
        if (code == BN_CLICKED) {
            actions_.OnConvert();
        }
        break;
    case ids::ChdBox:
    case ids::ZsoBox:
        if (code == BN_CLICKED) {
            OnBoxClicked(id == ids::ChdBox ? FormatBox::Chd : FormatBox::Zso);
        }
        break;
    case ids::AuthorLabel:
    case ids::CompanyLabel:
        if (code == STN_CLICKED) {
            actions_.OnSiteLabelClicked();
        }
        break;
    case ids::Lz4Label:
        if (code == STN_CLICKED) {
            actions_.OnLz4LabelClicked();
        }
        break;
    case ids::FolderList:
        if (code == LBN_DBLCLK) {
            browser_.OpenHighlighted();
        }
        break;
    case ids::DriveList:
        if (code == CBN_SELCHANGE) {
            browser_.OpenChosenDrive();
        }
        break;
    default:
        break;
    }
}

void MainWindow::OnBoxClicked(FormatBox box)
{
    CheckBox check = Box(box);
    if (!check.IsEnabled()) {
        return;
    }
    // The tick changes first; the handling sees the new value.
    check.SetChecked(!check.IsChecked());
    actions_.OnFormatBoxClicked(box);
}

void MainWindow::OnEnter()
{
    const HWND focus = ::GetFocus();
    if (focus == browser_.Folders().Handle()) {
        browser_.OpenHighlighted();
    } else if (focus == Child(ids::CompressButton) || focus == Child(ids::ConvertButton)) {
        ::SendMessageW(focus, BM_CLICK, 0, 0);
    }
}

// --- FormControls ---

void MainWindow::SetOpenDirectory(const std::wstring &directory)
{
    browser_.Open(directory);
}

void MainWindow::SetFileLabel(const std::wstring &caption)
{
    Control(Child(ids::FileLabel)).SetText(caption);
    // The label fits its new caption.
    PlaceControl(LayoutOf(ids::FileLabel));
}

Tick MainWindow::ReadTick(FormatBox box)
{
    return Box(box).IsChecked() ? Tick::Ticked : Tick::Unticked;
}

void MainWindow::SetTick(FormatBox box, Tick value)
{
    Box(box).SetChecked(value == Tick::Ticked);
}

void MainWindow::SetEnabled(FormatBox box, bool enabled)
{
    Box(box).Enable(enabled);
}

void MainWindow::FlashUntilActive()
{
    if (::GetForegroundWindow() == window_) {
        return;
    }
    FLASHWINFO flash{};
    flash.cbSize = sizeof flash;
    flash.hwnd = window_;
    flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
    ::FlashWindowEx(&flash);
}

CheckBox MainWindow::Box(FormatBox box) const
{
    return CheckBox(Child(BoxId(box)));
}

} // namespace qarvel::window
