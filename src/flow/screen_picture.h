#pragma once
// A picture shown by the picture command: anchored to the screen, a map position or a character,
// scaled by a percentage, on a draw layer, for a limited time or until removed. The stage keeps
// them in its picture list with a parallel list of their surfaces and draws each in its layer.
#include <cstdint>

struct DDSURFACEDATA;

class cScreenPicture {
 public:
  // The eighteen values of the picture command (width and height are scaled by the percentage,
  // rounded half away from zero; only whether the percentage is 100 is kept).
  cScreenPicture(int picture, int anchor, int unit, int x, int y, int offsetX, int offsetY, int width, int height,
                 int screenFixed, int layer, int percentage, int displayMode, int displayTime, int countWhileHeld,
                 int charaId, int numbered, int number);
  // Draws the picture (hold: the stage draws outside its running play frame); 1 when it expired.
  int DrawScreenPicture(DDSURFACEDATA* target, DDSURFACEDATA* surface, int hold);
  // Anchors 1 and 2: the followed character's centre (the last one seen when it is gone), less half
  // the picture's size, plus the offsets.
  void GetScreenPictureAnchor(int& x, int& y);

  // The steps of DrawScreenPicture. The display time of mode 2 counts down: 1 when it has run out.
  int ExpireScreenPicture(int hold);
  // The picture's top-left corner on the screen by its anchor (anchorX, anchorY: the map point of
  // anchors 1 and 2), latched as set; false for an anchor or unit that has no position.
  bool PlaceScreenPicture(int anchorX, int anchorY, int& x, int& y);
  // Draws the whole picture at the corner, stretched when scaled, with its colour key.
  void BlitScreenPicture(DDSURFACEDATA* target, DDSURFACEDATA* surface, int x, int y) const;

  int16_t m_nPicture = 0;  // index into the picture list
  int32_t m_nAnchor = 0;   // 0 screen centre, 1-2 a character, 3-4 screen position, 5-6 map position
  int32_t m_nUnit = 0;     // 0 cells of 32, 1 dots
  int32_t m_nX = 0;
  int32_t m_nY = 0;
  int32_t m_nOffsetX = 0;
  int32_t m_nOffsetY = 0;
  int32_t m_nWidth = 0;  // scaled
  int32_t m_nHeight = 0;
  int32_t m_bScreenFixed = 0;
  int32_t m_nLayer = 0;        // draw layer
  int32_t m_bScaled = 0;       // percentage other than 100
  int32_t m_nDisplayMode = 0;  // 2 = shown for a limited time
  int32_t m_nDisplayTime = 0;  // frames left in mode 2
  int32_t m_bCountWhileHeld = 0;
  int32_t m_nCharaId = 0;   // the character followed by anchors 1 and 2
  int32_t m_bNumbered = 0;  // the picture command finds and replaces it by number
  int32_t m_nNumber = 0;
  int32_t m_bLatched = 0;  // the first draw stored the position
  int32_t m_nLatchX = 0;
  int32_t m_nLatchY = 0;
  double m_dAnchorX = 0.0;  // remembered anchor point of anchors 1 and 2
  double m_dAnchorY = 0.0;
};
