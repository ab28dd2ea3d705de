// The quad personality of the software graphics device: textures, render targets, a back buffer,
// vertex and index buffers, screen-space triangles with one texture stage and alpha blending.
//
// Rasterisation follows the usual rules of screen-space hardware:
// - pixel centres lie at integer coordinates; a pixel is covered when its centre is inside the
//   triangle; a centre exactly on an edge is covered only for a top edge (horizontal, above the
//   interior) or a left edge (top-left fill rule), so two triangles sharing an edge and quads
//   sharing a side never draw a pixel twice. Positions are snapped to 1/256 pixel first.
// - so a quad from (x - 0.5, y - 0.5) to (x + w - 0.5, y + h - 0.5) covers exactly the pixels
//   x .. x + w - 1, y .. y + h - 1;
// - texture coordinates are interpolated at the pixel centre; point sampling takes texel
//   floor(u * textureWidth) (snapped to 1/256 texel), with wrap (default), mirror or clamp
//   addressing. A quad whose u runs from sx/tw to (sx+sw)/tw over w pixels thus reads texel
//   sx + floor((j + 0.5) * sw / w) in column j, and a negative sw (mirrored) reads sx - 1 - j at 1:1.
// - stage 0 combines TEXTURE, DIFFUSE (the vertex colour, interpolated) and TFACTOR with the colour
//   and alpha operations of gfx_types.h (MODULATE rounds: (a * b + 127) / 255);
// - alpha blending SRCALPHA / INVSRCALPHA: out = (s * a + d * (255 - a) + 127) / 255 for each of
//   red, green, blue and alpha (the destination read widened to 8 bits, the result narrowed into
//   the target's format by truncation, pixel_format.h). Blending off: the stage output is written.
// - Culling as set by kRsCullMode (default counter-clockwise dropped; the game sets none).
// Axis-aligned quads (the common case: blits, fills) take fast paths that give exactly the same
// pixels as the general triangle path.
//
// Device loss never happens by itself. A test provokes it with `SimulateDeviceLoss`: Present then
// answers kErrDeviceLost, the default-pool textures and the back buffer lose their contents (zeroed),
// drawing does nothing, TestCooperativeLevel answers kErrDeviceLost for a given number of calls and
// then kErrDeviceNotReset; Reset succeeds only then, and only when every default-pool resource
// (textures, render-target surfaces, and references taken with GetBackBuffer) has been released.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/gfx_types.h"
#include "platform/gfx/surface.h"

namespace gfx {

class Device;

// What the device can do. The defaults describe a capable device; tests change them through
// `Direct3D::SetSimulatedCaps` to exercise the power-of-two and size-limit paths.
struct DeviceCaps {
  bool pow2Textures = false;        // texture sizes must be powers of two
  bool squareOnlyTextures = false;  // texture width must equal height
  bool dynamicTextures = true;      // kUsageDynamic accepted
  bool alphaFullscreenFlipOrDiscard = true;
  int maxTextureWidth = 4096;
  int maxTextureHeight = 4096;
};

// Answers of a desktop asked to change its mode.
inline constexpr int kDispChangeSuccessful = 0;
inline constexpr int kDispChangeBadMode = -2;

struct DisplayMode {
  int width = 640;
  int height = 480;
  int refreshRate = 60;
  Format format = Format::X8R8G8B8;
};

// How the back buffer is presented.
struct PresentParams {
  int backBufferWidth = 0;  // 0 in a window: the client size (640 x 480 here)
  int backBufferHeight = 0;
  Format backBufferFormat = Format::X8R8G8B8;  // X8R8G8B8, R5G6B5 or A1R5G5B5
  int backBufferCount = 1;
  bool windowed = true;
  bool lockableBackBuffer = true;  // the back buffer may be locked (always possible here)
  bool discardSwap = true;         // discard (true) or copy swap effect; both keep the buffer here
  int fullScreenRefreshRate = 0;   // 0 in a window, 60 in full screen
  bool vsync = false;              // presentation interval default (true) or immediate (false)
};

struct SurfaceLevelDesc : SurfaceDesc {};

// A buffer of bytes made by the device: vertices (VertexBuffer) or 16-bit indices (IndexBuffer).
class DeviceBuffer : public RefCounted {
 public:
  // Locks `size` bytes from `offset`. Out-of-range, or a second lock, is kErrInvalidCall.
  Result Lock(int offset, int size, void** data, uint32_t flags = 0);
  Result Unlock();
  int Length() const { return static_cast<int>(m_bytes.size()); }
  const uint8_t* Data() const { return m_bytes.data(); }

