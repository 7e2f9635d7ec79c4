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
    // One frame presented at `now_ms`.
    void Frame(double now_ms);
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
    Summary Summarize(double cpu_ms) const;

  private:
    bool started_ = false;
    double start_ms_ = 0, last_ms_ = 0, cpu_start_ms_ = 0;
    std::vector<float> times_; // every frame's time, ms
};

// The report printed after a timed run, a few lines of plain text.
std::string DescribeFrameSummary(const FrameMeter::Summary& s);

// CPU time used by the whole process so far (every thread, user and system), ms.
double ProcessCpuMs();
// A steady wall clock, ms.
double SteadyMs();
