// JSON printers of the flow, condition and type records that palettes and stages are made of.
#pragma once

#include <string>
#include <vector>

#include "data/block_type.h"
#include "data/chara_type.h"
#include "data/item_type.h"
#include "json_writer.h"

void WriteBlockTypes(cJsonWriter& out, const char* key, const std::vector<cBlockType>& list);
void WriteCharaTypes(cJsonWriter& out, const char* key, const std::vector<cCharaType>& list);
void WriteItemTypes(cJsonWriter& out, const char* key, const std::vector<cItemType>& list);
void WriteCharaTypeMembers(cJsonWriter& out, const cCharaType& type);

// Loads what a palette or stage's references are checked against, from the game's data folder
// (the folder holding "database"): the database files, the project settings and, when asked, the
// common palette. Missing files leave the defaults, as a new project has them.
void LoadProjectContext(const std::string& dataFolder, bool withCommonPalette);
// The folder a file lies in ("" for a bare name), with its separator.
std::string FolderOf(const std::string& path);
