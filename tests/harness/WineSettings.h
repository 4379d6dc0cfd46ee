#pragma once
// Wine settings the driven tests need for their run, put back afterwards.

#include "Lab.h"

#include <optional>

namespace qarvel::drive {

inline bool UnderWine()
{
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Under Xvfb there is no window manager, yet Wine waits up to two seconds for one whenever a
// framed window (every message box) is hidden, which would make each answered box cost two
// seconds. For this run Wine is told that it manages no windows: the wait ends, and nothing
// the tests look at changes. The setting is put back afterwards.
class NoWindowManagerWait : public testing::Environment {
public:
    void SetUp() override
    {
        if (UnderWine()) {
            managed_.emplace(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Managed",
                             std::wstring(L"N"));
        }
    }
    void TearDown() override { managed_.reset(); }

private:
    std::optional<RegistryValue> managed_;
};

// Registers the setting for the test program that includes this header (GoogleTest owns it).
inline testing::Environment *const noWindowManagerWait =
    testing::AddGlobalTestEnvironment(new NoWindowManagerWait);

} // namespace qarvel::drive
