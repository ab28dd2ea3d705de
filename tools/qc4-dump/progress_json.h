// The JSON of a progress record (cSaveData): the record's fields, its save time and its lists. Story
// slots, the challenge file and replay files hold one.
#pragma once

#include "data/save_data.h"
#include "json_writer.h"

// Writes "key": {...} for the progress.
void WriteProgress(cJsonWriter& out, const char* key, const cSaveData& save);
