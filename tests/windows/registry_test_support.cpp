#include "registry_test_support.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace lunaret::test {
namespace {

std::string UniqueSuffix() {
  static int counter = 0;
  return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

template <typename Char, typename Query>
std::string ReadRaw(const std::string& keyPath, const Char* name, DWORD* type, Query query) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return "<absent>";
  char data[1024];
  DWORD size = sizeof data;
  const LONG rc = query(key, name, nullptr, type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? std::string(data, size) : "<absent>";
}

}  // namespace

ScratchKey::ScratchKey() : path_("LunaretTest\\win-" + UniqueSuffix()) {}

ScratchKey::~ScratchKey() {
  RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, "LunaretTest");  // refused while other tests still use it
}

TempFile::TempFile() {
  char folder[MAX_PATH + 1] = {};
  GetTempPathA(sizeof folder, folder);
  path_ = std::string(folder) + "lunaret-win-" + UniqueSuffix() + ".reg";
}

TempFile::~TempFile() {
  DeleteFileA(path_.c_str());
}

long RunRegedit(const std::string& arguments) {
  std::string commandLine = "regedit.exe " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  DWORD code = 1;
  const bool done = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 &&
                    GetExitCodeProcess(process.hProcess, &code);
  if (!done)
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return done ? static_cast<long>(code) : -1;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> RegFileLines(const std::string& bytes) {
  std::string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {  // after the byte-order mark
    const unsigned unit = static_cast<unsigned char>(bytes[i]) |
                          static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    text += unit < 0x80 ? static_cast<char>(unit) : '?';
  }
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (!line.empty())
      lines.push_back(line);
  }
  return lines;
}

std::string ReadRawA(const std::string& keyPath, const std::string& name, DWORD* type) {
  return ReadRaw(keyPath, name.c_str(), type, RegQueryValueExA);
}

std::string ReadRawW(const std::string& keyPath, const std::wstring& name) {
  return ReadRaw(keyPath, name.c_str(), nullptr, RegQueryValueExW);
}

}  // namespace lunaret::test
