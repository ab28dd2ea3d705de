#pragma once
// What character drawing shares with items, messages and the stage: the 17 draw-mode handlers of
// the character effects, the character search by object number, and the 16 x 16 picture of a
// graphic reference (items' icons, message windows).
#include <cstdint>

struct DDSURFACEDATA;
struct GRAPHICSOURCE;
class cCharaBase;

constexpr int kDrawModeCount = 17;

// A draw-mode handler: draws the character's cell into its screen rectangle through the mode's
// effect blit (when draw is set), then advances the effect (unless held); 1 when the effect ended.
using DrawModeHandler = int (*)(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold,
                                int draw);

// Modes 0-16: plain, "破裂", "分割（横）", "分割（縦）", "波（横）", "波（縦）", "点滅", "回転A", "回転B",
// "回転（奥）", "円", "拡大", "レンズ", "色変化", "半透明", "モザイク", "ぼかし".
int DrawModePlain(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeBurst(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeStripesH(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeStripesV(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeWaveH(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeWaveV(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeBlink(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeRotateA(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeRotateB(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeFlip(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeCircle(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeEnlarge(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeLens(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeColourChange(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeHalfTrans(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeMosaic(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
int DrawModeBlur(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw);
extern const DrawModeHandler g_DrawModeHandlers[kDrawModeCount];

// The hero of g_HeroList with the object number, else the first character of g_CharaList with it,
// else none.
cCharaBase* FindCharaById(int id);
// The 16 x 16 picture of a graphic reference (kind 0 item sheet, 1 character sheet, 2 small-picture
// sheet, 3 the 30-row sheet, 4 a character-exchange bitmap) at (x, y) with the colour key.
void DrawGraphicRef(DDSURFACEDATA* target, int x, int y, int kind, int number, int pattern);
