// The clock a player can show (--show-timer): the time of the current area and of the whole game,
// counted in game steps (60 a second), so a pause, a suspended window or a slow machine never
// changes it. The area's time counts the play frames of the current try at the area (a death
// starts it again); the game's counts every frame shown from the title's choice on, except the
// frames a pause shows. At each area's end its time is shown; the best time of each area and of
// a whole game are kept in data/besttimes.txt beside the top score.
#pragma once

#include <map>
#include <string>
#include <vector>

// "m:ss.hh" for a count of game steps.
std::string StepsAsTime(int64_t steps);

struct BestTimes {
    std::map<std::string, int64_t> areas; // "1.1" to "5.3"
    int64_t game = 0;                     // 0 until a whole game is finished
    bool operator==(const BestTimes&) const = default;

    std::string ToText() const;
    // False, with the line and the reason, for a file that is not one.
    static bool FromText(const std::string& text, BestTimes& out, std::string& error);
};

class PlayClock {
  public:
    // Reads the best times from `path` (a host path; a missing file means none yet). A file that
    // cannot be read is reported on stderr and never written over.
    explicit PlayClock(std::string path);

    void PlayFrame();  // a frame of play is about to be shown
    void AfterFrame(); // after every presented frame
    // Writes the best times when one was beaten (safely: a temporary file renamed over the old).
    void Save();

    int64_t AreaSteps() const { return area_steps_; }
    int64_t GameSteps() const { return game_steps_; }
    bool Running() const { return running_; }
    const BestTimes& Best() const { return best_; }
    // The times of the areas finished in this run, in order ("1.1", steps).
    const std::vector<std::pair<std::string, int64_t>>& Finished() const { return finished_; }
    // The overlay's lines: the running times, or an area's or the game's time at its end.
    std::vector<std::string> Lines() const;

  private:
    std::string path_;
    BestTimes best_;
    bool unreadable_ = false, changed_ = false;
    bool saw_title_ = false, running_ = false, frame_ran_ = false, in_intro_ = false;
    int64_t area_steps_ = 0, game_steps_ = 0;
    std::string area_;      // "1.1" of the area in play
    std::string message_;   // shown at an area's or the game's end
    std::vector<std::pair<std::string, int64_t>> finished_;
    int last_state_ = 0;
};
