#include "data/cond.h"

#include "game_data_fixture.h"

// Rows and packed builders are laid out by hand, one record or field group a line.
// clang-format off
namespace {
// Field values of a condition, written in the layout of a given version straight from the table.
struct CondFields {
  int8_t kind = 0;
  int32_t operand = 0, randLow = 0, randHigh = 0;
  int8_t leftWhose = 0, leftWhich = 0, leftSource = 0, leftVarKind = 0;
  int16_t varIndex = 0;
  int8_t leftFlowVar = 0, rightSource = 0, rightWhose = 0, rightWhich = 0, rightVarKind = 0;
  int16_t rightVarIndex = 0;
  int8_t rightFlowVar = 0, op = 0, percent = 0, le1 = 0, re1 = 0, le2 = 0, re2 = 0, shape = 0;
  int16_t oldA = 0, oldB = 0;  // versions below 110
};

std::vector<uint8_t> CondBody(uint32_t v, const CondFields& f) {
  cByteBuilder fields;
  int n = 0;
  auto i8 = [&](int8_t x) { fields.U8(static_cast<uint8_t>(x)); ++n; };
  auto i16 = [&](int16_t x) { fields.I16(x); ++n; };
  auto i32 = [&](int32_t x) { fields.I32(x); ++n; };
  i8(f.kind);
  i32(f.operand);
  if (v >= 110) {
    i32(f.randLow); i32(f.randHigh); i8(f.leftWhose); i8(f.leftWhich); i8(f.leftSource); i8(f.leftVarKind);
    i16(f.varIndex);
    if (v >= 973) i8(f.leftFlowVar);
    i8(f.rightSource); i8(f.rightWhose); i8(f.rightWhich); i8(f.rightVarKind); i16(f.rightVarIndex);
    if (v >= 970) i8(f.rightFlowVar);
  } else {
    i16(f.oldA); i16(f.oldB);
  }
  i8(f.op);
  if (v >= 43) i8(f.percent);
  if (v >= 883) { i8(f.le1); i8(f.re1); }
  if (v >= 893) { i8(f.le2); i8(f.re2); }
  i8(f.shape);
  cByteBuilder body;
  body.I32(n).Bytes(fields.Get()).I32(0);
  return body.Get();
}
}  // namespace

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

