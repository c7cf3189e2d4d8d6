// The handles of the 40 tongue pictures (shape n, step k at index
// 5 (n - 1) + (k - 1)): the application anchors the tongue by them, and the art
// generator draws the sprites, the review sheets and its tests for them. One
// table for both, so the pictures and the program cannot drift apart. Shapes
// 1 to 4 stand above or hang below the lips' line; 5 and 6 are drawn with the
// lips; 7 and 8 hang from their top edge.
#pragma once

inline constexpr double kTongueHandleX[40] = {0.5, 0.63, 0.56, 0.41, 0.43, 0.5, 0.63, 0.56, 0.41, 0.43,
                                              0.5, 0.63, 0.56, 0.61, 0.43, 0.5, 0.63, 0.56, 0.61, 0.43,
                                              0.5, 0.63, 0.56, 0.54, 0.43, 0.5, 0.63, 0.56, 0.54, 0.43,
                                              0.5, 0.63, 0.56, 0.41, 0.43, 0.5, 0.63, 0.56, 0.41, 0.43};
inline constexpr double kTongueHandleY[40] = {0.92, 0.8,  0.73, 0.74, 0.85, 0.9,  0.7,  0.68, 0.69, 0.85,
                                              0.2,  0.22, 0.32, 0.44, 0.2,  0.2,  0.22, 0.32, 0.42, 0.2,
                                              0.78, 0.78, 0.78, 0.78, 0.78, 0.76, 0.78, 0.76, 0.78, 0.78,
                                              0,    0,    0,    0,    0,    0,    0,    0,    0,    0};
