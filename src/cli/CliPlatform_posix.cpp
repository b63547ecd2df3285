#include "cli/CliPlatform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "app/IniText.h"
#include "log/Utf8Text.h"

namespace {

// The profile API reads a value into the tool's 64-character buffer.
constexpr size_t kValueChars = 63;

std::wstring DefaultSettingsPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    // The XDG rules ignore a relative folder.
    if (config && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return std::wstring();
        folder = std::string(home) + "/.config";
    }
    return WideFromUtf8(folder + "/vantrel/Vantrel.ini");
}

// What a path names: the file itself when it is there, else its folder and
// its name in it.
struct FileIdentity {
    dev_t device;
    ino_t inode;
    std::string name;
    bool operator==(const FileIdentity& o) const { return device == o.device && inode == o.inode && name == o.name; }
};

std::optional<FileIdentity> IdentityOf(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0) return FileIdentity{st.st_dev, st.st_ino, std::string()};
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (stat(folder.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino, slash == std::string::npos ? path : path.substr(slash + 1)};
}

struct CFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

std::string AnsiText(const std::wstring& text)
{
    return Utf8FromWide(text);
}

std::FILE* OpenCliFile(const std::wstring& path, const char* mode)
{
    return std::fopen(Utf8FromWide(path).c_str(), mode);
}

bool ReplaceCliFile(const std::wstring& from, const std::wstring& to)
{
    // No fsync first: readers need the switch to be atomic, not durable, and
    // after a power cut the state the file held is stale anyway.
    return std::rename(Utf8FromWide(from).c_str(), Utf8FromWide(to).c_str()) == 0;
}

bool SameCliFile(const std::wstring& a, const std::wstring& b)
{
    if (a == b) return true;
    const std::optional<FileIdentity> first = IdentityOf(Utf8FromWide(a));
    const std::optional<FileIdentity> second = IdentityOf(Utf8FromWide(b));
    return first && second && *first == *second;
}

void RemoveCliFile(const std::wstring& path)
{
    unlink(Utf8FromWide(path).c_str());
}

bool LoadCliSettings(const std::wstring& path, CAppSettings& settings, SettingsFileNumbers& numbers)
{
    ResetSettings(settings);
    numbers = SettingsNumbersOf(settings);
    const std::wstring file = path.empty() ? DefaultSettingsPath() : path;
    std::unique_ptr<std::FILE, CFileCloser> f(file.empty() ? nullptr : std::fopen(Utf8FromWide(file).c_str(), "rb"));
    // The usual file may well not be there: the defaults hold then.
    if (!f) return path.empty();
    std::string bytes;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0;) bytes.append(chunk, n);
    if (std::ferror(f.get())) return path.empty();
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    const std::wstring text = WideFromUtf8(bytes);
    for (size_t i = 0; i < kSettingsKeyCount; ++i) {
        const SettingsKey& k = SettingsKeyAt(i);
        const std::optional<std::wstring> value = IniValue(text, k.section, k.key, kValueChars);
        numbers[i] = ParseSettingsValue(value ? *value : std::wstring(), k.defaultValue);
        StoreSettingsValue(settings, i, numbers[i]);
    }
    return true;
}
