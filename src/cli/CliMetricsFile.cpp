#include "cli/CliMetricsFile.h"

#include <cstdio>

#include "cli/CliPlatform.h"

CMetricsFile::CMetricsFile(std::wstring path, std::function<void(const std::wstring& message)> reportFailure)
    : m_path(std::move(path)), m_reportFailure(std::move(reportFailure))
{
    // Beside the file, so the rename stays within one file system; the
    // exporters read only *.prom, so they never pick it up.
    if (!m_path.empty()) m_tempPath = TemporaryPathFor(m_path);
}

bool CMetricsFile::Write(const std::string& text)
{
    if (m_path.empty()) return true;
    if (Replace(text)) return true;
    if (!m_reported && m_reportFailure)
        m_reportFailure(L"cannot write the metrics file " + m_path + L" (the measurement goes on without it)");
    m_reported = true;
    return false;
}

bool CMetricsFile::Replace(const std::string& text)
{
    std::FILE* file = OpenCliFile(m_tempPath, "wb");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed && ReplaceCliFile(m_tempPath, m_path)) return true;
    RemoveCliFile(m_tempPath);
    return false;
}
