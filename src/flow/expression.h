#pragma once
// The expression language of the "コードの実行" command: integer arithmetic over constants, common
// and stage variables, the two flow variables, fields of characters and of the play, with typed and
// clamped assignments. Words are separated by single spaces; groups and calls of "rand" are
// replaced by their values first, then the flat words are reduced in three passes by precedence.
#include <cstdint>
#include <string>
#include <vector>

class cCharaBase;

// Token kinds.
enum : int32_t {
  kTokenNumber = 0,
  kTokenVariable = 1,  // common or stage variable
  kTokenFlowVar = 2,
  kTokenCharaField = 3,
  kTokenPlayField = 4,
  kTokenOperator = 5,
};

// One word of a flat text.
struct cToken {
  int32_t nKind = kTokenNumber;
  int32_t nValue = 0;        // the constant, or the value of what the word named when it was read
  void* lpTarget = nullptr;  // where an assignment writes (none for numbers and results)
  int32_t nWidth = 4;        // width of the target: 1, 2 or 4 bytes
  int32_t nMin = 0;          // an assignment is clamped to [nMin, nMax]
  int32_t nMax = 0;
  int32_t nField = 0;              // field index (kinds 3, 4), operator index (kind 5)
  cCharaBase* lpObject = nullptr;  // the character a field belongs to (kind 3)
};

// The name tables, compared case-sensitively.
extern const char* const g_EvalFunctions[1];     // "rand"
extern const char* const g_EvalOperators[6];     // "=", "+", "-", "*", "/", "%"
extern const char* const g_EvalObjects[8];       // "my", "tg", "tg1"-"tg4", "pl", "sys"
extern const char* const g_EvalVarPrefixes[2];   // "C", "S"
extern const char* const g_EvalFlowVars[4];      // "fA", "fB", "rA", "rB"
extern const char* const g_EvalCharaFields[28];  // "v1" ... "getsc"
extern const char* const g_EvalPlayFields[5];    // "time", "scrlx", "scrly", "score", "life"
// Precedence class of each operator: lower classes are applied first.
extern const int32_t g_EvalOperatorClasses[6];

// Set when an evaluation failed; EvalCode clears it before it starts.
extern int g_bEvalError;

// Evaluates a code text for a character: 1 on success, 0 on failure (assignments made before the
// failure stay made); a changed "hp" or "sp" shows its gauge change.
int EvalCode(const std::string& code, cCharaBase& chara);
// Groups and "rand" calls replaced by their values, then EvalFlat.
int32_t EvalParens(const std::string& text, cCharaBase& chara);
// Tokenises a flat text and reduces it in three precedence passes.
int32_t EvalFlat(const std::string& text, cCharaBase& chara);