 protected:
  DeviceBuffer() = default;
  ~DeviceBuffer() override;

 private:
  friend class Device;
  std::vector<uint8_t> m_bytes;
  Device* m_device = nullptr;
  Pool m_pool = Pool::Managed;
  bool m_locked = false;
};

// Vertex buffer: vertices of 28 bytes, see gfx::Vertex.
class VertexBuffer : public DeviceBuffer {
 private:
  friend class Device;
  VertexBuffer() = default;
  ~VertexBuffer() override = default;
};

// Index buffer of 16-bit indices.
class IndexBuffer : public DeviceBuffer {
 private:
  friend class Device;
  IndexBuffer() = default;
  ~IndexBuffer() override = default;
};

// A texture with one level (the game never asks for more; levels > 1 are refused).
class Texture : public RefCounted {
 public:
  // Level 0 as a surface (AddRef'd: release it when done; it counts on the texture).
  Result GetSurfaceLevel(int level, Surface** out);
  Result GetLevelDesc(int level, SurfaceLevelDesc* out) const;
  Result LockRect(int level, LockedRect* out, const Rect* rect = nullptr, uint32_t flags = 0);
  Result UnlockRect(int level);
  int Width() const;
  int Height() const;
  Format GetFormat() const;
  Pool GetPool() const;
  Surface* Level0() { return m_level; }  // not AddRef'd

 protected:
  ~Texture() override;

 private:
  friend class Device;
  Texture() = default;
  Surface* m_level = nullptr;
  Device* m_device = nullptr;
};

// The adapter object: caps, display mode, device creation.
class Direct3D : public RefCounted {
 public:
  // Never fails in normal running; a test can make it fail with `SetCreateFailure`.
  static Direct3D* Create();
  Result GetDeviceCaps(DeviceCaps* out) const;
  Result GetAdapterDisplayMode(DisplayMode* out) const;
  // Creates the device. Back-buffer formats other than X8R8G8B8, R5G6B5 and A1R5G5B5 are refused
  // (kErrInvalidCall); a window with size 0 x 0 gets 640 x 480. `hardwareVertexProcessing` is
  // accepted either way (a test can refuse hardware with `SetHardwareVertexProcessingFailure`).
  Result CreateDevice(bool hardwareVertexProcessing, PresentParams* params, Device** out);
  // Asks the desktop to run at `hz` (only the rate changes). With `testOnly` the desktop only answers
  // whether it would. The answer is kDispChangeSuccessful or a negative code; a desktop whose rate
  // is fixed (`SetSimulatedRefreshRateFixed`) refuses every rate but its own with kDispChangeBadMode.
  static int ChangeDisplayFrequency(int hz, bool testOnly);

  // ---- test knobs (process-wide, read at the next Create / CreateDevice) -----------------------
  static void SetSimulatedCaps(const DeviceCaps& caps);
  static void ResetSimulatedCaps();
  static void SetSimulatedDisplayMode(const DisplayMode& mode);
  static void SetCreateFailure(bool fail);
  static void SetHardwareVertexProcessingFailure(bool fail);
  static void SetCreateDeviceFailure(bool fail);
  static void SetSimulatedRefreshRateFixed(bool fixed);

 protected:
  ~Direct3D() override = default;

