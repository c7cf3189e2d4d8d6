// Where the face's parts start, relative to the face picture's top-left
// corner: the face screen places them there, the help draws its model face
// with them.
#pragma once

constexpr float EYE_RIGHT_X = 490, EYE_LEFT_X = 294, EYE_Y = 358;
constexpr float BROW_RIGHT_X = 488, BROW_LEFT_X = 295, BROW_Y = 264;
constexpr float CHEEK_RIGHT_X = 440, CHEEK_LEFT_X = 340, CHEEK_Y = 553;
constexpr float MOUTH_RIGHT_X = 392, MOUTH_LEFT_X = 394, MOUTH_Y = 506;
constexpr float LIPS_RIGHT_X = 392, LIPS_LEFT_X = 395, LIPS_Y = 500;
constexpr float TEETH_RIGHT_X = 392, TEETH_LEFT_X = 394, TEETH_Y = 500;
constexpr float TONGUE_X = 392, TONGUE_Y = 504;
