#pragma once
// The real main window made in the test process on the recording host, worked with the
// harness's real input.

#include "tests/harness/Driver.h"
#include "tests/harness/FakeHost.h"
#include "tests/harness/Lab.h"
#include "win32/Handles.h"
#include "window/ControlIds.h"
#include "window/win/MainWindow.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <set>
#include <string>

namespace qarvel::drive {

inline HFONT FontHandle(HWND control)
{
    return reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
}

// The text's width on one line and the line's height, in the control's own font.
inline SIZE TextExtent(HWND control, const std::wstring &text)
{
    win32::DcGuard dc(control);
    dc.Select(FontHandle(control));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.get(), &metrics);
    return {extent.cx, metrics.tmHeight};
}

// A window on a host whose program folder is the given one; the host starts nothing and
// answers every question with No.
struct FormUnderTest {
    FakeHost host;
    std::unique_ptr<window::MainWindow> form;

    explicit FormUnderTest(const std::wstring &programDirectory,
                           const std::set<std::wstring> &existingFiles = {})
    {
        host.programDirectory = programDirectory;
        host.files = existingFiles;
        host.answer = Answer::AnswerNo;
        form = window::MainWindow::Create(::GetModuleHandleW(nullptr), host,
                                          window::MainWindow::OnClose::StayInLoop);
        if (!form) {
            ADD_FAILURE() << "the main window not made, error " << ::GetLastError();
        }
    }

    HWND Control(window::ids::Control id) const { return ::GetDlgItem(form->Handle(), id); }

    // Shows the window in front so that mouse and keys reach it.
    void ShowInFront()
    {
        form->Show(SW_SHOWNORMAL);
        ::SetForegroundWindow(form->Handle());
        EXPECT_TRUE(WaitFor([this] { return ::GetForegroundWindow() == form->Handle(); }, 3s));
        RunMessagesFor(100ms);
    }
};

} // namespace qarvel::drive
