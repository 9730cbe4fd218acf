// Writes pkcs12_fixtures.cpp to standard output:
//   build/tests/platform/make_pkcs12_fixtures > tests/platform/pkcs12_fixtures.cpp
#include <cstdio>
#include <string>
#include <vector>

#include "test_certificates.h"

namespace quorlan {
namespace testing {
namespace {

void PrintBytes(const std::vector<uint8_t>& bytes, const char* indent) {
  std::printf("{");
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i % 16 == 0) std::printf("\n%s", indent);
    std::printf("0x%02x,", bytes[i]);
  }
  std::printf("}");
}

void PrintFixture(const char* name, const char* password, const std::vector<unsigned char>& blob,
                  const std::vector<const TestCertificate*>& inBlobOrder) {
  std::printf("\nconst Pkcs12Fixture %s = {\n    \"%s\",\n    ", name, password);
  PrintBytes(blob, "        ");
  std::printf(",\n    {");
  for (const TestCertificate* certificate : inBlobOrder) {
    std::printf("\n        ");
    PrintBytes(Encoded(*certificate), "            ");
    std::printf(",");
  }
  std::printf("}};\n");
}

void PrintFixtures() {
  std::printf(
      "// Made by make_pkcs12_fixtures.cpp; not edited by hand.\n"
      "#include \"pkcs12_fixtures.h\"\n\n"
      "namespace quorlan {\nnamespace testing {\n");

  TestCertificate root = MakeCertificate("Fixture Root");
  TestCertificate intermediate = MakeCertificate("Fixture Intermediate", &root);
  TestCertificate leaf = MakeRsaCertificate("Fixture Leaf", &intermediate);
  PrintFixture("kLeafWithKey", "pass word", MakePkcs12WithKey(leaf, {intermediate}, "pass word"),
               {&leaf, &intermediate});

  TestCertificate openLeaf = MakeRsaCertificate("Fixture Open Leaf", &root);
  PrintFixture("kEmptyPassword", "", MakePkcs12WithKey(openLeaf, {}, ""), {&openLeaf});

  std::printf("\n}  // namespace testing\n}  // namespace quorlan\n");
}

}  // namespace
}  // namespace testing
}  // namespace quorlan

int main() {
  quorlan::testing::PrintFixtures();
  return 0;
}
