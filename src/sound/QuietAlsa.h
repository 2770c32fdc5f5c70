#pragma once

namespace sound {

// alsa-lib prints its own complaints on stderr when there is no sound card,
// several lines of them each time a device is looked for. SDL passes the
// failure on and the cue player reports it once, so ALSA's printer is muted
// while one of these lives. SDL opens the same library.
class QuietAlsa {
public:
    QuietAlsa();
    ~QuietAlsa();
    QuietAlsa(const QuietAlsa&) = delete;
    QuietAlsa& operator=(const QuietAlsa&) = delete;

private:
    void* library_ = nullptr;
};

} // namespace sound
