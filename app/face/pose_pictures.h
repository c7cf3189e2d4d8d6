// The pictures of the jaw's poses, in the program's own atlas: their names
// and their one handle. The art generator draws them and the application
// cuts them by these, so the two cannot drift apart.
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
