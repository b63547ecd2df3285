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

class DemoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("vantrel_demo_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "Demo.txt").wstring();
    }
    void TearDown() override { fs::remove_all(dir_); }

    DemoSource Source() const
    {
        const std::wstring path = path_;
        return DemoSource([path] { return OpenLogFile(path, "rb"); });
    }

    void WriteDemo(const std::string& bytes) const { std::ofstream(dir_ / "Demo.txt", std::ios::binary) << bytes; }
    void RemoveDemo() const { fs::remove(dir_ / "Demo.txt"); }

    fs::path dir_;
    std::wstring path_;
};

DemoSource NoFile()
{
    return DemoSource([]() -> std::FILE* { return nullptr; });
}

} // namespace

TEST(PlatformRand, MatchesTheUnseededRuntimeSequence)
{
    PlatformRand rand;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected)
        EXPECT_EQ(rand.Next(), value);
}

TEST(Truncation, LikeTheX86Conversion)
{
    struct Case {
        double value;
        int32_t asInt;
        uint16_t asWord;
    };
    const Case cases[] = {{79.9, 79, 79},
                          {3999.7, 3999, 3999},
                          {-0.5, 0, 0},
                          {-1.5, -1, 65535},
                          {70000.9, 70000, 4464},
                          {2147483647.9, 2147483647, 65535},
                          {2147483648.0, std::numeric_limits<int32_t>::min(), 0},
                          {-1e10, std::numeric_limits<int32_t>::min(), 0},
                          {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<int32_t>::min(), 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(TruncateToInt32(c.value), c.asInt) << c.value;
        EXPECT_EQ(TruncateToUInt16(c.value), c.asWord) << c.value;
    }
}

TEST(DemoCurve, FirstReadingAtTwoSecondPeriod)
{
    DemoSource demo = NoFile();
    demo.SetSteps(2);
    const DemoReading r = demo.GetDemoReading();
    EXPECT_EQ(TruncateToInt32(r.rsoc), 90);
    EXPECT_NEAR(r.rsoc, 90.9 - 1.0 / 15, 1e-12);
    EXPECT_EQ(r.voltage, 4250.0);
    EXPECT_DOUBLE_EQ(r.temperature, 25.4 + (1.0 - 18467 / 16384.0) / 15);
    EXPECT_NEAR(r.temperature, 25.39, 0.005);
}

TEST(DemoCurve, StartsWithDefinedValuesAndDefaultSteps)
{
    DemoSource demo = NoFile();
    EXPECT_EQ(demo.Temperature(), 25.4);
    const DemoReading r = demo.GetDemoReading();
    EXPECT_NEAR(r.rsoc, 90.9 - 1.0 / 30, 1e-12);
    EXPECT_NEAR(demo.Voltage(), 4250.5 - 2.0 / 3, 1e-12);
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
            EXPECT_GE(r.voltage, 4250.0);
            EXPECT_LE(r.voltage, 4251.0);
            break;
        }
        // The voltage follows RSOC: 4250.5 - 10 mV per % plus noise of -1..+1 mV.
        const double line = 4250.5 - 10.0 * (90.9 - r.rsoc);
        ASSERT_GE(r.voltage, std::trunc(line - 1.0)) << n;
        ASSERT_LE(r.voltage, line + 1.0) << n;
        ASSERT_GT(r.rsoc, 41.0) << n;
        ASSERT_GE(r.temperature, 25.4 - 1.0 / 15) << n;
        ASSERT_LE(r.temperature, 25.4 + 1.0 / 15) << n;
    }
    EXPECT_EQ(restartAt, 749);
}

TEST(DemoCurve, SlopePerSecondDoesNotDependOnThePeriod)
{
    DemoSource fast = NoFile();
    fast.SetSteps(1);
    DemoSource slow = NoFile();
    slow.SetSteps(4);
    for (int i = 0; i < 120; ++i)
        fast.GetDemoReading();
    for (int i = 0; i < 30; ++i)
        slow.GetDemoReading();
    EXPECT_NEAR(fast.Rsoc(), 90.9 - 4.0, 1e-9);
    EXPECT_NEAR(slow.Rsoc(), fast.Rsoc(), 1e-9);
    EXPECT_NEAR(slow.Voltage(), fast.Voltage(), 1e-9);
}

TEST_F(DemoTest, PlaysMeasurementLinesInOrderAgainAndAgain)
{
    WriteDemo("2019/01/18 09:05:07, 85, 25.0, 3801\r\n"
              "<Communicate> Period of measure:2s\r\n"
              "2019/01/18 09:05:09, 84, 25.5, 3799.9\r\n"
              "2019/01/18 09:05:11, 83, -1.0, 3790\r\n");
    DemoSource demo = Source();
    for (int round = 0; round < 2; ++round) {
        DemoReading r = demo.GetDemoReading();
        EXPECT_EQ(r.rsoc, 85);
        EXPECT_EQ(r.temperature, 25.0);
        EXPECT_EQ(r.voltage, 3801);
        r = demo.GetDemoReading();
        EXPECT_EQ(r.rsoc, 84);
        EXPECT_EQ(r.temperature, 25.5);
        EXPECT_EQ(r.voltage, 3799); // truncated
        r = demo.GetDemoReading();
        EXPECT_EQ(r.rsoc, 83);
        EXPECT_EQ(r.temperature, -1.0);
        EXPECT_EQ(r.voltage, 3790);
        EXPECT_EQ(demo.FilePos(), 0); // back to the top after the last line
    }
}

