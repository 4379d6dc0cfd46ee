// Message boxes: caption, buttons, icon, owner and answers, read from the real box by a
// second thread that then presses a button, as a user would.

#include "host/win/WinHost.h"
#include "tests/harness/Driver.h"
#include "win32/Handles.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace qarvel::test {
namespace {

struct SeenBox {
    bool found = false;
    std::wstring caption;
    std::wstring text;
    std::vector<int> buttons; // of IDOK, IDCANCEL, IDYES, IDNO, in that order
    bool stopIcon = false;
    HWND owner = nullptr;
    bool ownerEnabled = true;
};

bool HasStopIcon(HWND box)
{
    // The icon is a static control; find it among the children by the icon it shows.
    const HICON stop = ::LoadIconW(nullptr, IDI_HAND);
    bool found = false;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const auto icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        found = found || (icon != nullptr && icon == stop);
    }
    return found;
}

// Waits for this process's message box, reads it and presses `press`.
SeenBox ReadAndPress(int press)
{
    SeenBox seen;
    const auto box = drive::WaitForMessageBox(::GetCurrentProcessId());
    if (!box) {
        return seen;
    }
    seen.found = true;
    seen.caption = drive::WindowText(box->window);
    seen.text = box->text;
    seen.buttons = box->buttons;
    seen.stopIcon = HasStopIcon(box->window);
    seen.owner = ::GetWindow(box->window, GW_OWNER);
    seen.ownerEnabled = seen.owner != nullptr && ::IsWindowEnabled(seen.owner);
    ::PostMessageW(box->window, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box->window, press)));
    return seen;
}

TEST(MessageBoxes, StylesButtonsAndAnswers)
{
    const win32::UniqueWindow owner(::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW,
                                                      0, 0, 200, 100, nullptr, nullptr, nullptr,
                                                      nullptr));
    ASSERT_TRUE(owner);
    host::WinHost host;
    host.SetOwnerWindow(owner.get());

    struct Case {
        MessageStyle style;
        std::vector<int> buttons;
        bool stopIcon;
        int press;
        Answer answer;
    };
    const Case cases[] = {
        {MessageStyle::OkOnly, {IDOK}, false, IDOK, Answer::AnswerOk},
        {MessageStyle::YesNo, {IDYES, IDNO}, false, IDYES, Answer::AnswerYes},
        {MessageStyle::YesNo, {IDYES, IDNO}, false, IDNO, Answer::AnswerNo},
        {MessageStyle::Critical, {IDOK}, true, IDOK, Answer::AnswerOk},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "style " << static_cast<int>(c.style) << ", press " << c.press);
        const std::wstring prompt = L"Proceed to compress Jeux vidéo.iso with CHD?";
        SeenBox seen;
        std::thread user([&seen, &c] { seen = ReadAndPress(c.press); });

        const Answer answer = host.ShowMessageBox(prompt, c.style);
        user.join();

        ASSERT_TRUE(seen.found) << "no message box";
        EXPECT_EQ(seen.caption, L"Qarvel");
        EXPECT_EQ(seen.text, prompt);
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.stopIcon, c.stopIcon);
        EXPECT_EQ(seen.owner, owner.get());
        EXPECT_FALSE(seen.ownerEnabled) << "the box is modal to its owner";
        EXPECT_EQ(answer, c.answer);
    }
}

TEST(MessageBoxes, ABoxThatCannotBeShownIsNoYes)
{
    HWND gone = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    ::DestroyWindow(gone);
    host::WinHost host;
    host.SetOwnerWindow(gone);

    EXPECT_EQ(host.ShowMessageBox(L"Proceed?", MessageStyle::YesNo), Answer::AnswerNo);
}

} // namespace
} // namespace qarvel::test
