#pragma once
// A fresh folder of the bridge's own in the temporary folder, removed with everything in it
// when the owner goes out of scope.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace qarvel::bridge {

class PrivateFolder {
public:
    // nullopt with error set when no folder could be created.
    static std::optional<PrivateFolder> Create(DWORD &error);

    PrivateFolder(const PrivateFolder &) = delete;
    PrivateFolder &operator=(const PrivateFolder &) = delete;
    PrivateFolder(PrivateFolder &&other) noexcept;
    PrivateFolder &operator=(PrivateFolder &&) = delete;
    ~PrivateFolder();

    const std::wstring &Path() const { return path_; }
    // The Windows path of a file in the folder; names are ASCII.
    std::wstring File(std::string_view name) const;

private:
    explicit PrivateFolder(std::wstring path) : path_(std::move(path)) {}

    std::wstring path_; // empty once moved from
};

// Writes the bytes to a new file; ERROR_SUCCESS or the reason it failed.
DWORD WriteNewFile(const std::wstring &path, std::string_view bytes);

// The whole content of a small file; nullopt when it is not there (yet) or cannot be read.
std::optional<std::string> ReadSmallFile(const std::wstring &path);

} // namespace qarvel::bridge
