#pragma once
// The playback's own timing without the way input travels to another program: the loop's
// timers wake for COUNT pointer moves SPACING ms apart, aimed as the pump aims records, and
// each move is handed to the system through the player's InputSender (to whatever window is
// under the pointer, as in a hidden playback). Wake is how late the timer's call began
// against the due millisecond; send is how long SendInput took.
struct HandOverFigures {
    struct Spread {
        double median = 0;  // milliseconds
        double p99 = 0;
        double worst = 0;
    };
    Spread wake;
    Spread send;
    long refused = 0;  // moves the system refused: then the figures measure no hand-over
};

HandOverFigures MeasureHandOver(long count, long spacing);
