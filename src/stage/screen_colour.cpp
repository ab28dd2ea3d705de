#include "stage/screen_colour.h"

#include <algorithm>

#include "core/containers.h"
#include "core/numbers.h"
#include "data/flow_cmd.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/fade.h"
#include "media/graphics/palette.h"
#include "media/graphics/pixel_effects.h"
#include "media/graphics/surface_table.h"
#include "objects/stage_hooks.h"
#include "stage/scene_stage.h"

namespace {

// The blank screen-sized surface the colour is filled into while the virtual back buffer is on.
constexpr int kSlotScreenColour = 68;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
// A command's time counts in units of this many frames.
constexpr int kFramesPerTimeUnit = 6;

// Parameters of the command, by index.
enum : int32_t {
  kParamRed = 0,
  kParamGreen = 1,
  kParamBlue = 2,
  kParamStrength = 3,
  kParamMode = 4,
  kParamTime = 5,
  kParamFlash = 6,
  kParamRepeats = 7,
};

uint8_t LowByte(int32_t value) { return static_cast<uint8_t>(value & 0xFF); }

// A worked-out transparency truncated toward zero. A strength beyond 0..100 (only a damaged file
// gives one) acts as the nearest end, so what is drawn stays a transparency.
int32_t TruncTransparency(double value) {
  return TruncToInt(std::clamp(value, 0.0, static_cast<double>(kScreenColourInvisible)));
}

// Direct3D: the colour at transparency t over the finished picture. While the virtual back buffer
// is on the picture is a texture that is blended with a plain surface of the colour; otherwise the
// picture is tinted in place.
void PaintDirect3D(int32_t t, uint8_t red, uint8_t green, uint8_t blue) {
  if (lpDTCon->bVirtualBackBuffer) {
    DDSURFACEDATA* plain = &g_SurfaceData[kSlotScreenColour];
    DDFillSurfaceRGB(plain, 0xFF000000u | uint32_t{red} << 16 | uint32_t{green} << 8 | blue);
    DDBltTrans(&g_BackBufferSD, 0, 0, kScreenWidth, kScreenHeight, plain, 0, 0, 0, g_BlendTable, t);
  } else {
    DDChangeColor(&g_BackBufferSD, 0, 0, kScreenWidth, kScreenHeight, t, red, green, blue);
  }
}

// 8 bits: the game palette blended with the colour (s 255 leaves it almost as it is) is shown.
void PaintPalette(int32_t s, uint8_t red, uint8_t green, uint8_t blue) {
  DDPalBlend(g_WorkPalette, 0, 255, s, red, green, blue, g_GamePalette);
  if (g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, g_WorkPalette);
}

void HookChangeScreenColour(const cFlowCmd& cmd) {
  if (cSceneStage* scene = SceneStage()) scene->m_ScreenColour.Change(cmd.m_anParams);
}

}  // namespace

void cScreenColour::Change(const std::vector<int32_t>& params) {
  const int32_t mode = VecAt(params, kParamMode);
  // A return needs something to return from: a colour still drawn (Direct3D), or a tint left in the
  // palette (8 bits). Deeper DirectDraw screens show nothing either way.
  if (mode != 0) {
    if (lpDTCon ? !m_bActive : g_nDisplayBpp == 8 && !m_bTinted) return;
  }
  m_byPrevRed = m_byRed;
  m_byPrevGreen = m_byGreen;
  m_byPrevBlue = m_byBlue;
  m_nPrevStrength = m_nStrength;
  m_nPrevTransparency = m_nTransparency;

  m_byRed = LowByte(VecAt(params, kParamRed));
  m_byGreen = LowByte(VecAt(params, kParamGreen));
  m_byBlue = LowByte(VecAt(params, kParamBlue));
  m_nStrength = VecAt(params, kParamStrength);
  m_nMode = mode;
  // The time comes from the stage file: its frames are held to the int32 range.
  const int64_t frames = int64_t{VecAt(params, kParamTime)} * kFramesPerTimeUnit;
  m_nDuration = static_cast<int32_t>(std::clamp<int64_t>(frames, INT32_MIN, INT32_MAX));
  m_bFlash = VecAt(params, kParamFlash);
  m_nRepeatCount = VecAt(params, kParamRepeats);
  m_bActive = 1;
  m_nCounter = 0;
  m_nRepeatsDone = 0;

  if (mode == 0) {
    m_nTransparency = 0;
    m_bTinted = 1;
  } else {
    // The return fades out the colour shown now, from where it stands.
    m_byRed = m_byPrevRed;
    m_byGreen = m_byPrevGreen;
    m_byBlue = m_byPrevBlue;
    m_nStrength = m_nPrevStrength;
    m_nTransparency = m_nPrevTransparency;
  }
}