 private:
  Direct3D() = default;
};

class Device : public RefCounted {
 public:
  // ---- resources -----------------------------------------------------------------------------
  // One level only (levels 0 or 1). `usage`: kUsageRenderTarget (Pool::Default only),
  // kUsageDynamic. Formats: A8R8G8B8, X8R8G8B8, A1R5G5B5, R5G6B5. Sizes are checked against the
  // caps (pow2 / square / maximum): a violation is kErrInvalidCall. Contents start zeroed
  // (transparent black). A test video-memory budget makes Default-pool requests past it fail
  // with kErrOutOfVideoMemory.
  Result CreateTexture(int width, int height, int levels, uint32_t usage, Format format, Pool pool, Texture** out);
  Result CreateOffscreenPlainSurface(int width, int height, Format format, Pool pool, Surface** out);
  Result CreateVertexBuffer(int length, uint32_t usage, uint32_t fvf, Pool pool, VertexBuffer** out);
  Result CreateIndexBuffer(int length, uint32_t usage, Format format, Pool pool, IndexBuffer** out);

  // The back buffer (index 0 only), AddRef'd.
  Result GetBackBuffer(int swapChain, int index, Surface** out);
  // Copies a render target into a system-memory surface of the same size and format.
  Result GetRenderTargetData(Surface* renderTarget, Surface* systemSurface);
  // Copies a system-memory surface (srcRect null = whole) into a default-pool surface at dstPoint
  // (null = 0,0). Same format required; the rectangle must fit.
  Result UpdateSurface(Surface* src, const Rect* srcRect, Surface* dst, const int* dstPoint = nullptr);

  // ---- state -------------------------------------------------------------------------------------
  // Render target 0: a render-target surface (texture level with kUsageRenderTarget, or the back
  // buffer). Others are refused with kErrInvalidCall. Not AddRef'd by the device beyond the call.
  Result SetRenderTarget(int index, Surface* target);
  Result GetRenderTarget(int index, Surface** out);  // AddRef'd
  Result SetRenderState(RenderState state, uint32_t value);
  uint32_t GetRenderState(RenderState state) const;
  Result SetTextureStageState(int stage, TextureStageState type, uint32_t value);
  uint32_t GetTextureStageState(int stage, TextureStageState type) const;
  Result SetSamplerState(int sampler, SamplerState type, uint32_t value);
  // Texture of stage 0 (stage 1.. accepted and ignored). Null = none (TEXTURE reads opaque white).
  Result SetTexture(int stage, Texture* texture);
  Result SetStreamSource(int stream, VertexBuffer* buffer, int offsetBytes, int stride);
  Result SetIndices(IndexBuffer* indices);
  Result SetFVF(uint32_t fvf);  // only kFvfXyzrhwDiffuseTex1 is drawable

  // ---- drawing -----------------------------------------------------------------------------------
  Result BeginScene();  // kErrInvalidCall when already in a scene
  Result EndScene();    // kErrInvalidCall when not in a scene
  // Fills `count` rectangles (null = the whole target) of render target 0 with `colour`, clipped
  // to the target. Only kClearTarget is meaningful. Works inside or outside a scene.
  Result Clear(int count, const Rect* rects, uint32_t flags, Colour colour, float z, uint32_t stencil);
  // Draws `primitiveCount` triangles from stream 0 starting at vertex `startVertex`.
  Result DrawPrimitive(PrimitiveType type, int startVertex, int primitiveCount);
  // Indexed: index i of the buffer names vertex baseVertex + index. Indices outside
  // [minIndex, minIndex + numVertices) or outside the vertex buffer are refused (kErrInvalidCall).
  Result DrawIndexedPrimitive(PrimitiveType type, int baseVertex, int minIndex, int numVertices, int startIndex,
                              int primitiveCount);
  // Draws from caller memory (no stream source needed).
  Result DrawPrimitiveUP(PrimitiveType type, int primitiveCount, const void* vertices, int stride);

