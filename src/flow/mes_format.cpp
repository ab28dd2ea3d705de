// The "#" codes of message texts: variable values (#C common, #S stage, #V the running character's,
// #F the running flow's, with width, plus sign and zero padding) and choice tags (#R), and the size
// of a text as the message font draws it.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/strings.h"
#include "data/save_data.h"
#include "flow/mes_window.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "objects/chara_base.h"
#include "objects/stage_state.h"

namespace {

// Every character, single or double byte, takes one cell of 16 dots of the choice positions.
constexpr int kCell = 16;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// The letter in either case.
bool IsLetter(char c, char upper) { return c == upper || c == upper + ('a' - 'A'); }

// Reads the decimal digits at pos; the number of digits read. The value stops growing far beyond
// any value the codes keep, so a long run of digits cannot overflow.
int ReadDigits(const std::string& text, size_t& pos, int64_t& value) {
  value = 0;
  int count = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++count) {
    if (value < 100000000000LL) value = value * 10 + (text[pos] - '0');
  }
  return count;
}

// A code ends at "." (which belongs to it) or at the first other character (which stays).
void EndCode(const std::string& text, size_t& pos) {
  if (pos < text.size() && text[pos] == '.') ++pos;
}

// The value with at least minWidth digits: leading zeros become spaces unless zero padding is asked
// for, and the sign stands before the padding.
std::string FormatCodeValue(int32_t value, int minWidth, bool plus, bool zeros) {
  int64_t magnitude = value < 0 ? -int64_t{value} : int64_t{value};
  int digits = 1;
  for (int64_t m = magnitude; m >= 10; m /= 10) ++digits;
  const int width = std::max(digits, minWidth);
  std::string out;
  for (int i = 0; i < width; ++i, magnitude /= 10) out.insert(out.begin(), static_cast<char>('0' + magnitude % 10));
  if (!zeros) {
    for (size_t i = 0; i + 1 < out.size() && out[i] == '0'; ++i) out[i] = ' ';
  }
  if (value < 0) return "-" + out;
  return plus ? "+" + out : out;
}

// The variables a code may name.
const std::vector<int32_t>* StageVars() { return g_lpSceneStage ? &g_lpSceneStage->m_anStageVars : nullptr; }
const std::vector<int32_t>* ObjectVars() {
  if (!g_lpSceneStage || !g_lpSceneStage->m_lpCurObject) return nullptr;
  return &g_lpSceneStage->m_lpCurObject->m_anVars;
}
const int32_t* FlowVars() { return g_lpSceneStage ? g_lpSceneStage->m_lpFlowVars : nullptr; }

// n names an entry of the list (0 and the end excluded); its value.
bool ListValue(const std::vector<int32_t>* list, int64_t n, int32_t& value) {
  if (!list || n < 1 || n >= static_cast<int64_t>(list->size())) return false;
  value = (*list)[static_cast<size_t>(n)];
  return true;
}

// A variable code at pos ("#" and at least a letter and a digit): its text in out and pos past it;
// false when the code is not one (the "#" is then an ordinary character).
bool ExpandVariableCode(const std::string& text, size_t& pos, int refreshing, std::string& out) {
  size_t p = pos + 1;
  bool common = false, stage = false, object = false, flow = false;
  for (; p < text.size(); ++p) {
    const char c = text[p];
    if (IsLetter(c, 'C')) {
      common = true;
    } else if (IsLetter(c, 'S')) {
      stage = true;
    } else if (IsLetter(c, 'V')) {
      object = true;
    } else if (IsLetter(c, 'F')) {
      flow = true;
    } else {
      break;
    }
  }
  if (!common && !stage && !object && !flow) return false;
  int64_t n = 0;
  if (ReadDigits(text, p, n) == 0) return false;
  int width = 0;
  bool plus = false, zeros = false;
  if (p < text.size() && text[p] == '_') {
    for (++p; p < text.size(); ++p) {
      const char c = text[p];
      if (IsDigit(c)) {
        width = c - '0';
      } else if (IsLetter(c, 'P')) {
        plus = true;
      } else if (IsLetter(c, 'Z')) {
        zeros = true;
      } else {
        break;
      }
    }
  }
  EndCode(text, p);

  int32_t value = 0;
  if (common) {
    if (!ListValue(&g_SaveData.m_anCommonVars, n, value)) return false;
  } else if (stage) {
    if (!ListValue(StageVars(), n, value)) return false;
  } else if (object) {
    // A refresh runs outside the flows: there is no running character to read.
    if (refreshing) {
      if (n < 1) return false;
      out = "?";
      pos = p;
      return true;
    }
    if (!ListValue(ObjectVars(), n, value)) return false;
  } else {
    if (n < 1 || n > 2) return false;
    if (refreshing) {
      out = "?";
      pos = p;
      return true;
    }
    const int32_t* vars = FlowVars();
    if (!vars) return false;
    value = vars[n - 1];
  }
  out = FormatCodeValue(value, width, plus, zeros);
  pos = p;
  return true;
}

