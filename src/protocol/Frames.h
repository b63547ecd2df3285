#pragma once
// Command frames, PC to sub board. Every command travels as three 65-byte
// output reports: a short frame repeats one report three times, a long frame
// carries frame bytes 0..63, 64..127 and 128..191 in its three reports.
// Every 16-bit value goes low byte first.
#include <array>
#include <cstddef>
#include <cstdint>

#include "protocol/ReportCodes.h"

struct OutputFrame {
    std::array<OutputReport, kReportsPerFrame> reports;
};

// Frame byte i as it travels: report i / 64, report byte (i mod 64) + 1.
uint8_t FrameByte(const OutputFrame& frame, std::size_t i);

// The building blocks. Bytes not given are 0.
OutputFrame MakeShortFrame(const std::array<uint8_t, kPayloadSize>& content);
OutputFrame MakeLongFrame(const std::array<uint8_t, kFrameSize>& content);

// Short frames.
OutputFrame BuildStopFrame();
OutputFrame BuildStartMeasureFrame();
OutputFrame BuildReadWordFrame(uint8_t command);
OutputFrame BuildWriteWordFrame(uint8_t command, uint16_t data);
// Only the low byte of commType goes out.
OutputFrame BuildCommSettingsFrame(uint16_t receiveInterval, uint16_t i2cClock, uint16_t commType);

// Long frames of the flash write.
OutputFrame BuildFlashPrepareFrame();
// A long frame that carries nothing but its code (flash begin, finish).
OutputFrame BuildCodeFrame(uint8_t code);
OutputFrame BuildFlashBeginFrame();
OutputFrame BuildFlashFinishFrame();
// block points at kFlashBlockSize image bytes.
OutputFrame BuildBlockFrame(uint8_t code, uint16_t address, const uint8_t* block);
OutputFrame BuildDataBlockFrame(uint16_t address, const uint8_t* block);
OutputFrame BuildVerifyBlockFrame(uint16_t address, const uint8_t* block);
// A frame that names an address range in frame bytes 1..2 and 3..4.
OutputFrame BuildRangeFrame(uint8_t code, uint16_t first, uint16_t second);
// The range names the last block's address.
OutputFrame BuildDataEndFrame(uint16_t start, uint16_t lastBlock);
// The range ends one past the image.
OutputFrame BuildVerifyEndFrame(uint16_t start, uint16_t end);
