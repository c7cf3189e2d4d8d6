// Column-major 4x4 float matrices: element (row r, column c) is m[c * 4 + r].
#pragma once

void Mat4Identity(float* m);
// out = a x b; out may be a or b.
void Mat4Multiply(const float* a, const float* b, float* out);
// out = m x v for a 4-vector; out may be v.
void Mat4TransformVector(const float* m, const float* v, float* out);
// Inverse by cofactors. A singular matrix gives false and leaves out as the
// identity, so callers never read garbage.
bool Mat4Invert(const float* m, float* out);
