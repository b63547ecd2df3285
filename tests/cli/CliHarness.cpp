#include "cli/CliHarness.h"

#include "cli/CliPlatform.h"
#include "log/Utf8Text.h"

std::wstring CTestFolder::File(const std::wstring& name)
{
    // '/' separates folders on Windows too.
    const std::wstring path = m_path + L"/" + name;
    std::lock_guard<std::mutex> guard(m_lock);
    m_files.push_back(path);
    return path;
}

std::wstring CTestFolder::Write(const std::wstring& name, const std::string& bytes)
{
    const std::wstring path = File(name);
    if (std::FILE* f = OpenCliFile(path, "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

std::string ReadWholeFile(const std::wstring& path)
{
    std::string text;
    if (std::FILE* f = OpenCliFile(path, "rb")) {
        char chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) text.append(chunk, n);
        std::fclose(f);
    }
    return text;
}

std::string Utf8Of(const std::wstring& text)
{
    return Utf8FromWide(text);
}
