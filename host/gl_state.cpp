#include "host/gl_state.h"

#include "host/game.h"
#include "host/gl_api.h"

GlStateCache glState;

GlStateCache::GlStateCache() { Invalidate(); }

void InvalidateGlState() { glState.Invalidate(); }

void GlStateCache::Invalidate() {
    generation_ = graphicsGeneration;
    program_ = kUnknown;
    material_ = nullptr;
    blend_ = blendSource_ = blendDestination_ = kUnknown;
    activeUnit_ = kUnknown;
    for (int& texture : textures_) texture = kUnknown;
    scissorTest_ = kUnknown;
    scissor_.known = false;
    viewport_.known = false;
    framebuffer_ = kUnknown;
}

void GlStateCache::Check() {
    if (generation_ != graphicsGeneration) Invalidate();
}

bool GlStateCache::UseProgram(int program) {
    Check();
    if (program_ == program) return false;
    gl.UseProgram(static_cast<GLuint>(program));
    program_ = program;
    material_ = nullptr;
    return true;
}

void GlStateCache::BindTexture(int unit, int texture) {
    Check();
    if (textures_[unit] == texture) return;
    if (activeUnit_ != unit) {
        gl.ActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
        activeUnit_ = unit;
    }
    gl.BindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    textures_[unit] = texture;
    material_ = nullptr;
}

void GlStateCache::TextureDeleted(int texture) {
    Check();
    for (int& bound : textures_)
        if (bound == texture) bound = 0;
}

void GlStateCache::EnableBlend(bool on) {
    Check();
    if (blend_ == static_cast<int>(on)) return;
    if (on)
        gl.Enable(GL_BLEND);
    else
        gl.Disable(GL_BLEND);
    blend_ = on;
}

void GlStateCache::BlendFunc(int source, int destination) {
    Check();
    if (blendSource_ == source && blendDestination_ == destination) return;
    gl.BlendFunc(static_cast<GLenum>(source), static_cast<GLenum>(destination));
    blendSource_ = source;
    blendDestination_ = destination;
}

void GlStateCache::EnableScissorTest(bool on) {
    Check();
    if (scissorTest_ == static_cast<int>(on)) return;
    if (on)
        gl.Enable(GL_SCISSOR_TEST);
    else
        gl.Disable(GL_SCISSOR_TEST);
    scissorTest_ = on;
}

void GlStateCache::Scissor(int x, int y, int w, int h) {
    Check();
    if (scissor_.Put(x, y, w, h)) gl.Scissor(x, y, w, h);
}

void GlStateCache::Viewport(int x, int y, int w, int h) {
    Check();
    if (viewport_.Put(x, y, w, h)) gl.Viewport(x, y, w, h);
}

void GlStateCache::BindFramebuffer(int framebuffer) {
    Check();
    if (framebuffer_ == framebuffer) return;
    gl.BindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
    framebuffer_ = framebuffer;
}
