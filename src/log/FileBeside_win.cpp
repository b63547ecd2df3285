#include "log/FileBeside.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

std::FILE* CreateFileBeside(const std::wstring& target, std::wstring& path)
{
    // CREATE_NEW: a file of the user's that happens to bear the name is never touched.
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = target + (attempt == 0 ? std::wstring() : L"." + std::to_wstring(attempt)) + L".tmp";
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return nullptr;
        }
        const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
        if (fd == -1) {
            CloseHandle(h);
            DeleteFileW(path.c_str());
            return nullptr;
        }
        std::FILE* file = _fdopen(fd, "wb");
        if (!file) {
            _close(fd);
            DeleteFileW(path.c_str());
        }
        return file;
    }
    return nullptr;
}

bool FlushFileToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 &&
           FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != 0;
}

bool ReplaceFileWith(const std::wstring& from, const std::wstring& to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFileAt(const std::wstring& path)
{
    DeleteFileW(path.c_str());
}
