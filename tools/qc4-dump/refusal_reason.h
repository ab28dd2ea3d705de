// Why the game refused a file, in words, for the line printed beside the game's own message.
#pragma once

#include <string>

#include "core/record.h"

// "missing (No such file or directory)", "cut short: ...", "too new: ...", ...; "" for no fault.
std::string DescribeReadFault(const cReadFault& fault);
