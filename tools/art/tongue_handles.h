// The handles the application gives the 40 tongue pictures (shape n, step k
// at index 5 (n - 1) + (k - 1)): the sprites are drawn for them, and the
// review sheets and the art tests place the tongue by them. Plain data, so
// that the tests can read it without the drawing code.
#pragma once

namespace art {

inline constexpr double kTongueHandleX[40] = {0.5, 0.63, 0.56, 0.41, 0.43, 0.5, 0.63, 0.56, 0.41, 0.43,
                                              0.5, 0.63, 0.56, 0.61, 0.43, 0.5, 0.63, 0.56, 0.61, 0.43,
                                              0.5, 0.63, 0.56, 0.54, 0.43, 0.5, 0.63, 0.56, 0.54, 0.43,
                                              0.5, 0.63, 0.56, 0.41, 0.43, 0.5, 0.63, 0.56, 0.41, 0.43};
inline constexpr double kTongueHandleY[40] = {0.92, 0.8,  0.73, 0.74, 0.85, 0.9,  0.7,  0.68, 0.69, 0.85,
                                              0.2,  0.22, 0.32, 0.44, 0.2,  0.2,  0.22, 0.32, 0.42, 0.2,
                                              0.78, 0.78, 0.78, 0.78, 0.78, 0.76, 0.78, 0.76, 0.78, 0.78,
                                              0,    0,    0,    0,    0,    0,    0,    0,    0,    0};

}  // namespace art