// A choice tag at pos ("#R" and the value's digits): its record and pos past it; false when it is
// not one.
bool ReadChoiceTag(const std::string& text, size_t& pos, cChoiceEntry& entry) {
  size_t p = pos + 2;
  int64_t value = 0;
  if (ReadDigits(text, p, value) == 0) return false;
  entry.nValue = static_cast<int32_t>(std::clamp<int64_t>(value, -999999, 999999));
  entry.nAction = 0;
  int64_t index = 0;
  if (p < text.size() && text[p] == '_') {
    ++p;
    if (p < text.size()) {
      const char c = text[p];
      if (IsLetter(c, 'D')) {
        entry.nAction = 1;
      } else if (IsLetter(c, 'C')) {
        entry.nAction = 2;
      } else if (IsLetter(c, 'S')) {
        entry.nAction = 3;
      } else if (IsLetter(c, 'V')) {
        entry.nAction = 4;
      } else if (IsLetter(c, 'F')) {
        entry.nAction = 5;
      }
      if (entry.nAction != 0) ++p;
    }
    ReadDigits(text, p, index);
  }
  EndCode(text, p);
  switch (entry.nAction) {
    case 2:
    case 3: entry.nIndex = static_cast<int32_t>(std::clamp<int64_t>(index, 1, 1000)); break;
    case 4: {
      const std::vector<int32_t>* vars = ObjectVars();
      const int64_t highest = vars ? static_cast<int64_t>(vars->size()) - 1 : 0;
      entry.nIndex = static_cast<int32_t>(std::max<int64_t>(std::min(index, highest), 1));
      break;
    }
    case 5: entry.nIndex = static_cast<int32_t>(std::clamp<int64_t>(index, 1, 2)); break;
    default: entry.nIndex = 0; break;
  }
  pos = p;
  return true;
}

}  // namespace

void FormatMesText(std::string& text, int expandCodes, int allowChoices, std::vector<cChoiceEntry>* choices,
                   int refreshing) {
  std::string out;
  out.reserve(text.size());
  int x = 0, y = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '\n') {
      out += c;
      ++pos;
      x = 0;
      y += kCell;
      continue;
    }
    if (c == '#' && pos + 1 < text.size()) {
      if (allowChoices && IsLetter(text[pos + 1], 'R')) {
        cChoiceEntry entry;
        entry.nX = x;
        entry.nY = y;
        if (ReadChoiceTag(text, pos, entry)) {
          if (choices) choices->push_back(entry);
          out += ' ';
          x += kCell;
          continue;
        }
      } else if (expandCodes) {
        std::string value;
        if (ExpandVariableCode(text, pos, refreshing, value)) {
          out += value;
          x += kCell * static_cast<int>(value.size());
          continue;
        }
      }
    }
    const size_t length = IsSjisDoubleByte(text.c_str() + pos) ? 2 : 1;
    out.append(text, pos, length);
    pos += length;
    x += kCell;
  }
  text.swap(out);
}

void MeasureText(const std::string& text, int& width, int& height) {
  int w = 0, h = 0;
  if (lpDTCon) {
    GetTextBlockSize(&g_Font[1], &w, &h, text.c_str());
  } else {
    MeasureText(text.c_str(), &w, &h);
  }
  width = w + 2;
  height = h + 2;
}
