// The textured quad of a source surface: the Direct3D effects that need no pixel access, and the
// immediate blits.
#include <algorithm>

#include "media/graphics/display.h"
#include "media/graphics/pixel_rules.h"

bool DDDrawEffectQuad(DDSURFACEDATA* dst, DDSURFACEDATA* src, const gfx::Vertex (&vertices)[4]) {
  DTSURFACEDATA* sdt = src->lpDT;
  if (!sdt || !sdt->lpVertexBuffer || !sdt->lpTexture) return false;
  void* data = nullptr;
  if (gfx::Failed(sdt->lpVertexBuffer->Lock(0, 0, &data))) return false;
  std::copy(std::begin(vertices), std::end(vertices), static_cast<gfx::Vertex*>(data));
  sdt->lpVertexBuffer->Unlock();
  if (!DDBeginScene() || !DDSetTarget(dst)) return false;
  DDDrawSourceBuffer(sdt);
  DDSetIdleTarget();
  return true;
}

void DDDrawSourceBuffer(const DTSURFACEDATA* sdt) {
  gfx::Device* d = g_lpDevice;
  d->SetTexture(0, sdt->lpTexture);
  d->SetStreamSource(0, sdt->lpVertexBuffer, 0, sizeof(gfx::Vertex));
  d->SetFVF(gfx::kFvfXyzrhwDiffuseTex1);
  d->DrawPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 2);
}
