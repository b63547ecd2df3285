#pragma once
// What the companion's flow tests need from the platform, so one set of
// flows runs on Windows (pipes, under Wine) and natively on Linux (sockets,
// also under the sanitizers): a simulated board served where the companion
// finds it, the device list, files in a folder of their own.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim/SimBoard.h"

// A simulated board on its own pipe or socket; plugged in by Start.
class CTestBoard {
public:
    explicit CTestBoard(const std::string& name);
    ~CTestBoard();
    CTestBoard(const CTestBoard&) = delete;
    CTestBoard& operator=(const CTestBoard&) = delete;

    bool Start();
    // The board goes away: its pipe or socket is closed and removed.
    void Unplug();
    const std::wstring& Path() const { return m_path; }

    CSimBoard board;

private:
    struct Server;
    std::unique_ptr<Server> m_server;
    std::wstring m_path;
};

// Sets VANTREL_DEVICE for its lifetime; the previous value comes back after.
class CDeviceList {
public:
    explicit CDeviceList(const std::vector<std::wstring>& paths);
    ~CDeviceList();
    CDeviceList(const CDeviceList&) = delete;
    CDeviceList& operator=(const CDeviceList&) = delete;

private:
    bool m_hadOld = false;
    std::string m_old;
};

// A folder of its own under the temporary folder, removed with its files.
class CTestFolder {
public:
    CTestFolder();
    ~CTestFolder();
    CTestFolder(const CTestFolder&) = delete;
    CTestFolder& operator=(const CTestFolder&) = delete;

    // The path of `name` in the folder; the file is removed with the folder.
    // Safe on several threads at once.
    std::wstring File(const std::wstring& name);
    // Writes the bytes as they are (no line-end translation).
    std::wstring Write(const std::wstring& name, const std::string& bytes);
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    std::mutex m_lock;
    std::vector<std::wstring> m_files;
};

std::string ReadWholeFile(const std::wstring& path);
std::string Utf8Of(const std::wstring& text);
