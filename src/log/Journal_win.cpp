#include "log/Journal_win.h"

#include <vector>
#include <windows.h>

#include "log/AnsiCodec_win.h"
#include "log/JournalFiles.h"
#include "log/LogFile.h"

namespace {
bool CreateFolderTree(const std::wstring& folder)
{
    // Create each missing level in turn.
    for (size_t i = 0; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == L'\\' || folder[i] == L'/') {
            const std::wstring part = folder.substr(0, i);
            if (part.empty() || part.back() == L':') continue;
            if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        }
    }
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> ListFiles(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*.txt").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}
}

std::wstring CJournal::DefaultFolder()
{
    wchar_t base[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::wstring();
    return std::wstring(base, n) + L"\\Vantrel\\journal";
}

bool CJournal::Start(const std::wstring& folder, const LogTime& startTime)
{
    m_file.Reset();
    m_path.clear();
    if (folder.empty() || !CreateFolderTree(folder)) return false;

    for (const std::wstring& old : JournalFilesToRemove(ListFiles(folder)))
        DeleteFileW((folder + L"\\" + old).c_str());

    // Two runs started within the same second get distinct files.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring path = folder + L"\\" + JournalFileName(startTime, attempt);
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            m_file.Reset(h);
            m_path = path;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

bool CJournal::AppendRow(const LogStore& log, size_t row)
{
    if (!m_file.IsValid() || row >= log.RowCount()) return false;
    m_line.clear();
    // A row whose text the code page cannot hold would be lost or changed:
    // the journal stops there, as it does when the disk refuses a line.
    if (!FormatLogRowLine(log, row, AnsiLogTextCodec(), m_line)) {
        m_file.Reset();
        return false;
    }
    DWORD written = 0;
    // One WriteFile per row, flushed to the disk at once: neither a crash of
    // the tool nor a power cut loses a line already shown. At one reading a
    // second the flush costs nothing that matters.
    if (!WriteFile(m_file.Get(), m_line.data(), static_cast<DWORD>(m_line.size()), &written, nullptr) ||
        written != m_line.size() || !FlushFileBuffers(m_file.Get())) {
        m_file.Reset();
        return false;
    }
    return true;
}
