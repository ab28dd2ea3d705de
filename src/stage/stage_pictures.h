#pragma once
// The stage's picture surfaces: the rows of the game's surface table that a stage draws from
// (loaded when the stage scene enters), the background pictures entered into their rows, the shot
// cell sheets built from the shot sheet, and the database's dedicated character bitmaps, swords and
// effects, each kept as a collection of surfaces with their descriptors.
#include <vector>

#include "data/stage_data.h"
#include "media/graphics/surface_data.h"

// Surfaces with a descriptor each, same index. The surfaces are released with the collection.
class cSurfaceCollection {
 public:
  cSurfaceCollection() = default;
  ~cSurfaceCollection() { Release(); }
  cSurfaceCollection(const cSurfaceCollection&) = delete;
  cSurfaceCollection& operator=(const cSurfaceCollection&) = delete;

  // Releases every surface and empties both vectors.
  void Release();

  std::vector<DDSURFACEDATA> m_aSurfaces;
  std::vector<DDSURFACEINFO> m_aInfos;
};

// The rows of the surface table a stage loads when the scene enters after another scene (every row
// it draws from, the blank work rows included), and the background rows alone, which are all that
// changes when the stage scene follows itself.
const std::vector<int>& StageSurfaceRows();
const std::vector<int>& BackLayerSurfaceRows();

// Enters the pictures of the first eight layers into the background rows' descriptors (a colour
// layer, a layer without a picture and a missing layer leave their row without one); in DirectDraw
// mode a picture larger than the screen is kept in system memory. Before the rows are loaded.
void SetBackLayerPictures(const std::vector<cBackLayer>& layers);

// Builds the two 256 x 960 shot cell sheets (rows 64 and 65, plain and mirrored) from the shot
// sheet (rows 20 and 21): shot graphic g = 30 d + c has its two 16 x 16 frames at (32 d, 16 c) and
// (32 d + 16, 16 c) there, and in the middle of the 32 x 32 cells at (64 d, 32 c) and (64 d + 32,
// 32 c) of the sheets, which hold nothing else.
void BuildShotCellSheets();

// The database's picture collections, loaded afresh: dedicated character bitmap k (1 .. n - 1) as
// four surfaces from 4 (k - 1) (plain, mirrored by its cell width, and both again in system memory);
// sword k (0 .. n - 1) as four from 4 k (its two pictures, and both again in system memory); effect
// k (1 .. n - 1) as two from 2 (k - 1) (plain, and again in system memory). In Direct3D mode the
// later surfaces of an entry draw from the texture of its first ones. A picture that cannot be made
// is noted in the developer log and left empty.
void LoadCharaExcBitmaps(cSurfaceCollection& collection);
void LoadSwordBitmaps(cSurfaceCollection& collection);
void LoadEffectBitmaps(cSurfaceCollection& collection);
