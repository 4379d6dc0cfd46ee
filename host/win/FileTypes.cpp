#include "FileTypes.h"

#include "win32/ErrorText.h"
#include "win32/Handles.h"

#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <utility>

namespace qarvel::host {

namespace {

// Some program opens the files; packaged or not, with the command given.
Opener Found(bool packaged = false, std::wstring command = {})
{
    return {.found = true, .packaged = packaged, .command = std::move(command)};
}

using QueryFunction = HRESULT(WINAPI *)(ASSOCF, ASSOCSTR, LPCWSTR, LPCWSTR, LPWSTR, DWORD *);
using ValueFunction = DWORD(WINAPI *)(HKEY, LPCWSTR, LPCWSTR, DWORD *, void *, DWORD *);

template <typename Function> Function Find(const win32::UniqueModule &library, const char *name)
{
    return library ? reinterpret_cast<Function>(
                         reinterpret_cast<void *>(::GetProcAddress(library.get(), name)))
                   : nullptr;
}

// A registry text value, read through shlwapi as Qarvel imports no registry library itself;
// empty when it is not there.
std::wstring TextValue(ValueFunction read, HKEY root, const std::wstring &key, const wchar_t *name)
{
    DWORD type = 0;
    DWORD size = 0;
    if (read == nullptr || read(root, key.c_str(), name, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size < sizeof(wchar_t)) {
        return {};
    }
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (read(root, key.c_str(), name, &type, text.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    text.resize(::wcsnlen(text.c_str(), text.size()));
    return text;
}

// The name of the file type that opens the extension: the user's own choice first.
std::wstring TypeName(ValueFunction read, const std::wstring &extension)
{
    const std::wstring chosen =
        TextValue(read, HKEY_CURRENT_USER,
                  L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\" +
                      extension + L"\\UserChoice",
                  L"ProgId");
    return chosen.empty() ? TextValue(read, HKEY_CLASSES_ROOT, extension, nullptr) : chosen;
}

} // namespace

Opener OpenerOf(const std::wstring &extension)
{
    // shlwapi.dll is not one of the libraries Qarvel imports: loaded when asked, from the
    // system folder only, as the common controls are.
    const win32::UniqueModule library(
        ::LoadLibraryExW(L"shlwapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    const auto query = Find<QueryFunction>(library, "AssocQueryStringW");
    if (query == nullptr) {
        win32::TraceFailure(L"AssocQueryStringW from shlwapi.dll", ::GetLastError());
        return Found();
    }
    // A packaged app's type (the Python install manager's) has no command cmd.exe can run.
    const std::wstring type = TypeName(Find<ValueFunction>(library, "SHGetValueW"), extension);
    if (::CompareStringOrdinal(type.c_str(), std::min<int>(4, static_cast<int>(type.size())),
                               L"AppX", 4, TRUE) == CSTR_EQUAL) {
        return Found(true);
    }
    // The command of the default verb, as the interpreter runs it.
    DWORD length = 0;
    HRESULT result = query(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_COMMAND, extension.c_str(), nullptr,
                           nullptr, &length);
    if (result == HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION) ||
        result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) {
        return {};
    }
    if (FAILED(result)) {
        win32::TraceFailure(L"AssocQueryStringW", static_cast<DWORD>(result));
        return Found();
    }
    if (length <= 1) { // it counts the closing NUL
        return {};
    }
    std::wstring command(length, L'\0');
    result = query(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_COMMAND, extension.c_str(), nullptr,
                   command.data(), &length);
    if (FAILED(result)) {
        win32::TraceFailure(L"AssocQueryStringW", static_cast<DWORD>(result));
        return Found();
    }
    command.resize(::wcsnlen(command.c_str(), command.size()));
    return Found(false, command);
}

} // namespace qarvel::host
