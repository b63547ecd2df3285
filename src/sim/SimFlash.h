#pragma once
// The simulated board's flash memory and its write/verify session. Each
// flash frame (codes 0x08..0x0D) is handled completely before its answer is
// built, as the tool expects of the real board.
#include <array>
#include <cstdint>

struct SimFlashAnswer {
    uint8_t code;
    uint8_t status;       // 1 = accepted / done
    uint8_t verifyStatus; // only for the end-of-verify answer: 1 = content matched
};

class CSimFlash {
public:
    static constexpr uint32_t kMemorySize = 0x10000;
    static constexpr uint32_t kBlockSize = 128;

    CSimFlash();

    // The flash preparation frame; flash begin is refused without it.
    void Prepare() { m_prepared = true; }
    // frame: the 192 bytes of a flash frame.
    SimFlashAnswer Handle(const uint8_t* frame);
    // Forgets any session in progress (power loss); the memory keeps its content.
    void Abort();

    // Stores every written block with its first byte inverted, so the verify
    // pass finds a real difference.
    void SetCorruptWrites(bool corrupt) { m_corruptWrites = corrupt; }

    uint8_t At(uint32_t address) const { return m_memory[address % kMemorySize]; }
    bool InSession() const { return m_session != Session::Idle; }
    uint32_t BlocksWritten() const { return m_blocksWritten; }

private:
    enum class Session { Idle, Writing, Verifying };

    static uint16_t Word(const uint8_t* frame, int at) { return static_cast<uint16_t>(frame[at] | frame[at + 1] << 8); }
    bool BlockFits(uint16_t address) const { return address + kBlockSize <= kMemorySize; }

    SimFlashAnswer Begin();
    SimFlashAnswer Data(const uint8_t* frame);
    SimFlashAnswer DataEnd(const uint8_t* frame);
    SimFlashAnswer Verify(const uint8_t* frame);
    SimFlashAnswer VerifyEnd(const uint8_t* frame);
    SimFlashAnswer Finish();

    std::array<uint8_t, kMemorySize> m_memory;
    bool m_prepared = false;
    bool m_corruptWrites = false;
    Session m_session = Session::Idle;
    uint32_t m_firstBlock = 0;
    uint32_t m_blocksWritten = 0;
    uint32_t m_blocksVerified = 0;
    bool m_verifyFailed = false;
};
