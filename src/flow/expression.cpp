#include "flow/expression.h"

#include <algorithm>
#include <climits>
#include <deque>

#include "core/containers.h"
#include "core/log.h"
#include "core/numbers.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "flow/play_values.h"
#include "flow/status_op.h"
#include "objects/chara_base.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"
#include "objects/status_values.h"

namespace {

enum : int32_t { kOpAssign = 0, kOpAdd, kOpSub, kOpMul, kOpDiv, kOpMod };
enum : int { kObjMy = 0, kObjTg, kObjTg1, kObjTg2, kObjTg3, kObjTg4, kObjPl, kObjSys };
enum : int32_t {
  kFieldV1 = 0,
  kFieldV8 = 7,
  kFieldHp,
  kFieldSp,
  kFieldMaxHp,
  kFieldMaxSp,
  kFieldCharaId,
  kFieldXRel,
  kFieldXAbs,
  kFieldXScr,
  kFieldYRel,
  kFieldYAbs,
  kFieldYScr,
  kFieldLayer,
  kFieldBadge,
  kFieldSight,
  kFieldPower,
  kFieldImpact,
  kFieldDefence,
  kFieldImpactResist,
  kFieldStopEase,
  kFieldScore,
};
enum : int32_t { kPlayTime = 0, kPlayScrollX, kPlayScrollY, kPlayScore, kPlayLife };

// Groups and calls nested deeper than this fail the evaluation: no line of code a designer writes
// comes near it, and the evaluator recurses once per level.
constexpr int kMaxNesting = 64;

int g_nNesting = 0;
// The whole code text of the running EvalCode, shown by the division message.
const std::string* g_lpCodeText = nullptr;

// Working text and word lists kept from one evaluation to the next, so that the code that flows run
// every frame allocates nothing once they have grown. One per evaluation in progress: groups nest,
// and an assignment may run flows that evaluate code of their own. A deque keeps the ones in use in
// place while it grows.
struct cEvalBuffers {
  std::string text;
  std::vector<cToken> tokens;
};
std::deque<cEvalBuffers> g_EvalBuffers;
size_t g_nEvalBuffersInUse = 0;

class cEvalBuffersLease {
 public:
  cEvalBuffersLease() {
    if (g_nEvalBuffersInUse == g_EvalBuffers.size()) g_EvalBuffers.emplace_back();
    m_lpBuffers = &g_EvalBuffers[g_nEvalBuffersInUse++];
  }
  ~cEvalBuffersLease() { --g_nEvalBuffersInUse; }
  cEvalBuffersLease(const cEvalBuffersLease&) = delete;
  cEvalBuffersLease& operator=(const cEvalBuffersLease&) = delete;
  cEvalBuffers& operator*() { return *m_lpBuffers; }

