#include "WindowTestSupport.h"

namespace qarvel::test {

namespace {

void Send(std::vector<INPUT> inputs)
{
    const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ASSERT_EQ(sent, inputs.size()) << "SendInput, error " << ::GetLastError();
}

INPUT MouseButton(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

} // namespace

FolderTree::FolderTree()
{
    wchar_t temp[MAX_PATH + 1];
    wchar_t unique[MAX_PATH + 1];
    if (::GetTempPathW(MAX_PATH + 1, temp) == 0 ||
        ::GetTempFileNameW(temp, L"qw", 0, unique) == 0 || !::DeleteFileW(unique) ||
        !::CreateDirectoryW(unique, nullptr)) {
        ADD_FAILURE() << "no folder for the test, error " << ::GetLastError();
        return;
    }
    // The long form, so the tests see the same path the window shows.
    wchar_t full[MAX_PATH + 1];
    const DWORD length = ::GetLongPathNameW(unique, full, MAX_PATH + 1);
    root_ = length > 0 && length <= MAX_PATH ? full : unique;
}

FolderTree::~FolderTree()
{
    if (!root_.empty()) {
        drive::RemoveTree(root_);
    }
}

void FolderTree::Folder(const std::wstring &relative) const
{
    const std::wstring path = win::ExtendedLengthPath(Path(relative));
    EXPECT_TRUE(::CreateDirectoryW(path.c_str(), nullptr))
        << "folder " << relative.size() << " characters, error " << ::GetLastError();
}

void FolderTree::File(const std::wstring &relative, DWORD attributes) const
{
    const std::wstring path = win::ExtendedLengthPath(Path(relative));
    const win::UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    EXPECT_TRUE(file) << "file of " << relative.size() << " characters, error " << ::GetLastError();
}

bool PumpUntil(win::Form1 &form, const std::function<bool()> &condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!form.HandleDialogMessage(message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
        if (condition()) {
            return true;
        }
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(win::Form1 &form, DWORD milliseconds)
{
    PumpUntil(
        form, [] { return false; }, milliseconds);
}

void PressKey(WORD key)
{
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    INPUT up = down;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    Send({down, up});
}

void ClickAt(POINT screen)
{
    ASSERT_TRUE(::SetCursorPos(screen.x, screen.y));
    Send({MouseButton(MOUSEEVENTF_LEFTDOWN), MouseButton(MOUSEEVENTF_LEFTUP)});
}

void DoubleClickAt(POINT screen)
{
    ASSERT_TRUE(::SetCursorPos(screen.x, screen.y));
    Send({MouseButton(MOUSEEVENTF_LEFTDOWN), MouseButton(MOUSEEVENTF_LEFTUP),
          MouseButton(MOUSEEVENTF_LEFTDOWN), MouseButton(MOUSEEVENTF_LEFTUP)});
}

POINT ScreenCentre(HWND control)
{
    RECT rect{};
    ::GetWindowRect(control, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT ListItemCentre(HWND list, int index)
{
    RECT item{};
    EXPECT_NE(::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(&item)),
              LB_ERR);
    POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ::ClientToScreen(list, &centre);
    return centre;
}

RECT PlaceInParent(HWND control)
{
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

std::vector<std::wstring> ListItems(HWND list)
{
    std::vector<std::wstring> items;
    const auto count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = static_cast<std::size_t>(
            ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
        std::wstring text(length + 1, L'\0');
        const auto copied = ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                           reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(copied));
        items.push_back(text);
    }
    return items;
}

FormUnderTest::FormUnderTest(const std::wstring &programDirectory,
                             const std::set<std::wstring> &existingFiles)
{
    host.programDirectory = programDirectory;
    host.existingFiles = existingFiles;
    form = win::Form1::Create(::GetModuleHandleW(nullptr), host, win::Form1::OnClose::StayInLoop);
    if (!form) {
        ADD_FAILURE() << "Form1 not made, error " << ::GetLastError();
    }
}

FormUnderTest::~FormUnderTest()
{
    form.reset();
}

void FormUnderTest::ShowInFront()
{
    form->Show(SW_SHOWNORMAL);
    ::SetForegroundWindow(form->Handle());
    PumpUntil(*form, [this] { return ::GetForegroundWindow() == form->Handle(); });
    PumpFor(*form, 100);
}

} // namespace qarvel::test
