#pragma once
// "user_data\Window.dat": where the window stood and how large its client area was at the last close.
#include <cstdint>

#include "core/record.h"

constexpr const char* kWindowDataPath = "user_data\\Window.dat";

class cWindowData : public cRecord {
 public:
  cWindowData();
  void DeclareFields(uint32_t version) override;

  // Keeps a restored window reachable: its top-left inside the usable desktop area, far enough from
  // the right and bottom edges that part of the title bar can still be grabbed.
  void ClampToWorkArea(int workLeft, int workTop, int workRight, int workBottom);
  // Whether the stored client size fits a desktop work area of that size (a window of at least
  // 640 x 480 always fits). A damaged file must not open a window of many thousand pixels.
  bool SizeFitsWorkArea(int workWidth, int workHeight) const;

  // The client size to restore in a window mode of "System.ini" (1 whole zooms of 640 x 480 up to
  // maxZoom, 2 any size), on a work area of that size. false when the stored size is not to be used
  // and the window takes its largest zoom instead: in mode 1 a size that is not a zoom the game
  // offers or does not fit the work area, in any other mode always. In mode 2 a damaged size (0,
  // negative, beyond the work area) is brought to 100 pixels at least and to the work area at most.
  bool ClientSizeFor(int windowMode, int workWidth, int workHeight, int maxZoom, int& width, int& height) const;

  int32_t m_nX = 0;
  int32_t m_nY = 0;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_bZoomed = 0;
};

// What must stay on the desktop of a restored window's top-left corner, in pixels.
constexpr int kWindowGrabWidth = 64;
constexpr int kWindowGrabHeight = 32;
// The smallest client side a freely sized window is restored with.
constexpr int kMinFreeClientSide = 100;
