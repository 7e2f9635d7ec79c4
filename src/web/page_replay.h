// A recording played by the page itself, for the page's tests: the keys that leave the logo and
// the title and then the recorded controls of every play frame go into the page's own event
// queue, frame for frame as the desktop's replay runner sends them, and at each of the
// recording's checkpoints the page is asked to read its canvas back. The page's tests compare
// what it read with the recording's picture digests, which the desktop build took.
#pragma once

#include <cstddef>
#include <string>

#include "replay/recording.h"

class PageReplay {
  public:
    // Reads the recording; `frame_limit` above 0 stops the controls after that many play frames.
    bool Load(const std::string& path, size_t frame_limit, std::string& error);
    // Called after every picture the page has shown.
    void AfterPresent();

  private:
    void Checkpoint(int frame, int after);

    Recording rec_;
    size_t limit_ = 0, applied_ = 0;
    bool saw_title_ = false, seeded_ = false, pending_ = false, done_ = false;
    int step_ = 0, screen_frames_ = 0, frames_shown_ = 0;
    int release_ = 0; // a key pressed on the frame before, let go now
};
