#include "host/game.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/errors.h"
#include "host/files.h"
#include "host/paths.h"
#include "host/picture_file.h"
#include "host/sound_files.h"

KtGame* currentGame = nullptr;
int graphicsGeneration = 0;
int processArgumentCount = 0;
char** processArguments = nullptr;

namespace {

// Relative to the working directory, not the executable's folder.
const char* const kStateFile = "./.ravlenstate";
// Whole files are read in pieces of this many bytes.
constexpr size_t kReadPiece = 4096;


// Hands one event to the delegate. A throwable must not unwind into the
// window system's callbacks: it ends the process as uncaught. One collector
// step follows every delivered event, when no object is held only by a local.
template <class Call>
void Deliver(KtGame* game, Call call) {
    try {
        if (game->delegate) call(game->delegate);
    } catch (ThrowableObject* throwable) {
        game->ReportUncaught(throwable);
    }
    game->CollectStep();
}

}  // namespace

KtGame::KtGame() { currentGame = this; }
KtGame::~KtGame() {}

void KtGame::SetDelegate(KtGameDelegate* d) { delegate = d; }
KtGameDelegate* KtGame::GetDelegate() { return delegate; }
void KtGame::SetUserFlag(bool flag) { userFlag = flag; }
bool KtGame::UserFlag() { return userFlag; }
void KtGame::SetTickRate(int hertz) { tickRate = hertz; }
int KtGame::TickRate() { return tickRate; }
bool KtGame::IsStarted() { return started; }
bool KtGame::IsSuspended() { return suspended; }
int KtGame::ElapsedMilliseconds() { return 0; }

void KtGame::FillDate(Array<int> date) {
    if (date.IsEmpty()) return;
    LocalTime now = LocalTimeNow();
    int fields[7] = {now.year, now.month, now.day, now.hour, now.minute, now.second, 0};
    for (int i = 0; i < date.Length() && i < 7; ++i) date[i] = fields[i];
}

int KtGame::StoreStateText(const String& text) {
    std::FILE* file = OpenFile(String(kStateFile), String("wb"));
    if (!file) return -1;
    bool written = SaveString(text, file);
    // Buffered bytes reach the disk at fclose; a full disk shows up only there.
    if (std::fclose(file) != 0) written = false;
    return written ? 0 : -2;
}

String KtGame::FetchStateText() {
    std::FILE* file = OpenFile(String(kStateFile), String("rb"));
    if (!file) return String();
    String text = LoadString(file);
    std::fclose(file);
    return text;
}

String KtGame::LoadText(const String& path) {
    std::FILE* file = OpenFile(path, String("rb"));
    if (!file) return String();
    String text = LoadString(file);
    std::fclose(file);
    return text;
}

int KtGame::CountJoysticks(bool) { return 0; }
bool KtGame::PollJoystick(int, Array<float>, Array<float>, Array<float>, Array<bool>) { return false; }
void KtGame::OpenLink(const String&) {}
std::string KtGame::SendFile(const std::string&, const std::string&, const std::string&) {
    return "this system has no way to send a file";
}
std::string KtGame::ShowFile(const std::string&) { return "this system has no file manager"; }
void KtGame::SetCursorShown(bool) {}
bool KtGame::TouchFirst() { return false; }
int KtGame::WindowWidth() { return 0; }
int KtGame::WindowHeight() { return 0; }
void KtGame::CreateDeviceWindow(int, int, int) {}
void KtGame::SetFullscreen(bool) {}
bool KtGame::IsFullscreen() { return false; }
void KtGame::FollowWindowKey(int key, bool alt) {
    constexpr int kEnter = 13, kEscape = 27, kF11 = 122;
    if (key == kF11 || (alt && key == kEnter))
        SetFullscreen(!IsFullscreen());
    else if (key == kEscape)
        SetFullscreen(false);
}

Array<KtDisplayMode*> KtGame::ScreenModes() { return Array<KtDisplayMode*>(); }
KtDisplayMode* KtGame::DesktopScreenMode() { return nullptr; }
void KtGame::SetSwapInterval(int) {}
String KtGame::ResolvePath(const String& path) {
    if (appDir.IsEmpty()) appDir = DirectoryOf(ExecutablePath());
    if (!path.HasPrefix(String("ravlen:"))) return path;
    if (path.HasPrefix(String("ravlen://data/"))) return appDir + String("/data/") + path.Substring(14);
    if (path.HasPrefix(String("ravlen://internal/"))) {
        if (internalDir.IsEmpty()) internalDir = appDir + String("/internal");
        return internalDir + String("/") + path.Substring(18);
    }
    if (path.HasPrefix(String("ravlen://external/"))) return appDir + String("/external/") + path.Substring(18);
    return String();
}

String CompleteDataPath(const String& path) {
    if (path.HasPrefix(String(".")) || path.HasPrefix(String("/"))) return path;
    int colon = path.IndexOf(String(":/"));
    if (colon != -1 && path.IndexOf(String("/")) == colon + 1) return path;
    return String("ravlen://data/") + path;
}

