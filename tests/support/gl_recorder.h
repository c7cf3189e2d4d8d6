// The recording GL layer: fills the `gl` table with functions that write each
// call as text ("Viewport(100,250,400,300)", enums by their short name,
// "Enable(SCISSOR_TEST)", a texture level above 0 as "level 1") and simulate just enough of a driver for the
// renderer to run: object names count up, bindings are remembered, shaders
// always compile and link, and a program's active uniforms are the
// "uniform <type> <name>" declarations found in its sources.
#pragma once

#include <map>
#include <string>
#include <vector>

// The state a draw call met, as the recorded calls left it (GL's defaults
// at first).
struct DrawState {
    unsigned program = 0;
    unsigned textures[8] = {};  // per unit
    int activeUnit = 0;
    bool scissorTest = false;
    int scissor[4] = {0, 0, 0, 0};
    int viewport[4] = {0, 0, 0, 0};
    bool blend = false;
    unsigned blendSource = 1, blendDestination = 0;  // GL_ONE, GL_ZERO
    unsigned framebuffer = 0;
};

struct GlRecorder {
    std::vector<std::string> calls;
    // One entry per draw call, in order.
    std::vector<DrawState> draws;
    // The state the calls so far have set.
    DrawState state;
    // Calls that set a binding, capability, rectangle or blend function to
    // what it already was.
    std::vector<std::string> redundant;
    // Every glBufferSubData's bytes, in order, and every glBufferData's.
    std::vector<std::vector<unsigned char>> uploads;
    std::vector<std::vector<unsigned char>> bufferData;
    // Shader sources by shader name, and the two sources of every program.
    std::map<unsigned, std::string> shaderSources;
    std::map<unsigned, std::vector<std::string>> programSources;
    // Set to make the next compile fail with this log.
    std::string failCompileLog;
    // Set to make the next link fail with this log.
    std::string failLinkLog;
    // Set to make framebuffer status checks report an incomplete framebuffer.
    bool framebufferIncomplete = false;

    // Calls whose text starts with one of the prefixes (all when empty).
    std::vector<std::string> Calls(const std::vector<std::string>& prefixes = {}) const;
    // Forgets the calls, uploads and draws; the state they set stays.
    void Clear() {
        calls.clear();
        uploads.clear();
        draws.clear();
        redundant.clear();
    }
};

// Replaces every entry of `gl` (the ones the renderer does not use become
// null, so calling one crashes the test), starts a fresh record and empties
// the GL state cache.
GlRecorder& InstallGlRecorder();
GlRecorder& glRecorder();
