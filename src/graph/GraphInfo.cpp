#include "graph/GraphInfo.h"

#include <cstdio>

CGraphInfo::CGraphInfo()
    : m_graph1Kind(GRAPH_KIND_RSOC),
      m_graph2Kind(GRAPH_KIND_TEMP),
      m_range{{0.0, 100.0}, {-20.0, 70.0}, {0.0, 5000.0}, {0.0, 100.0}}
{
}

CGraphInfo::~CGraphInfo() = default;

int32_t CGraphInfo::KindOf(int graph) const
{
    return SanitizeGraphKind(graph == 0 ? m_graph1Kind : m_graph2Kind);
}

const GraphRange& CGraphInfo::RangeOf(int graph) const
{
    return m_range[KindOf(graph)];
}

int32_t SanitizeGraphKind(int32_t kind)
{
    return (kind >= 0 && kind < kGraphKindCount) ? kind : GRAPH_KIND_NONE;
}

std::wstring GraphKindName(int32_t kind)
{
    switch (kind) {
        case GRAPH_KIND_RSOC: return L"RSOC";
        case GRAPH_KIND_TEMP: return L"Temp";
        case GRAPH_KIND_VOLT: return L"Volt";
        default: return std::wstring();
    }
}

std::wstring GraphKindUnit(int32_t kind)
{
    switch (kind) {
        case GRAPH_KIND_RSOC: return L"%";
        case GRAPH_KIND_TEMP: return L"\u2103";
        case GRAPH_KIND_VOLT: return L"mV";
        default: return std::wstring();
    }
}

std::wstring FormatGraphValue(int32_t kind, double value)
{
    // 1e308 with one decimal needs 311 characters; the buffer holds any double.
    char buffer[400];
    const int n = std::snprintf(buffer, sizeof buffer, kind == GRAPH_KIND_TEMP ? "%.1f" : "%.0f", value);
    if (n <= 0) {
        return std::wstring();
    }
    const size_t len = static_cast<size_t>(n) < sizeof buffer ? static_cast<size_t>(n) : sizeof buffer - 1;
    return std::wstring(buffer, buffer + len);
}

int32_t ClampZoomLevel(int32_t zoomLevel)
{
    if (zoomLevel < 0) {
        return 0;
    }
    return zoomLevel > kMaxZoomLevel ? kMaxZoomLevel : zoomLevel;
}

int32_t VisibleRecordCount(int32_t zoomLevel)
{
    return 100 + 200 * ClampZoomLevel(zoomLevel);
}

double GraphValueOf(int32_t kind, const GraphSample& sample)
{
    switch (kind) {
        case GRAPH_KIND_RSOC: return sample.rsoc == -1 ? 0.0 : static_cast<double>(sample.rsoc);
        case GRAPH_KIND_TEMP: return sample.temperature;
        case GRAPH_KIND_VOLT: return static_cast<double>(sample.voltage);
        default: return 0.0;
    }
}
