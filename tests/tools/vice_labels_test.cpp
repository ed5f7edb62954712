// The VICE label file made from a real assembly: labels of several scopes, each at its address.
#include <gtest/gtest.h>

#include <sstream>

#include "support/assemble.h"
#include "symbol_dump.h"

using namespace zendra;

TEST(ViceLabels, LabelsOfSeveralScopesKeepTheirAddresses) {
  zendra::testing::Assembly a = zendra::testing::assemble(
      "        *= $1000\n"
      "start   lda #0\n"  // $1000, global
      "        .block\n"
      "loop    dex\n"  // $1002, block scope
      "        bne loop\n"
      "        .bend\n"
      "        .block\n"
      "loop    iny\n"  // $1005, another block: the same name again
      "        .bend\n"
      "screen  = $0400\n",
      {"-s"});
  ASSERT_EQ(a.exitStatus, 0) << a.out;
  const std::string& tdb = a.files.at("t.tdb");
  symdump::SymbolFile file;
  std::string error;
  ASSERT_TRUE(symdump::decodeSymbolFile(
      std::span(reinterpret_cast<const uint8_t*>(tdb.data()), tdb.size()), file, error))
      << error;
  std::ostringstream labels;
  ASSERT_TRUE(symdump::writeViceLabels(file, labels, error)) << error;
  // Symbols come in name order; the second `loop` is made unique with its scope number.
  EXPECT_EQ(labels.str(),
            "al C:1002 .loop\n"
            "al C:1005 .loop_3\n"
            "al C:0400 .screen\n"
            "al C:1000 .start\n");
}
