#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <vector>

#include "ui/ResizeLayout.h"

namespace {

constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();

PixelRect R(int32_t l, int32_t t, int32_t r, int32_t b)
{
    PixelRect rect;
    rect.left = l;
    rect.top = t;
    rect.right = r;
    rect.bottom = b;
    return rect;
}

PixelRect Shift(const PixelRect& r, int32_t dx, int32_t dy)
{
    return R(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy);
}

// A dialog with child windows that records the batched moves and applies
// them at the end of the batch, as the window system would.
class FakeWindows : public CLayoutPlatform {
public:
    struct Window {
        LayoutHandle parent = nullptr;
        PixelRect rect;  // client rectangle for the dialog, rectangle in parent for children
    };
    std::map<LayoutHandle, Window> windows;
    std::vector<std::pair<LayoutHandle, PixelRect>> batch;
    bool batchOpen = false;
    int endCalls = 0;
    LayoutHandle failMoveOf = nullptr;

    LayoutHandle Add(int id, LayoutHandle parent, const PixelRect& rect)
    {
        LayoutHandle h = reinterpret_cast<LayoutHandle>(static_cast<intptr_t>(id));
        windows[h] = Window{parent, rect};
        return h;
    }

    bool IsLiveWindow(LayoutHandle w) override { return windows.count(w) != 0; }
    LayoutHandle ParentOf(LayoutHandle w) override { return windows.count(w) ? windows[w].parent : nullptr; }
    bool ClientRect(LayoutHandle w, PixelRect& rect) override
    {
        if (!windows.count(w)) {
            return false;
        }
        rect = windows[w].rect;
        return true;
    }
    bool RectInParent(LayoutHandle control, LayoutHandle parent, PixelRect& rect) override
    {
        if (!windows.count(control) || windows[control].parent != parent) {
            return false;
        }
        rect = windows[control].rect;
        return true;
    }
    bool BeginMoves(int32_t) override
    {
        batch.clear();
        batchOpen = true;
        return true;
    }
    bool AddMove(LayoutHandle control, const PixelRect& rect) override
    {
        if (control == failMoveOf || !windows.count(control)) {
            batchOpen = false;
            return false;
        }
        batch.emplace_back(control, rect);
        return true;
    }
    bool EndMoves() override
    {
        ++endCalls;
        for (const auto& move : batch) {
            windows[move.first].rect = move.second;
        }
        batchOpen = false;
        return true;
    }
};

struct Control {
    int id;
    uint32_t flags;
    PixelRect rect;
};

// The main window's rules, registered in their order, at template-like
// positions in an 800 x 600 client area.
const Control kMainRules[] = {
    {1054, kStretchRight, R(10, 20, 530, 250)},
    {1055, kStretchRight, R(10, 252, 530, 268)},
    {1013, kStretchRightDown, R(5, 10, 790, 520)},
    {1008, kStretchRightDown, R(10, 300, 780, 510)},
    {1000, kRideBottom, R(10, 540, 90, 565)},
    {1001, kRideBottom, R(100, 540, 180, 565)},
    {1006, kStretchRightDown | KEEP_WIDTH | KEEP_HEIGHT, R(600, 540, 680, 565)},
    {1007, kStretchRightDown | KEEP_WIDTH | KEEP_HEIGHT, R(700, 540, 780, 565)},
};

}  // namespace

TEST(ResizeRules, ContradictoryFlags)
{
    struct Case {
        uint32_t flags;
        bool refused;
    };
    const Case cases[] = {
        {0x13, true},  {0x2C, true},  {0x3F, true},  {0x1F, true},  {0x38, false},
        {0x3A, false}, {0x0A, false}, {0x03, false}, {0x0C, false}, {0x10, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsContradictoryRule(c.flags), c.refused) << std::hex << c.flags;
    }
}

