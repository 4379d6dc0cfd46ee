#pragma once
// The texts the window itself shows, apart from the control captions of its layout.

#include <string>

namespace qarvel::window::texts {

// A folder that could not be read: names the folder and the system's reason.
inline std::wstring FolderUnreadable(const std::wstring &folder, const std::wstring &reason)
{
    return L"The folder \"" + folder + L"\" cannot be read.\n\n" + reason +
           L"\n\nThe lists still show the folder that was open before.";
}

inline constexpr const wchar_t *NoDrives = L"Windows reported no drives on this computer.";

} // namespace qarvel::window::texts
