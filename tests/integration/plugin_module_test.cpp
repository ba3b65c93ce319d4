// The real plug-in module loaded as the host loads it: the handshake, the menu record
// byte for byte, and its string table read by module handle.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>

#include "framework/text/fcstring.h"
#include "host/functions/host.h"
#include "host/run/pluginmodule.h"

namespace {

std::unique_ptr<fxthost::PluginModule> LoadPlugin() {
  std::string error;
  std::unique_ptr<fxthost::PluginModule> plugin =
      fxthost::PluginModule::Load(FXT_PLUGIN_PATH, &error);
  EXPECT_TRUE(plugin) << error;
  return plugin;
}

// A module path names a file under the current directory, a bare name too: the system's
// library path is never searched, so a library's name there is no module.
TEST(PluginModule, PathsAreFilesUnderTheCurrentDirectory) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() /
      ("fxt_module_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(dir / "folder");
  fs::copy_file(FXT_PLUGIN_PATH, dir / "plug.fxt");
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
#if defined(_WIN32)
  const char* systemLibrary = "kernel32.dll";
#else
  const char* systemLibrary = "libc.so.6";
#endif
  const struct {
    const char* path;
    const char* refusal;  // null: the module loads
  } rows[] = {
      {"plug.fxt", nullptr},
      {"folder/../plug.fxt", nullptr},
      {systemLibrary, "no such file ("},
      {"missing.fxt", "no such file ("},
      {"folder", "a directory, not a module ("},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    std::string error;
    const bool loaded = fxthost::PluginModule::Load(row.path, &error) != nullptr;
    EXPECT_EQ(loaded, row.refusal == nullptr) << error;
    if (row.refusal) {
      EXPECT_EQ(error.rfind(row.refusal, 0), 0u) << error;
    }
  }
  fs::current_path(previous);
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

// A menu item record filled by the module, with guard bytes behind the 196 it owns.
struct MenuRecord {
  uint8_t bytes[256];
  MenuRecord() { std::memset(bytes, 0xAA, sizeof bytes); }
};

void ExpectField(const uint8_t* field, const char* text) {
  size_t length = std::strlen(text);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(field), length), text);
  for (size_t i = length; i < 64; ++i) ASSERT_EQ(field[i], 0) << "byte " << i << " of " << text;
}

TEST(PluginModule, HandshakeRegistersOneMenuItem) {
  fxthost::Host host;
  auto plugin = LoadPlugin();
  ASSERT_TRUE(plugin);
  plugin->Start(0x12000000);
  EXPECT_EQ(plugin->PluginVersion(), 0x11000000u);
  EXPECT_EQ(plugin->InitFlags() & 1u, 1u);
  ASSERT_EQ(plugin->MenuItems().size(), 1u);
  const fxthost::MenuItem& item = plugin->MenuItems()[0];
  EXPECT_EQ(item.name, "Tollek Split Groups");
  EXPECT_EQ(item.description, "Splits groups into subgroups for the range of the selection.");
  EXPECT_EQ(item.menuText, "Split Groups");
  EXPECT_EQ(plugin->GetMenuStatus(), 1);
}

TEST(PluginModule, MenuRecordByteForByte) {
  fxthost::Host host;
  auto plugin = LoadPlugin();
  ASSERT_TRUE(plugin);
  // Index 0, and indexes whose low 16 bits are 0 or negative, all fill the one item.
  for (int32_t index : {0, 0x00010000, 0x0000FFFF}) {
    SCOPED_TRACE(index);
    MenuRecord record;
    EXPECT_EQ(plugin->EnumerateRecord(index, record.bytes), 1);
    ExpectField(record.bytes, "Tollek Split Groups");
    ExpectField(record.bytes + 64, "Splits groups into subgroups for the range of the selection.");
    ExpectField(record.bytes + 128, "Split Groups");
    EXPECT_EQ(record.bytes[192], 1);
    EXPECT_EQ(record.bytes[193], 0);
    EXPECT_EQ(record.bytes[194], 0);
    EXPECT_EQ(record.bytes[195], 0);
    for (int i = 196; i < 256; ++i) ASSERT_EQ(record.bytes[i], 0xAA) << "byte " << i;
  }
  MenuRecord untouched;
  EXPECT_EQ(plugin->EnumerateRecord(1, untouched.bytes), 0);
  for (uint8_t byte : untouched.bytes) ASSERT_EQ(byte, 0xAA);
}

// The module's own string table, read through the platform's module lookup by name.
TEST(StringTable, LoadsTheModulesOwnEntriesByName) {
  auto plugin = LoadPlugin();
  ASSERT_TRUE(plugin);
  FCString text;
  EXPECT_TRUE(text.LoadResource(101, "tolleksplitgroups.fxt"));
  EXPECT_TRUE(text.IsEqual("Tollek Split Groups"));
  // Later loads name no module and use the one remembered.
  const struct {
    int id;
    const char* text;
  } rows[] = {
      {201,
       "This plug-in doesn't support partial measure selections.\n\nPlease select complete "
       "measures and try again."},
      {202, "The selected staff range is the same as a multi-staff instrument."},
      {303, "Too small region?"},
      {501, "Split Group "},
      {502, "Sp Grp "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    EXPECT_TRUE(text.LoadResource(row.id, nullptr));
    EXPECT_STREQ(text.GetCString(), row.text);
  }
  EXPECT_TRUE(text.LoadResource(101, "TOLLEKSPLITGROUPS.FXT"))
      << "names compare case-insensitively";
}

TEST(StringTable, MissingEntryGivesTheFallbackText) {
  auto plugin = LoadPlugin();
  ASSERT_TRUE(plugin);
  FCString text;
  EXPECT_FALSE(text.LoadResource(999, "tolleksplitgroups.fxt"));
  EXPECT_STREQ(text.GetCString(), "Resource String Error");
}

TEST(StringTable, WithoutAModuleNameTheHostExecutableIsAsked) {
  auto plugin = LoadPlugin();
  ASSERT_TRUE(plugin);
  FCString text;
  // No module named yet: the executable (the host) has no string table of the plug-in's.
  EXPECT_FALSE(text.LoadResource(101, nullptr));
  EXPECT_STREQ(text.GetCString(), "Resource String Error");
  // A module that is not loaded is not found either.
  EXPECT_FALSE(text.LoadResource(101, "notloaded.fxt"));
}

TEST(StringTable, LoadStringCopiesAtMostBufferSizeLessOne) {
  auto plugin = LoadPlugin();
  ASSERT_TRUE(plugin);
  HMODULE module = GetModuleHandleA("tolleksplitgroups.fxt");
  ASSERT_NE(module, nullptr);
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(LoadStringA(module, 103, buffer, 6), 5);
  EXPECT_STREQ(buffer, "Split");
  EXPECT_EQ(buffer[6], 'x');
  EXPECT_EQ(LoadStringA(module, 104, buffer, sizeof buffer), 0);
  EXPECT_EQ(GetModuleHandleA("/nowhere/tolleksplitgroups.fxt"), nullptr) << "a path names one file";
}

}  // namespace
