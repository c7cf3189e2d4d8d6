#include "tests/support/gl_recorder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <regex>
#include <sstream>

#include "host/gl_api.h"
#include "host/gl_state.h"

namespace {

GlRecorder recorder;

struct Driver {
    GLuint nextName = 1;
    GLint boundTexture = 0;
    GLint boundFramebuffer = 0;
    std::map<GLuint, std::vector<GLuint>> attached;
    // Per program: uniform names and GL types, in declaration order.
    std::map<GLuint, std::vector<std::pair<std::string, GLenum>>> uniforms;
} driver;

const char* EnumName(GLenum value) {
    switch (value) {
    case GL_TEXTURE_2D: return "TEXTURE_2D";
    case GL_ARRAY_BUFFER: return "ARRAY_BUFFER";
    case GL_ELEMENT_ARRAY_BUFFER: return "ELEMENT_ARRAY_BUFFER";
    case GL_FRAMEBUFFER: return "FRAMEBUFFER";
    case GL_SCISSOR_TEST: return "SCISSOR_TEST";
    case GL_BLEND: return "BLEND";
    case GL_UNSIGNED_SHORT: return "UNSIGNED_SHORT";
    case GL_ONE: return "ONE";
    case GL_ONE_MINUS_SRC_ALPHA: return "ONE_MINUS_SRC_ALPHA";
    case GL_DST_COLOR: return "DST_COLOR";
    case GL_STREAM_DRAW: return "STREAM_DRAW";
    case GL_STATIC_DRAW: return "STATIC_DRAW";
    case GL_VERTEX_SHADER: return "VERTEX_SHADER";
    case GL_FRAGMENT_SHADER: return "FRAGMENT_SHADER";
    case GL_TEXTURE_MAG_FILTER: return "MAG_FILTER";
    case GL_TEXTURE_MIN_FILTER: return "MIN_FILTER";
    case GL_TEXTURE_WRAP_S: return "WRAP_S";
    case GL_TEXTURE_WRAP_T: return "WRAP_T";
    case GL_NEAREST: return "NEAREST";
    case GL_LINEAR: return "LINEAR";
    case GL_LINEAR_MIPMAP_LINEAR: return "LINEAR_MIPMAP_LINEAR";
    case GL_NEAREST_MIPMAP_NEAREST: return "NEAREST_MIPMAP_NEAREST";
    case GL_CLAMP_TO_EDGE: return "CLAMP_TO_EDGE";
    case GL_COLOR_BUFFER_BIT: return "COLOR_BUFFER_BIT";
    default: return nullptr;
    }
}

std::string Arg(GLenum value, bool isEnum) {
    if (isEnum) {
        if (const char* name = EnumName(value)) return name;
        if (value == 0) return "ZERO";
        if (value >= GL_TEXTURE0 && value < GL_TEXTURE0 + 32) return "TEXTURE" + std::to_string(value - GL_TEXTURE0);
    }
    return std::to_string(value);
}

template <class... T>
void Record(const char* name, const T&... args);

// Sets a piece of the simulated state, noting the call just recorded as
// redundant when it changes nothing.
template <class T>
void Track(T& field, T value) {
    if (field == value) recorder.redundant.push_back(recorder.calls.back());
    field = value;
}
void TrackRect(int* field, int x, int y, int w, int h) {
    int rect[4] = {x, y, w, h};
    if (std::equal(rect, rect + 4, field)) recorder.redundant.push_back(recorder.calls.back());
    std::copy(rect, rect + 4, field);
}

template <class... T>
void Record(const char* name, const T&... args) {
    std::ostringstream text;
    text << name << "(";
    const char* separator = "";
    ((text << separator << args, separator = ","), ...);
    (void)separator;  // unread when there are no arguments
    text << ")";
    recorder.calls.push_back(text.str());
}

std::string E(GLenum value) { return Arg(value, true); }
// Draw modes share their values with blend factors (GL_LINES is GL_ONE).
std::string Mode(GLenum mode) {
    switch (mode) {
    case GL_POINTS: return "POINTS";
    case GL_LINES: return "LINES";
    case GL_TRIANGLES: return "TRIANGLES";
    case GL_TRIANGLE_FAN: return "TRIANGLE_FAN";
    default: return std::to_string(mode);
    }
}
std::string F(float value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// ---- OpenGL 1.1 --------------------------------------------------------------

void RecBindTexture(GLenum target, GLuint name) {
    Record("BindTexture", E(target), name);
    driver.boundTexture = static_cast<GLint>(name);
    if (recorder.state.activeUnit < 8) Track(recorder.state.textures[recorder.state.activeUnit], name);
}
void RecBlendFunc(GLenum s, GLenum d) {
    Record("BlendFunc", E(s), E(d));
    if (recorder.state.blendSource == s && recorder.state.blendDestination == d)
        recorder.redundant.push_back(recorder.calls.back());
    recorder.state.blendSource = s;
    recorder.state.blendDestination = d;
}
void RecClear(GLbitfield mask) { Record("Clear", E(mask)); }
void RecClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Record("ClearColor", F(r), F(g), F(b), F(a)); }
void RecColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a) {
    Record("ColorMask", int(r), int(g), int(b), int(a));
}
void RecDeleteTextures(GLsizei n, const GLuint* names) { Record("DeleteTextures", n, names[0]); }
void SetCapability(GLenum cap, bool on) {
    if (cap == GL_SCISSOR_TEST) Track(recorder.state.scissorTest, on);
    if (cap == GL_BLEND) Track(recorder.state.blend, on);
}
void RecDisable(GLenum cap) {
    Record("Disable", E(cap));
    SetCapability(cap, false);
}
void RecEnable(GLenum cap) {
    Record("Enable", E(cap));
    SetCapability(cap, true);
}
void RecDrawArrays(GLenum mode, GLint first, GLsizei count) {
    Record("DrawArrays", Mode(mode), first, count);
    recorder.draws.push_back(recorder.state);
}
void RecDrawElements(GLenum mode, GLsizei count, GLenum type, const void* offset) {
    Record("DrawElements", Mode(mode), count, E(type), reinterpret_cast<intptr_t>(offset));
    recorder.draws.push_back(recorder.state);
}
void RecGenTextures(GLsizei n, GLuint* names) {
    for (GLsizei i = 0; i < n; ++i) names[i] = driver.nextName++;
    Record("GenTextures", n);
}
GLenum RecGetError() {
    Record("GetError");
    return GL_NO_ERROR;
}
void RecGetIntegerv(GLenum what, GLint* value) {
    Record("GetIntegerv", what);
    *value = what == GL_TEXTURE_BINDING_2D ? driver.boundTexture : what == GL_FRAMEBUFFER_BINDING ? driver.boundFramebuffer : 0;
}
void RecLineWidth(GLfloat width) { Record("LineWidth", F(width)); }
void RecScissor(GLint x, GLint y, GLsizei w, GLsizei h) {
    Record("Scissor", x, y, w, h);
    TrackRect(recorder.state.scissor, x, y, w, h);
}
void RecTexImage2D(GLenum target, GLint level, GLint, GLsizei w, GLsizei h, GLint, GLenum, GLenum,
                   const void* pixels) {
    if (level == 0)
        Record("TexImage2D", E(target), w, h, pixels ? "pixels" : "null");
    else
        Record("TexImage2D", E(target), "level " + std::to_string(level), w, h, pixels ? "pixels" : "null");
}
void RecTexParameteri(GLenum target, GLenum name, GLint value) {
    Record("TexParameteri", E(target), E(name), E(static_cast<GLenum>(value)));
}
void RecViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    Record("Viewport", x, y, w, h);
    TrackRect(recorder.state.viewport, x, y, w, h);
}

