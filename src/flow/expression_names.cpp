// The fixed name tables of the expression language.
#include "flow/expression.h"

const char* const g_EvalFunctions[1] = {"rand"};
const char* const g_EvalOperators[6] = {"=", "+", "-", "*", "/", "%"};
const char* const g_EvalObjects[8] = {"my", "tg", "tg1", "tg2", "tg3", "tg4", "pl", "sys"};
const char* const g_EvalVarPrefixes[2] = {"C", "S"};
const char* const g_EvalFlowVars[4] = {"fA", "fB", "rA", "rB"};
const char* const g_EvalCharaFields[28] = {
    "v1",    "v2",    "v3",    "v4",    "v5",    "v6", "v7",   "v8",    "hp",    "sp",  "mhp", "msp",  "cid",  "x_rel",
    "x_abs", "x_scr", "y_rel", "y_abs", "y_scr", "z",  "mark", "sight", "power", "imp", "def", "impd", "stop", "getsc"};
const char* const g_EvalPlayFields[5] = {"time", "scrlx", "scrly", "score", "life"};
const int32_t g_EvalOperatorClasses[6] = {2, 1, 1, 0, 0, 0};

int g_bEvalError = 0;
