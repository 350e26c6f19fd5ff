#pragma once

#include <string>
#include <sys/types.h>

// A private PulseAudio daemon for the measurement: one null sink, `nullsink`,
// at 48 kHz, reachable only through the socket under `directory`. The
// constructor points this process's environment at it, so that everything
// started afterwards (SDL, libpulse, child processes) uses it and no other.
// The daemon is stopped when the value goes away.
class PulseDaemon {
  public:
    explicit PulseDaemon(const std::string& directory);
    ~PulseDaemon();
    PulseDaemon(const PulseDaemon&) = delete;
    PulseDaemon& operator=(const PulseDaemon&) = delete;

  private:
    pid_t pid_ = -1;
};

// Runs `argv` to its end; true when it exits with 0.
bool runToEnd(const char* const* argv);