// ---- OpenGL ES 2.0 -----------------------------------------------------------

void RecActiveTexture(GLenum unit) {
    Record("ActiveTexture", E(unit));
    Track(recorder.state.activeUnit, static_cast<int>(unit - GL_TEXTURE0));
}
void RecAttachShader(GLuint program, GLuint shader) {
    driver.attached[program].push_back(shader);
    Record("AttachShader", program, shader);
}
void RecBindAttribLocation(GLuint program, GLuint index, const GLchar* name) {
    Record("BindAttribLocation", program, index, name);
}
void RecBindBuffer(GLenum target, GLuint name) { Record("BindBuffer", E(target), name); }
void RecBindFramebuffer(GLenum target, GLuint name) {
    Record("BindFramebuffer", E(target), name);
    driver.boundFramebuffer = static_cast<GLint>(name);
    Track(recorder.state.framebuffer, name);
}
void RecBufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage) {
    Record("BufferData", E(target), size, data ? "data" : "null", E(usage));
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    recorder.bufferData.push_back(bytes ? std::vector<unsigned char>(bytes, bytes + size) : std::vector<unsigned char>());
}
void RecBufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const void* data) {
    Record("BufferSubData", E(target), offset, size);
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    recorder.uploads.emplace_back(bytes, bytes + size);
}
GLenum RecCheckFramebufferStatus(GLenum target) {
    Record("CheckFramebufferStatus", E(target));
    return recorder.framebufferIncomplete ? GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT : GL_FRAMEBUFFER_COMPLETE;
}
void RecCompileShader(GLuint shader) { Record("CompileShader", shader); }
GLuint RecCreateProgram() {
    GLuint name = driver.nextName++;
    Record("CreateProgram");
    return name;
}
GLuint RecCreateShader(GLenum type) {
    GLuint name = driver.nextName++;
    Record("CreateShader", E(type));
    return name;
}
void RecDeleteShader(GLuint shader) { Record("DeleteShader", shader); }
void RecEnableVertexAttribArray(GLuint index) { Record("EnableVertexAttribArray", index); }
void RecFramebufferTexture2D(GLenum target, GLenum, GLenum, GLuint texture, GLint) {
    Record("FramebufferTexture2D", E(target), texture);
}
void RecGenBuffers(GLsizei n, GLuint* names) {
    for (GLsizei i = 0; i < n; ++i) names[i] = driver.nextName++;
    Record("GenBuffers", n);
}
void RecGenerateMipmap(GLenum target) { Record("GenerateMipmap", E(target)); }
void RecGenFramebuffers(GLsizei n, GLuint* names) {
    for (GLsizei i = 0; i < n; ++i) names[i] = driver.nextName++;
    Record("GenFramebuffers", n);
}