TEST_F(CondTest, UpgradeSteps) {
  struct Case {
    uint32_t version;
    CondFields in;
    int8_t cCond::*result;
    int expected;
  };
  auto with = [](auto setup) { CondFields f; setup(f); return f; };
  const Case cases[] = {
      // kinds 5 and 6 entered at 160: an old kind 5 is now the distance kind 7
      {159, with([](CondFields& f) { f.kind = 5; }), &cCond::m_nKind, 7},
      {160, with([](CondFields& f) { f.kind = 5; }), &cCond::m_nKind, 5},
      {160, with([](CondFields& f) { f.kind = 6; f.leftWhich = 2; f.op = 0; }), &cCond::m_nOperator, 1},
      {161, with([](CondFields& f) { f.kind = 6; f.leftWhich = 2; f.op = 0; }), &cCond::m_nOperator, 0},
      // status rows inserted at 10 (below 168), at 5 (below 203) and two at 6 (below 883)
      {167, with([](CondFields& f) { f.kind = 4; f.leftWhich = 10; }), &cCond::m_nLeftWhich, 14},
      {202, with([](CondFields& f) { f.kind = 4; f.leftWhich = 10; }), &cCond::m_nLeftWhich, 13},
      {203, with([](CondFields& f) { f.kind = 4; f.leftWhich = 10; }), &cCond::m_nLeftWhich, 12},
      {882, with([](CondFields& f) { f.kind = 4; f.leftWhich = 10; }), &cCond::m_nLeftWhich, 12},
      {883, with([](CondFields& f) { f.kind = 4; f.leftWhich = 10; }), &cCond::m_nLeftWhich, 10},
      {882, with([](CondFields& f) { f.kind = 4; f.leftWhose = 5; f.leftWhich = 10; }), &cCond::m_nLeftWhich, 10},
      {209, with([](CondFields& f) { f.kind = 5; f.leftWhich = 6; }), &cCond::m_nLeftWhich, 7},
      {656, with([](CondFields& f) { f.kind = 7; f.leftWhose = 3; }), &cCond::m_nLeftWhose, 0},
      {657, with([](CondFields& f) { f.kind = 7; f.leftWhose = 3; }), &cCond::m_nLeftWhose, 3},
      {745, with([](CondFields& f) { f.kind = 7; }), &cCond::m_nRightSource, 1},
      {766, with([](CondFields& f) { f.kind = 5; f.rightWhose = 2; }), &cCond::m_nRightWhose, 5},
      {767, with([](CondFields& f) { f.kind = 5; f.rightWhose = 2; }), &cCond::m_nRightWhose, 2},
      // the worked example: flow variable 0 at 982 becomes 1 (984 adds 1), and 1 becomes 2
      {982, with([](CondFields& f) { f.kind = 4; f.leftSource = 2; f.leftFlowVar = 0; }), &cCond::m_nLeftFlowVar, 1},
      {982, with([](CondFields& f) { f.kind = 4; f.leftSource = 2; f.leftFlowVar = 1; }), &cCond::m_nLeftFlowVar, 2},
      {983, with([](CondFields& f) { f.kind = 4; f.leftSource = 2; f.leftFlowVar = 1; }), &cCond::m_nLeftFlowVar, 2},
      {984, with([](CondFields& f) { f.kind = 4; f.leftSource = 2; f.leftFlowVar = 1; }), &cCond::m_nLeftFlowVar, 1},
      {984, with([](CondFields& f) { f.kind = 4; f.leftFlowVar = 0; }), &cCond::m_nLeftFlowVar, 1},
      {985, with([](CondFields& f) { f.kind = 4; f.leftFlowVar = 0; }), &cCond::m_nLeftFlowVar, 0},
  };
  for (const Case& c : cases) {
    cCond cond;
    ASSERT_TRUE(LoadBody(cond, c.version, CondBody(c.version, c.in))) << c.version;
    EXPECT_EQ(cond.*c.result, c.expected) << "version " << c.version;
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

TEST_F(CondTest, EveryGateSeparatesTheVersionBeforeItFromItself) {
  struct Case {
    uint32_t gate;
    CondFields f;
  };
  auto with = [](auto setup) { CondFields f; setup(f); f.percent = 1; f.le1 = 1; f.re1 = 1; f.le2 = 1; f.re2 = 1; f.leftFlowVar = 1; f.rightFlowVar = 2; setup(f); return f; };
  const Case cases[] = {
      {43, with([](CondFields& f) { f.kind = 1; })},
      {110, with([](CondFields& f) { f.kind = 1; f.randLow = 3; })},
      {160, with([](CondFields& f) { f.kind = 5; })},
      {161, with([](CondFields& f) { f.kind = 6; f.leftWhich = 2; })},
      {168, with([](CondFields& f) { f.kind = 4; f.leftWhich = 10; })},
      {203, with([](CondFields& f) { f.kind = 4; f.leftWhich = 5; })},
      {210, with([](CondFields& f) { f.kind = 5; f.leftWhich = 6; })},
      {657, with([](CondFields& f) { f.kind = 7; f.leftWhose = 2; })},
      {745, with([](CondFields& f) { f.kind = 7; f.leftSource = 2; })},
      {746, with([](CondFields& f) { f.kind = 7; })},
      {767, with([](CondFields& f) { f.kind = 4; f.leftWhose = 2; })},
      {883, with([](CondFields& f) { f.kind = 4; f.leftWhich = 6; })},
      {893, with([](CondFields& f) { f.kind = 4; })},
      {970, with([](CondFields& f) { f.kind = 1; })},
      {973, with([](CondFields& f) { f.kind = 1; })},
      {984, with([](CondFields& f) { f.kind = 4; f.leftSource = 2; })},
      {985, with([](CondFields& f) { f.kind = 4; f.leftFlowVar = 0; })},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> saved[2];
    for (int at = 0; at < 2; ++at) {
      const uint32_t v = c.gate - 1 + static_cast<uint32_t>(at);
      cCond cond;
      ASSERT_TRUE(LoadBody(cond, v, CondBody(v, c.f))) << v;
      saved[at] = SaveBody(cond);
    }
    EXPECT_NE(saved[0], saved[1]) << "gate " << c.gate;
  }
}
