#pragma once
// The depth layers of the stage picture: characters, items and shots carry a layer byte 0-7 (a shot
// the layer of the character that fired it); a stage that draws by layers draws layer 0 first and
// layer 7 last, each with its hero, items, characters and shots in this order. A stage that does
// not draws everything in one pass, the hero first.
class cSceneStage;

constexpr int kDepthLayers = 8;

// The layer an object's layer byte puts it in: a byte outside 0-7 (damaged data) counts as the
// nearest layer, so that the object is still drawn.
int DepthLayerOf(int layerByte);
// The passes of the stage being played: 8 when it draws by layers, else 1.
int DepthLayerCount();
// One pass: the hero (when it belongs to it), then the items, the characters and the shots of the
// layer; a character whose defeat display is over is removed.
void DrawDepthLayer(cSceneStage& scene, int layer, int frozen);
