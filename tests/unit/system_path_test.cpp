// The extended-length form the Windows host gives paths of any length: a drive path and
// a share path each in their own form, "." and ".." resolved and separators made
// backslashes (the form takes no other), a path already in the form kept, and a path
// short enough for the classic calls left as it is.
#include <gtest/gtest.h>

#include <string>

#include "interface/system_path.h"

namespace {

#ifdef _WIN32
struct ExtendedCase {
  const wchar_t* path;
  const wchar_t* extended;
};

const ExtendedCase kExtendedCases[] = {
    {L"C:\\mods\\ship.sod", L"\\\\?\\C:\\mods\\ship.sod"},
    {L"C:/mods/sub/../ship.sod", L"\\\\?\\C:\\mods\\ship.sod"},
    {L"\\\\server\\share\\mods\\.\\ship.sod", L"\\\\?\\UNC\\server\\share\\mods\\ship.sod"},
    {L"\\\\?\\C:\\mods\\ship.sod", L"\\\\?\\C:\\mods\\ship.sod"},
};

TEST(SystemPath, ExtendedFormOfDriveAndSharePaths) {
  for (const ExtendedCase& c : kExtendedCases) {
    EXPECT_EQ(std::wstring(c.extended), host::ExtendedPath(c.path).wstring()) << c.path;
  }
  EXPECT_EQ(L"C:\\mods\\ship.sod", host::SystemPath(L"C:\\mods\\ship.sod").wstring());
  const std::wstring deep = L"C:\\mods" + std::wstring(300, L'd') + L"\\ship.sod";
  EXPECT_EQ(L"\\\\?\\" + deep, host::SystemPath(deep).wstring());
}
#endif

}  // namespace
