#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "log/DemoSource.h"
#include "log/LogFile.h"

namespace fs = std::filesystem;

namespace {

DemoSource NoFile()
{
    return DemoSource([]() -> std::FILE* { return nullptr; });
}

class DemoFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("vantrel_demo_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    DemoSource Source() const
    {
        const std::wstring path = Path();
        return DemoSource([path] { return OpenLogFile(path, "rb"); });
    }
    std::wstring Path() const { return (dir_ / "Demo.txt").wstring(); }
    void Write(const std::string& bytes) const { std::ofstream(dir_ / "Demo.txt", std::ios::binary) << bytes; }

    fs::path dir_;
};

} // namespace

TEST(PlatformRand, MatchesTheUnseededRuntimeSequence)
{
    PlatformRand rand;
    for (int value : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464})
        EXPECT_EQ(rand.Next(), value);
}

TEST(Truncation, LikeTheX86Conversion)
{
    const int32_t min = std::numeric_limits<int32_t>::min();
    struct Case {
        double value;
        int32_t asInt;
        uint16_t asWord;
    } const cases[] = {{79.9, 79, 79},       {3999.7, 3999, 3999},         {-0.5, 0, 0},
                       {-1.5, -1, 65535},    {70000.9, 70000, 4464},       {2147483647.9, 2147483647, 65535},
                       {2147483648.0, min, 0}, {-1e10, min, 0},           {std::nan(""), min, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(TruncateToInt32(c.value), c.asInt) << c.value;
        EXPECT_EQ(TruncateToUInt16(c.value), c.asWord) << c.value;
    }
}

TEST(DemoCurve, FirstReadings)
{
    DemoSource demo = NoFile();
    demo.SetSteps(2);
    const DemoReading r = demo.GetDemoReading();
    EXPECT_EQ(TruncateToInt32(r.rsoc), 90);
    EXPECT_NEAR(r.rsoc, 90.9 - 1.0 / 15, 1e-12);
    EXPECT_EQ(r.voltage, 4250.0);
    EXPECT_DOUBLE_EQ(r.temperature, 25.4 + (1.0 - 18467 / 16384.0) / 15); // about 25.39

    DemoSource fresh = NoFile(); // defined start, default steps
    EXPECT_EQ(fresh.Temperature(), 25.4);
    EXPECT_NEAR(fresh.GetDemoReading().rsoc, 90.9 - 1.0 / 30, 1e-12);
    EXPECT_NEAR(fresh.Voltage(), 4250.5 - 2.0 / 3, 1e-12);
}

TEST(DemoCurve, DischargeLineRestartsAtFortyOnePercent)
{
    DemoSource demo = NoFile();
    demo.SetSteps(2);
    int restartAt = 0;
    for (int n = 1; n <= 2000 && restartAt == 0; ++n) {
        const DemoReading r = demo.GetDemoReading();
        if (r.rsoc == 90.9) {
            restartAt = n;
            EXPECT_TRUE(r.voltage == 4250.0 || r.voltage == 4251.0) << r.voltage;
            break;
        }
        // 4250.5 - 10 mV per % below 90.9, plus noise of -1..+1 mV, truncated.
        const double line = 4250.5 - 10.0 * (90.9 - r.rsoc);
        ASSERT_GE(r.voltage, std::trunc(line - 1.0)) << n;
        ASSERT_LE(r.voltage, line + 1.0) << n;
        ASSERT_LE(std::fabs(r.temperature - 25.4), 1.0 / 15 + 1e-12) << n;
    }
    EXPECT_EQ(restartAt, 749);
}

TEST(DemoCurve, SlopePerSecondDoesNotDependOnThePeriod)
{
    DemoSource fast = NoFile(), slow = NoFile();
    fast.SetSteps(1);
    slow.SetSteps(4);
    for (int i = 0; i < 120; ++i)
        fast.GetDemoReading();
    for (int i = 0; i < 30; ++i)
        slow.GetDemoReading();
    EXPECT_NEAR(fast.Rsoc(), 90.9 - 4.0, 1e-9);
    EXPECT_NEAR(slow.Rsoc(), fast.Rsoc(), 1e-9);
    EXPECT_NEAR(slow.Voltage(), fast.Voltage(), 1e-9);
}

TEST_F(DemoFileTest, PlaysAStoredLogAgainAndAgain)
{
    LogStore log;
    for (int i = 0; i < 3; ++i) {
        tagLOGDATA r{};
        r.rsoc = 80 + i, r.temperature = 20.24 + i, r.voltage = static_cast<uint16_t>(3800 + i);
        log.AddMeasurementRow(r);
        if (i == 1)
            log.AddMessageRow(L"<Communicate> Period of measure:2s", LogTime{2019, 1, 1, 0, 0, 0});
    }
    ASSERT_EQ(StoreLogFile(Path(), log, Latin1LogTextCodec()).status, LogFileStatus::Ok);
    DemoSource demo = Source();
    for (int n = 0; n < 7; ++n) {
        const DemoReading r = demo.GetDemoReading();
        EXPECT_EQ(r.rsoc, 80 + n % 3) << n;
        EXPECT_EQ(r.voltage, 3800 + n % 3) << n;
        EXPECT_EQ(r.temperature, 20.2 + n % 3) << n; // as stored, one decimal
        EXPECT_EQ(demo.FilePos() == 0, n % 3 == 2) << n;
    }
    Write("2019/01/18 09:05:07, 84, 25.5, 3799.9");
    EXPECT_EQ(Source().GetDemoReading().voltage, 3799); // truncated
}

TEST_F(DemoFileTest, MissingTokens)
{
    Write("2019/01/18 09:05:07, 60, 30.0, 3700\n2019/01/18 09:05:07, 85\n2019/01/18 09:05:07\n\n");
    DemoSource demo = Source();
    demo.GetDemoReading();
    DemoReading r = demo.GetDemoReading();
    EXPECT_EQ(std::make_tuple(r.rsoc, r.temperature, r.voltage), std::make_tuple(85.0, 0.0, 3700.0));
    r = demo.GetDemoReading();
    EXPECT_EQ(std::make_tuple(r.rsoc, r.temperature, r.voltage), std::make_tuple(0.0, 0.0, 3700.0));
    r = demo.GetDemoReading(); // a blank line changes nothing
    EXPECT_EQ(std::make_tuple(r.rsoc, r.temperature, r.voltage), std::make_tuple(0.0, 0.0, 3700.0));
    EXPECT_EQ(demo.FilePos(), 0);
}

TEST_F(DemoFileTest, FilesWithoutMeasurementsKeepThePreviousValues)
{
    for (const char* bytes : {"", "<a>\r\n<b>\r\n", "<only>"}) {
        Write(bytes);
        DemoSource demo = Source();
        for (int i = 0; i < 3; ++i) {
            const DemoReading r = demo.GetDemoReading();
            EXPECT_EQ(std::make_tuple(r.rsoc, r.voltage, r.temperature), std::make_tuple(90.9, 4250.0, 25.4)) << bytes;
            EXPECT_EQ(demo.FilePos(), 0) << bytes;
        }
    }
}

TEST_F(DemoFileTest, EndOfFile)
{
    // A message as the last line: the position wraps, the read after it finds the end,
    // and the reading keeps its values.
    Write("2019/01/18 09:05:07, 70, 20.0, 3600\r\n<tail>\r\n");
    DemoSource demo = Source();
    EXPECT_EQ(demo.GetDemoReading().rsoc, 70);
    EXPECT_EQ(demo.GetDemoReading().rsoc, 70);
    EXPECT_EQ(demo.FilePos(), 0);

    Write("2019/01/18 09:05:07, 71, 20.0, 3600\r\n2019/01/18 09:05:07, 72, 20.0, 3600");
    DemoSource other = Source();
    EXPECT_EQ(other.GetDemoReading().rsoc, 71);
    EXPECT_EQ(other.GetDemoReading().rsoc, 72); // last line without line break
    EXPECT_EQ(other.FilePos(), 0);
    EXPECT_EQ(other.GetDemoReading().rsoc, 71);
}

TEST_F(DemoFileTest, SourceFollowsTheFileAppearingAndGoing)
{
    DemoSource demo = Source();
    demo.SetSteps(2);
    EXPECT_NEAR(demo.GetDemoReading().rsoc, 90.9 - 1.0 / 15, 1e-12); // generated

    Write("2019/01/18 09:05:07, 50, 20.0, 3500\r\n2019/01/18 09:05:07, 49, 20.0, 3490\r\n");
    EXPECT_EQ(demo.GetDemoReading().rsoc, 50);

    fs::remove(dir_ / "Demo.txt");
    EXPECT_NEAR(demo.GetDemoReading().rsoc, 50 - 1.0 / 15, 1e-12); // the curve goes on from there
    EXPECT_NEAR(demo.Voltage(), 3500 - 2.0 / 3, 1e-9);

    // The kept position (after the first line) is read on in a new file.
    Write("2019/01/18 09:05:07, 30, 20.0, 3300\r\n2019/01/18 09:05:07, 31, 20.0, 3300\r\n"
          "2019/01/18 09:05:07, 32, 20.0, 3300\r\n");
    EXPECT_EQ(demo.GetDemoReading().rsoc, 31);
    // A file shorter than the kept position: one reading without change, then the top.
    Write("<x>\n");
    EXPECT_EQ(demo.GetDemoReading().rsoc, 31);
    EXPECT_EQ(demo.FilePos(), 0);
    Write("2019/01/18 09:05:07, 33, 20.0, 3300\r\n");
    EXPECT_EQ(demo.GetDemoReading().rsoc, 33);
}
