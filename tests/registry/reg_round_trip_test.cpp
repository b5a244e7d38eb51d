// Export, delete, import: the same tree comes back, apart from the documented differences
// of the file format, each checked here as such.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/reg_file_fixture.h"

namespace zbx::test {
namespace {

constexpr const char* kRoot = "HKCU\\Software\\RoundTrip";

class RoundTrip : public RegFileTest {
 protected:
  void SetUp() override {
    reg.CreateKeyIfDoesntExists(kTrue);
    const std::string root = kRoot;
    reg.WriteString(root, "@", "the default");
    reg.WriteString(root, "text", "Grüße, 5 €");
    reg.WriteString(root, "empty", "");
    reg.WriteBinary(root, "bytes", "00 01 7F 80 FF 20");
    reg.WriteBinary(root, "nobytes", "");
    reg.WriteDWORD(root, "answer", 42);
    reg.WriteDWORD(root, "minus", -1);
    reg.WriteDWORD(root, "high", static_cast<std::int32_t>(0x80000000u));
    reg.WriteString(root + "\\Child", "n", "v");
    reg.WriteBinary(root + "\\Child", "", "0A");
    reg.WriteDWORD(root + "\\Child\\Grandchild", "g", 7);
    reg.CreateKey(root + "\\Child\\Grandchild\\Bare");  // no values
    reg.CreateKey(root + "\\Bare\\WithValue");          // a bare key above a key with values
    reg.WriteString(root + "\\Bare\\WithValue", "w", "x");
  }

  // Deletes a key and everything below it, leaves first.
  void DeleteTree(const std::string& path) {
    std::vector<std::string> subKeys;
    const std::int32_t n = reg.EnumKeys(path, subKeys);
    for (std::int32_t i = 0; i < n; ++i) DeleteTree(path + "\\" + subKeys[static_cast<std::size_t>(i)]);
    reg.KillKey(path);
  }

  struct Snapshot {
    std::vector<std::string> names;
    std::vector<RegValue> values;
    std::int32_t count = 0;
  };
  Snapshot Values(const std::string& path) {
    Snapshot s;
    s.count = reg.EnumValues(path, s.names, s.values);
    return s;
  }

  void ExportDeleteImport() {
    ASSERT_EQ(reg.ExportToReg(kRoot, dir / "tree.reg"), 1);
    DeleteTree(kRoot);
    ASSERT_EQ(reg.KeyExists(kRoot), kFalse);
    ASSERT_EQ(reg.ImportFromReg(dir / "tree.reg"), 1);
  }
};

TEST_F(RoundTrip, ValuesOfEveryTypeComeBack) {
  const std::string root = kRoot;
  const Snapshot before = Values(root), child = Values(root + "\\Child"),
                 grandchild = Values(root + "\\Child\\Grandchild"), deep = Values(root + "\\Bare\\WithValue");
  ExportDeleteImport();
  // Values come back grouped by type (strings, bytes, 32-bit) and each group in order.
  const Snapshot after = Values(root);
  ASSERT_EQ(after.count, before.count);
  EXPECT_EQ(after.names, (std::vector<std::string>{"", "text", "empty", "bytes", "nobytes", "answer", "minus", "high"}));
  for (std::size_t i = 0; i < after.names.size(); ++i)
    for (std::size_t k = 0; k < before.names.size(); ++k)
      if (before.names[k] == after.names[i]) {
        EXPECT_EQ(after.values[i], before.values[k]) << after.names[i];
      }
  EXPECT_EQ(reg.ReadBinary(root, "bytes"), " 00 01 7F 80 FF 20");
  EXPECT_EQ(reg.ReadDWORD(root, "high"), static_cast<std::int32_t>(0x80000000u));
  EXPECT_EQ(Values(root + "\\Child\\Grandchild").values, grandchild.values);
  EXPECT_EQ(Values(root + "\\Bare\\WithValue").values, deep.values);
  // The byte default value of Child comes back, though its "@=" line was written first.
  EXPECT_EQ(reg.ReadBinary(root + "\\Child", ""), " 0A");
  EXPECT_EQ(reg.ReadString(root + "\\Child", "n"), "v");
  EXPECT_EQ(Values(root + "\\Child").count, child.count);
}

TEST_F(RoundTrip, KeysWithoutValuesAreNotRecreated) {
  ExportDeleteImport();
  EXPECT_EQ(reg.KeyExists(std::string(kRoot) + "\\Child\\Grandchild\\Bare"), kFalse);
  EXPECT_EQ(reg.KeyExists(std::string(kRoot) + "\\Bare"), kTrue);  // made on the way to WithValue
}

TEST_F(RoundTrip, TheFormatsDocumentedLosses) {
  const std::string root = kRoot;
  reg.WriteString(root, "quoted", "say \"hi\"");
  reg.WriteString(root, "equals", "a=b");
  reg.WriteString(root, "trailing", "x  ");
  reg.WriteString(root, "leading", "  x");
  reg.WriteString(root, "long", std::string(300, 'y'));
  reg.WriteString(root, "n=m", "v");
  ExportDeleteImport();
  EXPECT_EQ(reg.ReadString(root, "quoted"), "say hi");  // quotes are lost
  EXPECT_EQ(reg.ReadString(root, "equals"), "a");       // "=" cuts the text
  EXPECT_EQ(reg.ReadString(root, "trailing"), "x");     // trailing blanks of the last text go
  EXPECT_EQ(reg.ReadBinary(root, "leading"), " 78");    // leading blanks never reach the file
  EXPECT_EQ(reg.ReadBinary(root, "long"), "");          // exported as the empty text
  EXPECT_EQ(reg.ReadString(root, "n"), "m");            // "=" cuts the name
  EXPECT_EQ(reg.ReadBinary(root, "empty"), "");
}

}  // namespace
}  // namespace zbx::test
