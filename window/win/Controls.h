#pragma once
// Thin typed wrappers over the standard controls: one method per message, no ownership (the
// window owns its child controls).

#include <windows.h>

#include <string>

namespace qarvel::window {

class Control {
public:
    Control() = default;
    explicit Control(HWND handle) : handle_(handle) {}
    HWND Handle() const { return handle_; }

    std::wstring Text() const
    {
        std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(handle_)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            ::GetWindowTextW(handle_, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    bool SetText(const std::wstring &text) { return ::SetWindowTextW(handle_, text.c_str()) != 0; }
    void Enable(bool enabled) { ::EnableWindow(handle_, enabled ? TRUE : FALSE); }
    bool IsEnabled() const { return ::IsWindowEnabled(handle_) != 0; }
    // The caller repaints: setting the fonts of all controls at once then costs one repaint.
    void SetFont(HFONT font) { Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE); }
    HFONT Font() const { return reinterpret_cast<HFONT>(Send(WM_GETFONT)); }
    void SetRedraw(bool redraw) { Send(WM_SETREDRAW, redraw ? TRUE : FALSE, 0); }

protected:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(handle_, message, wParam, lParam);
    }

    // An item's text, read with the list's own two messages: its length, then the text itself.
    // Empty when there is no such item. Both kinds of list answer -1 for that (LB_ERR, CB_ERR).
    std::wstring ItemTextBy(UINT lengthMessage, UINT textMessage, int index) const
    {
        static_assert(LB_ERR == -1 && CB_ERR == -1);
        const LRESULT length = Send(lengthMessage, static_cast<WPARAM>(index));
        if (length < 0) {
            return {};
        }
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT copied =
            Send(textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
        return text;
    }

private:
    HWND handle_ = nullptr;
};

class CheckBox : public Control {
public:
    using Control::Control;
    bool IsChecked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
    void SetChecked(bool checked) { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
};

class ListBox : public Control {
public:
    using Control::Control;
    int Count() const { return static_cast<int>(Send(LB_GETCOUNT)); }
    int Selection() const { return static_cast<int>(Send(LB_GETCURSEL)); }
    void Select(int index) { Send(LB_SETCURSEL, static_cast<WPARAM>(index)); }
    std::wstring ItemText(int index) const { return ItemTextBy(LB_GETTEXTLEN, LB_GETTEXT, index); }
    void Clear() { Send(LB_RESETCONTENT); }
    // Room for this many items and characters, so adding does not grow the list step by step.
    void Reserve(std::size_t items, std::size_t characters)
    {
        Send(LB_INITSTORAGE, items, static_cast<LPARAM>(characters * sizeof(wchar_t)));
    }
    // The index of the new item, or LB_ERR / LB_ERRSPACE.
    int Add(const std::wstring &text)
    {
        return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    LPARAM ItemData(int index) const { return Send(LB_GETITEMDATA, static_cast<WPARAM>(index)); }
    void SetItemData(int index, LPARAM data)
    {
        Send(LB_SETITEMDATA, static_cast<WPARAM>(index), data);
    }
    void SetItemHeight(int height) { Send(LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0)); }
    // How far the list scrolls sideways, in pixels; a list as wide shows no scroll bar.
    void SetHorizontalExtent(int width)
    {
        Send(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width));
    }
};

class ComboBox : public Control {
public:
    using Control::Control;
    int Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }
    int Selection() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    void Select(int index) { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
    std::wstring ItemText(int index) const
    {
        return ItemTextBy(CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
    }
    void Clear() { Send(CB_RESETCONTENT); }
    int Add(const std::wstring &text)
    {
        return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    // Height of the closed box's selection field (index -1) or of the items in the drop-down.
    int ItemHeight(int index) const
    {
        return static_cast<int>(Send(CB_GETITEMHEIGHT, static_cast<WPARAM>(index)));
    }
    void SetItemHeight(int index, int height)
    {
        Send(CB_SETITEMHEIGHT, static_cast<WPARAM>(index), height);
    }
};

} // namespace qarvel::window
