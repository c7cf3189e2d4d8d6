// The pictures of the program's own atlas drawn for the face: their names
// and handles. The art generator draws them and the application cuts them
// by these, so the two cannot drift apart. First the jaw's poses.
//
// Each is a whole mouth, not a half: a jaw is one bone and the pressed lips
// one line. The open mouth and the pressed lips are drawn at the mouth's
// right half's place, the tongue in the open mouth at the tongue's place,
// 2 units above it; the centre line lies 1 unit right of both, between the
// halves.
#pragma once

// Per step of the open jaw: the lips round the dark inside, then the teeth,
// which stand in front of the tongue unless it is out of the mouth.
inline constexpr const char* kOpenMouthBack = "machoire%d.png";
inline constexpr const char* kOpenMouthTeeth = "machoire%d_dents.png";
// Per step of the open jaw and place of the tongue (OpenTongue).
inline constexpr const char* kOpenMouthTongue = "machoire%d_langue%d.png";
// Per step of the pressed lips: pressed, rolled in.
inline constexpr const char* kPressedLips = "levres_pincees%d.png";

inline constexpr double kPoseHandleX = 0.5, kPoseHandleY = 0.3;
// The tongue's place lies this far above the mouth's.
inline constexpr double kOpenTongueRise = 2;

// The smiling mouth's later pictures.
//
// The closed line's middle, on skin, fading out to either side: laid over
// two halves alike where they overlap, drawn at the right half's place
// with the handle (kMiddleHandleX, kMiddleHandleY). The line crosses the
// centre line at one height in every row and step, so one picture serves.
inline constexpr const char* kSmileMiddle = "sourire_milieu.png";
inline constexpr double kMiddleHandleX = 5.0 / 12, kMiddleHandleY = 14.0 / 18;
// The tongue out of a corner of the smiling mouth: the half whose corner it
// is, parted round the tongue, per step (the second row's line), drawn at
// the half's place with x handle 0; and the tongue per shape (far up, up,
// down, far down), drawn in front at the tongue's point with x handle 0.
// Both pictures' tops lie kCornerTop above their place.
inline constexpr const char* kCornerMouth = "sourire_coin%d.png";
inline constexpr const char* kCornerTongue = "langue_coin%d.png";
inline constexpr double kCornerTop = 72;
// The tongue held between the pouting lips at depth d (0, 1) and side step
// k (0 to 4), drawn at the tongue's point (mirrored to the left) with x
// handle 0.5; its top lies kHeldTop above it.
inline constexpr const char* kHeldTongue = "langue_tenue%d_%d.png";
inline constexpr double kHeldTop = 8;
// The right cheek puffed, shaded as the face's side is, which only the
// right side of the face has; drawn at the cheek's place with handle (0, 1).
inline constexpr const char* kPuffedCheek = "joue_gonflee.png";
