#include "protocol/FlashWriter.h"

#include "protocol/ReportDecode.h"

bool CFlashWriter::CanWrite(uint32_t imageSize)
{
    return imageSize / kFlashBlockSize > 0;
}

void CFlashWriter::Reset(uint32_t imageSize)
{
    phase = FP_IDLE;
    blockCounter = 0;
    blocksInPhase = 0;
    requestCode = 0;
    address = 0;
    offset = 0;
    startAddress = kStartAddress;
    blockCount = imageSize / kFlashBlockSize;
    beginAcknowledged = false;
}

void CFlashWriter::Step()
{
    ++blockCounter;
    bool phaseChanged = false;
    if (blockCounter >= blocksInPhase) {
        ++phase;
        blockCounter = 0;
        if (phase > FP_FINISH) {
            phase = FP_IDLE;
        }
        phaseChanged = true;
    }
    switch (phase) {
    case FP_BEGIN:
    case FP_DATA_END:
    case FP_VERIFY_END:
    case FP_FINISH:
        blocksInPhase = 1;
        address = startAddress;
        offset = 0;
        requestCode = phase == FP_BEGIN      ? RC_FLASH_BEGIN
                      : phase == FP_DATA_END ? RC_FLASH_DATA_END
                      : phase == FP_VERIFY_END ? RC_FLASH_VERIFY_END
                                               : RC_FLASH_FINISH;
        break;
    case FP_DATA:
    case FP_VERIFY:
        if (phaseChanged) {
            blocksInPhase = blockCount;
            address = startAddress;
            offset = 0;
            requestCode = phase == FP_DATA ? RC_FLASH_DATA : RC_FLASH_VERIFY;
        } else {
            address += kFlashBlockSize;
            offset += kFlashBlockSize;
        }
        break;
    case FP_IDLE:
        blockCounter = 0;
        blocksInPhase = 0;
        requestCode = 0;
        address = 0;
        break;
    default:
        break;
    }
}

bool CFlashWriter::Start(uint32_t imageSize)
{
    if (!CanWrite(imageSize)) {
        return false;
    }
    Reset(imageSize);
    Step();
    return true;
}

OutputFrame CFlashWriter::CodeFrame() const
{
    return BuildCodeFrame(requestCode);
}

std::optional<OutputFrame> CFlashWriter::BlockFrame(const uint8_t* image, uint32_t imageSize) const
{
    if (image == nullptr || uint64_t(offset) + kFlashBlockSize > imageSize) {
        return std::nullopt;
    }
    return BuildBlockFrame(requestCode, static_cast<uint16_t>(address), image + offset);
}

OutputFrame CFlashWriter::DataEndFrame() const
{
    const uint32_t lastBlock = address + static_cast<uint32_t>(kFlashBlockSize) * (blockCount - 1);
    return BuildRangeFrame(requestCode, static_cast<uint16_t>(address), static_cast<uint16_t>(lastBlock));
}

OutputFrame CFlashWriter::VerifyEndFrame() const
{
    const uint32_t end = address + static_cast<uint32_t>(kFlashBlockSize) * blockCount;
    return BuildRangeFrame(requestCode, static_cast<uint16_t>(address), static_cast<uint16_t>(end));
}

std::optional<OutputFrame> CFlashWriter::Reply(const uint8_t* ack, const uint8_t* image, uint32_t imageSize)
{
    const uint8_t code = ack[0];
    if (code < RC_FLASH_BEGIN || code > RC_FLASH_VERIFY_END || !IsAckAccepted(ack)) {
        return std::nullopt;
    }
    if (code == RC_FLASH_VERIFY_END && !IsVerifyMatched(ack)) {
        return std::nullopt;  // the verify failure goes to the user interface instead
    }
    if (blockCount == 0) {
        return std::nullopt;
    }
    // Only the acknowledgement of the frame last sent moves the writer on. The
    // board's answers carry nothing but their code, so a repeated one, or a
    // late one of a write already ended, would otherwise step the writer
    // ahead of the board and every later frame would carry the wrong block.
    if (code != requestCode) {
        return std::nullopt;
    }
    if (code != RC_FLASH_BEGIN && !beginAcknowledged) {
        return std::nullopt;  // no image to read blocks from yet
    }

    switch (code) {
    case RC_FLASH_BEGIN:
        beginAcknowledged = true;
        Step();
        return BlockFrame(image, imageSize);
    case RC_FLASH_DATA:
        Step();
        if (phase == FP_DATA) {
            return BlockFrame(image, imageSize);
        }
        return DataEndFrame();
    case RC_FLASH_DATA_END:
        Step();
        return BlockFrame(image, imageSize);
    case RC_FLASH_VERIFY:
        Step();
        if (phase == FP_VERIFY) {
            return BlockFrame(image, imageSize);
        }
        return VerifyEndFrame();
    default:  // RC_FLASH_VERIFY_END, content matched
        Step();
        return CodeFrame();
    }
}
