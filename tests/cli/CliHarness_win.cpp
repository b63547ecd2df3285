#include "cli/CliHarness.h"

#include <windows.h>

#include "link/SubBoardLink_win.h"
#include "log/Utf8Text.h"
#include "sim/PipeServer_win.h"

struct CTestBoard::Server {
    Server(CSimBoard& board, const std::wstring& suffix) : pipe(board, suffix) {}
    CPipeServer pipe;
};

CTestBoard::CTestBoard(const std::string& name)
{
    const std::wstring suffix = L"test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + WideFromUtf8(name);
    m_server = std::make_unique<Server>(board, suffix);
    m_path = m_server->pipe.Path();
}

CTestBoard::~CTestBoard() = default;

bool CTestBoard::Start()
{
    return m_server->pipe.Start();
}

void CTestBoard::Unplug()
{
    m_server->pipe.Unplug();
}

CDeviceList::CDeviceList(const std::vector<std::wstring>& paths)
{
    wchar_t old[2048];
    const DWORD n = GetEnvironmentVariableW(kDeviceEnvironmentVariable, old, 2048);
    m_hadOld = n > 0 && n < 2048;
    if (m_hadOld) m_old = Utf8FromWide(std::wstring(old, n));
    std::wstring list;
    for (const std::wstring& p : paths) list += (list.empty() ? L"" : L";") + p;
    SetEnvironmentVariableW(kDeviceEnvironmentVariable, list.c_str());
}

CDeviceList::~CDeviceList()
{
    SetEnvironmentVariableW(kDeviceEnvironmentVariable, m_hadOld ? WideFromUtf8(m_old).c_str() : nullptr);
}

CTestFolder::CTestFolder()
{
    static int counter = 0;
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    m_path = std::wstring(base) + L"vantrel-cli-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++counter);
    CreateDirectoryW(m_path.c_str(), nullptr);
}

CTestFolder::~CTestFolder()
{
    for (const std::wstring& f : m_files) DeleteFileW(f.c_str());
    RemoveDirectoryW(m_path.c_str());
}
