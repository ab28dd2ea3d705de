#pragma once
// The demo's stage cast beyond the hero, the slime, the goal star and the coin: a moving lift the
// hero rides, a beetle the hero stomps, a turret that shoots at the hero, a gem worth points and a
// heart that heals; the hero's bounce off a stomped beetle; the spark of a hit and the screen shake
// a stomp may start.
// Built as the game's own type records, so that the editor would show the same settings.
#include "data/chara_type.h"
#include "data/flow.h"
#include "data/item_type.h"

class cDatabase;

// Database numbers the types below refer to; the sound list of FillDemoDatabase keeps this order.
enum : int {
  kSoundShot = 4,
  kSoundStomp = 5,
  kSoundTreasure = 6,
  kScrEffectQuake = 1,
  kEffectSpark = 1,
};

// The stage variable a stomped beetle sets and the hero's bounce flow clears.
constexpr int kStompVar = 0;

// A lift that flies back and forth, cells of 32 dots each way, as a block character the hero
// stands on and rides: horizontal when `vertical` is false (right first), else up first.
cCharaType LiftType(bool vertical, int cells);
// A beetle: a block character the hero can stand on; the hero landing on it defeats it (after a
// few frames) and bounces off. With `quake` the stomp also shakes the screen.
cCharaType BeetleType(bool quake);
// A turret facing left that, while the hero is within seven blocks in front of it, fires a shot
// aimed at the hero every second and a half; its shots and its body hurt the hero.
cCharaType TurretType();
// The hero's flow that bounces it off a stomped beetle: a jump while it still stands on the beetle.
cFlow HeroBounceFlow();
// An item taken on touch, with its name, picture and sound; its commands are added by the caller.
cItemType TouchItemType(const char* name, int graphic, int sound);
// A gem worth 500 points and a heart that gives back one hit point.
cItemType GemType();
cItemType HeartType();
// The effects the types use: the spark where a turret's shot hits (the effect list's entry
// kEffectSpark) and the stomp's shake (the screen-effect list's entry kScrEffectQuake).
void FillDemoEffects(cDatabase& database);
