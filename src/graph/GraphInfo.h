#pragma once
// What the two graphs show: the series kind of each graph and the value range
// of every kind. Copied by value between the main window and the graph
// settings dialog.
#include <cstdint>
#include <string>

enum GraphKind : int32_t {
    GRAPH_KIND_RSOC = 0,
    GRAPH_KIND_TEMP = 1,
    GRAPH_KIND_VOLT = 2,
    GRAPH_KIND_NONE = 3,  // graph 2 only: nothing drawn
};

constexpr int32_t kGraphKindCount = 4;

struct GraphRange {
    double min = 0.0;
    double max = 0.0;
};

class CGraphInfo {
public:
    CGraphInfo();
    virtual ~CGraphInfo();
    CGraphInfo(const CGraphInfo&) = default;
    CGraphInfo& operator=(const CGraphInfo&) = default;

    // graph: 0 for graph 1, 1 for graph 2. A kind outside 0..3 reads as None,
    // so a corrupted kind can never index past m_range.
    int32_t KindOf(int graph) const;
    const GraphRange& RangeOf(int graph) const;

    int32_t m_graph1Kind;                 // 0..2
    int32_t m_graph2Kind;                 // 0..3
    GraphRange m_range[kGraphKindCount];  // indexed by kind
};

// Kind outside 0..3 -> GRAPH_KIND_NONE.
int32_t SanitizeGraphKind(int32_t kind);

// "RSOC", "Temp", "Volt", "" for None.
std::wstring GraphKindName(int32_t kind);
// "%", "℃", "mV", "" for None.
std::wstring GraphKindUnit(int32_t kind);
// Labels, readouts and the settings edits show Temp with one decimal and
// everything else without.
std::wstring FormatGraphValue(int32_t kind, double value);

// Zoom levels 0..10; level 0 shows the fewest records.
constexpr int32_t kMaxZoomLevel = 10;
// Records one graph width holds at the largest zoom level, and so the size of
// each point list.
constexpr int32_t kMaxVisibleRecords = 2100;

// 100 + 200 x level. Levels outside 0..10 are clamped into it, which keeps
// every point list write inside its 2100 entries.
int32_t VisibleRecordCount(int32_t zoomLevel);
int32_t ClampZoomLevel(int32_t zoomLevel);

// The three values of one measurement that the graphs can show.
struct GraphSample {
    int32_t rsoc = 0;  // -1 marks a standby record
    double temperature = 0.0;
    uint16_t voltage = 0;
};

// RSOC as a real number with a standby record at 0, the temperature, the
// voltage, or 0 for None.
double GraphValueOf(int32_t kind, const GraphSample& sample);