TEST(ResizeRules, GrowingTheClientAreaMovesAndStretchesEachKind)
{
    const PixelRect before = R(0, 0, 800, 600);
    const PixelRect after = R(0, 0, 900, 650);
    struct Case {
        uint32_t flags;
        PixelRect control;
        PixelRect expected;
    };
    const PixelRect c = R(100, 200, 300, 260);
    const Case cases[] = {
        {0x00, c, c},
        {KEEP_WIDTH | KEEP_HEIGHT, c, c},  // modifiers alone do nothing
        {ANCHOR_LEFT | ANCHOR_TOP, c, c},
        {kStretchRight, c, R(100, 200, 400, 260)},
        {kStretchRightDown, c, R(100, 200, 400, 310)},
        {kRideBottom, c, R(100, 250, 300, 310)},
        {kStretchRightDown | KEEP_WIDTH | KEEP_HEIGHT, c, R(200, 250, 400, 310)},
        {ANCHOR_LEFT | ANCHOR_RIGHT | ANCHOR_TOP | ANCHOR_BOTTOM, c, R(100, 200, 400, 310)},
        {ANCHOR_RIGHT | KEEP_WIDTH, c, R(200, 200, 400, 260)},
    };
    for (const Case& k : cases) {
        ResizeSpec rule;
        rule.flags = k.flags;
        rule.margins = MeasureMargins(before, k.control);
        SCOPED_TRACE(testing::Message() << std::hex << k.flags);
        EXPECT_EQ(ApplyResizeRule(rule, after, k.control), k.expected);
        // Same size again: every control stays where its margins put it.
        EXPECT_EQ(ApplyResizeRule(rule, before, k.control), k.control);
    }
}

TEST(ResizeRules, MinimisedWindowGivesNoNegativeSizeAndRestores)
{
    const PixelRect client = R(0, 0, 800, 600);
    for (const Control& c : kMainRules) {
        ResizeSpec rule;
        rule.flags = c.flags;
        rule.margins = MeasureMargins(client, c.rect);
        const PixelRect minimised = ApplyResizeRule(rule, R(0, 0, 0, 0), c.rect);
        SCOPED_TRACE(c.id);
        EXPECT_GE(minimised.right - minimised.left, 0);
        EXPECT_GE(minimised.bottom - minimised.top, 0);
        EXPECT_EQ(ApplyResizeRule(rule, client, minimised), c.rect);
    }
}

TEST(ResizeRules, ExtremeMarginsAndRectanglesDoNotWrap)
{
    ResizeSpec rule;
    rule.flags = kStretchRightDown | ANCHOR_LEFT | ANCHOR_TOP;
    rule.margins.left = kMax32;
    rule.margins.top = kMin32 + 1;
    rule.margins.right = kMin32 + 1;
    rule.margins.bottom = kMax32;
    const PixelRect r =
        ApplyResizeRule(rule, R(kMin32, kMin32, kMax32, kMax32), R(kMin32, kMin32, kMax32, kMax32));
    EXPECT_GE(r.right, r.left);
    EXPECT_GE(r.bottom, r.top);
    EXPECT_LE(r.right, kPixelLimit);
    EXPECT_GE(r.top, -kPixelLimit);
    const ResizeMargins m = MeasureMargins(R(0, 0, kMax32, kMin32), R(0, 0, kMin32, kMax32));
    EXPECT_EQ(m.right, kMax32);
    EXPECT_EQ(m.bottom, kMin32);
}

TEST(ResizeLayout, MainWindowRulesFollowTheWindow)
{
    FakeWindows fake;
    LayoutHandle dialog = fake.Add(1, nullptr, R(0, 0, 800, 600));
    CResizeLayout layout(fake);
    std::vector<LayoutHandle> handles;
    for (const Control& c : kMainRules) {
        LayoutHandle h = fake.Add(c.id, dialog, c.rect);
        handles.push_back(h);
        if (c.flags == kStretchRight) {
            EXPECT_TRUE(layout.SetStretchRight(h));
        } else if (c.flags == kRideBottom) {
            EXPECT_TRUE(layout.SetRideBottom(h));
        } else {
            EXPECT_TRUE(layout.SetStretchRightDown(h, c.flags & (KEEP_WIDTH | KEEP_HEIGHT)));
        }
    }
    ASSERT_EQ(layout.Rules().size(), 8u);
    EXPECT_EQ(layout.Rules()[3].margins.right, 20);
    EXPECT_EQ(layout.Rules()[3].margins.bottom, 90);

    // Grow by 100 x 50.
    fake.windows[dialog].rect = R(0, 0, 900, 650);
    ASSERT_TRUE(layout.ApplyLayout(dialog));
    const PixelRect grown[] = {
        R(10, 20, 630, 250),               // graph: 100 wider, same height and place
        R(10, 252, 630, 268),              // its scroll bar likewise
        R(5, 10, 890, 570),                // "Data measured": 100 wider, 50 taller
        R(10, 300, 880, 560),              // log list likewise
        Shift(kMainRules[4].rect, 0, 50),  // Start measure: 50 down only
        Shift(kMainRules[5].rect, 0, 50),
        Shift(kMainRules[6].rect, 100, 50),  // Clear log: with the corner
        Shift(kMainRules[7].rect, 100, 50),
    };
    for (size_t i = 0; i < handles.size(); ++i) {
        EXPECT_EQ(fake.windows[handles[i]].rect, grown[i]) << kMainRules[i].id;
    }

    // Minimise, then back to the start-up size: every control at its place.
    fake.windows[dialog].rect = R(0, 0, 0, 0);
    ASSERT_TRUE(layout.ApplyLayout(dialog));
    fake.windows[dialog].rect = R(0, 0, 800, 600);
    ASSERT_TRUE(layout.ApplyLayout(dialog));
    for (size_t i = 0; i < handles.size(); ++i) {
        EXPECT_EQ(fake.windows[handles[i]].rect, kMainRules[i].rect) << kMainRules[i].id;
    }
    EXPECT_EQ(fake.endCalls, 3);
}

