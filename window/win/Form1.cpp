#include "Form1.h"

#include "DirectoryPaths.h"
#include "FolderReader.h"
#include "Font.h"
#include "host/win/ErrorText.h"
#include "WindowTexts.h"

#include <commctrl.h>

namespace qarvel::win {

namespace {

constexpr DWORD FormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD FormExStyle = 0;

struct ChildClass {
    const wchar_t *className;
    DWORD style;
    DWORD exStyle;
};

ChildClass ClassOf(const ControlSpec &spec)
{
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (spec.kind) {
    case ControlKind::Label:
        // One line, clipped; "&" in a file name is shown, not taken for a mnemonic.
        return {WC_STATICW,
                child | SS_LEFTNOWORDWRAP | SS_NOPREFIX | (spec.clickable ? SS_NOTIFY : 0u), 0};
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
        return {WC_LISTBOXW,
                child | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                    LBS_HASSTRINGS,
                WS_EX_CLIENTEDGE};
    }
    return {WC_STATICW, child, 0};
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
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
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
    if (!form->CreateControls(instance)) {
        return nullptr; // the owner destroys what was made
    }
    const UINT dpi = ::GetDpiForWindow(form->window_);
    form->ApplyDpi(dpi != 0 ? dpi : ::GetDpiForSystem(), nullptr);
    if (!form->drive1_.Fill()) {
        host.ShowMessageBox(texts::NoDrives, MessageStyle::Critical);
    }
    form->Run(&ImageActions::OnWindowLoad);
    return form;
}

Form1::Form1(Key, HostServices &host, OnClose onClose)
    : host_(host), relay_(host, [this] { recent_.reset(); }), actions_(*this, relay_),
      onClose_(onClose)
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
    // Creation order is the tab order of the layout table.
    for (const ControlSpec &spec : FormLayout()) {
        const ChildClass kind = ClassOf(spec);
        if (::CreateWindowExW(kind.exStyle, kind.className, spec.caption, kind.style, 0, 0, 0, 0,
                              window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                              instance, nullptr) == nullptr) {
            return false;
        }
    }
    dir1_.Attach(Child(ids::Dir1));
    drive1_.Attach(Child(ids::Drive1));
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
    return window_ != nullptr && ::IsDialogMessageW(window_, &message) != 0;
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
    UniqueFont font = CreateMessageFont(dpi);
    if (font) {
        // The controls let go of the old font before it is deleted.
        for (const ControlSpec &spec : FormLayout()) {
            Control(Child(spec.id)).SetFont(font.get());
        }
        font_ = std::move(font);
    }
    const int margin = ::MulDiv(2, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    dir1_.SetItemHeight(MeasureText(dir1_.Handle(), CurrentFont(), L"Ag").cy + margin);
    for (const ControlSpec &spec : FormLayout()) {
        PlaceControl(spec);
    }
    if (suggested != nullptr) {
        ::SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        const SIZE size = WindowSizeFor(dpi);
        ::SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(window_, nullptr, TRUE);
}

void Form1::PlaceControl(const ControlSpec &spec)
{
    const HWND control = Child(spec.id);
    SIZE caption{0, 0};
    if (spec.kind == ControlKind::Label) {
        caption = MeasureText(control, CurrentFont(), Control(control).Text());
    }
    const RECT place = ControlRect(spec, dpi_, caption);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    // A drop-down list is given the height of its open list; its closed height is set apart.
    const int windowHeight = spec.kind == ControlKind::DriveList ? height * 8 : height;
    ::SetWindowPos(control, nullptr, place.left, place.top, width, windowHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (spec.kind == ControlKind::DriveList) {
        drive1_.SetClosedHeight(height);
    }
}

// --- messages ---

LRESULT CALLBACK Form1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Form1 *form = nullptr;
    if (message == WM_NCCREATE) {
        form = static_cast<Form1 *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        form->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    } else {
        form = reinterpret_cast<Form1 *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (form == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->window_ = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return form->OnMessage(message, wParam, lParam);
}

LRESULT Form1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_MEASUREITEM:
        if (wParam == ids::Dir1) {
            // Asked once while Dir1 is made; the height follows the font afterwards.
            reinterpret_cast<MEASUREITEMSTRUCT *>(lParam)->itemHeight =
                static_cast<UINT>(::MulDiv(16, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI));
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (wParam == ids::Dir1) {
            dir1_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam), dpi_);
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
        if (onClose_ == OnClose::EndMessageLoop) {
            ::PostQuitMessage(0);
        }
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT Form1::OnStaticColour(HDC dc, HWND control)
{
    if (control == Child(ids::Label4)) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    return ::DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(control));
}

void Form1::OnCommand(int id, int code)
{
    switch (id) {
    case IDOK: // Enter, from the keyboard navigation
        OnEnter();
        break;
    case ids::Command1:
        if (code == BN_CLICKED) {
            Run(&ImageActions::OnCompress);
        }
        break;
    case ids::Command2:
        if (code == BN_CLICKED) {
            Run(&ImageActions::OnConvert);
        }
        break;
    case ids::Check1:
        if (code == BN_CLICKED) {
            OnBoxClicked(FormatBox::Check1);
        }
        break;
    case ids::Check2:
        if (code == BN_CLICKED) {
            OnBoxClicked(FormatBox::Check2);
        }
        break;
    case ids::Label2:
    case ids::Label3:
        if (code == STN_CLICKED) {
            Run(&ImageActions::OnSiteLabelClicked);
        }
        break;
    case ids::Label4:
        if (code == STN_CLICKED) {
            Run(&ImageActions::OnLz4LabelClicked);
        }
        break;
    case ids::Dir1:
        if (code == LBN_DBLCLK) {
            OpenDirectory(dir1_.Highlighted());
        }
        break;
    case ids::Drive1:
        if (code == CBN_SELCHANGE) {
            OnDriveChosen();
        }
        break;
    default:
        break;
    }
}

void Form1::OnBoxClicked(FormatBox box)
{
    CheckBox check = Box(box);
    if (!check.IsEnabled()) {
        return;
    }
    // The tick changes first; the handling sees the new value.
    check.SetChecked(!check.IsChecked());
    Run(box == FormatBox::Check1 ? &ImageActions::OnChdClicked : &ImageActions::OnZsoClicked);
}

void Form1::OnEnter()
{
    const HWND focus = ::GetFocus();
    if (focus == dir1_.Handle()) {
        OpenDirectory(dir1_.Highlighted());
    } else if (focus == Child(ids::Command1) || focus == Child(ids::Command2)) {
        ::SendMessageW(focus, BM_CLICK, 0, 0);
    }
}

void Form1::OnDriveChosen()
{
    const std::wstring root = drive1_.SelectedRoot();
    if (!root.empty()) {
        OpenDirectory(root);
    }
}

// --- directories ---

void Form1::OpenDirectory(const std::wstring &directory)
{
    const std::wstring normal = NormalDirectory(directory);
    FolderEntries entries = ReadFolder(normal);
    if (entries.error != ERROR_SUCCESS) {
        dir1_.HighlightOpenDirectory();
        drive1_.ShowDriveOf(dir1_.OpenDirectory());
        ReportFolderError(normal, entries.error);
        return;
    }
    dir1_.Open(normal, entries.folders);
    drive1_.ShowDriveOf(normal);
    // The directory-change handling runs at once and lists this same folder in File1.
    recent_ = RecentFolder{normal, std::move(entries)};
    Run(&ImageActions::OnDirectoryChanged);
}

void Form1::ReportFolderError(const std::wstring &folder, DWORD error)
{
    recent_.reset();
    host_.ShowMessageBox(texts::FolderUnreadable(folder, DescribeError(error)),
                         MessageStyle::Critical);
}

void Form1::Run(void (ImageActions::*handling)())
{
    ++handlingDepth_;
    (actions_.*handling)();
    --handlingDepth_;
    recent_.reset();
}

CheckBox Form1::Box(FormatBox box) const
{
    return CheckBox(Child(box == FormatBox::Check1 ? ids::Check1 : ids::Check2));
}

// --- FormControls ---

std::wstring Form1::ReadSelectedFile()
{
    return file1_.SelectedName();
}

std::wstring Form1::ReadFileListDirectory()
{
    return file1_.Directory();
}

void Form1::SetFileListDirectory(const std::wstring &directory)
{
    const std::wstring normal = NormalDirectory(directory);
    if (!recent_ || recent_->directory != normal) {
        FolderEntries entries = ReadFolder(normal);
        if (entries.error != ERROR_SUCCESS) {
            // File1 keeps its directory and what it showed.
            file1_.ClearSelection();
            ReportFolderError(normal, entries.error);
            return;
        }
        recent_ = RecentFolder{normal, std::move(entries)};
    }
    const DWORD error = file1_.Show(normal, recent_->entries);
    recent_->inFileList = error == ERROR_SUCCESS;
    if (error != ERROR_SUCCESS || handlingDepth_ == 0) {
        recent_.reset();
    }
    if (error != ERROR_SUCCESS) {
        ReportFolderError(normal, error);
    }
}

void Form1::RereadFileList()
{
    file1_.ClearSelection();
    const std::wstring &directory = file1_.Directory();
    if (directory.empty() || (recent_ && recent_->inFileList && recent_->directory == directory)) {
        return;
    }
    const FolderEntries entries = ReadFolder(directory);
    const DWORD error =
        entries.error != ERROR_SUCCESS ? entries.error : file1_.Show(directory, entries);
    if (error != ERROR_SUCCESS) {
        ReportFolderError(directory, error);
    }
}

std::wstring Form1::ReadHighlightedDirectory()
{
    return dir1_.Highlighted();
}

void Form1::SetOpenDirectory(const std::wstring &directory)
{
    OpenDirectory(directory);
}

void Form1::SetFileLabel(const std::wstring &caption)
{
    Control(Child(ids::Label1)).SetText(caption);
    // The label fits its new caption.
    PlaceControl(SpecOf(ids::Label1));
}

Tick Form1::ReadTick(FormatBox box)
{
    return Box(box).IsChecked() ? Tick::Ticked : Tick::Unticked;
}

void Form1::SetTick(FormatBox box, Tick value)
{
    Box(box).SetChecked(value == Tick::Ticked);
}

void Form1::SetEnabled(FormatBox box, bool enabled)
{
    Box(box).Enable(enabled);
}

} // namespace qarvel::win