GLenum UniformType(const std::string& type) {
    if (type == "float") return GL_FLOAT;
    if (type == "vec4") return GL_FLOAT_VEC4;
    if (type == "mat4") return GL_FLOAT_MAT4;
    if (type == "sampler2D") return GL_SAMPLER_2D;
    if (type == "int") return GL_INT;
    return GL_FLOAT_VEC2;
}

void RecLinkProgram(GLuint program) {
    Record("LinkProgram", program);
    auto& found = driver.uniforms[program];
    found.clear();
    std::vector<std::string>& sources = recorder.programSources[program];
    sources.clear();
    static const std::regex declaration(R"(uniform\s+(\w+)\s+(\w+))");
    for (GLuint shader : driver.attached[program]) {
        const std::string& source = recorder.shaderSources[shader];
        sources.push_back(source);
        for (std::sregex_iterator it(source.begin(), source.end(), declaration), end; it != end; ++it) {
            std::string name = (*it)[2];
            bool known = false;
            for (auto& u : found) known = known || u.first == name;
            if (!known) found.emplace_back(name, UniformType((*it)[1]));
        }
    }
}

void RecGetActiveUniform(GLuint program, GLuint index, GLsizei bufSize, GLsizei* length, GLint* size, GLenum* type,
                         GLchar* name) {
    const auto& u = driver.uniforms[program].at(index);
    std::string text = u.first.substr(0, static_cast<size_t>(bufSize - 1));
    std::memcpy(name, text.c_str(), text.size() + 1);
    *length = static_cast<GLsizei>(text.size());
    *size = 1;
    *type = u.second;
}

void RecGetProgramiv(GLuint program, GLenum what, GLint* value) {
    switch (what) {
    case GL_LINK_STATUS:
        *value = recorder.failLinkLog.empty() ? GL_TRUE : GL_FALSE;
        break;
    case GL_INFO_LOG_LENGTH:
        *value = static_cast<GLint>(recorder.failLinkLog.size() + 1);
        break;
    case GL_ACTIVE_UNIFORMS:
        *value = static_cast<GLint>(driver.uniforms[program].size());
        break;
    case GL_ACTIVE_UNIFORM_MAX_LENGTH:
        *value = 64;
        break;
    default:
        *value = 0;
    }
}
void RecGetProgramInfoLog(GLuint, GLsizei bufSize, GLsizei* length, GLchar* log) {
    std::string text = recorder.failLinkLog.substr(0, static_cast<size_t>(bufSize - 1));
    std::memcpy(log, text.c_str(), text.size() + 1);
    *length = static_cast<GLsizei>(text.size());
}
void RecGetShaderiv(GLuint, GLenum what, GLint* value) {
    switch (what) {
    case GL_COMPILE_STATUS:
        *value = recorder.failCompileLog.empty() ? GL_TRUE : GL_FALSE;
        break;
    case GL_INFO_LOG_LENGTH:
        *value = static_cast<GLint>(recorder.failCompileLog.size() + 1);
        break;
    default:
        *value = 0;
    }
}
void RecGetShaderInfoLog(GLuint, GLsizei bufSize, GLsizei* length, GLchar* log) {
    std::string text = recorder.failCompileLog.substr(0, static_cast<size_t>(bufSize - 1));
    std::memcpy(log, text.c_str(), text.size() + 1);
    *length = static_cast<GLsizei>(text.size());
}
GLint RecGetUniformLocation(GLuint program, const GLchar* name) {
    const auto& list = driver.uniforms[program];
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].first == name) return static_cast<GLint>(i + 1);
    return -1;
}
void RecShaderSource(GLuint shader, GLsizei count, const GLchar* const* strings, const GLint* lengths) {
    std::string text;
    for (GLsizei i = 0; i < count; ++i) text += lengths ? std::string(strings[i], lengths[i]) : std::string(strings[i]);
    recorder.shaderSources[shader] = text;
    Record("ShaderSource", shader);
}
void RecUniform1f(GLint location, GLfloat value) { Record("Uniform1f", location, F(value)); }
void RecUniform1i(GLint location, GLint value) { Record("Uniform1i", location, value); }
void RecUniform4fv(GLint location, GLsizei count, const GLfloat* v) {
    Record("Uniform4fv", location, count, count > 0 ? F(v[0]) + " " + F(v[1]) + " " + F(v[2]) + " " + F(v[3]) : "");
}
void RecUniformMatrix4fv(GLint location, GLsizei count, GLboolean, const GLfloat*) {
    Record("UniformMatrix4fv", location, count);
}
void RecUseProgram(GLuint program) {
    Record("UseProgram", program);
    Track(recorder.state.program, program);
}
void RecVertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalised, GLsizei stride,
                            const void* offset) {
    Record("VertexAttribPointer", index, size, type == GL_FLOAT ? "FLOAT" : "UNSIGNED_BYTE", int(normalised), stride,
           reinterpret_cast<intptr_t>(offset));
}

}  // namespace

