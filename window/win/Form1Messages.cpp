// Form1's messages: the window procedure and the binding of each control event to its
// handling.

#include "Form1.h"

namespace qarvel::window {

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
            actions_.OnCompress();
        }
        break;
    case ids::Command2:
        if (code == BN_CLICKED) {
            actions_.OnConvert();
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
            actions_.OnSiteLabelClicked();
        }
        break;
    case ids::Label4:
        if (code == STN_CLICKED) {
            actions_.OnLz4LabelClicked();
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
    if (box == FormatBox::Check1) {
        actions_.OnChdClicked();
    } else {
        actions_.OnZsoClicked();
    }
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

void Form1::OnRefresh()
{
    const std::wstring open = dir1_.OpenDirectory(); // a copy: opening replaces it
    if (!open.empty()) {
        OpenDirectory(open);
    }
}

void Form1::OnDriveChosen()
{
    const std::wstring root = drive1_.SelectedRoot();
    if (!root.empty()) {
        OpenDirectory(root);
    }
}

} // namespace qarvel::window