  // ---- presentation and loss -------------------------------------------------------------------
  // Shows the back buffer (converted to RGB, posted to the frame mailbox). kErrDeviceLost while lost;
  // kErrInvalidCall inside a scene (end the scene first). Drawing calls outside a scene are refused
  // with kErrInvalidCall; while the device is lost they succeed and draw nothing. A texture bound
  // while it is also the render target is read from a copy taken before the draw.
  Result Present();
  Result TestCooperativeLevel();
  // Resets a lost device with new parameters: recreates the back buffer (cleared to 0), sets every
  // state back to its default, unbinds textures, streams and targets (the back buffer becomes
  // render target 0).
  Result Reset(PresentParams* params);
  Result SetDialogBoxMode(bool on);  // accepted, nothing to do
  const PresentParams& Params() const { return m_params; }
  const DeviceCaps& Caps() const { return m_caps; }

  // ---- test knobs --------------------------------------------------------------------------------
  // Marks the device lost now (see the file comment). TestCooperativeLevel answers kErrDeviceLost
  // `lostCallsBeforeResettable` times, then kErrDeviceNotReset.
  void SimulateDeviceLoss(int lostCallsBeforeResettable = 0);
  bool IsLost() const { return m_lost; }
  // Default-pool objects still alive (what Reset requires to be 0; the back buffer counts only
  // while references from GetBackBuffer are held).
  int LiveDefaultPoolObjects() const;
  void SetVideoMemoryBudget(int64_t bytes);  // < 0 unlimited (default)
  int64_t VideoMemoryUsed() const { return m_videoBytes; }
  // Counters for tests and the benchmark.
  int64_t PixelsDrawn() const { return m_pixelsDrawn; }

  // Internal: pipeline state (public for the rasteriser and the helper-library objects).
  struct PipelineState {
    uint32_t colourOp = kOpModulate, colourArg1 = kTaTexture, colourArg2 = kTaCurrent;
    uint32_t alphaOp = kOpSelectArg1, alphaArg1 = kTaTexture, alphaArg2 = kTaCurrent;
    uint32_t textureFactor = 0xFFFFFFFF;
    bool blendEnable = false;
    uint32_t srcBlend = kBlendOne, destBlend = kBlendZero;
    uint32_t cullMode = kCullCcw;
    uint32_t addressU = kAddressWrap, addressV = kAddressWrap;
    uint32_t zEnable = 0, colorVertex = 1, diffuseSource = kMaterialSourceColor1;
  };
  const PipelineState& State() const { return m_state; }
  Surface* CurrentTarget() const { return m_target; }
  Texture* CurrentTexture() const { return m_texture; }

 protected:
  ~Device() override;

 private:
  friend class Direct3D;
  friend class Texture;
  friend class Surface;
  friend class DeviceBuffer;
  Device() = default;
  Result CreateBackBuffer();
  void ResetStates();
  Result DrawVertices(PrimitiveType type, const Vertex* const* tri, int primitiveCount);
  void Track(Pool pool, int64_t bytes, bool add);
  void ForgetSurface(Surface* s);
  void ForgetObject(const void* object);
  template <class T>
  Result NewBuffer(int length, Pool pool, T** out);

  PresentParams m_params;
  DeviceCaps m_caps;
  PipelineState m_state;
  Surface* m_backBuffer = nullptr;   // owned (one internal reference)
  Surface* m_target = nullptr;       // weak
  Texture* m_texture = nullptr;      // weak (the game keeps its textures alive while bound)
  VertexBuffer* m_stream = nullptr;  // weak
  int m_streamOffset = 0;
  int m_streamStride = 0;
  IndexBuffer* m_indices = nullptr;  // weak
  uint32_t m_fvf = 0;
  bool m_inScene = false;
  bool m_lost = false;
  int m_lostCallsLeft = 0;
  int m_defaultObjects = 0;
  int64_t m_videoBudget = -1;
  int64_t m_videoBytes = 0;
  int64_t m_pixelsDrawn = 0;
  std::vector<Surface*> m_defaultSurfaces;  // weak list of default-pool surfaces (wiped on loss)
};

}  // namespace gfx
