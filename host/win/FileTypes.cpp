#include "FileTypes.h"

#include "win32/ErrorText.h"
#include "win32/Handles.h"

#include <windows.h>

#include <shlwapi.h>

namespace qarvel::host {

bool HasOpenCommand(const std::wstring &extension)
{
    // shlwapi.dll is not one of the libraries Qarvel imports: loaded when asked, from the
    // system folder only, as the common controls are.
    const win32::UniqueModule library(
        ::LoadLibraryExW(L"shlwapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    using QueryFunction = HRESULT(WINAPI *)(ASSOCF, ASSOCSTR, LPCWSTR, LPCWSTR, LPWSTR, DWORD *);
    const auto query = library ? reinterpret_cast<QueryFunction>(reinterpret_cast<void *>(
                                     ::GetProcAddress(library.get(), "AssocQueryStringW")))
                               : nullptr;
    if (query == nullptr) {
        win32::TraceFailure(L"AssocQueryStringW from shlwapi.dll", ::GetLastError());
        return true;
    }
    // The command of the default verb, as the interpreter runs it; only its length is asked.
    DWORD length = 0;
    const HRESULT result = query(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_COMMAND, extension.c_str(),
                                 nullptr, nullptr, &length);
    if (result == HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION) ||
        result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) {
        return false;
    }
    if (FAILED(result)) {
        win32::TraceFailure(L"AssocQueryStringW", static_cast<DWORD>(result));
        return true;
    }
    return length > 1; // it counts the closing NUL
}

} // namespace qarvel::host
