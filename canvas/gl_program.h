// c_GLProgram: one linked GL program with the locations of the uniforms the
// canvas supplies; c_GLUniform: one uniform a material supplies.
#pragma once

#include "runtime/array.h"
#include "runtime/collector.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

class c_GLUniform : public Object {
public:
    String name;
    int location = -1;
    int size = 0;
    int type = 0;  // the GL type code reported for the active uniform

    c_GLUniform(const String& name, int location, int size, int type);
};

class c_GLProgram : public Object {
public:
    int program = 0;
    gc_array<c_GLUniform*> materialUniforms;
    // -1 where the program lacks the uniform.
    int modelViewProjectionMatrixLoc = -1;
    int modelViewMatrixLoc = -1;
    int clipPosScaleLoc = -1;
    int globalColorLoc = -1;
    int fogColorLoc = -1;
    int ambientLightLoc = -1;
    int lightColorsLoc = -1;
    int lightVectorsLoc = -1;
    int shadowTextureLoc = -1;
    // The renderState.valuesVersion whose values the program's uniforms
    // hold; -1 before the first send.
    int sentVersion = -1;
    // Whether the material samplers have been pointed at their units (the
    // same for every material: the n-th sampler reads unit n).
    bool samplerUnitsSet = false;

    c_GLProgram(int program, Array<c_GLUniform*> materialUniforms);
    // Puts the program in use and sends the canvas's shared values, unless
    // it holds them already.
    void Bind();

    GC_FIELDS(Object, materialUniforms)
};

// The texture unit the shadow texture is bound on.
constexpr int SHADOW_TEXTURE_UNIT = 7;
