// The base of every framework object: its flag helpers, its identity test and class name,
// and deletion through a base pointer.
#include <gtest/gtest.h>

// The umbrella header alone must compile: it is what plug-ins include.
#include "framework/finaleframework.h"

#include "framework/core/fcbase.h"

namespace {

TEST(FCBaseFlags, Set16BitFlagSetsOrClearsOnlyTheMaskBits) {
  struct Row {
    unsigned short word;
    unsigned short mask;
    bool state;
    unsigned short expected;
  };
  const Row rows[] = {
      {0x0001, 0x0008, true, 0x0009},  {0x0009, 0x0008, false, 0x0001},
      {0x0009, 0x0008, true, 0x0009},   // already set
      {0x0001, 0x0008, false, 0x0001},  // already clear
      {0xFFFF, 0x8001, false, 0x7FFE},  // top bit survives the int promotion
      {0x0000, 0xF00F, true, 0xF00F},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << std::hex << row.word << " mask " << row.mask << " state " << row.state);
    unsigned short word = row.word;
    __FCBase::Set16BitFlag(&word, row.mask, row.state);
    EXPECT_EQ(row.expected, word);
  }
}

TEST(FCBaseFlags, Set32BitFlagWorksOnAllThirtyTwoBits) {
  struct Row {
    uint32_t word;
    uint32_t mask;
    bool state;
    uint32_t expected;
  };
  const Row rows[] = {
      {0x00000000u, 0x80000101u, true, 0x80000101u},
      {0xFFFFFFFFu, 0x80000101u, false, 0x7FFFFEFEu},
      {0x12345678u, 0xFFFF0000u, false, 0x00005678u},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << std::hex << row.word << " mask " << row.mask << " state " << row.state);
    uint32_t word = row.word;
    __FCBase::Set32BitFlag(&word, row.mask, row.state);
    EXPECT_EQ(row.expected, word);
  }
}

TEST(FCBaseIdentity, PlainObjectIsIdenticalToAnything) {
  __FCBase a;
  __FCBase b;
  EXPECT_TRUE(a.IsIdentical(&b));
  EXPECT_TRUE(a.IsIdentical(&a));
  EXPECT_TRUE(a.IsIdentical(nullptr));
  EXPECT_STREQ("__FCBase", a.ClassName());
  EXPECT_EQ(nullptr, a.GetUserData());
}

// A derived class that does not override ClassName, and counts its destructions.
struct Counted : __FCBase {
  explicit Counted(int* count) : destroyed(count) {}
  ~Counted() override { ++*destroyed; }
  int* destroyed;
};

TEST(FCBaseLifetime, DeleteThroughBasePointerRunsDerivedDestructor) {
  int destroyed = 0;
  __FCBase* object = new Counted(&destroyed);
  EXPECT_STREQ("__FCBase", object->ClassName());
  delete object;
  EXPECT_EQ(1, destroyed);
}

}  // namespace
