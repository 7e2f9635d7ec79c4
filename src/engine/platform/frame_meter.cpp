#include "engine/platform/frame_meter.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

void FrameMeter::Start(double now_ms, double cpu_ms) {
    started_ = true;
    start_ms_ = last_ms_ = now_ms;
    cpu_start_ms_ = last_cpu_ms_ = cpu_ms;
    times_.clear();
    play_times_.clear();
    play_cpu_ms_ = 0;
}

void FrameMeter::Frame(double now_ms, bool play) {
    const double cpu_ms = ProcessCpuMs();
    if (!started_) {
        Start(now_ms, cpu_ms);
        return;
    }
    times_.push_back(float(now_ms - last_ms_));
    if (play) {
        play_times_.push_back(times_.back());
        play_cpu_ms_ += cpu_ms - last_cpu_ms_;
    }
    last_ms_ = now_ms;
    last_cpu_ms_ = cpu_ms;
}

namespace {
// How many of the latest frames make up the last second.
size_t RecentCount(const std::vector<float>& times) {
    double sum = 0;
    size_t n = 0;
    for (auto it = times.rbegin(); it != times.rend() && sum < 1000.0; ++it, ++n) sum += *it;
    return n;
}
} // namespace

double FrameMeter::RecentFps() const {
    const double ms = RecentFrameMs();
    return ms > 0 ? 1000.0 / ms : 0.0;
}

double FrameMeter::RecentFrameMs() const {
    const size_t n = RecentCount(times_);
    if (n == 0) return 0.0;
    double sum = 0;
    for (size_t i = times_.size() - n; i < times_.size(); ++i) sum += times_[i];
    return sum / double(n);
}

double FrameMeter::RecentWorstMs() const {
    const size_t n = RecentCount(times_);
    float worst = 0;
    for (size_t i = times_.size() - n; i < times_.size(); ++i) worst = std::max(worst, times_[i]);
    return worst;
}

namespace {
FrameMeter::Summary Summarize(const std::vector<float>& times, double seconds, double cpu_ms) {
    FrameMeter::Summary s;
    s.frames = times.size();
    s.seconds = seconds;
    if (s.frames == 0) return s;
    std::vector<float> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    s.fps = s.seconds > 0 ? double(s.frames) / s.seconds : 0.0;
    s.median_ms = sorted[sorted.size() / 2];
    // The smallest time that at least 99 % of the frames keep within.
    const size_t k = (sorted.size() * 99 + 99) / 100;
    s.p99_ms = sorted[std::min(sorted.size(), std::max<size_t>(k, 1)) - 1];
    s.worst_ms = sorted.back();
    s.cpu_ms_per_frame = cpu_ms / double(s.frames);
    return s;
}
} // namespace

FrameMeter::Summary FrameMeter::Summarize(double cpu_ms) const {
    return ::Summarize(times_, (last_ms_ - start_ms_) / 1000.0, cpu_ms - cpu_start_ms_);
}

FrameMeter::Summary FrameMeter::SummarizePlay() const {
    double ms = 0;
    for (float t : play_times_) ms += t;
    return ::Summarize(play_times_, ms / 1000.0, play_cpu_ms_);
}

std::string DescribeFrameSummary(const FrameMeter::Summary& s, const char* heading) {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "%s%s%zu frames in %.2f s: %.1f frames per second\n"
                  "frame time: median %.2f ms, 99th percentile %.2f ms, worst %.2f ms\n"
                  "CPU time of the whole process (all threads): %.2f ms per frame (%.0f%% of one core)\n",
                  heading != nullptr ? heading : "", heading != nullptr ? ": " : "", s.frames, s.seconds, s.fps, s.median_ms, s.p99_ms, s.worst_ms, s.cpu_ms_per_frame,
                  s.seconds > 0 ? s.cpu_ms_per_frame * double(s.frames) / (s.seconds * 10.0) : 0.0);
    return buf;
}

double ProcessCpuMs() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    auto ms = [](const timeval& t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    return ms(ru.ru_utime) + ms(ru.ru_stime);
}

double SteadyMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}
