#include "sim/SimFlash.h"

#include <algorithm>
#include <cstring>

#include "protocol/ReportCodes.h"

namespace {

// Block data starts at frame byte 3 in data and verify frames.
constexpr int kBlockDataAt = 3;

SimFlashAnswer Answer(uint8_t code, bool ok, uint8_t verifyStatus = 0)
{
    return {code, static_cast<uint8_t>(ok ? 1 : 0), verifyStatus};
}

} // namespace

CSimFlash::CSimFlash()
{
    m_memory.fill(0xFF);
}

void CSimFlash::Abort()
{
    m_session = Session::Idle;
    m_prepared = false;
}

SimFlashAnswer CSimFlash::Handle(const uint8_t* frame)
{
    switch (frame[0]) {
    case RC_FLASH_BEGIN: return Begin();
    case RC_FLASH_DATA: return Data(frame);
    case RC_FLASH_DATA_END: return DataEnd(frame);
    case RC_FLASH_VERIFY: return Verify(frame);
    case RC_FLASH_VERIFY_END: return VerifyEnd(frame);
    case RC_FLASH_FINISH: return Finish();
    default: return Answer(frame[0], false);
    }
}

SimFlashAnswer CSimFlash::Begin()
{
    if (!m_prepared) return Answer(RC_FLASH_BEGIN, false);
    m_prepared = false;
    m_memory.fill(0xFF); // erase
    m_session = Session::Writing;
    m_blocksWritten = 0;
    m_blocksVerified = 0;
    m_verifyFailed = false;
    return Answer(RC_FLASH_BEGIN, true);
}

SimFlashAnswer CSimFlash::Data(const uint8_t* frame)
{
    const uint16_t address = Word(frame, 1);
    if (m_session != Session::Writing || !BlockFits(address)) return Answer(RC_FLASH_DATA, false);
    if (m_blocksWritten == 0) m_firstBlock = address;
    std::memcpy(&m_memory[address], frame + kBlockDataAt, kBlockSize);
    if (m_corruptWrites) m_memory[address] = static_cast<uint8_t>(~m_memory[address]);
    ++m_blocksWritten;
    return Answer(RC_FLASH_DATA, true);
}

SimFlashAnswer CSimFlash::DataEnd(const uint8_t* frame)
{
    // The range names the first and the last block written.
    const uint32_t start = Word(frame, 1);
    const uint32_t last = Word(frame, 3);
    const bool ok = m_session == Session::Writing && m_blocksWritten > 0 && start == m_firstBlock &&
                    last == start + kBlockSize * (m_blocksWritten - 1);
    if (ok) m_session = Session::Verifying;
    return Answer(RC_FLASH_DATA_END, ok);
}

SimFlashAnswer CSimFlash::Verify(const uint8_t* frame)
{
    const uint16_t address = Word(frame, 1);
    if (m_session != Session::Verifying || !BlockFits(address)) return Answer(RC_FLASH_VERIFY, false);
    if (!std::equal(frame + kBlockDataAt, frame + kBlockDataAt + kBlockSize, m_memory.begin() + address))
        m_verifyFailed = true;
    ++m_blocksVerified;
    return Answer(RC_FLASH_VERIFY, true);
}

SimFlashAnswer CSimFlash::VerifyEnd(const uint8_t* frame)
{
    if (m_session != Session::Verifying) return Answer(RC_FLASH_VERIFY_END, false);
    // The range runs from the first block to one past the last byte; a range
    // that does not cover what was verified is a mismatch too.
    const uint32_t start = Word(frame, 1);
    const uint32_t end = Word(frame, 3);
    const bool rangeOk = m_blocksVerified > 0 && start == m_firstBlock &&
                         end == (start + kBlockSize * m_blocksVerified) % kMemorySize;
    const bool matched = rangeOk && !m_verifyFailed;
    return Answer(RC_FLASH_VERIFY_END, true, matched ? 1 : 0);
}

SimFlashAnswer CSimFlash::Finish()
{
    if (m_session != Session::Verifying) return Answer(RC_FLASH_FINISH, false);
    m_session = Session::Idle;
    return Answer(RC_FLASH_FINISH, true);
}
