#include "host/loop_game.h"

#include <cstdint>

namespace {

// After a stall, at most this many updates are replayed in one pass; the rest
// of the backlog is dropped so that a slow machine does not fall further behind.
constexpr int kMaxCatchUpUpdates = 4;

}  // namespace

KtLoopGame::KtLoopGame() : clock(RealLoopClock()) {}

void KtLoopGame::SetTickRate(int hertz) {
    tickRate = hertz;
    if (hertz != 0) tickPeriod = 1.0 / hertz;
    nextTick = 0;
}

int KtLoopGame::ElapsedMilliseconds() {
    // Whole milliseconds, truncated; after about 24.8 days the count wraps
    // around the 32-bit range instead of leaving it (a float-to-int
    // conversion out of range has no defined result).
    int64_t ms = static_cast<int64_t>(clock->Now() * 1000.0);
    return static_cast<int>(static_cast<uint32_t>(ms));
}

void KtLoopGame::FollowFocus(bool focused) {
    if (focused) {
        focusSeen = true;
        if (suspended) {
            Resume();
            nextTick = 0;
        }
    } else if (focusSeen && !suspended) {
        Suspend();
        nextTick = 0;
    }
}

void KtLoopGame::RunDueUpdates() {
    if (suspended) return;
    if (tickRate == 0) {
        Update();
        return;
    }
    if (nextTick == 0) nextTick = clock->Now();
    for (int i = 0; i < kMaxCatchUpUpdates; ++i) {
        Update();
        if (nextTick == 0) return;  // the update changed the rate
        nextTick += tickPeriod;
        if (nextTick > clock->Now()) return;
    }
    nextTick = 0;
}
