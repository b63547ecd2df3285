// Log throughput and memory: line format and parse, store and load of a file of a
// million rows, the cost of one new reading as the log grows, heap bytes per row.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "AllocCounter.h"
#include "graph/GraphGeometry.h"
#include "log/LogFile.h"
#include "log/LogLine.h"
#include "log/LogStore.h"

namespace {

constexpr size_t kFileRows = 1000000;
const std::wstring kCommMessage =
    L"<Communicate> Period of measure:2s Communication type:I2C I2C clock frequency:100kHz";

tagLOGDATA Reading(size_t i)
{
    tagLOGDATA r{};
    r.year = 2019;
    r.month = 1;
    r.day = static_cast<int16_t>(1 + i / 86400 % 28);
    r.hour = static_cast<int16_t>(i / 3600 % 24);
    r.minute = static_cast<int16_t>(i / 60 % 60);
    r.second = static_cast<int16_t>(i % 60);
    r.rsoc = static_cast<int32_t>(100 - i % 100);
    r.temperature = 20.0 + static_cast<double>(i % 173) * 0.137;
    r.voltage = static_cast<uint16_t>(3300 + i % 900);
    return r;
}

LogTime BenchClock()
{
    return LogTime{2024, 1, 1, 0, 0, 0};
}

// A log like a long run: a message row (the communication settings) every 10^5 rows.
void FillLog(LogStore& log, size_t rows)
{
    for (size_t i = 0; i < rows; ++i) {
        if (i % 100000 == 0)
            log.AddMessageRow(kCommMessage, BenchClock());
        else
            log.AddMeasurementRow(Reading(i));
    }
}

std::wstring TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).wstring();
}

void BM_FormatMeasurementLine(benchmark::State& state)
{
    std::vector<tagLOGDATA> records;
    for (size_t i = 0; i < 4096; ++i)
        records.push_back(Reading(i));
    char line[kLogLineMaxChars];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatMeasurementLine(line, records[i++ & 4095]));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items = rows");
}
BENCHMARK(BM_FormatMeasurementLine);

void BM_ParseMeasurementLine(benchmark::State& state)
{
    std::vector<std::string> lines;
    for (size_t i = 0; i < 4096; ++i) {
        char line[kLogLineMaxChars];
        lines.emplace_back(line, FormatMeasurementLine(line, Reading(i)));
    }
    size_t i = 0;
    for (auto _ : state) {
        const std::string& line = lines[i++ & 4095];
        benchmark::DoNotOptimize(ParseMeasurementLine(line.data(), line.size()));
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items = rows");
}
BENCHMARK(BM_ParseMeasurementLine);

void BM_StoreLogFile(benchmark::State& state)
{
    LogStore log;
    FillLog(log, kFileRows);
    const std::wstring path = TempPath("vantrel_bench_store.txt");
    for (auto _ : state) {
        const LogStoreResult result = StoreLogFile(path, log, Latin1LogTextCodec());
        if (result.status != LogFileStatus::Ok)
            state.SkipWithError("store failed");
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(log.RowCount()));
    state.SetLabel("items = rows of a 10^6-row log");
}
BENCHMARK(BM_StoreLogFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadLogFile(benchmark::State& state)
{
    const std::wstring path = TempPath("vantrel_bench_load.txt");
    {
        LogStore log;
        FillLog(log, kFileRows);
        StoreLogFile(path, log, Latin1LogTextCodec());
    }
    size_t rows = 0;
    for (auto _ : state) {
        // Into a new store, as a load that must not lose the current log does.
        LogStore loaded;
        const LogLoadResult result = LoadLogFile(path, loaded, Latin1LogTextCodec(), BenchClock);
        if (result.status != LogFileStatus::Ok)
            state.SkipWithError("load failed");
        rows = result.rows;
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(rows));
    state.SetLabel("items = rows of a 10^6-row log");
}
BENCHMARK(BM_LoadLogFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// One new reading (record + row) at a log of state.range(0) records. The log grows
// by the iterations too, which are few against the larger sizes.
void BM_AppendReading(benchmark::State& state)
{
    LogStore log;
    const size_t start = static_cast<size_t>(state.range(0));
    for (size_t i = 0; i < start; ++i)
        log.AddMeasurementRow(Reading(i));
    size_t i = start;
    for (auto _ : state)
        log.AddMeasurementRow(Reading(i++));
    benchmark::DoNotOptimize(log.RecordCount());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AppendReading)->Arg(100)->Arg(10000)->Arg(1000000)->Arg(10000000)->Iterations(1000000);

// One new reading as the tool handles it: record + row, then both point lists
// rebuilt at the widest zoom (2100 records read), at a log of state.range(0) records.
void BM_NewReadingWithGraph(benchmark::State& state)
{
    LogStore log;
    const size_t start = static_cast<size_t>(state.range(0));
    for (size_t i = 0; i < start; ++i)
        log.AddMeasurementRow(Reading(i));
    const CGraphInfo info;
    const int32_t zoom = 10;
    GraphGeometry geometry;
    UpdateGraphGeometry(geometry, 520, 230, 1.0, zoom, info);
    static GraphPointLists lists;
    size_t i = start;
    for (auto _ : state) {
        log.AddMeasurementRow(Reading(i++));
        BuildGraphPoints(lists, geometry, info, zoom, 0, static_cast<int64_t>(log.RecordCount()),
                         [&log](int64_t index) {
                             const tagLOGDATA& r = log.Record(static_cast<size_t>(index));
                             GraphSample sample;
                             sample.rsoc = r.rsoc;
                             sample.temperature = r.temperature;
                             sample.voltage = r.voltage;
                             return sample;
                         });
        benchmark::DoNotOptimize(lists.count);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NewReadingWithGraph)->Arg(100)->Arg(10000)->Arg(1000000)->Arg(10000000)->Iterations(20000);

// The text of one list cell, as the list asks for it while painting.
void BM_CellText(benchmark::State& state)
{
    LogStore log;
    FillLog(log, 100000);
    wchar_t buffer[260];
    size_t i = 0;
    for (auto _ : state) {
        const size_t row = (i * 7919) % log.RowCount();
        benchmark::DoNotOptimize(log.CellText(row, static_cast<int>(i % 5), buffer, 260));
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items = cells");
}
BENCHMARK(BM_CellText);

// Heap bytes per row, measured from the replacement operator new.
void BM_BytesPerMeasurementRow(benchmark::State& state)
{
    const size_t rows = 1000000;
    double perRow = 0;
    for (auto _ : state) {
        const size_t before = LiveHeapBytes();
        LogStore log;
        for (size_t i = 0; i < rows; ++i)
            log.AddMeasurementRow(Reading(i));
        perRow = static_cast<double>(LiveHeapBytes() - before) / rows;
    }
    state.counters["bytes_per_row"] = perRow;
}
BENCHMARK(BM_BytesPerMeasurementRow)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BytesPerMessageRow(benchmark::State& state)
{
    const size_t rows = 200000;
    double perRow = 0;
    for (auto _ : state) {
        const size_t before = LiveHeapBytes();
        LogStore log;
        for (size_t i = 0; i < rows; ++i)
            log.AddMessageRow(kCommMessage, BenchClock());
        perRow = static_cast<double>(LiveHeapBytes() - before) / rows;
    }
    state.counters["bytes_per_row"] = perRow;
    state.counters["text_chars"] = static_cast<double>(kCommMessage.size());
}
BENCHMARK(BM_BytesPerMessageRow)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
