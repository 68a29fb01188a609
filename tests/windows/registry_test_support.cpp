#include "registry_test_support.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace lunaret::test {
namespace {

constexpr DWORD kRegeditTimeoutMs = 60000;

std::string UniqueSuffix() {
  static int counter = 0;
  return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

template <typename Char, typename Query>
RawValue ReadRaw(const std::string& keyPath, const Char* name, Query query) {
  RawValue value;
  HKEY key = nullptr;
  value.result = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key);
  if (value.result != ERROR_SUCCESS)
    return value;
  unsigned char data[1024];
  DWORD size = sizeof data;
  value.result = query(key, name, nullptr, &value.type, data, &size);
  if (value.result == ERROR_SUCCESS)
    value.bytes.assign(reinterpret_cast<const char*>(data), size);
  RegCloseKey(key);
  return value;
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
  long result = -1;
  if (WaitForSingleObject(process.hProcess, kRegeditTimeoutMs) == WAIT_OBJECT_0) {
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code))
      result = static_cast<long>(code);
  } else {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

std::string NativePath(std::string path) {
  if (!path.empty() && path[0] == '/')
    path = "Z:" + path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::vector<std::string> RegFileLines(const std::string& bytes) {
  std::string text;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const unsigned unit = static_cast<unsigned char>(bytes[i]) |
                            static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8;
      text += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
  } else {
    text = bytes;
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

RawValue ReadRawA(const std::string& keyPath, const std::string& name) {
  return ReadRaw(keyPath, name.c_str(), RegQueryValueExA);
}

RawValue ReadRawW(const std::string& keyPath, const std::wstring& name) {
  return ReadRaw(keyPath, name.c_str(), RegQueryValueExW);
}

std::string DwordBytes(DWORD value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i)
    bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

std::string Utf16Bytes(const std::wstring& text) {
  std::string bytes;
  for (wchar_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
  }
  return bytes;
}

}  // namespace lunaret::test
