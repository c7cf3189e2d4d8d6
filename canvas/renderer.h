// The renderer's one-time start-up and its process-wide objects: the main
// program text, the five shaders, the default font. Every global of the
// canvas library that holds an object is a gc_root.
#pragma once

#include "runtime/array.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

class c_Shader;
class c_Font;

extern String mainProgramSource;
extern gc_root<c_Shader> fastShader;
extern gc_root<c_Shader> bumpShader;
extern gc_root<c_Shader> matteShader;
extern gc_root<c_Shader> shadowShader;
extern gc_root<c_Shader> lightMapShader;
// The shader of materials made without one: the bump shader.
extern gc_root<c_Shader> defaultShader;
extern gc_root<c_Font> defaultFont;
// (1, 1, 1, 1): the value of a vector uniform a material does not have.
extern gc_root<Array<float>> unitVector;

// Sets every global of the canvas library to its start value. The program
// main calls it during global initialisation, before anything of the canvas
// is used.
void InitCanvasGlobals();

// Runs once, on the first texture, material, shader or canvas: makes the
// context buffers, loads the shader texts and builds the shaders, loads the
// default font. Later calls, including those its own steps make, return at
// once.
void InitRenderer();
// True once InitRenderer has begun.
bool RendererStarted();

// The vertex buffer, its attribute layout and the quad index buffer for the
// current graphics generation; nothing when they already exist for it.
void MakeContextBuffers();
