// The exported surface of the real DLL, through the calls the host makes.
#include <gtest/gtest.h>

#include <vector>

#include "interface/host_layout.h"
#include "interface/host_scene.h"
#include "wine/plugin_module.h"

namespace {

struct Registration {
  int calls = 0;
  void* record = nullptr;
  std::u16string wide;
  std::string narrow;
};

Registration registration;

int32_t RegisterExtension(void* record, void* extension) {
  ++registration.calls;
  registration.record = record;
  registration.wide = layout::WideField(extension, 0);
  registration.narrow = layout::NarrowField(extension, 0);
  return 1;
}

typedef int32_t (*OperationFn)(uint32_t, void*, void*, intptr_t);

}  // namespace

TEST(RealDll, ExportsByOrdinal) {
  HMODULE m = ThePlugin().module;
  EXPECT_EQ(reinterpret_cast<void*>(ThePlugin().proc), reinterpret_cast<void*>(GetProcAddress(m, MAKEINTRESOURCEA(1))));
  EXPECT_EQ(reinterpret_cast<void*>(ThePlugin().version),
            reinterpret_cast<void*>(GetProcAddress(m, MAKEINTRESOURCEA(2))));
}

TEST(RealDll, VersionAndOtherMessages) {
  EXPECT_EQ(3606u, ThePlugin().version());
  int anything = 0;
  EXPECT_EQ(3606, ThePlugin().proc(0x10017, &anything));
  EXPECT_EQ(3606, ThePlugin().proc(0x10017, nullptr));
  EXPECT_EQ(1, ThePlugin().proc(0, nullptr));
  EXPECT_EQ(1, ThePlugin().proc(0x10018, &anything));
  EXPECT_EQ(0, ThePlugin().proc(0x10016, nullptr));
}

TEST(RealDll, DescribeAndOperationCallback) {
  std::vector<void*> hostTable(8, nullptr);
  hostTable[3] = reinterpret_cast<void*>(&RegisterExtension);
  std::vector<uint8_t> record(2388, 0xA5);
  layout::Put<void*>(record.data(), 0, hostTable.data());
  ASSERT_EQ(1, ThePlugin().proc(0x10016, record.data()));
  const uint8_t* b = record.data();
  EXPECT_EQ(3, layout::Get<int32_t>(b, 24));
  EXPECT_EQ(6, layout::Get<int32_t>(b, 28));
  for (size_t i = 32; i < 40; ++i) EXPECT_EQ(0xA5, b[i]) << "byte " << i;
  EXPECT_EQ(u"ST Armada SOD Importer/Exporter\r\n", layout::WideField(b, 48));
  EXPECT_EQ("ST Armada SOD Importer/Exporter\r\n", layout::NarrowField(b, 48));
  EXPECT_EQ(u"3.50.60", layout::WideField(b, 828));
  EXPECT_EQ("3.50.60", layout::NarrowField(b, 828));
  EXPECT_EQ(u"ST Armada files (*.sod)", layout::WideField(b, 1608));
  EXPECT_EQ("ST Armada files (*.sod)", std::string(reinterpret_cast<const char*>(b + 2128)));
  EXPECT_EQ(1, registration.calls);
  EXPECT_EQ(record.data(), registration.record);
  EXPECT_EQ(u"sod", registration.wide);
  EXPECT_EQ("sod", registration.narrow);

  OperationFn operation = layout::Get<OperationFn>(b, 40);
  ASSERT_NE(nullptr, operation);
  host::HostScene scene;
  void* module = ThePlugin().module;
  EXPECT_EQ(0, operation(0x1001A, scene.Context(), module, 0));
  EXPECT_EQ(0, operation(0x1001E, scene.Context(), module, 0));
  EXPECT_EQ(0, operation(0x10018, nullptr, module, 0));
  EXPECT_EQ(0, operation(0x10019, nullptr, module, 0));
  EXPECT_EQ(0, operation(0x1001F, scene.Context(), nullptr, 0));
  EXPECT_EQ(0, operation(0x10020, scene.Context(), nullptr, 0));
  EXPECT_EQ(0, scene.CallCount());
  EXPECT_TRUE(scene.Traps().empty());
}

TEST(RealDll, VersionResource) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(ThePlugin().path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<uint8_t> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(ThePlugin().path.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(MAKELONG(5, 3), fixed->dwFileVersionMS);
  EXPECT_EQ(MAKELONG(43, 0), fixed->dwFileVersionLS);
  EXPECT_EQ(MAKELONG(5, 3), fixed->dwProductVersionMS);
  EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);
  WORD* translation = nullptr;
  ASSERT_TRUE(
      VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  EXPECT_EQ(0x0409, translation[0]);
  EXPECT_EQ(1200, translation[1]);
  const struct {
    const wchar_t* key;
    const wchar_t* value;
  } strings[] = {{L"FileVersion", L"3, 5, 0, 43"}, {L"ProductVersion", L"3, 5, 0, 43"},
                 {L"FileDescription", L"kveltar"}, {L"InternalName", L"kveltar"},
                 {L"ProductName", L"kveltar"},     {L"OriginalFilename", L"kveltar.dlx"}};
  for (const auto& s : strings) {
    std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + s.key;
    wchar_t* value = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) << key.size();
    EXPECT_EQ(std::wstring(s.value), std::wstring(value));
  }
}

TEST(RealDll, UnloadAndReloadRunTheTeardownCleanly) {
  for (int i = 0; i < 3; ++i) {
    HMODULE again = LoadLibraryExW(ThePlugin().path.c_str(), nullptr, 0);
    ASSERT_NE(nullptr, again);
    EXPECT_TRUE(FreeLibrary(again));
  }
  EXPECT_EQ(3606u, ThePlugin().version());
}