TEST(ResizeLayout, SettingReplacingAndRemovingRules)
{
    FakeWindows fake;
    LayoutHandle dialog = fake.Add(1, nullptr, R(0, 0, 800, 600));
    LayoutHandle a = fake.Add(10, dialog, R(10, 10, 50, 30));
    LayoutHandle b = fake.Add(11, dialog, R(60, 10, 90, 30));
    LayoutHandle orphan = fake.Add(12, nullptr, R(0, 0, 5, 5));
    LayoutHandle dead = reinterpret_cast<LayoutHandle>(static_cast<intptr_t>(99));
    CResizeLayout layout(fake);

    EXPECT_FALSE(layout.SetControlRule(dead, kStretchRight, UnsetMargins()));
    EXPECT_FALSE(layout.SetControlRule(a, 0, UnsetMargins()));  // nothing to remove
    EXPECT_FALSE(layout.SetControlRule(a, 0x13, UnsetMargins()));
    EXPECT_FALSE(layout.SetControlRule(a, 0x2C, UnsetMargins()));
    EXPECT_FALSE(layout.SetControlRule(orphan, kStretchRight, UnsetMargins()));
    EXPECT_TRUE(layout.Rules().empty());

    EXPECT_TRUE(layout.SetControlRule(a, 0x38, UnsetMargins()));
    EXPECT_TRUE(layout.SetControlRule(b, kStretchRight, UnsetMargins()));
    ResizeMargins explicitMargins;
    explicitMargins.left = 1;
    explicitMargins.top = 2;
    explicitMargins.right = 3;
    explicitMargins.bottom = 4;
    EXPECT_TRUE(layout.SetControlRule(a, kStretchRightDown, explicitMargins));  // replaces, keeps its place
    ASSERT_EQ(layout.Rules().size(), 2u);
    EXPECT_EQ(layout.Rules()[0].control, a);
    EXPECT_EQ(layout.Rules()[0].flags, kStretchRightDown);
    EXPECT_EQ(layout.Rules()[0].margins.bottom, 4);
    EXPECT_EQ(layout.Rules()[1].control, b);
    EXPECT_EQ(layout.Rules()[1].margins.right, 710);

    // A refused replacement leaves the old rule.
    EXPECT_FALSE(layout.SetControlRule(b, 0x13, UnsetMargins()));
    EXPECT_EQ(layout.Rules()[1].flags, kStretchRight);

    EXPECT_TRUE(layout.SetControlRule(a, 0, UnsetMargins()));
    ASSERT_EQ(layout.Rules().size(), 1u);
    EXPECT_EQ(layout.Rules()[0].control, b);
}

TEST(ResizeLayout, FailuresOfTheBatch)
{
    FakeWindows fake;
    LayoutHandle dialog = fake.Add(1, nullptr, R(0, 0, 800, 600));
    LayoutHandle a = fake.Add(10, dialog, R(10, 10, 50, 30));
    LayoutHandle b = fake.Add(11, dialog, R(60, 10, 90, 30));
    CResizeLayout layout(fake);
    ASSERT_TRUE(layout.SetStretchRight(a));
    ASSERT_TRUE(layout.SetStretchRight(b));

    EXPECT_FALSE(layout.ApplyLayout(nullptr));
    EXPECT_TRUE(layout.ApplyLayout(dialog));

    fake.windows[dialog].rect = R(0, 0, 900, 600);
    fake.failMoveOf = b;
    EXPECT_FALSE(layout.ApplyLayout(dialog));
    EXPECT_EQ(fake.windows[a].rect, R(10, 10, 50, 30));  // the abandoned batch moved nothing
    EXPECT_EQ(fake.endCalls, 1);

    CResizeLayout empty(fake);
    EXPECT_TRUE(empty.ApplyLayout(dialog));
}
