#pragma once
// Report codes shared by command frames (PC to sub board) and input reports
// (sub board to PC). Payload byte 0 of an input report and frame byte 0 of a
// command frame hold one of these.
#include <array>
#include <cstddef>
#include <cstdint>

enum ReportCode : uint8_t {
    RC_CONTROL = 0x00,
    RC_SETTINGS = 0x01,
    RC_CONDITION_CHANGE = 0x02,
    RC_MEASURE = 0x03,
    RC_SETTINGS_CHECK = 0x04,
    RC_COMM_ERROR = 0x05,
    RC_READ_WORD = 0x06,
    RC_WRITE_WORD = 0x07,
    RC_FLASH_BEGIN = 0x08,
    RC_FLASH_DATA = 0x09,
    RC_FLASH_DATA_END = 0x0A,
    RC_FLASH_VERIFY = 0x0B,
    RC_FLASH_VERIFY_END = 0x0C,
    RC_FLASH_FINISH = 0x0D,
    RC_I2C_ERROR = 0x0E,
};

// One HID report on the wire: report id byte plus 64 bytes of content.
constexpr std::size_t kReportSize = 65;
// What the receive thread hands to the dispatcher: report bytes 1..64.
constexpr std::size_t kPayloadSize = 64;
// A command frame travels as three reports.
constexpr std::size_t kFrameSize = 192;
constexpr std::size_t kReportsPerFrame = 3;
// Image bytes carried by one data or verify block frame.
constexpr std::size_t kFlashBlockSize = 128;

// One output report as handed to the link: report id 0, then 64 frame bytes.
using OutputReport = std::array<uint8_t, kReportSize>;

// Marker in frame byte 1 of the argument-less short commands.
constexpr uint8_t kFrameMarker = 0x5A;

// Device-path text that identifies the sub board (case-sensitive).
constexpr const char kSubBoardMatchText[] = "vid_5e3a&pid_fffd";