TEST_F(DemoTest, MissingTokens)
{
    WriteDemo("2019/01/18 09:05:07, 60, 30.0, 3700\n"
              "2019/01/18 09:05:07, 85\n"
              "2019/01/18 09:05:07\n"
              "\n");
    DemoSource demo = Source();
    demo.GetDemoReading();
    DemoReading r = demo.GetDemoReading();
    EXPECT_EQ(r.rsoc, 85);
    EXPECT_EQ(r.temperature, 0.0);
    EXPECT_EQ(r.voltage, 3700); // kept
    r = demo.GetDemoReading();
    EXPECT_EQ(r.rsoc, 0.0);
    EXPECT_EQ(r.temperature, 0.0);
    EXPECT_EQ(r.voltage, 3700);
    demo.SetSteps(2);
    r = demo.GetDemoReading(); // a blank line changes nothing
    EXPECT_EQ(r.rsoc, 0.0);
    EXPECT_EQ(r.voltage, 3700);
    EXPECT_EQ(demo.FilePos(), 0);
}

TEST_F(DemoTest, FilesWithoutMeasurementsKeepThePreviousValues)
{
    for (const char* bytes : {"", "<a>\r\n<b>\r\n", "<only>"}) {
        WriteDemo(bytes);
        DemoSource demo = Source();
        for (int i = 0; i < 3; ++i) {
            const DemoReading r = demo.GetDemoReading();
            EXPECT_EQ(r.rsoc, 90.9) << bytes;
            EXPECT_EQ(r.voltage, 4250.0) << bytes;
            EXPECT_EQ(r.temperature, 25.4) << bytes;
            EXPECT_EQ(demo.FilePos(), 0) << bytes;
        }
    }
}

TEST_F(DemoTest, LastLineWithoutLineBreakAndTrailingMessage)
{
    WriteDemo("2019/01/18 09:05:07, 70, 20.0, 3600\r\n<tail>\r\n");
    DemoSource demo = Source();
    EXPECT_EQ(demo.GetDemoReading().rsoc, 70);
    // The message line is the last one: the position wraps, the read after it finds
    // the end, and the reading keeps its values.
    EXPECT_EQ(demo.GetDemoReading().rsoc, 70);
    EXPECT_EQ(demo.FilePos(), 0);

    WriteDemo("2019/01/18 09:05:07, 71, 20.0, 3600\r\n2019/01/18 09:05:07, 72, 20.0, 3600");
    DemoSource other = Source();
    EXPECT_EQ(other.GetDemoReading().rsoc, 71);
    EXPECT_EQ(other.GetDemoReading().rsoc, 72);
    EXPECT_EQ(other.FilePos(), 0);
    EXPECT_EQ(other.GetDemoReading().rsoc, 71);
}

TEST_F(DemoTest, SourceFollowsTheFileAppearingAndGoing)
{
    DemoSource demo = Source();
    demo.SetSteps(2);
    DemoReading r = demo.GetDemoReading(); // generated
    EXPECT_NEAR(r.rsoc, 90.9 - 1.0 / 15, 1e-12);

    WriteDemo("2019/01/18 09:05:07, 50, 20.0, 3500\r\n2019/01/18 09:05:07, 49, 20.0, 3490\r\n");
    r = demo.GetDemoReading();
    EXPECT_EQ(r.rsoc, 50);

    RemoveDemo();
    r = demo.GetDemoReading(); // the curve goes on from the played values
    EXPECT_NEAR(r.rsoc, 50 - 1.0 / 15, 1e-12);
    EXPECT_NEAR(demo.Voltage(), 3500 - 2.0 / 3, 1e-9);

    // The kept position (after the first line of the old file) is read on in a new file.
    WriteDemo("2019/01/18 09:05:07, 30, 20.0, 3300\r\n"
              "2019/01/18 09:05:07, 31, 20.0, 3300\r\n"
              "2019/01/18 09:05:07, 32, 20.0, 3300\r\n");
    EXPECT_EQ(demo.GetDemoReading().rsoc, 31);
    ASSERT_GT(demo.FilePos(), 4);
    // A file shorter than the kept position: one reading without change, then the top.
    WriteDemo("<x>\n");
    EXPECT_EQ(demo.GetDemoReading().rsoc, 31);
    EXPECT_EQ(demo.FilePos(), 0);
    WriteDemo("2019/01/18 09:05:07, 33, 20.0, 3300\r\n");
    EXPECT_EQ(demo.GetDemoReading().rsoc, 33);
}

TEST_F(DemoTest, PlaysAFileMadeByStoringALog)
{
    LogStore log;
    for (int i = 0; i < 3; ++i) {
        tagLOGDATA r{};
        r.year = 2019;
        r.rsoc = 80 + i;
        r.temperature = 20.24 + i;
        r.voltage = static_cast<uint16_t>(3800 + i);
        log.AddMeasurementRow(r);
        if (i == 1)
            log.AddMessageRow(L"<Communicate> Period of measure:2s", LogTime{2019, 1, 1, 0, 0, 0});
    }
    ASSERT_EQ(StoreLogFile(path_, log, Latin1LogTextCodec()).status, LogFileStatus::Ok);
    DemoSource demo = Source();
    for (int n = 0; n < 7; ++n) {
        const DemoReading r = demo.GetDemoReading();
        const int i = n % 3;
        EXPECT_EQ(r.rsoc, 80 + i) << n;
        EXPECT_EQ(r.voltage, 3800 + i) << n;
        EXPECT_EQ(r.temperature, 20.2 + i) << n; // stored with one decimal
    }
}
