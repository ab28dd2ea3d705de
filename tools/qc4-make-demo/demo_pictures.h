#pragma once
// Every picture of the demo game, drawn by code over the demo palette: the palette bitmap, the
// block, character, shot, item and icon sheets (32 x 32 cells, transparent background), the title,
// menu, window, status, word, world-map and background pictures (the far clouds and the near hills
// of the stages, each over the transparent colour so that the sky colour shows through).
#include <string>
#include <vector>

#include "pixel_canvas.h"

struct cDemoPicture {
  std::string gamePath;  // "bmp\Block.bmp"
  cCanvas canvas;
};

// Cells of the sheets that the demo's data refers to.
enum : int {
  kBlockGround = 1,  // grass-topped earth
  kBlockEarth = 2,
  kBlockBrick = 3,
  kBlockStone = 4,
  kBlockSpikes = 5,
  kBlockSpring = 6,
  kCharaHero = 1,  // row of "bmp\Character1.bmp"
  kCharaSlime = 2,
  kCharaLift = 3,
  kCharaBeetle = 4,
  kCharaTurret = 5,
  kItemStar = 1,  // goal
  kItemCoin = 2,
  kItemHeart = 3,
  kItemGem = 4,
  kMapChipGrass = 0,
  kMapChipPath = 1,
  kMapChipWater = 2,
  kMapChipTree = 3,
  kMapChipFlowers = 4,
};

// The hit spark: kSparkFrames cells of kSparkCell dots in a row, from a flash to its last sparks.
constexpr const char* kSparkPicture = "bmp\\effect\\Spark.bmp";
constexpr int kSparkCell = 32;
constexpr int kSparkFrames = 4;

std::vector<cDemoPicture> MakeDemoPictures();
