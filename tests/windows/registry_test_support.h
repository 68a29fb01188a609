#ifndef LUNARET_TESTS_WINDOWS_REGISTRY_TEST_SUPPORT_H
#define LUNARET_TESTS_WINDOWS_REGISTRY_TEST_SUPPORT_H

#include <windows.h>

#include <string>
#include <vector>

namespace lunaret::test {

// A key below HKEY_CURRENT_USER that holds one test's store; removed with everything below it
// when it goes.
class ScratchKey {
 public:
  ScratchKey();
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  // Relative to HKEY_CURRENT_USER, e.g. "LunaretTest\win-412-3".
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A file name in the temporary folder; the file is deleted when this goes.
class TempFile {
 public:
  TempFile();
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Runs regedit with the given arguments and waits up to a minute for it: its exit code, or -1
// when it could not start or did not finish in time.
long RunRegedit(const std::string& arguments);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// The non-empty lines of a .reg file without their line ends. regedit writes UTF-16LE with a
// byte-order mark. Characters outside ASCII read as '?'.
std::vector<std::string> RegFileLines(const std::string& bytes);

// A value of the key at keyPath below HKEY_CURRENT_USER, read past the store: its bytes (type in
// *type), or "<absent>". Through RegQueryValueExA texts come in the ANSI code page, through
// RegQueryValueExW as the registry keeps them, in UTF-16.
std::string ReadRawA(const std::string& keyPath, const std::string& name, DWORD* type = nullptr);
std::string ReadRawW(const std::string& keyPath, const std::wstring& name);

}  // namespace lunaret::test

#endif  // LUNARET_TESTS_WINDOWS_REGISTRY_TEST_SUPPORT_H
