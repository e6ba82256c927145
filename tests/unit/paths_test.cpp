#include <gtest/gtest.h>

#include <string>

#include "common/paths.h"

namespace {

struct PathCase {
  const char16_t* path;
  const char16_t* directory;
  const char16_t* directoryBackslash;
  const char16_t* title;
};

const PathCase kCases[] = {
    {u"C:\\models\\ship.sod", u"C:\\models\\", u"C:\\models\\", u"ship"},
    {u"ship.sod", u"", u"", u"ship"},
    {u"C:ship.sod", u"C:\\", u"C:\\", u"ship"},
    {u"C:/models/ship.sod", u"C:/models/", u"C:/models/\\", u"ship"},
    {u"C:\\maps\\hull.tga", u"C:\\maps\\", u"C:\\maps\\", u"hull"},
    {u"C:\\maps\\", u"C:\\maps\\", u"C:\\maps\\", u""},
    {u"", u"", u"", u""},
    {u"\\\\server\\share\\a.b.sod", u"\\\\server\\share\\", u"\\\\server\\share\\", u"a.b"},
    {u"models\\.hidden", u"models\\", u"models\\", u""},
    {u"D:", u"D:\\", u"D:\\", u""},
};

}  // namespace

TEST(Paths, EdgeCasesOfTheThreeFunctions) {
  for (const PathCase& c : kCases) {
    char16_t out[kPathUnits];
    SCOPED_TRACE(std::string(c.path, c.path + std::u16string(c.path).size()));
    ASSERT_EQ(1, DirectoryOfPath(c.path, out));
    EXPECT_EQ(std::u16string(c.directory), std::u16string(out));
    ASSERT_EQ(1, DirectoryOfPathBackslash(c.path, out));
    EXPECT_EQ(std::u16string(c.directoryBackslash), std::u16string(out));
    ASSERT_EQ(1, FileTitleOfPath(c.path, out));
    EXPECT_EQ(std::u16string(c.title), std::u16string(out));
  }
}

TEST(Paths, NullArgumentsAnswerZero) {
  char16_t out[kPathUnits];
  EXPECT_EQ(0, DirectoryOfPath(nullptr, out));
  EXPECT_EQ(0, DirectoryOfPathBackslash(u"a", nullptr));
  EXPECT_EQ(0, FileTitleOfPath(nullptr, out));
}

TEST(Paths, ADirectoryThatWouldOutgrowTheBufferIsRefusedNotCut) {
  // 259 units ending in '/': the backslash the side files want does not fit.
  std::u16string path = u"C:/" + std::u16string(255, u'd') + u"/";
  ASSERT_EQ(259u, path.size());
  char16_t out[kPathUnits];
  EXPECT_EQ(1, DirectoryOfPath(path.c_str(), out));
  EXPECT_EQ(path, std::u16string(out));
  EXPECT_EQ(0, DirectoryOfPathBackslash(path.c_str(), out));
  EXPECT_EQ(std::u16string(), std::u16string(out));
}
