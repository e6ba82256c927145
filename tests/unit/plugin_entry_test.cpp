// The exported surface, checked against the host's own description of the records.
#include <gtest/gtest.h>

#include <vector>

#include "interface/host_layout.h"
#include "interface/host_scene.h"
#include "plugin/plugin_entry.h"
#include "plugin/plugin_info.h"
#include "plugin/plugin_state.h"

namespace {

struct Registered {
  int calls = 0;
  void* record = nullptr;
  std::u16string extension;
  std::string narrow;
  int32_t answer = 1;
};

Registered registered;

int32_t RecordRegistration(PluginInfo* info, DualString* extension) {
  ++registered.calls;
  registered.record = info;
  registered.extension = extension->wide;
  registered.narrow = extension->narrow;
  return registered.answer;
}

struct DescribeRecord {
  std::vector<uint64_t> hostTable = std::vector<uint64_t>(8, 0);
  std::vector<uint8_t> bytes = std::vector<uint8_t>(layout::kInfoBytes, 0xA5);
  DescribeRecord() {
    hostTable[3] = layout::PointerSlot(&RecordRegistration);
    layout::PutPointer(bytes.data(), layout::kInfoHostTable, hostTable.data());
  }
};

}  // namespace

TEST(PluginEntry, VersionAndOtherMessages) {
  EXPECT_EQ(3606u, PluginVersion());
  EXPECT_EQ(3606, PluginProc(PLUGIN_MSG_VERSION, nullptr));
  int anything = 0;
  EXPECT_EQ(3606, PluginProc(0x10017, &anything));
  EXPECT_EQ(1, PluginProc(0, nullptr));
  EXPECT_EQ(1, PluginProc(0x10018, &anything));
  EXPECT_EQ(0, PluginProc(PLUGIN_MSG_DESCRIBE, nullptr));
}

TEST(PluginEntry, DescribeFillsTheRecordAndRegistersTheExtension) {
  registered = Registered();
  DescribeRecord r;
  ASSERT_EQ(1, PluginProc(PLUGIN_MSG_DESCRIBE, r.bytes.data()));
  const uint8_t* b = r.bytes.data();
  EXPECT_EQ(3, layout::Get<int32_t>(b, 24));
  EXPECT_EQ(6, layout::Get<int32_t>(b, 28));
  for (size_t i = 32; i < 40; ++i) EXPECT_EQ(0xA5, b[i]) << "byte " << i;
  EXPECT_EQ(reinterpret_cast<void*>(&OperationProc), layout::GetPointer<void*>(b, 40));
  EXPECT_EQ(u"ST Armada SOD Importer/Exporter\r\n", layout::WideField(b, 48));
  EXPECT_EQ("ST Armada SOD Importer/Exporter\r\n", layout::NarrowField(b, 48));
  EXPECT_EQ(u"3.50.60", layout::WideField(b, 828));
  EXPECT_EQ("3.50.60", layout::NarrowField(b, 828));
  EXPECT_EQ(u"ST Armada files (*.sod)", layout::WideField(b, 1608));
  EXPECT_EQ("ST Armada files (*.sod)", std::string(reinterpret_cast<const char*>(b + 2128)));
  EXPECT_EQ(1, registered.calls);
  EXPECT_EQ(r.bytes.data(), registered.record);
  EXPECT_EQ(u"sod", registered.extension);
  EXPECT_EQ("sod", registered.narrow);

  // The identifier is a constant of the library.
  DescribeRecord again;
  PluginProc(PLUGIN_MSG_DESCRIBE, again.bytes.data());
  EXPECT_EQ(0, memcmp(b + 8, again.bytes.data() + 8, 16));
}

TEST(PluginEntry, RefusedRegistrationAnswersZeroWithTheRecordFilled) {
  registered = Registered();
  registered.answer = 0;
  DescribeRecord r;
  EXPECT_EQ(0, PluginProc(PLUGIN_MSG_DESCRIBE, r.bytes.data()));
  EXPECT_EQ(3, layout::Get<int32_t>(r.bytes.data(), 24));
  EXPECT_EQ(u"3.50.60", layout::WideField(r.bytes.data(), 828));
  registered.answer = 1;
}

TEST(PluginEntry, OperationProcRefusesMissingPointersAndUnknownCodes) {
  host::HostScene first;
  host::HostScene second;
  HostContext* a = static_cast<HostContext*>(first.Context());
  HostContext* b = static_cast<HostContext*>(second.Context());
  int module = 0;
  // A dispatched operation sets the context, whatever it answers.
  OperationProc(PLUGIN_OP_READ, a, nullptr, 0);
  ASSERT_EQ(a, currentContext);

  EXPECT_EQ(0, OperationProc(0x1001A, b, &module, 0));
  EXPECT_EQ(0, OperationProc(0x1001E, b, &module, 0));
  EXPECT_EQ(0, OperationProc(0, b, &module, 0));
  EXPECT_EQ(0, OperationProc(PLUGIN_OP_READ, nullptr, &module, 0));
  EXPECT_EQ(0, OperationProc(PLUGIN_OP_WRITE, nullptr, &module, 0));
  EXPECT_EQ(0, OperationProc(PLUGIN_OP_IMPORT, b, nullptr, 0));
  EXPECT_EQ(0, OperationProc(PLUGIN_OP_IMPORT, nullptr, &module, 0));
  EXPECT_EQ(0, OperationProc(PLUGIN_OP_EXPORT, b, nullptr, 0));
  EXPECT_EQ(a, currentContext);
  EXPECT_EQ(0, second.CallCount());
}