std::FILE* KtGame::OpenFile(const String& path, const String& mode) {
    String resolved = ResolvePath(path);
    if (resolved.IsEmpty()) return nullptr;
    return std::fopen(PathToUtf8(resolved).c_str(), PathToUtf8(mode).c_str());
}

unsigned char* KtGame::LoadFileData(const String& path, int* length) {
    std::FILE* file = OpenFile(path, String("rb"));
    if (!file) return nullptr;
    std::string bytes;
    unsigned char piece[kReadPiece];
    for (;;) {
        size_t got = std::fread(piece, 1, kReadPiece, file);
        bytes.append(reinterpret_cast<const char*>(piece), got);
        if (got < kReadPiece) break;
        // Lengths are int32: a larger file cannot be described to the caller.
        if (bytes.size() > static_cast<size_t>(INT32_MAX) - kReadPiece) {
            std::fclose(file);
            return nullptr;
        }
    }
    // A short read is either the end or an error (a folder opens like a file
    // here and fails at the first read); an error is no file, not an empty one.
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return nullptr;
    // One byte more than needed, so that an empty file still gives a block
    // (a null result means "no file").
    unsigned char* block = static_cast<unsigned char*>(std::malloc(bytes.size() + 1));
    if (!block) return nullptr;
    std::memcpy(block, bytes.data(), bytes.size());
    *length = static_cast<int>(bytes.size());
    gc_add_external_bytes(*length);
    return block;
}

unsigned char* KtGame::LoadImagePixels(const String& path, int* width, int* height, int* components,
                                       int64_t maxPixels) {
    std::FILE* file = OpenFile(path, String("rb"));
    if (!file) return nullptr;
    int w = 0, h = 0, c = 0;
    unsigned char* pixels = DecodePictureFile(file, &w, &h, &c, maxPixels);
    std::fclose(file);
    if (!pixels) return nullptr;
    *width = w;
    *height = h;
    *components = c;
    gc_add_external_bytes(w * h * c);
    return pixels;
}

unsigned char* KtGame::LoadPicture(const String& path, int* width, int* height, int64_t maxPixels) {
    int w = 0, h = 0, components = 0;
    unsigned char* pixels = LoadImagePixels(path, &w, &h, &components, maxPixels);
    if (!pixels) return nullptr;
    unsigned char* rgba = PremultipliedRgba(pixels, w, h, components);
    if (!rgba) return nullptr;
    *width = w;
    *height = h;
    return rgba;
}

unsigned char* KtGame::LoadSampleData(const String& path, int* length, int* channels, int* bytesPerSample,
                                      int* rate) {
    std::FILE* file = OpenFile(path, String("rb"));
    if (!file) return nullptr;
    unsigned char* samples = ReadSampleFile(file, path, length, channels, bytesPerSample, rate);
    std::fclose(file);
    if (samples) gc_add_external_bytes(*length * *channels * *bytesPerSample);
    return samples;
}

void KtGame::ReportUncaught(ThrowableObject* throwable) { ::ReportUncaught(throwable); }

void KtGame::CollectStep() {
    gc_mark_now(delegate);
    gc_collect_step();
    // Checked builds look at the whole heap after every step, so that a broken
    // rule is reported by the event that broke it.
    if (GC_CHECKED) {
        const char* fault = gc_check_heap();
        if (*fault) RuntimeError(String("Heap check failed: ") + String(fault));
    }
}

void KtGame::Start() {
    if (started) return;
    started = true;
    Deliver(this, [](KtGameDelegate* d) { d->Start(); });
}

void KtGame::Suspend() {
    if (!started || suspended) return;
    suspended = true;
    Deliver(this, [](KtGameDelegate* d) { d->Suspend(); });
}

void KtGame::Resume() {
    if (!started || !suspended) return;
    suspended = false;
    Deliver(this, [](KtGameDelegate* d) { d->Resume(); });
}

void KtGame::Update() {
    if (!started || suspended) return;
    Deliver(this, [](KtGameDelegate* d) { d->Update(); });
}

void KtGame::Render() {
    if (!started) return;
    Deliver(this, [](KtGameDelegate* d) { d->Render(); });
}

void KtGame::KeyInput(int event, int data) {
    if (!started) return;
    Deliver(this, [=](KtGameDelegate* d) { d->KeyInput(event, data); });
}

void KtGame::MouseInput(int event, int data, float x, float y) {
    if (!started) return;
    Deliver(this, [=](KtGameDelegate* d) { d->MouseInput(event, data, x, y); });
}

void KtGame::TouchInput(int event, int data, float x, float y) {
    if (!started) return;
    Deliver(this, [=](KtGameDelegate* d) { d->TouchInput(event, data, x, y); });
}

void KtGame::MotionInput(int event, int data, float x, float y, float z) {
    if (!started) return;
    Deliver(this, [=](KtGameDelegate* d) { d->MotionInput(event, data, x, y, z); });
}

void KtGame::ReleaseGraphics() {
    if (!started) return;
    Deliver(this, [](KtGameDelegate* d) { d->ReleaseGraphics(); });
}