 private:
  cEvalBuffers* m_lpBuffers;
};

template <size_t N>
int IndexIn(const char* const (&table)[N], const std::string& word) {
  for (size_t i = 0; i < N; ++i)
    if (word == table[i]) return static_cast<int>(i);
  return -1;
}

// The integer of a word's leading digits after optional white space and sign; 0 without digits,
// the int32 limit when it does not fit.
int32_t LeadingInt(const char* s) {
  while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
  const bool negative = *s == '-';
  if (*s == '-' || *s == '+') ++s;
  int64_t value = 0;
  for (; *s >= '0' && *s <= '9'; ++s) {
    value = value * 10 + (*s - '0');
    if (value > static_cast<int64_t>(INT32_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

int32_t ReadTarget(const void* p, int width) {
  if (width == 1) return *static_cast<const int8_t*>(p);
  if (width == 2) return *static_cast<const int16_t*>(p);
  return *static_cast<const int32_t*>(p);
}

void WriteTarget(void* p, int width, int32_t v) {
  if (width == 1)
    *static_cast<int8_t*>(p) = static_cast<int8_t>(v);
  else if (width == 2)
    *static_cast<int16_t*>(p) = static_cast<int16_t>(v);
  else
    *static_cast<int32_t*>(p) = v;
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

bool IsPositionField(const cToken& t) {
  return t.nKind == kTokenCharaField && t.nField >= kFieldXRel && t.nField <= kFieldYScr;
}

// A designer's typo the game once stopped on (an index outside its vector): the range line goes to
// the report log as the checked accessors write it, and the evaluation fails.
int32_t FailOutOfRange(int32_t index, size_t count, size_t elementSize) {
  LogRangeError('V', index, static_cast<int32_t>(count), static_cast<int32_t>(elementSize));
  g_bEvalError = 1;
  return 0;
}

cToken MemoryToken(int32_t kind, void* target, int width, int32_t min, int32_t max) {
  cToken t;
  t.nKind = kind;
  t.lpTarget = target;
  t.nWidth = width;
  t.nMin = min;
  t.nMax = max;
  t.nValue = ReadTarget(target, width);
  return t;
}

cToken NumberToken(int32_t value) {
  cToken t;
  t.nValue = value;
  t.nMin = -kFlowValueMax;
  t.nMax = kFlowValueMax;
  return t;
}

// What reading a word came to.
enum class eWord {
  kToken,    // a token to add
  kFail,     // the evaluation fails (error flag set)
  kEndZero,  // the evaluation ends with 0 without an error (a position with no character)
};

eWord VariableToken(cToken& out, const std::string& word) {
  std::vector<int32_t>* vars = nullptr;
  if (word[0] == 'C') vars = &g_SaveData.m_anCommonVars;
  if (word[0] == 'S' && g_lpSceneStage) vars = &g_lpSceneStage->m_anStageVars;
  const int32_t n = LeadingInt(word.c_str() + 1);
  const size_t count = vars ? vars->size() : 0;
  if (n < 0 || static_cast<size_t>(n) >= count) {
    FailOutOfRange(n, count, sizeof(int32_t));
    return eWord::kFail;
  }
  out = MemoryToken(kTokenVariable, &(*vars)[static_cast<size_t>(n)], 4, -kFlowValueMax, kFlowValueMax);
  return eWord::kToken;
}

eWord CharaFieldToken(cToken& out, int field, cCharaBase* object, cCharaBase& chara) {
  const bool position = field >= kFieldXRel && field <= kFieldYScr;
  if (!object) {
    // "sys" names no character: a position reads as a failed getter, the other fields fail.
    if (position) return eWord::kEndZero;
    g_bEvalError = 1;
    return eWord::kFail;
  }
  cCharaType& type = object->m_Type;
  if (field <= kFieldV8) {
    const size_t n = static_cast<size_t>(field - kFieldV1 + 1);
    if (n >= object->m_anVars.size()) {
      FailOutOfRange(static_cast<int32_t>(n), object->m_anVars.size(), sizeof(int32_t));
      return eWord::kFail;
    }
    out = MemoryToken(kTokenCharaField, &object->m_anVars[n], 4, -kFlowValueMax, kFlowValueMax);
  } else if (position) {
    const int system = (field - kFieldXRel) % 3;
    int32_t value = 0;
    const bool read =
        field <= kFieldXScr ? GetCharaX(value, object, system, &chara) : GetCharaY(value, object, system, 0, &chara);
    if (!read) return eWord::kEndZero;
    out = cToken{};
    out.nKind = kTokenCharaField;
    out.nValue = value;
    out.nWidth = 4;
    out.nMin = -kFlowCoordMax;
    out.nMax = kFlowCoordMax;
  } else {
    switch (field) {
      case kFieldHp: out = MemoryToken(kTokenCharaField, &object->m_nHp, 4, 0, type.m_nMaxHp); break;
      case kFieldSp: out = MemoryToken(kTokenCharaField, &object->m_nSp, 4, 0, type.m_nMaxSp); break;
      case kFieldMaxHp: out = MemoryToken(kTokenCharaField, &type.m_nMaxHp, 4, 1, kFlowValueMax); break;
      case kFieldMaxSp: out = MemoryToken(kTokenCharaField, &type.m_nMaxSp, 4, 1, kFlowValueMax); break;
      case kFieldCharaId: out = MemoryToken(kTokenCharaField, &type.m_nCharaId, 1, 0, 99); break;
      case kFieldLayer: out = MemoryToken(kTokenCharaField, &type.m_nLayer, 1, 0, 7); break;
      case kFieldBadge: out = MemoryToken(kTokenCharaField, &type.m_nBadge, 2, 0, 119); break;
      case kFieldSight: out = MemoryToken(kTokenCharaField, &type.m_nViewRange, 1, 0, 40); break;
      case kFieldPower:
        out = MemoryToken(kTokenCharaField, &type.m_nBodyPower, 4, -kFlowValueMax, kFlowValueMax);
        break;
      case kFieldImpact: out = MemoryToken(kTokenCharaField, &type.m_nBodyImpact, 1, -20, 20); break;
      case kFieldDefence: out = MemoryToken(kTokenCharaField, &type.m_nDefence, 4, 0, kFlowValueMax); break;
      case kFieldImpactResist: out = MemoryToken(kTokenCharaField, &type.m_nImpactResist, 1, 0, 20); break;
      case kFieldStopEase: out = MemoryToken(kTokenCharaField, &type.m_nStopEase, 2, 0, 200); break;
      default: out = MemoryToken(kTokenCharaField, &type.m_nScore, 4, -kFlowValueMax, kFlowValueMax); break;
    }
  }
  out.nField = field;
  out.lpObject = object;
  return eWord::kToken;
}

eWord PlayFieldToken(cToken& out, int field) {
  switch (field) {
    case kPlayTime:
      if (!g_lpSceneStage) {
        g_bEvalError = 1;
        return eWord::kFail;
      }
      out = MemoryToken(kTokenPlayField, &g_lpSceneStage->m_nTimer, 4, 0, kStageTimerMax);
      break;
    case kPlayScrollX:
    case kPlayScrollY:
      out = MemoryToken(kTokenPlayField, &AutoScrollSpeed(field - kPlayScrollX), 4, -kAutoScrollSpeedMax,
                        kAutoScrollSpeedMax);
      break;
    case kPlayScore: out = MemoryToken(kTokenPlayField, &g_SaveData.m_nScore, 4, 0, kFlowValueMax); break;
    default: {
      // Unlimited lives stay unlimited: an assignment can only write 999999 back.
      const bool unlimited = g_SaveData.m_nLives == kUnlimitedLives;
      out = MemoryToken(kTokenPlayField, &g_SaveData.m_nLives, 4, unlimited ? kUnlimitedLives : 0,
                        unlimited ? kUnlimitedLives : 99);
      out.nValue = LivesAsRead();
      break;
    }
  }
  out.nField = field;
  return eWord::kToken;
}

// Classifies a completed word read with an object prefix (kObjMy when there was none).
eWord ReadWord(cToken& out, const std::string& word, int object, cCharaBase& chara) {
  const int op = IndexIn(g_EvalOperators, word);
  if (op >= 0) {
    out = cToken{};
    out.nKind = kTokenOperator;
    out.nField = op;
    return eWord::kToken;
  }
  cCharaBase* target = nullptr;
  switch (object) {
    case kObjMy: target = &chara; break;
    case kObjPl: target = &VecAt(g_HeroList, 0); break;
    case kObjSys: break;
    default:
      target = VecAt(chara.m_apTargets, object == kObjTg ? 0 : object - kObjTg1);
      if (!target) {
        g_bEvalError = 1;  // an empty target slot fails without a message
        return eWord::kFail;
      }
      break;
  }
  if (word[0] == g_EvalVarPrefixes[0][0] || word[0] == g_EvalVarPrefixes[1][0]) return VariableToken(out, word);
  const int flowVar = IndexIn(g_EvalFlowVars, word);
  if (flowVar >= 0) {
    int32_t* pair = g_lpSceneStage ? g_lpSceneStage->m_lpFlowVars : nullptr;
    if (!pair) {
      g_bEvalError = 1;  // no flow or item runs: nothing to read or write
      return eWord::kFail;
    }
    out = MemoryToken(kTokenFlowVar, &pair[flowVar % 2], 4, -kFlowValueMax, kFlowValueMax);
    out.nField = flowVar;
    return eWord::kToken;
  }
  const int field = IndexIn(g_EvalCharaFields, word);
  if (field >= 0) return CharaFieldToken(out, field, target, chara);
  const int playField = IndexIn(g_EvalPlayFields, word);
  if (playField >= 0) return PlayFieldToken(out, playField);
  out = NumberToken(LeadingInt(word.c_str()));
  return eWord::kToken;
}

// What an assignment does besides writing its target.
void AfterAssignment(const cToken& left, int32_t value, cCharaBase& chara) {
  if (left.nKind == kTokenPlayField) {
    if (left.nField == kPlayScrollX || left.nField == kPlayScrollY) ApplyAutoScrollSpeed(left.nField - kPlayScrollX);
    return;
  }
  if (left.nKind != kTokenCharaField) return;
  cCharaBase& object = *left.lpObject;
  switch (left.nField) {
    case kFieldHp:
      if (&object != &chara && object.m_nHp < 1 && g_lpSceneStage) g_lpSceneStage->m_bDefeatCheck = 1;
      break;
    case kFieldMaxHp: object.m_nHp = Clamp(object.m_nHp, 0, object.m_Type.m_nMaxHp); break;
    case kFieldMaxSp: object.m_nSp = Clamp(object.m_nSp, 0, object.m_Type.m_nMaxSp); break;
    case kFieldXRel:
    case kFieldXAbs:
    case kFieldXScr: SetCharaX(value, object, left.nField - kFieldXRel); break;
    case kFieldYRel:
    case kFieldYAbs:
    case kFieldYScr: SetCharaY(value, object, left.nField - kFieldYRel, g_SystemData.m_bLegacy896 ? 0 : 2); break;
    case kFieldSight:
      if (cHero* hero = dynamic_cast<cHero*>(&object)) {
        hero->m_nViewRange = HalfBlocksToDots(hero->m_Type.m_nViewRange);
        BuildViewMask(*hero);
      }
      break;
    default: break;
  }
}

// One operation; false when it failed (error flag set).
bool Operate(int32_t& result, const cToken& left, int op, const cToken& right, cCharaBase& chara) {
  const uint32_t a = static_cast<uint32_t>(left.nValue);
  const uint32_t b = static_cast<uint32_t>(right.nValue);
  switch (op) {
    case kOpAdd: result = static_cast<int32_t>(a + b); return true;
    case kOpSub: result = static_cast<int32_t>(a - b); return true;
    case kOpMul: result = static_cast<int32_t>(a * b); return true;
    case kOpDiv:
    case kOpMod:
      if (right.nValue == 0) {
        ErrorBoxf("0除算が行われました！(%s)", g_lpCodeText ? g_lpCodeText->c_str() : "");
        g_bEvalError = 1;
        return false;
      }
      // INT32_MIN / -1 wraps to INT32_MIN and leaves no remainder (the division itself would trap).
      if (right.nValue == -1)
        result = op == kOpDiv ? static_cast<int32_t>(0u - a) : 0;
      else
        result = op == kOpDiv ? left.nValue / right.nValue : left.nValue % right.nValue;
      return true;
    default: {
      if (!left.lpTarget && !IsPositionField(left)) {
        ErrorBoxf("代入先が不正です！");
        g_bEvalError = 1;
        return false;
      }
      result = Clamp(right.nValue, left.nMin, left.nMax);
      if (left.lpTarget) WriteTarget(left.lpTarget, left.nWidth, result);
      AfterAssignment(left, result, chara);
      return true;
    }
  }
}

// The three precedence passes over the words; the value of the text.
int32_t Reduce(std::vector<cToken>& tokens, cCharaBase& chara) {
  bool applied = false;
  int32_t last = 0;
  for (int32_t pass = 0; pass <= 2; ++pass) {
    for (;;) {
      size_t i = 0;
      while (i < tokens.size() &&
             !(tokens[i].nKind == kTokenOperator && g_EvalOperatorClasses[tokens[i].nField] == pass))
        ++i;
      if (i == tokens.size()) break;
      // An operator needs a word on either side: a missing one is the typo of an index outside the
      // list, an operator in its place has no value.
      if (i == 0) return FailOutOfRange(-1, tokens.size(), sizeof(cToken));
      if (i + 1 == tokens.size()) return FailOutOfRange(static_cast<int32_t>(i + 1), tokens.size(), sizeof(cToken));
      if (tokens[i - 1].nKind == kTokenOperator || tokens[i + 1].nKind == kTokenOperator) {
        g_bEvalError = 1;
        return 0;
      }
      int32_t result = 0;
      if (!Operate(result, tokens[i - 1], tokens[i].nField, tokens[i + 1], chara)) return 0;
      applied = true;
      last = result;
      // Older projects keep the right operand in the list after the result.
      const auto first = tokens.begin() + static_cast<std::ptrdiff_t>(i - 1);
      tokens.erase(first, first + (g_SystemData.m_bLegacy752 ? 2 : 3));
      tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(i - 1), NumberToken(result));
    }
  }
  if (applied) return last;
  for (size_t i = tokens.size(); i-- > 0;)
    if (tokens[i].nKind != kTokenOperator) return tokens[i].nValue;
  return 0;
}

// Index of the ")" that closes the "(" at open, or npos.
size_t MatchingParen(const std::string& text, size_t open) {
  int depth = 0;
  for (size_t i = open; i < text.size(); ++i) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && --depth == 0) return i;
  }
  return std::string::npos;
}

// The arguments between open and close, split at commas outside nested brackets; empty ones dropped.
std::vector<std::string> SplitArguments(const std::string& text, size_t open, size_t close) {
  std::vector<std::string> args;
  int depth = 0;
  size_t start = open + 1;
  for (size_t i = open + 1; i <= close; ++i) {
    const char c = text[i];
    if (c == '(') ++depth;
    if (c == ')' && i < close) --depth;
    if ((c == ',' && depth == 0) || i == close) {
      if (i > start) args.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return args;
}

class cNestingGuard {
 public:
  cNestingGuard() { ++g_nNesting; }
  ~cNestingGuard() { --g_nNesting; }
  cNestingGuard(const cNestingGuard&) = delete;
  cNestingGuard& operator=(const cNestingGuard&) = delete;
};

}  // namespace

int EvalCode(const std::string& code, cCharaBase& chara) {
  g_bEvalError = 0;
  const int32_t hp = chara.m_nHp;
  const int32_t sp = chara.m_nSp;
  const int32_t maxHp = chara.m_Type.m_nMaxHp;
  const int32_t maxSp = chara.m_Type.m_nMaxSp;
  const std::string* previousCode = g_lpCodeText;
  g_lpCodeText = &code;
  EvalParens(code, chara);
  g_lpCodeText = previousCode;
  if (g_bEvalError) return 0;
  if (chara.m_nHp != hp && chara.m_Type.m_nMaxHp == maxHp)
    chara.ShowHpChange(static_cast<int32_t>(static_cast<uint32_t>(chara.m_nHp) - static_cast<uint32_t>(hp)));
  if (chara.m_nSp != sp && chara.m_Type.m_nMaxSp == maxSp)
    chara.ShowSpChange(static_cast<int32_t>(static_cast<uint32_t>(chara.m_nSp) - static_cast<uint32_t>(sp)));
  return 1;
}

int32_t EvalParens(const std::string& text, cCharaBase& chara) {
  cNestingGuard nesting;
  if (g_nNesting > kMaxNesting) {
    g_bEvalError = 1;
    return 0;
  }
  // The text ends at its first NUL, as a C string does.
  cEvalBuffersLease buffers;
  std::string& copy = (*buffers).text;
  copy.assign(text, 0, text.find('\0'));
  size_t wordStart = 0;
  for (size_t pos = 0; pos < copy.size();) {
    if (copy[pos] == ' ') {
      wordStart = ++pos;
      continue;
    }
    if (copy[pos] != '(') {
      ++pos;
      continue;
    }
    const size_t close = MatchingParen(copy, pos);
    if (close == std::string::npos) {
      ErrorBoxf("\")\"が見つかりません！");
      g_bEvalError = 1;
      return 0;
    }
    int32_t value = 0;
    if (pos == wordStart) {
      value = EvalParens(copy.substr(pos + 1, close - pos - 1), chara);
    } else {
      const std::string name = copy.substr(wordStart, pos - wordStart);
      if (name != g_EvalFunctions[0]) {
        ++pos;  // not a group and not a call: the brackets stay for the flat evaluation
        continue;
      }
      const std::vector<std::string> args = SplitArguments(copy, pos, close);
      std::vector<int32_t> values;
      for (const std::string& arg : args) values.push_back(EvalParens(arg, chara));
      if (values.size() != 2) {
        ErrorBoxf("関数 %s の引数が不正です！", name.c_str());
        g_bEvalError = 1;
        return 0;
      }
      value = RandRange(std::min(values[0], values[1]), std::max(values[0], values[1]));
    }
    copy.replace(wordStart, close - wordStart + 1, std::to_string(value));
    pos = wordStart;
  }
  return EvalFlat(copy, chara);
}

int32_t EvalFlat(const std::string& text, cCharaBase& chara) {
  cEvalBuffersLease buffers;
  std::vector<cToken>& tokens = (*buffers).tokens;
  tokens.clear();
  std::string word;
  int object = kObjMy;
  int wordsSincePrefix = 0;
  const size_t end = std::min(text.size(), text.find('\0'));
  for (size_t i = 0; i <= end; ++i) {
    const char c = i < end ? text[i] : '\0';
    if (c == ' ' || c == '\0') {
      if (word.empty()) continue;
      cToken token;
      switch (ReadWord(token, word, object, chara)) {
        case eWord::kFail: return 0;
        case eWord::kEndZero: return 0;
        case eWord::kToken: tokens.push_back(token); break;
      }
      ++wordsSincePrefix;
      word.clear();
      object = kObjMy;
    } else if (c == '.') {
      const int prefix = IndexIn(g_EvalObjects, word);
      if (prefix >= 0) {
        object = prefix;
      } else if (wordsSincePrefix == 0) {
        ErrorBoxf("オブジェクト \"%s.\" が認識できません！", word.c_str());
        g_bEvalError = 1;
        return 0;
      }
      word.clear();
      wordsSincePrefix = 0;
    } else {
      word += c;
    }
  }
  return Reduce(tokens, chara);
}
