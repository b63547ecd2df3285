#include "log/FileBeside.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "log/Utf8Text.h"

std::FILE* CreateFileBeside(const std::wstring& target, std::wstring& path)
{
    const std::string to = Utf8FromWide(target);
    struct stat old {};
    const bool replacing = stat(to.c_str(), &old) == 0;
    // O_EXCL: a file of the user's that happens to bear the name is never touched.
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = target + (attempt == 0 ? std::wstring() : L"." + std::to_wstring(attempt)) + L".tmp";
        const std::string name = Utf8FromWide(path);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd == -1) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        // The new file keeps the permissions of the one it replaces.
        if (replacing) fchmod(fd, old.st_mode & 07777);
        std::FILE* file = fdopen(fd, "wb");
        if (!file) {
            close(fd);
            unlink(name.c_str());
        }
        return file;
    }
    return nullptr;
}

bool FlushFileToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool ReplaceFileWith(const std::wstring& from, const std::wstring& to)
{
    const std::string target = Utf8FromWide(to);
    if (std::rename(Utf8FromWide(from).c_str(), target.c_str()) != 0) return false;
    // The rename itself reaches the disk with its folder.
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd != -1) {
        fsync(fd);
        close(fd);
    }
    return true;
}

void RemoveFileAt(const std::wstring& path)
{
    unlink(Utf8FromWide(path).c_str());
}
