#include "data/cond.h"

#include "cond_bytes.h"
#include "game_data_fixture.h"

// Rows are laid out by hand, one case a line.
// clang-format off

class CondTest : public GameDataTest {};

TEST_F(CondTest, NewestLayoutRoundTripsEveryField) {
  CondFields f;
  f.kind = 4; f.operand = -7; f.randLow = 2; f.randHigh = 9; f.leftWhose = 1; f.leftWhich = 3; f.leftSource = 1;
  f.varIndex = 300; f.leftFlowVar = 2; f.rightSource = 3; f.rightVarIndex = -5; f.rightFlowVar = 1; f.op = 5;
  f.percent = 1; f.le1 = 4; f.re2 = 6; f.shape = 2;
  cCond c;
  ASSERT_TRUE(LoadBody(c, 986, CondBody(986, f)));
  EXPECT_EQ(c.m_nOperand, -7);
  EXPECT_EQ(c.m_nVarIndex, 300);
  EXPECT_EQ(c.m_nLeftFlowVar, 2);
  EXPECT_EQ(c.m_nRightVarIndex, -5);
  EXPECT_EQ(c.m_nShape, 2);
  EXPECT_EQ(SaveBody(c), CondBody(986, f));
}

TEST_F(CondTest, OldLayoutsReadTheirOwnFieldsAndNoMore) {
  // Below 110 two int16 stand in for four fields and are dropped; below 43 there is no percent flag.
  for (uint32_t v : {42u, 43u, 109u, 110u, 882u, 883u, 892u, 893u, 969u, 970u, 972u, 973u}) {
    CondFields f;
    f.kind = 1; f.operand = 55; f.op = 3; f.shape = 6; f.oldA = 99; f.oldB = 98; f.percent = 1;
    std::vector<uint8_t> bytes = CondBody(v, f);
    bytes.push_back(0xAB);  // whatever follows must stay unread
    cCond c;
    size_t used = 0;
    ASSERT_TRUE(LoadBody(c, v, bytes, &used)) << v;
    EXPECT_EQ(used, bytes.size() - 1) << v;
    EXPECT_EQ(c.m_nOperand, 55) << v;
    EXPECT_EQ(c.m_nOperator, 3) << v;
    EXPECT_EQ(c.m_nShape, 6) << v;
    EXPECT_EQ(c.m_bPercent, v >= 43 ? 1 : 0) << v;
    EXPECT_EQ(c.m_nRandLow, 0) << v;
  }
}

