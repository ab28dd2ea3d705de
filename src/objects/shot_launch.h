#pragma once
// What the shot kinds share of the pattern loop: direction angles, velocities at an angle, the
// graphic box on the map, the pattern's target and the start position of a launch.
#include "objects/shot.h"

// The angle of a direction code (2 left 0, 3 right 180, 6 up 90, 7 down 270, 8 up-left 45, 9
// down-left 315, 10 up-right 135, 11 down-right 225; any other 0).
int DirectionAngle(int code);
// (-cos, -sin) of the angle in degrees, times the speed.
void VelocityAtAngle(double angleDegrees, double speed, double& velX, double& velY);
// An object's graphic box (its screen rectangle) in map dots.
cIntRect GraphicBoxOnMap(const cObject& object);
// The target of lightning and surround by S4: 0 the firer's target slot S7, 1 the hero, 2 the firer.
cCharaBase* PatternTarget(cCharaBase& firer, const cEdShot& settings);
// The start position, row step and velocity of a launch: rule 0 outside the firer's graphic box on
// the side of the direction, rule 1 centred on the firer; offsets added.
void PlaceLaunch(const cCharaBase& firer, const cEdShot& settings, SHOTLAUNCH& launch, int rule);
