// A log stored over an existing file: written beside it and put in its place
// once whole, so that a full disk or a dropped share never costs the old file.
#include "log/FileBeside.h"
#include "log/LogFile.h"

LogStoreResult StoreLogFile(const std::wstring& path, const LogStore& log, const LogTextCodec& codec)
{
    LogStoreResult result;
    std::wstring beside;
    std::FILE* out = CreateFileBeside(path, beside);
    if (out == nullptr) {
        result.status = LogFileStatus::OpenFailed;
        return result;
    }
    result = WriteLog(out, log, codec);
    if (result.status == LogFileStatus::Ok && !FlushFileToDisk(out)) result.status = LogFileStatus::WriteFailed;
    if (std::fclose(out) != 0 && result.status == LogFileStatus::Ok) result.status = LogFileStatus::WriteFailed;
    if (result.status == LogFileStatus::Ok && !ReplaceFileWith(beside, path)) result.status = LogFileStatus::WriteFailed;
    if (result.status != LogFileStatus::Ok) {
        RemoveFileAt(beside);
        result.rowsWritten = 0;
    }
    return result;
}
