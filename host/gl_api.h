// The OpenGL entry points, one process-wide table of function pointers.
// The host fills it after every context creation (by name, through the
// platform's procedure lookup); tests may overwrite entries with recorders to
// assert exact call sequences without a GPU. Everything above the host calls
// OpenGL only through `gl`.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

// OpenGL 1.1 functions the system uses.
#define GRIMALOU_GL11_FUNCTIONS(X) \
    X(BindTexture) X(BlendFunc) X(Clear) X(ClearColor) X(ColorMask) X(CullFace) \
    X(DeleteTextures) X(DepthFunc) X(DepthMask) X(Disable) X(DrawArrays) X(DrawElements) \
    X(Enable) X(Finish) X(Flush) X(FrontFace) X(GenTextures) X(GetError) X(GetFloatv) \
    X(GetIntegerv) X(GetString) X(Hint) X(IsEnabled) X(IsTexture) X(LineWidth) X(PixelStorei) \
    X(ReadPixels) X(Scissor) X(StencilFunc) X(StencilMask) X(StencilOp) X(TexImage2D) \
    X(TexParameterf) X(TexParameteri) X(TexSubImage2D) X(Viewport)

// The 97 functions of OpenGL ES 2.0 that OpenGL 1.1 does not have.
#define GRIMALOU_GLES2_FUNCTIONS(X) \
    X(ActiveTexture) X(AttachShader) X(BindAttribLocation) X(BindBuffer) X(BindFramebuffer) \
    X(BindRenderbuffer) X(BlendColor) X(BlendEquation) X(BlendEquationSeparate) X(BlendFuncSeparate) \
    X(BufferData) X(BufferSubData) X(CheckFramebufferStatus) X(ClearDepthf) X(CompileShader) \
    X(CompressedTexImage2D) X(CompressedTexSubImage2D) X(CreateProgram) X(CreateShader) X(DeleteBuffers) \
    X(DeleteFramebuffers) X(DeleteProgram) X(DeleteRenderbuffers) X(DeleteShader) X(DepthRangef) \
    X(DetachShader) X(DisableVertexAttribArray) X(EnableVertexAttribArray) X(FramebufferRenderbuffer) \
    X(FramebufferTexture2D) X(GenBuffers) X(GenerateMipmap) X(GenFramebuffers) X(GenRenderbuffers) \
    X(GetActiveAttrib) X(GetActiveUniform) X(GetAttachedShaders) X(GetAttribLocation) \
    X(GetBufferParameteriv) X(GetFramebufferAttachmentParameteriv) X(GetProgramiv) X(GetProgramInfoLog) \
    X(GetRenderbufferParameteriv) X(GetShaderiv) X(GetShaderInfoLog) X(GetShaderPrecisionFormat) \
    X(GetShaderSource) X(GetUniformfv) X(GetUniformiv) X(GetUniformLocation) X(GetVertexAttribfv) \
    X(GetVertexAttribiv) X(GetVertexAttribPointerv) X(IsBuffer) X(IsFramebuffer) X(IsProgram) \
    X(IsRenderbuffer) X(IsShader) X(LinkProgram) X(ReleaseShaderCompiler) X(RenderbufferStorage) \
    X(SampleCoverage) X(ShaderBinary) X(ShaderSource) X(StencilFuncSeparate) X(StencilMaskSeparate) \
    X(StencilOpSeparate) X(Uniform1f) X(Uniform1fv) X(Uniform1i) X(Uniform1iv) X(Uniform2f) \
    X(Uniform2fv) X(Uniform2i) X(Uniform2iv) X(Uniform3f) X(Uniform3fv) X(Uniform3i) X(Uniform3iv) \
    X(Uniform4f) X(Uniform4fv) X(Uniform4i) X(Uniform4iv) X(UniformMatrix2fv) X(UniformMatrix3fv) \
    X(UniformMatrix4fv) X(UseProgram) X(ValidateProgram) X(VertexAttrib1f) X(VertexAttrib1fv) \
    X(VertexAttrib2f) X(VertexAttrib2fv) X(VertexAttrib3f) X(VertexAttrib3fv) X(VertexAttrib4f) \
    X(VertexAttrib4fv) X(VertexAttribPointer)

struct GlApi {
#define GRIMALOU_GL_MEMBER(name) decltype(&::gl##name) name = nullptr;
    GRIMALOU_GL11_FUNCTIONS(GRIMALOU_GL_MEMBER)
    GRIMALOU_GLES2_FUNCTIONS(GRIMALOU_GL_MEMBER)
#undef GRIMALOU_GL_MEMBER
};

extern GlApi gl;

// Resolves every entry by its name ("gl" + member name). A name that does not
// resolve leaves its pointer null.
using GlProcLookup = void* (*)(const char* name);
void LoadGlEntryPoints(GlProcLookup lookup);
