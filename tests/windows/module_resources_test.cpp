// The plug-in module's resources as Windows itself reads them: the module is opened as
// a data file (so a module of another architecture can be read too, and none of its
// code runs), its string table read with LoadStringA and its version record with the
// version API. The modules checked: the one built here, and those named in the
// environment variable FXT_WINDOWS_MODULES (separated by ';'), such as the x86 module.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct StringRow {
  UINT id;
  const char* text;
};

// The whole string table, as the plug-in's users see it.
const StringRow kStringTable[] = {
    {101, "Tollek Split Groups"},
    {102, "Splits groups into subgroups for the range of the selection."},
    {103, "Split Groups"},
    {201,
     "This plug-in doesn't support partial measure selections.\n\n"
     "Please select complete measures and try again."},
    {202, "The selected staff range is the same as a multi-staff instrument."},
    {203,
     "You have selected to split groups a very small measure range, which might not be "
     "what you wanted.\n\nContinue anyway?"},
    {204,
     "No group(s) to split were found.\n\nMake sure the top and bottom staff of the "
     "selection match the group."},
    {205,
     "The selection holds no measures: its last measure comes before its first, or a measure "
     "number is below 1.\n\nPlease select complete measures and try again."},
    {206,
     "Finale refused to store a change, so these groups could not be split. Each was left as "
     "it was:"},
    {207,
     "Finale did not deliver all the groups and staff lists of the document, so no group was "
     "split. Nothing was changed."},
    {208,
     "The plug-in cannot read the words of its new group names from its own resources, so no "
     "group was split. Nothing was changed.\n\nInstall the plug-in under its own file name, "
     "tolleksplitgroups.fxt, and start Finale again."},
    {209, "Group number "},
    {301, "Partial Measure Selection Error"},
    {302, "Multi-staff Instrument Range"},
    {303, "Too small region?"},
    {304, "No Group"},
    {305, "Measure Range Error"},
    {306, "Groups Not Split"},
    {307, "Document Not Read"},
    {308, "Plug-in Not Installed Correctly"},
    {501, "Split Group "},
    {502, "Sp Grp "},
};

const WORD kEnglishUnitedStates = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

std::vector<std::string> ModulesUnderTest() {
  std::vector<std::string> modules{FXT_PLUGIN_PATH};
  const char* more = std::getenv("FXT_WINDOWS_MODULES");
  std::string list = more ? more : "";
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) modules.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return modules;
}

// A module opened as a data file, closed again at the end of the scope.
class DataModule {
 public:
  explicit DataModule(const std::string& path)
      : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)),
        error_(module_ ? 0 : GetLastError()) {}
  ~DataModule() {
    if (module_) FreeLibrary(module_);
  }
  DataModule(const DataModule&) = delete;
  DataModule& operator=(const DataModule&) = delete;
  HMODULE get() const { return module_; }
  DWORD error() const { return error_; }

 private:
  HMODULE module_;
  DWORD error_;
};

std::string Load(HMODULE module, UINT id) {
  char buffer[500];
  int length = LoadStringA(module, id, buffer, sizeof buffer);
  return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

TEST(ModuleResources, EveryStringLoadsWithItsText) {
  for (const std::string& path : ModulesUnderTest()) {
    SCOPED_TRACE(path);
    DataModule module(path);
    ASSERT_NE(module.get(), nullptr) << "cannot open as a data file, error " << module.error();
    for (const StringRow& row : kStringTable) {
      SCOPED_TRACE("string " + std::to_string(row.id));
      EXPECT_EQ(Load(module.get(), row.id), row.text);
    }
  }
}

TEST(ModuleResources, StringTableIsInEnglishUnitedStates) {
  for (const std::string& path : ModulesUnderTest()) {
    SCOPED_TRACE(path);
    DataModule module(path);
    ASSERT_NE(module.get(), nullptr) << "cannot open as a data file, error " << module.error();
    for (const StringRow& row : kStringTable) {
      SCOPED_TRACE("string " + std::to_string(row.id));
      // Windows keeps strings in blocks of 16: block id / 16 + 1.
      HRSRC block = FindResourceExA(module.get(), RT_STRING, MAKEINTRESOURCEA(row.id / 16 + 1),
                                    kEnglishUnitedStates);
      EXPECT_NE(block, nullptr);
    }
  }
}

TEST(ModuleResources, TableHoldsNoOtherStrings) {
  for (const std::string& path : ModulesUnderTest()) {
    SCOPED_TRACE(path);
    DataModule module(path);
    ASSERT_NE(module.get(), nullptr) << "cannot open as a data file, error " << module.error();
    std::vector<UINT> found;
    for (UINT id = 0; id < 1024; ++id)
      if (!Load(module.get(), id).empty()) found.push_back(id);
    std::vector<UINT> expected;
    for (const StringRow& row : kStringTable) expected.push_back(row.id);
    EXPECT_EQ(found, expected);
  }
}

struct VersionRow {
  const char* name;
  const char* value;
};

const VersionRow kVersionStrings[] = {
    {"FileVersion", "1,0,1,0"},
    {"ProductVersion", "1,0,1,0"},
    {"FileDescription", "Tollek Split Groups plug-in for Finale(R)"},
    {"ProductName", "Tollek Split Groups"},
};

TEST(ModuleResources, VersionRecordNamesVersionAndProduct) {
  for (const std::string& path : ModulesUnderTest()) {
    SCOPED_TRACE(path);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << "no version record, error " << GetLastError();
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD kHigh = MAKELONG(0, 1), kLow = MAKELONG(0, 1);  // 1.0 and 1.0
    EXPECT_EQ(fixed->dwFileVersionMS, kHigh);
    EXPECT_EQ(fixed->dwFileVersionLS, kLow);
    EXPECT_EQ(fixed->dwProductVersionMS, kHigh);
    EXPECT_EQ(fixed->dwProductVersionLS, kLow);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    // The strings are kept under the first language and code page of the translation list.
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], kEnglishUnitedStates);
    char block[64];
    std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\", translation[0],
                  translation[1]);
    for (const VersionRow& row : kVersionStrings) {
      SCOPED_TRACE(row.name);
      char* value = nullptr;
      UINT valueLength = 0;
      std::string query = std::string(block) + row.name;
      ASSERT_TRUE(VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value),
                                 &valueLength));
      EXPECT_STREQ(value, row.value);
    }
  }
}

}  // namespace
