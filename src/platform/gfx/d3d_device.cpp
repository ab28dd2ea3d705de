// The quad personality: adapter object, device, textures, vertex and index buffers, state,
// drawing entry points, presentation and simulated device loss.
#include "platform/gfx/d3d_device.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <new>

#include "platform/gfx/frame_mailbox.h"
#include "platform/gfx/pixel_format.h"
#include "platform/gfx/raster.h"

namespace gfx {

namespace {

struct Knobs {
  std::mutex mutex;
  DeviceCaps caps;
  DisplayMode mode;
  bool createFailure = false;
  bool hardwareFailure = false;
  bool createDeviceFailure = false;
  bool refreshRateFixed = false;
};
Knobs& TheKnobs() {
  static Knobs knobs;
  return knobs;
}

bool IsPow2(int v) { return v > 0 && (v & (v - 1)) == 0; }

bool IsTextureFormat(Format f) {
  return f == Format::A8R8G8B8 || f == Format::X8R8G8B8 || f == Format::A1R5G5B5 || f == Format::R5G6B5;
}

bool IsBackBufferFormat(Format f) { return f == Format::X8R8G8B8 || f == Format::R5G6B5 || f == Format::A1R5G5B5; }

int64_t Bytes(const Surface* s) { return static_cast<int64_t>(s->Pitch()) * s->Height(); }

// Whether stage 0 reads texels under this state: a fill through the texture factor or the diffuse
// colour does not, whatever texture is still bound.
bool ReadsTexels(const Device::PipelineState& s) {
  auto reads = [](uint32_t op, uint32_t arg1, uint32_t arg2) {
    switch (op) {
      case kOpDisable: return false;
      case kOpSelectArg1: return (arg1 & 0xF) == kTaTexture;
      case kOpSelectArg2: return (arg2 & 0xF) == kTaTexture;
      default: return true;
    }
  };
  return reads(s.colourOp, s.colourArg1, s.colourArg2) || reads(s.alphaOp, s.alphaArg1, s.alphaArg2);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Direct3D (adapter).

void Direct3D::SetSimulatedCaps(const DeviceCaps& caps) {
  std::lock_guard<std::mutex> lock(TheKnobs().mutex);
  TheKnobs().caps = caps;
}
void Direct3D::ResetSimulatedCaps() { SetSimulatedCaps(DeviceCaps{}); }
void Direct3D::SetSimulatedDisplayMode(const DisplayMode& mode) {
  std::lock_guard<std::mutex> lock(TheKnobs().mutex);
  TheKnobs().mode = mode;
}
void Direct3D::SetCreateFailure(bool fail) { TheKnobs().createFailure = fail; }
void Direct3D::SetHardwareVertexProcessingFailure(bool fail) { TheKnobs().hardwareFailure = fail; }
void Direct3D::SetCreateDeviceFailure(bool fail) { TheKnobs().createDeviceFailure = fail; }
void Direct3D::SetSimulatedRefreshRateFixed(bool fixed) {
  std::lock_guard<std::mutex> lock(TheKnobs().mutex);
  TheKnobs().refreshRateFixed = fixed;
}

int Direct3D::ChangeDisplayFrequency(int hz, bool testOnly) {
  std::lock_guard<std::mutex> lock(TheKnobs().mutex);
  Knobs& k = TheKnobs();
  if (hz <= 0 || (k.refreshRateFixed && hz != k.mode.refreshRate)) return kDispChangeBadMode;
  if (!testOnly) k.mode.refreshRate = hz;
  return kDispChangeSuccessful;
}

Direct3D* Direct3D::Create() {
  if (TheKnobs().createFailure) return nullptr;
  return new (std::nothrow) Direct3D();
}

Result Direct3D::GetDeviceCaps(DeviceCaps* out) const {
  if (!out) return kErrInvalidCall;
  std::lock_guard<std::mutex> lock(TheKnobs().mutex);
  *out = TheKnobs().caps;
  return kOk;
}

Result Direct3D::GetAdapterDisplayMode(DisplayMode* out) const {
  if (!out) return kErrInvalidCall;
  std::lock_guard<std::mutex> lock(TheKnobs().mutex);
  *out = TheKnobs().mode;
  return kOk;
}

Result Direct3D::CreateDevice(bool hardwareVertexProcessing, PresentParams* params, Device** out) {
  if (!out || !params) return kErrInvalidCall;
  *out = nullptr;
  if (TheKnobs().createDeviceFailure) return kErrUnsupported;
  if (hardwareVertexProcessing && TheKnobs().hardwareFailure) return kErrUnsupported;
  if (!IsBackBufferFormat(params->backBufferFormat)) return kErrInvalidCall;
  auto* device = new (std::nothrow) Device();
  if (!device) return kErrOutOfMemory;
  GetDeviceCaps(&device->m_caps);
  device->m_params = *params;
  if (device->m_params.backBufferWidth <= 0 || device->m_params.backBufferHeight <= 0) {
    device->m_params.backBufferWidth = 640;
    device->m_params.backBufferHeight = 480;
  }
  if (Failed(device->CreateBackBuffer())) {
    device->Release();
    return kErrOutOfMemory;
  }
  device->ResetStates();
  *params = device->m_params;
  *out = device;
  return kOk;
}

// ---------------------------------------------------------------------------------------------
// Buffers.

Result DeviceBuffer::Lock(int offset, int size, void** data, uint32_t) {
  if (!data || offset < 0 || size < 0 || offset > Length() || size > Length() - offset) return kErrInvalidCall;
  if (m_locked) return kErrInvalidCall;
  m_locked = true;
  *data = m_bytes.data() + offset;
  return kOk;
}
Result DeviceBuffer::Unlock() {
  if (!m_locked) return kErrInvalidCall;
  m_locked = false;
  return kOk;
}
DeviceBuffer::~DeviceBuffer() {
  if (m_device) {
    m_device->ForgetObject(this);
    m_device->Track(m_pool, 0, false);
    m_device->Release();
  }
}

// ---------------------------------------------------------------------------------------------
// Textures.

Result Texture::GetSurfaceLevel(int level, Surface** out) {
  if (!out || level != 0) return kErrInvalidCall;
  *out = m_level;
  AddRef();
  return kOk;
}
Result Texture::GetLevelDesc(int level, SurfaceLevelDesc* out) const {
  if (!out || level != 0) return kErrInvalidCall;
  static_cast<SurfaceDesc&>(*out) = m_level->GetDesc();
  return kOk;
}
Result Texture::LockRect(int level, LockedRect* out, const Rect* rect, uint32_t flags) {
  if (level != 0) return kErrInvalidCall;
  return m_level->LockRect(out, rect, flags);
}
Result Texture::UnlockRect(int level) {
  if (level != 0) return kErrInvalidCall;
  return m_level->UnlockRect();
}
int Texture::Width() const { return m_level->Width(); }
int Texture::Height() const { return m_level->Height(); }
Format Texture::GetFormat() const { return m_level->GetFormat(); }
Pool Texture::GetPool() const { return m_level->GetPool(); }

Texture::~Texture() {
  if (m_device) {
    m_device->ForgetObject(this);
    m_device->ForgetObject(m_level);
    m_device->ForgetSurface(m_level);
    m_device->Track(m_level->GetPool(), Bytes(m_level), false);
  }
  m_level->m_countOn = m_level;
  m_level->m_texture = nullptr;
  delete m_level;
  if (m_device) m_device->Release();
}

// ---------------------------------------------------------------------------------------------
// Device.

Device::~Device() {
  if (m_backBuffer) {
    m_backBuffer->m_countOn = m_backBuffer;
    delete m_backBuffer;
  }
}

void Device::Track(Pool pool, int64_t bytes, bool add) {
  if (pool != Pool::Default) return;
  m_defaultObjects += add ? 1 : -1;
  m_videoBytes += add ? bytes : -bytes;
}

void Device::ForgetSurface(Surface* s) {
  m_defaultSurfaces.erase(std::remove(m_defaultSurfaces.begin(), m_defaultSurfaces.end(), s), m_defaultSurfaces.end());
  ForgetObject(s);
  if (s->m_holdsOwnerRef) {
    Track(s->GetPool(), Bytes(s), false);
    s->m_holdsOwnerRef = false;
    Release();
  }
}

void Device::ForgetObject(const void* object) {
  if (m_target == object) m_target = nullptr;
  if (m_texture == object) m_texture = nullptr;
  if (m_stream == object) m_stream = nullptr;
  if (m_indices == object) m_indices = nullptr;
}

Result Device::CreateBackBuffer() {
  auto* bb = new (std::nothrow) Surface();
  if (!bb) return kErrOutOfMemory;
  if (!bb->Allocate(m_params.backBufferWidth, m_params.backBufferHeight, m_params.backBufferFormat, 0)) {
    delete bb;
    return kErrOutOfMemory;
  }
  bb->m_pool = Pool::Default;
  bb->m_usage = kUsageRenderTarget;
  m_backBuffer = bb;
  m_target = bb;
  return kOk;
}

void Device::ResetStates() {
  m_state = PipelineState{};
  m_texture = nullptr;
  m_stream = nullptr;
  m_indices = nullptr;
  m_streamOffset = m_streamStride = 0;
  m_fvf = 0;
  m_target = m_backBuffer;
  m_inScene = false;
}

int Device::LiveDefaultPoolObjects() const {
  const int backRefs = m_backBuffer ? m_backBuffer->RefCount() - 1 : 0;
  return m_defaultObjects + backRefs;
}

void Device::SetVideoMemoryBudget(int64_t bytes) { m_videoBudget = bytes; }

Result Device::CreateTexture(int width, int height, int levels, uint32_t usage, Format format, Pool pool,
                             Texture** out) {
  if (!out) return kErrInvalidCall;
  *out = nullptr;
  if (width <= 0 || height <= 0 || levels < 0 || levels > 1 || !IsTextureFormat(format)) return kErrInvalidCall;
  if (width > m_caps.maxTextureWidth || height > m_caps.maxTextureHeight) return kErrInvalidCall;
  if (m_caps.pow2Textures && (!IsPow2(width) || !IsPow2(height))) return kErrInvalidCall;
  if (m_caps.squareOnlyTextures && width != height) return kErrInvalidCall;
  if ((usage & kUsageRenderTarget) && pool != Pool::Default) return kErrInvalidCall;
  if ((usage & kUsageDynamic) && !m_caps.dynamicTextures) return kErrInvalidCall;
  if (pool == Pool::Default && m_videoBudget >= 0 &&
      m_videoBytes + int64_t{width} * height * BytesPerPixel(format) > m_videoBudget)
    return kErrOutOfVideoMemory;
  auto* tex = new (std::nothrow) Texture();
  auto* level = new (std::nothrow) Surface();
  if (!tex || !level || !level->Allocate(width, height, format, 0)) {
    delete tex;
    delete level;
    return kErrOutOfMemory;
  }
  level->m_pool = pool;
  level->m_usage = usage & (kUsageRenderTarget | kUsageDynamic);
  level->m_texture = tex;
  level->m_countOn = tex;
  tex->m_level = level;
  tex->m_device = this;
  AddRef();
  Track(pool, Bytes(level), true);
  if (pool == Pool::Default) m_defaultSurfaces.push_back(level);
  *out = tex;
  return kOk;
}

Result Device::CreateOffscreenPlainSurface(int width, int height, Format format, Pool pool, Surface** out) {
  if (!out) return kErrInvalidCall;
  *out = nullptr;
  if (!IsTextureFormat(format)) return kErrInvalidCall;
  auto* s = new (std::nothrow) Surface();
  if (!s || !s->Allocate(width, height, format, 0)) {
    delete s;
    return kErrInvalidCall;
  }
  s->m_pool = pool;
  s->m_device = this;
  s->m_holdsOwnerRef = true;
  AddRef();
  Track(pool, Bytes(s), true);
  if (pool == Pool::Default) m_defaultSurfaces.push_back(s);
  *out = s;
  return kOk;
}

template <class T>
Result Device::NewBuffer(int length, Pool pool, T** out) {
  if (!out) return kErrInvalidCall;
  *out = nullptr;
  if (length <= 0 || length > (64 << 20)) return kErrInvalidCall;
  auto* buffer = new (std::nothrow) T();
  if (!buffer) return kErrOutOfMemory;
  buffer->m_bytes.assign(static_cast<size_t>(length), 0);
  buffer->m_device = this;
  buffer->m_pool = pool;
  AddRef();
  Track(pool, 0, true);
  *out = buffer;
  return kOk;
}

Result Device::CreateVertexBuffer(int length, uint32_t, uint32_t, Pool pool, VertexBuffer** out) {
  return NewBuffer(length, pool, out);
}

Result Device::CreateIndexBuffer(int length, uint32_t, Format format, Pool pool, IndexBuffer** out) {
  if (format != Format::Index16) {
    if (out) *out = nullptr;
    return kErrInvalidCall;
  }
  return NewBuffer(length, pool, out);
}

Result Device::GetBackBuffer(int swapChain, int index, Surface** out) {
  if (!out || swapChain != 0 || index != 0 || !m_backBuffer) return kErrInvalidCall;
  m_backBuffer->AddRef();
  *out = m_backBuffer;
  return kOk;
}

Result Device::GetRenderTargetData(Surface* renderTarget, Surface* systemSurface) {
  if (!renderTarget || !systemSurface || !renderTarget->IsRenderTarget() ||
      systemSurface->GetPool() != Pool::SystemMem || renderTarget->Width() != systemSurface->Width() ||
      renderTarget->Height() != systemSurface->Height() || renderTarget->GetFormat() != systemSurface->GetFormat())
    return kErrInvalidCall;
  if (m_lost) return kErrDeviceLost;
  const size_t row = static_cast<size_t>(renderTarget->Width()) * BytesPerPixel(renderTarget->GetFormat());
  for (int y = 0; y < renderTarget->Height(); ++y) std::memcpy(systemSurface->Row(y), renderTarget->Row(y), row);
  return kOk;
}

Result Device::UpdateSurface(Surface* src, const Rect* srcRect, Surface* dst, const int* dstPoint) {
  if (!src || !dst || src->GetPool() != Pool::SystemMem || dst->GetPool() != Pool::Default ||
      src->GetFormat() != dst->GetFormat())
    return kErrInvalidCall;
  const Rect r = srcRect ? *srcRect : Rect{0, 0, src->Width(), src->Height()};
  const int dx = dstPoint ? dstPoint[0] : 0, dy = dstPoint ? dstPoint[1] : 0;
  if (r.left < 0 || r.top < 0 || r.right > src->Width() || r.bottom > src->Height() || r.left >= r.right ||
      r.top >= r.bottom || dx < 0 || dy < 0 || dx + r.Width() > dst->Width() || dy + r.Height() > dst->Height())
    return kErrInvalidCall;
  if (m_lost) return kOk;  // dropped silently while lost
  const int bpp = BytesPerPixel(src->GetFormat());
  for (int y = 0; y < r.Height(); ++y)
    std::memcpy(dst->Row(dy + y) + dx * bpp, src->Row(r.top + y) + r.left * bpp, static_cast<size_t>(r.Width()) * bpp);
  return kOk;
}

Result Device::SetRenderTarget(int index, Surface* target) {
  if (index != 0 || !target || !target->IsRenderTarget()) return kErrInvalidCall;
  m_target = target;
  return kOk;
}

Result Device::GetRenderTarget(int index, Surface** out) {
  if (!out || index != 0 || !m_target) return kErrInvalidCall;
  m_target->AddRef();
  *out = m_target;
  return kOk;
}

Result Device::SetRenderState(RenderState state, uint32_t value) {
  switch (state) {
    case kRsZEnable: m_state.zEnable = value; break;
    case kRsSrcBlend: m_state.srcBlend = value; break;
    case kRsDestBlend: m_state.destBlend = value; break;
    case kRsCullMode: m_state.cullMode = value; break;
    case kRsAlphaBlendEnable: m_state.blendEnable = value != 0; break;
    case kRsTextureFactor: m_state.textureFactor = value; break;
    case kRsColorVertex: m_state.colorVertex = value; break;
    case kRsDiffuseMaterialSource: m_state.diffuseSource = value; break;
    default: return kErrInvalidCall;
  }
  return kOk;
}

uint32_t Device::GetRenderState(RenderState state) const {
  switch (state) {
    case kRsZEnable: return m_state.zEnable;
    case kRsSrcBlend: return m_state.srcBlend;
    case kRsDestBlend: return m_state.destBlend;
    case kRsCullMode: return m_state.cullMode;
    case kRsAlphaBlendEnable: return m_state.blendEnable ? 1 : 0;
    case kRsTextureFactor: return m_state.textureFactor;
    case kRsColorVertex: return m_state.colorVertex;
    case kRsDiffuseMaterialSource: return m_state.diffuseSource;
    default: return 0;
  }
}

Result Device::SetTextureStageState(int stage, TextureStageState type, uint32_t value) {
  if (stage < 0 || stage > 7) return kErrInvalidCall;
  if (stage != 0) return kOk;  // later stages stay disabled
  switch (type) {
    case kTssColorOp: m_state.colourOp = value; break;
    case kTssColorArg1: m_state.colourArg1 = value; break;
    case kTssColorArg2: m_state.colourArg2 = value; break;
    case kTssAlphaOp: m_state.alphaOp = value; break;
    case kTssAlphaArg1: m_state.alphaArg1 = value; break;
    case kTssAlphaArg2: m_state.alphaArg2 = value; break;
    default: return kErrInvalidCall;
  }
  return kOk;
}

uint32_t Device::GetTextureStageState(int stage, TextureStageState type) const {
  if (stage != 0) return type == kTssColorOp || type == kTssAlphaOp ? kOpDisable : 0;
  switch (type) {
    case kTssColorOp: return m_state.colourOp;
    case kTssColorArg1: return m_state.colourArg1;
    case kTssColorArg2: return m_state.colourArg2;
    case kTssAlphaOp: return m_state.alphaOp;
    case kTssAlphaArg1: return m_state.alphaArg1;
    case kTssAlphaArg2: return m_state.alphaArg2;
    default: return 0;
  }
}

Result Device::SetSamplerState(int sampler, SamplerState type, uint32_t value) {
  if (sampler < 0 || sampler > 15) return kErrInvalidCall;
  if (sampler != 0) return kOk;
  switch (type) {
    case kSampAddressU: m_state.addressU = value; break;
    case kSampAddressV: m_state.addressV = value; break;
    case kSampMagFilter:
    case kSampMinFilter: break;  // point sampling only
    default: return kErrInvalidCall;
  }
  return kOk;
}

Result Device::SetTexture(int stage, Texture* texture) {
  if (stage < 0 || stage > 15) return kErrInvalidCall;
  if (stage == 0) m_texture = texture;
  return kOk;
}

Result Device::SetStreamSource(int stream, VertexBuffer* buffer, int offsetBytes, int stride) {
  if (stream != 0 || offsetBytes < 0 || (buffer && stride < static_cast<int>(sizeof(Vertex)))) return kErrInvalidCall;
  m_stream = buffer;
  m_streamOffset = offsetBytes;
  m_streamStride = stride;
  return kOk;
}

Result Device::SetIndices(IndexBuffer* indices) {
  m_indices = indices;
  return kOk;
}

Result Device::SetFVF(uint32_t fvf) {
  m_fvf = fvf;
  return kOk;
}

Result Device::BeginScene() {
  if (m_inScene) return kErrInvalidCall;
  m_inScene = true;
  return kOk;
}

Result Device::EndScene() {
  if (!m_inScene) return kErrInvalidCall;
  m_inScene = false;
  return kOk;
}

Result Device::Clear(int count, const Rect* rects, uint32_t flags, Colour colour, float, uint32_t) {
  if (!m_target || count < 0 || (count > 0 && !rects)) return kErrInvalidCall;
  if (m_lost || !(flags & kClearTarget)) return kOk;
  if (count == 0) {
    raster::ClearRect(m_target, Rect{0, 0, m_target->Width(), m_target->Height()}, colour);
  } else {
    for (int i = 0; i < count; ++i) raster::ClearRect(m_target, rects[i], colour);
  }
  return kOk;
}

// Draws `primitiveCount` triangles whose vertices are tri[0..] (list: 3 per triangle; strip: n + 2).
Result Device::DrawVertices(PrimitiveType type, const Vertex* const* v, int primitiveCount) {
  raster::DrawContext ctx;
  ctx.target = m_target;
  ctx.texture = m_texture ? m_texture->Level0() : nullptr;
  ctx.state = &m_state;
  // A texture drawn onto itself reads a copy taken before the draw, so the result does not depend
  // on the order in which pixels are written (a draw that reads no texel needs none).
  Surface* copy = nullptr;
  if (ctx.texture && ctx.texture == m_target && ReadsTexels(m_state)) {
    copy = Surface::CreateStandalone(m_target->Width(), m_target->Height(), m_target->GetFormat());
    if (!copy) return kErrOutOfMemory;
    const size_t row = static_cast<size_t>(m_target->Width()) * BytesPerPixel(m_target->GetFormat());
    for (int y = 0; y < m_target->Height(); ++y) std::memcpy(copy->Row(y), m_target->Row(y), row);
    ctx.texture = copy;
  }
  struct ReleaseCopy {
    Surface* s;
    ~ReleaseCopy() {
      if (s) s->Release();
    }
  } releaseCopy{copy};
  if (type == PrimitiveType::TriangleStrip) {
    int i = 0;
    // Pairs of strip triangles forming axis-aligned quads take the fast path.
    while (i < primitiveCount) {
      int64_t pixels = 0;
      if (i + 1 < primitiveCount && (i % 2) == 0 &&
          raster::DrawAlignedQuad(ctx, *v[i], *v[i + 1], *v[i + 2], *v[i + 3], &pixels)) {
        m_pixelsDrawn += pixels;
        i += 2;
        continue;
      }
      const bool odd = (i % 2) == 1;
      m_pixelsDrawn += raster::DrawTriangle(ctx, *v[i], *v[i + 1], *v[i + 2], odd);
      ++i;
    }
  } else {
    for (int t = 0; t < primitiveCount; ++t)
      m_pixelsDrawn += raster::DrawTriangle(ctx, *v[3 * t], *v[3 * t + 1], *v[3 * t + 2], false);
  }
  return kOk;
}

namespace {
int VertexCount(PrimitiveType type, int primitiveCount) {
  return type == PrimitiveType::TriangleStrip ? primitiveCount + 2 : primitiveCount * 3;
}
// Vertex copies of one draw: on the stack for small draws (one quad), on the heap for larger ones.
struct VertexScratch {
  explicit VertexScratch(int n) {
    if (n > kInline) {
      heapVerts.resize(n);
      heapPtrs.resize(n);
      verts = heapVerts.data();
      ptrs = heapPtrs.data();
    }
  }
  static constexpr int kInline = 12;
  Vertex inlineVerts[kInline];
  const Vertex* inlinePtrs[kInline];
  std::vector<Vertex> heapVerts;
  std::vector<const Vertex*> heapPtrs;
  Vertex* verts = inlineVerts;
  const Vertex** ptrs = inlinePtrs;
};
bool ValidPrimitive(PrimitiveType type) {
  return type == PrimitiveType::TriangleStrip || type == PrimitiveType::TriangleList;
}
}  // namespace

Result Device::DrawPrimitive(PrimitiveType type, int startVertex, int primitiveCount) {
  if (!m_inScene || !ValidPrimitive(type) || primitiveCount <= 0 || startVertex < 0 || !m_stream ||
      m_fvf != kFvfXyzrhwDiffuseTex1 || m_stream->m_locked || !m_target)
    return kErrInvalidCall;
  const int n = VertexCount(type, primitiveCount);
  const int64_t end = m_streamOffset + (int64_t{startVertex} + n) * m_streamStride;
  if (end > m_stream->Length()) return kErrInvalidCall;
  if (m_lost) return kOk;
  VertexScratch scratch(n);
  Vertex* verts = scratch.verts;
  const Vertex** ptrs = scratch.ptrs;
  for (int i = 0; i < n; ++i) {
    std::memcpy(&verts[i], m_stream->Data() + m_streamOffset + (int64_t{startVertex} + i) * m_streamStride,
                sizeof(Vertex));
    ptrs[i] = &verts[i];
  }
  return DrawVertices(type, ptrs, primitiveCount);
}

Result Device::DrawIndexedPrimitive(PrimitiveType type, int baseVertex, int minIndex, int numVertices, int startIndex,
                                    int primitiveCount) {
  if (!m_inScene || !ValidPrimitive(type) || primitiveCount <= 0 || startIndex < 0 || !m_stream || !m_indices ||
      m_fvf != kFvfXyzrhwDiffuseTex1 || m_stream->m_locked || m_indices->m_locked || !m_target)
    return kErrInvalidCall;
  const int n = VertexCount(type, primitiveCount);
  if ((int64_t{startIndex} + n) * 2 > m_indices->Length()) return kErrInvalidCall;
  const int vertexCapacity = m_streamStride > 0 ? (m_stream->Length() - m_streamOffset) / m_streamStride : 0;
  VertexScratch scratch(n);
  Vertex* verts = scratch.verts;
  const Vertex** ptrs = scratch.ptrs;
  for (int i = 0; i < n; ++i) {
    uint16_t index;
    std::memcpy(&index, m_indices->Data() + (int64_t{startIndex} + i) * 2, 2);
    const int64_t vi = int64_t{baseVertex} + index;
    if (index < minIndex || index >= int64_t{minIndex} + numVertices || vi < 0 || vi >= vertexCapacity)
      return kErrInvalidCall;
    std::memcpy(&verts[i], m_stream->Data() + m_streamOffset + vi * m_streamStride, sizeof(Vertex));
    ptrs[i] = &verts[i];
  }
  if (m_lost) return kOk;
  return DrawVertices(type, ptrs, primitiveCount);
}

Result Device::DrawPrimitiveUP(PrimitiveType type, int primitiveCount, const void* vertices, int stride) {
  if (!m_inScene || !ValidPrimitive(type) || primitiveCount <= 0 || !vertices ||
      stride < static_cast<int>(sizeof(Vertex)) || !m_target)
    return kErrInvalidCall;
  if (m_lost) return kOk;
  const int n = VertexCount(type, primitiveCount);
  VertexScratch scratch(n);
  Vertex* verts = scratch.verts;
  const Vertex** ptrs = scratch.ptrs;
  for (int i = 0; i < n; ++i) {
    std::memcpy(&verts[i], static_cast<const uint8_t*>(vertices) + int64_t{i} * stride, sizeof(Vertex));
    ptrs[i] = &verts[i];
  }
  return DrawVertices(type, ptrs, primitiveCount);
}

Result Device::Present() {
  if (m_lost) return kErrDeviceLost;
  if (m_inScene) return kErrInvalidCall;
  const Surface* bb = m_backBuffer;
  Frame frame = TheFrameMailbox().Blank(bb->Width(), bb->Height());
  ImageToRgb32(bb->GetFormat(), bb->Bits(), static_cast<size_t>(bb->Pitch()), frame.width, frame.height,
               frame.pixels.data());
  TheFrameMailbox().Post(std::move(frame));
  return kOk;
}

Result Device::TestCooperativeLevel() {
  if (!m_lost) return kOk;
  if (m_lostCallsLeft > 0) {
    --m_lostCallsLeft;
    return kErrDeviceLost;
  }
  return kErrDeviceNotReset;
}

Result Device::Reset(PresentParams* params) {
  if (!params) return kErrInvalidCall;
  if (m_lost && m_lostCallsLeft > 0) return kErrDeviceLost;
  if (!IsBackBufferFormat(params->backBufferFormat)) return kErrInvalidCall;
  if (LiveDefaultPoolObjects() > 0) return kErrInvalidCall;  // the device stays lost
  m_params = *params;
  if (m_params.backBufferWidth <= 0 || m_params.backBufferHeight <= 0) {
    m_params.backBufferWidth = 640;
    m_params.backBufferHeight = 480;
  }
  if (m_backBuffer) {
    m_backBuffer->m_countOn = m_backBuffer;
    delete m_backBuffer;
    m_backBuffer = nullptr;
  }
  if (Failed(CreateBackBuffer())) return kErrOutOfMemory;
  ResetStates();
  m_lost = false;
  *params = m_params;
  return kOk;
}

Result Device::SetDialogBoxMode(bool) { return kOk; }

void Device::SimulateDeviceLoss(int lostCallsBeforeResettable) {
  m_lost = true;
  m_lostCallsLeft = lostCallsBeforeResettable < 0 ? 0 : lostCallsBeforeResettable;
  if (m_backBuffer) m_backBuffer->WipeContents();
  for (Surface* s : m_defaultSurfaces) s->WipeContents();
}

}  // namespace gfx
