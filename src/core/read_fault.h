// Why the game refused a data file, in words: the line written beside the game's own message (in
// the report log by the game, on standard error by the tools).
#pragma once

#include <string>

#include "core/record.h"

// "missing (No such file or directory)", "cut short: ...", "too new: ...", ...; "" for no fault.
std::string DescribeReadFault(const cReadFault& fault);

// Writes "path: why" to the report log, beside the message the caller shows for the refused file;
// nothing when the fault is none.
void ReportReadFault(const char* path, const cReadFault& fault);
