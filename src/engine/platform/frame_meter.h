// Frame timing as players read it: frames per second and frame times, recent (for the on-screen
// counter) and over a whole run (median, 99th percentile, worst), and the CPU time the whole
// process spent per frame.
#pragma once

#include <string>
#include <vector>

class FrameMeter {
  public:
    // Starts a run: frame times are measured from `now_ms`, CPU time from `cpu_ms`.
    void Start(double now_ms, double cpu_ms);
    // One frame presented at `now_ms`. `play` marks a frame of play (one step of the game), as
    // against the screens between, whose pauses are deliberate: play is also summed on its own.
    void Frame(double now_ms, bool play = false);
    bool Started() const { return started_; }

    // Over the last second of frames (the whole run while it is shorter).
    double RecentFps() const;
    double RecentFrameMs() const; // mean frame time
    double RecentWorstMs() const;

    struct Summary {
        size_t frames = 0;
        double seconds = 0;
        double fps = 0;
        double median_ms = 0, p99_ms = 0, worst_ms = 0;
        double cpu_ms_per_frame = 0;
    };
    // Every frame, with the CPU time up to `cpu_ms`.
    Summary Summarize(double cpu_ms) const;
    // The frames of play only: their time from the frame before, and the CPU time spent in it.
    Summary SummarizePlay() const;

  private:
    bool started_ = false;
    double start_ms_ = 0, last_ms_ = 0, cpu_start_ms_ = 0, last_cpu_ms_ = 0;
    std::vector<float> times_;      // every frame's time, ms
    std::vector<float> play_times_; // the times of the frames of play, ms
    double play_cpu_ms_ = 0;
};

// The report printed after a timed run, a few lines of plain text, after `heading` when given.
std::string DescribeFrameSummary(const FrameMeter::Summary& s, const char* heading = nullptr);

// CPU time used by the whole process so far (every thread, user and system), ms.
double ProcessCpuMs();
// A steady wall clock, ms.
double SteadyMs();