std::vector<std::string> GlRecorder::Calls(const std::vector<std::string>& prefixes) const {
    if (prefixes.empty()) return calls;
    std::vector<std::string> chosen;
    for (const std::string& call : calls)
        for (const std::string& prefix : prefixes)
            if (call.compare(0, prefix.size(), prefix) == 0) {
                chosen.push_back(call);
                break;
            }
    return chosen;
}

GlRecorder& glRecorder() { return recorder; }

GlRecorder& InstallGlRecorder() {
    gl = GlApi();
    driver = Driver();
    recorder = GlRecorder();
    gl.BindTexture = RecBindTexture;
    gl.BlendFunc = RecBlendFunc;
    gl.Clear = RecClear;
    gl.ClearColor = RecClearColor;
    gl.ColorMask = RecColorMask;
    gl.DeleteTextures = RecDeleteTextures;
    gl.Disable = RecDisable;
    gl.DrawArrays = RecDrawArrays;
    gl.DrawElements = RecDrawElements;
    gl.Enable = RecEnable;
    gl.GenTextures = RecGenTextures;
    gl.GetError = RecGetError;
    gl.GetIntegerv = RecGetIntegerv;
    gl.LineWidth = RecLineWidth;
    gl.Scissor = RecScissor;
    gl.TexImage2D = RecTexImage2D;
    gl.TexParameteri = RecTexParameteri;
    gl.Viewport = RecViewport;
    gl.ActiveTexture = RecActiveTexture;
    gl.AttachShader = RecAttachShader;
    gl.BindAttribLocation = RecBindAttribLocation;
    gl.BindBuffer = RecBindBuffer;
    gl.BindFramebuffer = RecBindFramebuffer;
    gl.BufferData = RecBufferData;
    gl.BufferSubData = RecBufferSubData;
    gl.CheckFramebufferStatus = RecCheckFramebufferStatus;
    gl.CompileShader = RecCompileShader;
    gl.CreateProgram = RecCreateProgram;
    gl.CreateShader = RecCreateShader;
    gl.DeleteShader = RecDeleteShader;
    gl.EnableVertexAttribArray = RecEnableVertexAttribArray;
    gl.FramebufferTexture2D = RecFramebufferTexture2D;
    gl.GenBuffers = RecGenBuffers;
    gl.GenerateMipmap = RecGenerateMipmap;
    gl.GenFramebuffers = RecGenFramebuffers;
    gl.GetActiveUniform = RecGetActiveUniform;
    gl.GetProgramiv = RecGetProgramiv;
    gl.GetProgramInfoLog = RecGetProgramInfoLog;
    gl.GetShaderiv = RecGetShaderiv;
    gl.GetShaderInfoLog = RecGetShaderInfoLog;
    gl.GetUniformLocation = RecGetUniformLocation;
    gl.LinkProgram = RecLinkProgram;
    gl.ShaderSource = RecShaderSource;
    gl.Uniform1f = RecUniform1f;
    gl.Uniform1i = RecUniform1i;
    gl.Uniform4fv = RecUniform4fv;
    gl.UniformMatrix4fv = RecUniformMatrix4fv;
    gl.UseProgram = RecUseProgram;
    gl.VertexAttribPointer = RecVertexAttribPointer;
    // A new table: whatever the cache knew was about the old one.
    InvalidateGlState();
    return recorder;
}
