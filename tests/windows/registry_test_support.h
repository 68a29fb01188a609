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
  // As regedit names it: "HKEY_CURRENT_USER\" followed by path().
  std::string FullName() const { return "HKEY_CURRENT_USER\\" + path_; }

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

// "C:/a/b" or "/a/b" (a Unix path as Wine's drive Z: sees it) as a Windows path.
std::string NativePath(std::string path);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// The non-empty lines of a .reg file without their line ends. regedit writes UTF-16LE with a
// byte-order mark; a hand-written file is plain bytes. Characters outside ASCII read as '?'.
std::vector<std::string> RegFileLines(const std::string& bytes);

// One value as the registry holds it, read past the store.
struct RawValue {
  LONG result = ERROR_FILE_NOT_FOUND;
  DWORD type = REG_NONE;
  std::string bytes;
};
// Through RegQueryValueExA: texts converted to the ANSI code page.
RawValue ReadRawA(const std::string& keyPath, const std::string& name);
// Through RegQueryValueExW: texts as stored, in UTF-16.
RawValue ReadRawW(const std::string& keyPath, const std::wstring& name);

// The four little-endian bytes of a REG_DWORD.
std::string DwordBytes(DWORD value);
// The bytes of UTF-16 text units, least significant byte first.
std::string Utf16Bytes(const std::wstring& text);

}  // namespace lunaret::test

#endif  // LUNARET_TESTS_WINDOWS_REGISTRY_TEST_SUPPORT_H
