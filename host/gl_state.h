// The GL state cache: what the program believes OpenGL has bound, so that
// binding what is already bound costs no GL call and nothing on the drawing
// path ever reads state back from GL.
//
// The rule: every change of the state held here goes through the cache, from
// the canvas and from the framework's immediate graphics alike; code that
// talks to GL directly about any of it must call InvalidateGlState after.
// Each entry is either known (it holds what GL has) or unknown, and a set
// that meets an unknown entry always reaches GL. Everything becomes unknown
// on one path only, InvalidateGlState, which runs by itself when the graphics
// generation changes (a new window brings a new context) and is called by
// whoever changes GL behind the cache's back (a new GL entry table, say).
#pragma once

#include "runtime/collector.h"
#include "runtime/gc_ref.h"

// The texture units the renderer binds: the material's samplers from unit 0
// up, the shadow texture on unit 7.
constexpr int GL_STATE_TEXTURE_UNITS = 8;

class GlStateCache {
public:
    GlStateCache();

    // GL program name in use; true when GL was told, false when it had it.
    bool UseProgram(int program);
    // Binds a 2D texture on a unit, making the unit active first if needed.
    void BindTexture(int unit, int texture);
    // After glDeleteTextures: GL reverts the units that held it to texture 0.
    void TextureDeleted(int texture);
    void EnableBlend(bool on);
    void BlendFunc(int source, int destination);
    void EnableScissorTest(bool on);
    void Scissor(int x, int y, int w, int h);
    void Viewport(int x, int y, int w, int h);
    void BindFramebuffer(int framebuffer);

    // The material whose textures are bound on their units and whose uniform
    // values are in the program in use. A program or texture bound by anyone
    // else forgets it; the material sets it once it has bound itself.
    Object* Material() {
        Check();
        return material_;
    }
    void SetMaterial(Object* material) { material_ = material; }

    // Forgets everything: every entry becomes unknown.
    void Invalidate();

private:
    void Check();

    static constexpr int kUnknown = -1;
    // A rectangle entry (scissor, viewport): Put says whether GL must be told.
    struct Rect {
        bool known = false;
        int x = 0, y = 0, w = 0, h = 0;
        bool Put(int nx, int ny, int nw, int nh) {
            if (known && x == nx && y == ny && w == nw && h == nh) return false;
            *this = {true, nx, ny, nw, nh};
            return true;
        }
    };
    // The graphics generation whose context the entries describe.
    int generation_ = kUnknown;
    int program_ = kUnknown;
    gc_root<Object> material_;
    int blend_ = kUnknown;  // 0 off, 1 on
    int blendSource_ = kUnknown;
    int blendDestination_ = kUnknown;
    int activeUnit_ = kUnknown;
    int textures_[GL_STATE_TEXTURE_UNITS];
    int scissorTest_ = kUnknown;
    Rect scissor_;
    Rect viewport_;
    int framebuffer_ = kUnknown;
};

// The one cache of the process: there is one GL context at a time.
extern GlStateCache glState;

// The one invalidation path, for code that changed GL behind the cache.
void InvalidateGlState();
