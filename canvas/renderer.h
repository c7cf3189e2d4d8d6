// The renderer's start: the one place that knows every part of the canvas
// library. Nothing in the library includes this header; the program main and
// the tests' set-up do.
#pragma once

// Sets every global of the canvas library to its start value. The program
// main calls it during global initialisation, before anything of the canvas
// is used.
void InitCanvasGlobals();

// Starts the renderer, once, when the window and its GL context exist and
// before any texture, material, shader or canvas is made: makes the context
// buffers, loads the shader texts and builds the shaders, loads the default
// font. A second call returns at once.
void InitRenderer();
