#include "DirectoryPaths.h"

#include "win32/Paths.h"

namespace qarvel::window {

std::wstring NormalDirectory(const std::wstring &path)
{
    // Tidied first as well: the system takes a bare "C:" for that drive's current directory.
    const std::wstring tidy = win32::TidyDirectory(path);
    const std::wstring full = win32::FullPath(tidy);
    return full.empty() ? tidy : win32::TidyDirectory(full);
}

} // namespace qarvel::window
