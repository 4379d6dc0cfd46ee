#pragma once
// Wine settings the driven tests need for their run, put back afterwards.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace qarvel::drive {

inline bool UnderWine()
{
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// A key under HKEY_CURRENT_USER, made when missing, open for the owner's life.
class UserKey {
public:
    explicit UserKey(const std::wstring &path)
    {
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                              nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    UserKey(const UserKey &) = delete;
    UserKey &operator=(const UserKey &) = delete;
    ~UserKey()
    {
        if (key_ != nullptr) {
            ::RegCloseKey(key_);
        }
    }
    explicit operator bool() const { return key_ != nullptr; }

    std::optional<std::wstring> Text(const wchar_t *name) const
    {
        wchar_t value[256] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        DWORD type = 0;
        if (::RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE *>(value),
                               &size) != ERROR_SUCCESS ||
            type != REG_SZ) {
            return std::nullopt;
        }
        return value;
    }
    bool SetText(const wchar_t *name, const std::wstring &value) const
    {
        return ::RegSetValueExW(
                   key_, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    void Remove(const wchar_t *name) const { ::RegDeleteValueW(key_, name); }

private:
    HKEY key_ = nullptr;
};

// Under Xvfb there is no window manager, yet Wine waits up to two seconds for one whenever a
// framed window (every message box) is hidden, which would make each answered box cost two
// seconds. For this run Wine is told that it manages no windows: the wait ends, and nothing
// the tests look at changes. The setting is put back afterwards.
class NoWindowManagerWait : public testing::Environment {
public:
    void SetUp() override
    {
        const UserKey key(Key);
        if (UnderWine() && key) {
            old_ = key.Text(Value);
            changed_ = key.SetText(Value, L"N");
        }
    }
    void TearDown() override
    {
        const UserKey key(Key);
        if (changed_ && key) {
            if (old_) {
                key.SetText(Value, *old_);
            } else {
                key.Remove(Value);
            }
        }
    }

private:
    static constexpr const wchar_t *Key = L"Software\\Wine\\X11 Driver";
    static constexpr const wchar_t *Value = L"Managed";
    std::optional<std::wstring> old_;
    bool changed_ = false;
};

// Registers the setting for the test program that includes this header (GoogleTest owns it).
inline testing::Environment *const noWindowManagerWait =
    testing::AddGlobalTestEnvironment(new NoWindowManagerWait);

} // namespace qarvel::drive