// Every upgrade row: a condition stored at the version below the row's gate (and, beside it, at the
// gate itself) against every field of the condition after loading. The later rows run as well.
TEST_F(CondTest, EveryUpgradeRowGivesExactValues) {
  struct Case {
    uint32_t version;
    CondFields stored, loaded;
  };
  auto C = [](auto setup) { CondFields f; setup(f); return f; };
  const Case cases[] = {
      // 160: kinds 5 and 6 enter, older kinds from 5 up move two places
      {159, C([](CondFields& f) { f.kind = 5; f.leftWhose = 3; f.leftWhich = 4; f.leftSource = 2; f.op = 2; }),
            C([](CondFields& f) { f.kind = 7; f.leftWhich = 4; f.op = 2; f.rightSource = 1; f.rightWhose = 1; })},
      {159, C([](CondFields& f) { f.kind = 6; f.leftWhich = 2; }), C([](CondFields& f) { f.kind = 8; f.leftWhich = 2; })},
      {159, C([](CondFields& f) { f.kind = 4; f.leftWhich = 3; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhich = 3; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {160, C([](CondFields& f) { f.kind = 5; f.leftWhich = 4; }), C([](CondFields& f) { f.kind = 5; f.leftWhich = 4; })},
      // 161: kind 6 with left which 2 swaps its operator's low bit
      {160, C([](CondFields& f) { f.kind = 6; f.leftWhich = 2; }), C([](CondFields& f) { f.kind = 6; f.leftWhich = 2; f.op = 1; })},
      {160, C([](CondFields& f) { f.kind = 6; f.leftWhich = 2; f.op = 3; }), C([](CondFields& f) { f.kind = 6; f.leftWhich = 2; f.op = 2; })},
      {160, C([](CondFields& f) { f.kind = 6; f.leftWhich = 1; }), C([](CondFields& f) { f.kind = 6; f.leftWhich = 1; })},
      {161, C([](CondFields& f) { f.kind = 6; f.leftWhich = 2; }), C([](CondFields& f) { f.kind = 6; f.leftWhich = 2; })},
      // 168: a status row at 10 (then 203: at 5, 883: two at 6)
      {167, C([](CondFields& f) { f.kind = 4; f.leftWhich = 10; f.rightSource = 2; f.rightWhich = 10; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhich = 14; f.rightSource = 2; f.rightWhich = 14; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {167, C([](CondFields& f) { f.kind = 4; f.leftWhich = 9; f.rightSource = 2; f.rightWhich = 9; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhich = 12; f.rightSource = 2; f.rightWhich = 12; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {167, C([](CondFields& f) { f.kind = 4; f.leftWhose = 2; f.leftWhich = 10; f.rightWhich = 10; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhose = 5; f.leftWhich = 10; f.rightWhich = 10; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {167, C([](CondFields& f) { f.kind = 4; f.leftSource = 1; f.leftWhich = 10; f.rightSource = 2; f.rightWhose = 2; f.rightWhich = 10; }),
            C([](CondFields& f) { f.kind = 4; f.leftSource = 1; f.leftWhich = 10; f.rightSource = 2; f.rightWhose = 5; f.rightWhich = 10; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {168, C([](CondFields& f) { f.kind = 4; f.leftWhich = 10; f.rightSource = 2; f.rightWhich = 10; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhich = 13; f.rightSource = 2; f.rightWhich = 13; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      // 203
      {202, C([](CondFields& f) { f.kind = 4; f.leftWhich = 5; f.rightSource = 2; f.rightWhich = 5; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhich = 8; f.rightSource = 2; f.rightWhich = 8; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {202, C([](CondFields& f) { f.kind = 4; f.leftWhich = 4; f.rightSource = 2; f.rightWhich = 4; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhich = 4; f.rightSource = 2; f.rightWhich = 4; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {203, C([](CondFields& f) { f.kind = 4; f.leftWhich = 5; f.rightSource = 2; f.rightWhich = 5; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhich = 5; f.rightSource = 2; f.rightWhich = 5; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      // 210: kind 5, a status row at 6
      {209, C([](CondFields& f) { f.kind = 5; f.leftWhich = 6; }), C([](CondFields& f) { f.kind = 5; f.leftWhich = 7; })},
      {209, C([](CondFields& f) { f.kind = 5; f.leftWhich = 5; }), C([](CondFields& f) { f.kind = 5; f.leftWhich = 5; })},
      {209, C([](CondFields& f) { f.kind = 5; f.leftWhose = 2; f.leftWhich = 6; }), C([](CondFields& f) { f.kind = 5; f.leftWhose = 5; f.leftWhich = 6; })},
      {210, C([](CondFields& f) { f.kind = 5; f.leftWhich = 6; }), C([](CondFields& f) { f.kind = 5; f.leftWhich = 6; })},
      // 657, 745, 746: the distance kind
      {656, C([](CondFields& f) { f.kind = 7; f.leftWhose = 3; f.leftSource = 2; }),
            C([](CondFields& f) { f.kind = 7; f.rightSource = 1; f.rightWhose = 1; })},
      {657, C([](CondFields& f) { f.kind = 7; f.leftWhose = 3; f.leftSource = 2; }),
            C([](CondFields& f) { f.kind = 7; f.leftWhose = 3; f.rightSource = 1; f.rightWhose = 1; })},
      {745, C([](CondFields& f) { f.kind = 7; f.leftSource = 2; }),
            C([](CondFields& f) { f.kind = 7; f.leftSource = 2; f.rightSource = 1; f.rightWhose = 1; })},
      {746, C([](CondFields& f) { f.kind = 7; f.leftSource = 2; }), C([](CondFields& f) { f.kind = 7; f.leftSource = 2; })},
      // 767: owners from 2 up move three places (kinds 4 and 5)
      {766, C([](CondFields& f) { f.kind = 4; f.leftWhose = 2; f.rightWhose = 2; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhose = 5; f.rightWhose = 5; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {766, C([](CondFields& f) { f.kind = 5; f.leftWhose = 1; f.rightWhose = 3; }), C([](CondFields& f) { f.kind = 5; f.leftWhose = 1; f.rightWhose = 6; })},
      {766, C([](CondFields& f) { f.kind = 6; f.leftWhose = 2; }), C([](CondFields& f) { f.kind = 6; f.leftWhose = 2; })},
      {767, C([](CondFields& f) { f.kind = 4; f.leftWhose = 2; f.rightWhose = 2; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhose = 2; f.rightWhose = 2; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      // 883: two status rows at 6; the first extra arguments start at 0
      {882, C([](CondFields& f) { f.kind = 4; f.leftWhich = 6; f.rightSource = 2; f.rightWhich = 6; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhich = 8; f.rightSource = 2; f.rightWhich = 8; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {882, C([](CondFields& f) { f.kind = 4; f.leftWhich = 5; f.rightSource = 2; f.rightWhich = 5; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhich = 5; f.rightSource = 2; f.rightWhich = 5; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {882, C([](CondFields& f) { f.kind = 4; f.leftWhose = 5; f.leftWhich = 6; f.rightSource = 2; f.rightWhose = 5; f.rightWhich = 6; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhose = 5; f.leftWhich = 6; f.rightSource = 2; f.rightWhose = 5; f.rightWhich = 6; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {882, C([](CondFields& f) { f.kind = 4; f.leftSource = 1; f.leftWhich = 6; f.rightSource = 3; f.rightWhich = 6; }),
            C([](CondFields& f) { f.kind = 4; f.leftSource = 1; f.leftWhich = 6; f.rightSource = 3; f.rightWhich = 6; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {883, C([](CondFields& f) { f.kind = 4; f.leftWhich = 6; f.rightSource = 2; f.rightWhich = 6; f.le1 = 3; f.re1 = 4; }),
            C([](CondFields& f) { f.kind = 4; f.leftWhich = 6; f.rightSource = 2; f.rightWhich = 6; f.le1 = 3; f.re1 = 4; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      // 892: the second extra arguments start at 0 (they are stored from 893)
      {891, C([](CondFields& f) { f.kind = 4; f.le1 = 3; f.re1 = 4; f.le2 = 5; }),
            C([](CondFields& f) { f.kind = 4; f.le1 = 3; f.re1 = 4; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {893, C([](CondFields& f) { f.kind = 4; f.le2 = 5; f.re2 = 6; }),
            C([](CondFields& f) { f.kind = 4; f.le2 = 5; f.re2 = 6; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      // 984: flow variables count from 1; 985: 0 becomes 1
      {983, C([](CondFields& f) { f.kind = 4; f.leftSource = 2; f.leftFlowVar = 1; f.rightSource = 4; f.rightFlowVar = 1; }),
            C([](CondFields& f) { f.kind = 4; f.leftSource = 2; f.leftFlowVar = 2; f.rightSource = 4; f.rightFlowVar = 2; })},
      {983, C([](CondFields& f) { f.kind = 4; f.leftSource = 2; f.rightSource = 4; }),
            C([](CondFields& f) { f.kind = 4; f.leftSource = 2; f.leftFlowVar = 1; f.rightSource = 4; f.rightFlowVar = 1; })},
      {983, C([](CondFields& f) { f.kind = 4; f.leftSource = 1; f.leftFlowVar = 2; f.rightSource = 3; f.rightFlowVar = 2; }),
            C([](CondFields& f) { f.kind = 4; f.leftSource = 1; f.leftFlowVar = 2; f.rightSource = 3; f.rightFlowVar = 2; })},
      {984, C([](CondFields& f) { f.kind = 4; f.leftSource = 2; f.leftFlowVar = 1; f.rightSource = 4; f.rightFlowVar = 1; }),
            C([](CondFields& f) { f.kind = 4; f.leftSource = 2; f.leftFlowVar = 1; f.rightSource = 4; f.rightFlowVar = 1; })},
      {984, C([](CondFields& f) { f.kind = 4; }), C([](CondFields& f) { f.kind = 4; f.leftFlowVar = 1; f.rightFlowVar = 1; })},
      {984, C([](CondFields& f) { f.kind = 3; }), C([](CondFields& f) { f.kind = 3; })},
      {985, C([](CondFields& f) { f.kind = 4; }), C([](CondFields& f) { f.kind = 4; })},
  };
  for (const Case& c : cases) {
    cCond cond;
    ASSERT_TRUE(LoadBody(cond, c.version, CondBody(c.version, c.stored))) << c.version;
    EXPECT_EQ(SaveBody(cond), CondBody(986, c.loaded)) << "version " << c.version << " kind " << int{c.stored.kind};
  }
}

TEST_F(CondTest, ConditionListHasItsCountFrom766) {
  cByteBuilder b;
  b.I32(2).U8(1).U8(1).I32(0);  // use flag and mode only
  b.I32(0x11223344);            // the next record starts here
  cCondList list;
  size_t used = 0;
  ASSERT_TRUE(LoadBody(list, 765, b.Get(), &used));
  EXPECT_EQ(used, 10u);
  EXPECT_EQ(list.m_bUse, 1);
  EXPECT_TRUE(list.m_aConds.empty());

  CondFields f;
  f.kind = 2;
  f.operand = 8;
  cByteBuilder withCount;
  withCount.I32(2).U8(1).U8(0).I32(0).I32(1).Bytes(CondBody(766, f));
  ASSERT_TRUE(LoadBody(list, 766, withCount.Get()));
  ASSERT_EQ(list.m_aConds.size(), 1u);
  EXPECT_EQ(list.m_aConds[0].m_nOperand, 8);
}

TEST_F(CondTest, TruncatedOrOversizedBodiesAreRefused) {
  CondFields f;
  std::vector<uint8_t> bytes = CondBody(986, f);
  bytes.erase(bytes.end() - 3, bytes.end());
  cCond c;
  EXPECT_FALSE(LoadBody(c, 986, bytes));
  cByteBuilder huge;
  huge.I32(1000000);
  EXPECT_FALSE(LoadBody(c, 986, huge.Get()));
  std::vector<cCond> list;
  cByteBuilder count;
  count.I32(0x7fffffff);
  auto file = cDataFile::FromBytes(count.Get());
  EXPECT_FALSE(ReadCondVector(*file, list));
  EXPECT_TRUE(list.empty());
}
