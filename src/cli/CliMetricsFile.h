#pragma once
// The --metrics-file of measure: each Write replaces the whole file at once
// (a temporary file beside it, renamed over it), so a scraper never reads
// half a file. A file that cannot be written costs the measurement nothing:
// the first failure is reported, later ones are not, and every write tries
// again.
#include <functional>
#include <string>

class CMetricsFile {
public:
    // An empty path writes nothing. reportFailure gets the message of the
    // first failure.
    CMetricsFile(std::wstring path, std::function<void(const std::wstring& message)> reportFailure);
    CMetricsFile(const CMetricsFile&) = delete;
    CMetricsFile& operator=(const CMetricsFile&) = delete;

    // The temporary file written beside `path` before each rename.
    static std::wstring TemporaryPathFor(const std::wstring& path) { return path + L".tmp"; }

    bool Enabled() const { return !m_path.empty(); }
    // False when the file could not be replaced; it then keeps its old content.
    bool Write(const std::string& text);

private:
    bool Replace(const std::string& text);

    std::wstring m_path;
    std::wstring m_tempPath;
    std::function<void(const std::wstring& message)> m_reportFailure;
    bool m_reported = false;
};
