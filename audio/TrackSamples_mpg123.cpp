// The track through libmpg123, the decoder SDL2_mixer plays MP3 with here,
// so that what the timeline shows starts where the player is heard to start:
// both leave out the encoder's delay and padding that a LAME header states
// (the library's gapless mode, on by default).
#include "TrackSamples.h"

#include <mpg123.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct HandleDeleter {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

TrackSamples failed(TrackSamples::Result result, std::string problem) {
    TrackSamples samples;
    samples.result = result;
    samples.decoder = "libmpg123";
    samples.problem = std::move(problem);
    return samples;
}

} // namespace

TrackSamples decodeTrack(const std::string& path, double maxSeconds, const TakeSamples& take) {
    // Since 1.27 the library needs no global set-up, and mpg123_init is
    // thread-safe to call again where it still does.
    if (mpg123_init() != MPG123_OK) {
        return failed(TrackSamples::Result::NoDecoder, "libmpg123 cannot start");
    }
    int error = MPG123_OK;
    Handle handle(mpg123_new(nullptr, &error));
    if (!handle) {
        return failed(TrackSamples::Result::NoDecoder, mpg123_plain_strerror(error));
    }
    // Float samples at the track's own rate, as many channels as it has;
    // notes on damaged frames stay off standard error.
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    mpg123_format_none(handle.get());
    for (long rate : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L}) {
        mpg123_format(handle.get(), rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    }
    if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK) {
        return failed(TrackSamples::Result::NotDecodable, mpg123_strerror(handle.get()));
    }
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels <= 0) {
        return failed(TrackSamples::Result::NotDecodable, "no MPEG audio frames in it");
    }

    TrackSamples result;
    result.result = TrackSamples::Result::Decoded;
    result.decoder = "libmpg123";
    result.rate = static_cast<int>(rate);
    const auto wanted = static_cast<std::size_t>(maxSeconds * static_cast<double>(rate));
    std::size_t decoded = 0; // mono samples
    std::vector<float> interleaved(4096 * static_cast<std::size_t>(channels));
    std::vector<float> mono;
    for (;;) {
        size_t bytes = 0;
        const int status =
            mpg123_read(handle.get(), reinterpret_cast<unsigned char*>(interleaved.data()),
                        interleaved.size() * sizeof(float), &bytes);
        const std::size_t frames = bytes / sizeof(float) / static_cast<std::size_t>(channels);
        const std::size_t keep = std::min(frames, wanted - decoded);
        mono.resize(keep);
        for (std::size_t i = 0; i < keep; ++i) {
            float sum = 0.0f;
            for (int c = 0; c < channels; ++c) {
                sum += interleaved[i * static_cast<std::size_t>(channels) + c];
            }
            mono[i] = sum / static_cast<float>(channels);
        }
        decoded += keep;
        const bool more = keep == 0 || take(mono.data(), keep, result.rate);
        if (decoded >= wanted || !more) {
            break;
        }
        if (status == MPG123_DONE) {
            result.ended = true;
            break;
        }
        // A format change mid-stream is taken as it comes; anything else
        // that is not a success ends the track where it is damaged.
        if (status == MPG123_NEW_FORMAT) {
            if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK ||
                channels <= 0) {
                result.ended = true;
                break;
            }
            interleaved.resize(4096 * static_cast<std::size_t>(channels));
        } else if (status != MPG123_OK) {
            result.ended = true;
            break;
        }
    }
    result.seconds = static_cast<double>(decoded) / static_cast<double>(rate);
    if (decoded == 0 && result.ended) {
        return failed(TrackSamples::Result::NotDecodable, "no MPEG audio frames in it");
    }
    return result;
}
