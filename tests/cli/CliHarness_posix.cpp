#include "cli/CliHarness.h"

#include <cstdlib>
#include <unistd.h>

#include "log/Utf8Text.h"
#include "sim/SocketServer_posix.h"

struct CTestBoard::Server {
    Server(CSimBoard& board, const std::string& path) : socket(board, path) {}
    CSocketServer socket;
};

CTestBoard::CTestBoard(const std::string& name)
{
    const std::string path = CSocketServer::PathFor("test-" + std::to_string(getpid()) + "-" + name);
    m_server = std::make_unique<Server>(board, path);
    m_path = WideFromUtf8(path);
}

CTestBoard::~CTestBoard() = default;

bool CTestBoard::Start()
{
    return m_server->socket.Start();
}

void CTestBoard::Unplug()
{
    m_server->socket.Unplug();
}

CDeviceList::CDeviceList(const std::vector<std::wstring>& paths)
{
    const char* old = std::getenv("VANTREL_DEVICE");
    m_hadOld = old != nullptr;
    if (old) m_old = old;
    std::wstring list;
    for (const std::wstring& p : paths) list += (list.empty() ? L"" : L";") + p;
    setenv("VANTREL_DEVICE", Utf8FromWide(list).c_str(), 1);
}

CDeviceList::~CDeviceList()
{
    if (m_hadOld) setenv("VANTREL_DEVICE", m_old.c_str(), 1);
    else unsetenv("VANTREL_DEVICE");
}

CTestFolder::CTestFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantrel-cli-XXXXXX";
    if (mkdtemp(&pattern[0])) m_path = WideFromUtf8(pattern);
}

CTestFolder::~CTestFolder()
{
    for (const std::wstring& f : m_files) unlink(Utf8FromWide(f).c_str());
    rmdir(Utf8FromWide(m_path).c_str());
}
