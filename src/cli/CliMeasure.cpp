// measure: the dialog's Start measure without a window. The receive thread
// paces the readings; each one becomes a log-file line at once, so a run cut
// short keeps every reading taken so far.
#include "cli/CliCommands.h"

#include <cstdio>

#include "cli/CliBoard.h"
#include "cli/CliExitCodes.h"
#include "cli/CliHelp.h"
#include "cli/CliMetrics.h"
#include "cli/CliMetricsFile.h"
#include "cli/CliPlatform.h"
#include "cli/CliReports.h"
#include "comm/CommSettings.h"
#include "log/LogTime.h"
#include "log/Utf8Text.h"

namespace {

// The output file of --out, closed on every way out.
class COutputFile {
public:
    COutputFile() = default;
    ~COutputFile()
    {
        if (m_file) std::fclose(m_file);
    }
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

    bool Open(const std::wstring& path)
    {
        m_file = OpenCliFile(path, "wb");
        return m_file != nullptr;
    }
    // False when what was written could not be completed.
    bool Close()
    {
        std::FILE* file = m_file;
        m_file = nullptr;
        return std::fclose(file) == 0;
    }
    std::FILE* Get() const { return m_file; }

private:
    std::FILE* m_file = nullptr;
};

class CMeasureRun {
public:
    CMeasureRun(const CliOptions& options, CliContext& context, std::FILE* out)
        : m_options(options), m_context(context), m_out(out),
          m_metricsFile(options.metricsPath, [&context](const std::wstring& message) { WriteError(context, message); })
    {
    }

    int Run();

private:
    // Takes the queued reports; false when the measurement is over.
    bool TakeReports();
    bool End(int result)
    {
        m_result = result;
        return false;
    }
    // The metrics file follows every change of the board's state: the start,
    // each reading, each communication error, the end.
    void PublishMetrics();

    const CliOptions& m_options;
    CliContext& m_context;
    std::FILE* m_out;
    CCliBoard m_board;
    CMeasureLimit m_limit{std::nullopt, std::nullopt, 0};
    uint32_t m_readings = 0;
    int m_result = kExitOk;
    BoardMetrics m_metrics;
    CMetricsFile m_metricsFile;
};

int CMeasureRun::Run()
{
    const CommValues comm = EffectiveCommValues(m_context.settings, m_options);
    const int opened = OpenBoard(m_board, m_options, m_context);
    if (opened != kExitOk) return opened;
    WriteNote(m_context, CommSettingsMessage(comm.receiveInterval, comm.i2cClock, comm.commType));

    if (!m_board.Send(BuildStartMeasureFrame())) {
        WriteError(m_context, L"the start of the measurement could not be sent");
        return kExitBoardLost;
    }
    m_board.SetMeasuring(true);
    m_limit = CMeasureLimit(m_options.count, m_options.durationMs, CliNowMs());
    m_metrics.device = Utf8FromWide(m_board.Serial().empty() ? m_board.Path() : m_board.Serial());
    m_metrics.measuring = true;
    PublishMetrics();
    for (;;) {
        if (!TakeReports()) break;
        const uint64_t now = CliNowMs();
        if (m_limit.DurationOver(now)) break;
        if (m_board.Lost(now)) {
            WriteError(m_context, L"the sub board was disconnected");
            m_result = kExitBoardLost;
            break;
        }
        const uint64_t wait = m_limit.WaitLimit(now, CCliBoard::kProbeIntervalMs);
        // Ctrl+C or a closing console is the normal end of an open-ended run.
        if (m_board.WaitForNews(wait) == CCliBoard::Wake::Stop) {
            // Readings that arrived before the request still belong to the run.
            TakeReports();
            break;
        }
    }
    // However it ended, the sub board stops measuring.
    m_board.SetMeasuring(false);
    m_board.Send(BuildStopFrame());
    m_metrics.measuring = false;
    PublishMetrics();
    m_board.Close();
    return m_result;
}

void CMeasureRun::PublishMetrics()
{
    if (!m_metricsFile.Enabled()) return;
    m_metrics.commErrors = m_board.CommErrors();
    m_metricsFile.Write(RenderMetrics(m_metrics));
}

bool CMeasureRun::TakeReports()
{
    ReportPayload payload;
    while (m_board.PopReport(payload)) {
        switch (payload[0]) {
        case RC_MEASURE: {
            const tagLOGDATA record = MeasurementRecord(payload.data(), LocalTimeNow());
            if (!WriteDataLine(m_out, MeasurementLine(record))) {
                WriteError(m_context, L"cannot write the output");
                return End(kExitFileError);
            }
            m_metrics.last = MetricsReading{record.rsoc, record.temperature, record.voltage, UnixNowMs()};
            m_metrics.readings = ++m_readings;
            PublishMetrics();
            if (m_limit.CountReached(m_readings)) return false;
            break;
        }
        case RC_COMM_ERROR:
            WriteError(m_context, L"Communication error");
            PublishMetrics();
            return End(kExitCommError);
        default:
            break;  // answers to the settings and the like change nothing
        }
    }
    // The receive thread swallows single errors and wakes us for each: a
    // count that rises is a warning before the board gives up.
    if (m_metrics.commErrors != m_board.CommErrors()) PublishMetrics();
    return true;
}

} // namespace

int RunMeasure(const CliOptions& options, CliContext& context)
{
    // The metrics file is renamed over its path after every reading, so a
    // log there, or in its temporary file, would lose its lines.
    if (!options.outPath.empty() && !options.metricsPath.empty() &&
        (SameCliFile(options.outPath, options.metricsPath) ||
         SameCliFile(options.outPath, CMetricsFile::TemporaryPathFor(options.metricsPath)))) {
        WriteError(context, L"--out and --metrics-file need two files, but both would write " + options.outPath);
        WriteNote(context, CliUsageHint(CliCommand::Measure));
        return kExitUsage;
    }
    COutputFile file;
    if (!options.outPath.empty() && !file.Open(options.outPath)) {
        WriteError(context, L"open file error: " + options.outPath);
        return kExitFileError;
    }
    int result = CMeasureRun(options, context, file.Get() ? file.Get() : context.out).Run();
    if (file.Get() && !file.Close() && result == kExitOk) {
        WriteError(context, L"cannot write " + options.outPath);
        result = kExitFileError;
    }
    return result;
}
