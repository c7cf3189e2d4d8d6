// The game loop's schedule, shared by the hosts: the update rate with its
// bounded catch-up, and suspension when the window (or the page) loses the
// focus. How a pass is driven, by a blocking loop on the desktop or by the
// browser's animation frames, is each host's own.
#pragma once

#include "host/game.h"
#include "host/loop_clock.h"

class KtLoopGame : public KtGame {
public:
    // False from each window creation until the window is first seen focused:
    // a window that never had the focus cannot lose it.
    bool focusSeen = true;
    double tickPeriod = 0;  // seconds
    // Clock time at which the next update is due; 0 when none is scheduled.
    double nextTick = 0;
    // The loop's time source; tests replace it.
    LoopClock* clock;

    KtLoopGame();

    void SetTickRate(int hertz) override;
    int ElapsedMilliseconds() override;

    // Suspends on a loss of focus once the window has had it, resumes when
    // the focus returns; either way the update schedule starts afresh.
    void FollowFocus(bool focused);
    // The updates due in this pass: one per pass at rate 0, else up to four
    // to catch up with the schedule, after which the backlog is dropped.
    void RunDueUpdates();
};
