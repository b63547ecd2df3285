// Register word access: "Read word" and "Write word" send one short frame
// each; the read's answer arrives later through the report queue. Nothing
// pairs a reply with its request.
#include "app/VantrelDlg_win.h"

#include <cwchar>

#include "protocol/Frames.h"
#include "protocol/HexField.h"
#include "resource.h"

void CVantrelDlg::OnReadWord()
{
    UpdateData(true);
    // Without a board or in a demo mode nothing goes out, and nothing is said.
    SendFrame(BuildReadWordFrame(HexFieldCommand(m_readCommand)));
}

void CVantrelDlg::OnWriteWord()
{
    UpdateData(true);
    SendFrame(BuildWriteWordFrame(HexFieldCommand(m_writeCommand), HexFieldData(m_writeData)));
}

void CVantrelDlg::ShowReadWordReply(const uint8_t* payload)
{
    // Take every edit first, so text being typed elsewhere survives the write-back.
    UpdateData(true);
    const unsigned value = static_cast<unsigned>(payload[2]) | (static_cast<unsigned>(payload[3]) << 8);
    wchar_t text[8];
    swprintf(text, 8, L"%x", value);
    m_readData = text;
    UpdateData(false);
}
