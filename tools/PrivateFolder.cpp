#include "PrivateFolder.h"

#include "win32/Handles.h"

#include <utility>

namespace qarvel::bridge {

namespace {

constexpr int NameAttempts = 100;
constexpr DWORD SmallFileLimit = 4096;

std::optional<std::wstring> TempFolder(DWORD &error)
{
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) {
        error = length == 0 ? ::GetLastError() : ERROR_BUFFER_OVERFLOW;
        return std::nullopt;
    }
    return std::wstring(buffer, length);
}

} // namespace

std::optional<PrivateFolder> PrivateFolder::Create(DWORD &error)
{
    const auto temp = TempFolder(error);
    if (!temp) {
        return std::nullopt;
    }
    const std::wstring stem = *temp + L"qarvel-chdman-" + std::to_wstring(::GetCurrentProcessId()) +
                              L"-" + std::to_wstring(::GetTickCount64()) + L"-";
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        std::wstring path = stem + std::to_wstring(attempt);
        if (::CreateDirectoryW(path.c_str(), nullptr)) {
            return PrivateFolder(std::move(path));
        }
        error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

PrivateFolder::PrivateFolder(PrivateFolder &&other) noexcept
    : path_(std::exchange(other.path_, std::wstring()))
{
}

PrivateFolder::~PrivateFolder()
{
    if (path_.empty()) {
        return;
    }
    // Every file in it, whatever a stopped script left behind, then the folder itself.
    WIN32_FIND_DATAW found;
    win::UniqueFind find(::FindFirstFileW((path_ + L"\\*").c_str(), &found));
    if (find) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                ::DeleteFileW((path_ + L"\\" + found.cFileName).c_str());
            }
        } while (::FindNextFileW(find.get(), &found));
    }
    find.reset();
    ::RemoveDirectoryW(path_.c_str());
}

std::wstring PrivateFolder::File(std::string_view name) const
{
    return path_ + L"\\" + std::wstring(name.begin(), name.end());
}

DWORD WriteNewFile(const std::wstring &path, std::string_view bytes)
{
    const win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return ::GetLastError();
    }
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr)) {
        return ::GetLastError();
    }
    return written == bytes.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

std::optional<std::string> ReadSmallFile(const std::wstring &path)
{
    const win::UniqueFile file(::CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes(SmallFileLimit, '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), SmallFileLimit, &read, nullptr)) {
        return std::nullopt;
    }
    bytes.resize(read);
    return bytes;
}

} // namespace qarvel::bridge