int32_t cScreenColour::TintTransparency() const {
  const double level = m_nDuration == 0 ? m_nStrength * 2.55 : m_nStrength * 2.55 * m_nCounter / m_nDuration;
  return TruncTransparency(kScreenColourInvisible - level);
}

int32_t cScreenColour::ReturnTransparency() const {
  if (m_nDuration == 0) return kScreenColourInvisible;
  return TruncTransparency(m_nPrevTransparency + (static_cast<double>(kScreenColourInvisible) - m_nPrevTransparency) *
                                                     m_nCounter / m_nDuration);
}

bool cScreenColour::AdvanceRamp() {
  if (m_nCounter >= m_nDuration) return false;
  ++m_nCounter;
  return true;
}

void cScreenColour::Draw(int frozen) {
  if (!m_bActive) return;
  if (lpDTCon) {
    DrawDirect3D(frozen);
    return;
  }
  if (frozen) return;
  // Only a palette screen can show the colour.
  if (g_nDisplayBpp != 8) {
    m_bActive = 0;
    return;
  }
  DrawPalette();
}

void cScreenColour::DrawDirect3D(int frozen) {
  if (m_bFlash) {
    // Each flash ramps the colour in over the duration, then shows one frame without it.
    m_nTransparency = TintTransparency();
    if (m_nCounter < m_nDuration) {
      PaintDirect3D(m_nTransparency, m_byRed, m_byGreen, m_byBlue);
      if (!frozen) ++m_nCounter;
      return;
    }
    PaintDirect3D(kScreenColourInvisible, m_byRed, m_byGreen, m_byBlue);
    if (frozen) return;
    m_nCounter = 0;
    ++m_nRepeatsDone;
    if (m_nRepeatsDone >= m_nRepeatCount) m_bActive = 0;
    return;
  }
  if (m_nMode != 0) {
    m_nTransparency = ReturnTransparency();
    PaintDirect3D(m_nTransparency, m_byPrevRed, m_byPrevGreen, m_byPrevBlue);
    if (!frozen && !AdvanceRamp()) m_bActive = 0;
    return;
  }
  // A tint stays at its full strength until the next command; one of strength 0 ends.
  m_nTransparency = TintTransparency();
  PaintDirect3D(m_nTransparency, m_byRed, m_byGreen, m_byBlue);
  if (!frozen && !AdvanceRamp() && m_nStrength == 0) m_bActive = 0;
}

void cScreenColour::DrawPalette() {
  if (m_bFlash) {
    m_nTransparency = TintTransparency();
    PaintPalette(m_nTransparency, m_byRed, m_byGreen, m_byBlue);
    if (AdvanceRamp()) return;
    // The flash's end shows the untinted game palette.
    DDPalBlend(g_WorkPalette, 0, 255, kScreenColourInvisible, m_byRed, m_byGreen, m_byBlue, g_GamePalette);
    if (g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, g_GamePalette);
    m_nCounter = 0;
    ++m_nRepeatsDone;
    if (m_nRepeatsDone >= m_nRepeatCount) m_bActive = 0;
    return;
  }
  if (m_nMode != 0) {
    m_nTransparency = ReturnTransparency();
    PaintPalette(m_nTransparency, m_byPrevRed, m_byPrevGreen, m_byPrevBlue);
  } else {
    // The palette keeps the tint after the ramp; the tinted flag remembers it for a return.
    m_nTransparency = TintTransparency();
    PaintPalette(m_nTransparency, m_byRed, m_byGreen, m_byBlue);
  }
  if (!AdvanceRamp()) m_bActive = 0;
}

void InstallScreenColour() {
  cStageHooks hooks = SetStageHooks(cStageHooks());
  hooks.changeScreenColour = HookChangeScreenColour;
  SetStageHooks(hooks);
}
