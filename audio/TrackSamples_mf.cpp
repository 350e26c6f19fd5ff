// The decoding through Media Foundation's source reader, which every Windows
// since 7 carries with its MP3 decoder: nothing to ship beside the program.
// Its libraries are loaded when the first track is decoded, not linked: the
// editions of Windows sold without media ("N", until their Media Feature
// Pack is installed) lack them, and vellomirke-live must start there all
// the same, with a timeline that says it has no sound.
// The reader hands out the track as the decoder makes it, a buffer at a
// time, so only one buffer is ever held.
#include "TrackSamples.h"

#include <windows.h>
#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Owns one reference to a COM object. WRL's ComPtr would do, but the few
// lines here keep the file free of its headers' demands on the compiler.
template <typename T> class ComHeld {
  public:
    ComHeld() = default;
    ~ComHeld() { reset(); }
    ComHeld(const ComHeld&) = delete;
    ComHeld& operator=(const ComHeld&) = delete;

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For the calls that hand out a new reference through a T**.
    T** receive() {
        reset();
        return &object_;
    }
    void reset() {
        if (object_ != nullptr) {
            object_->Release();
            object_ = nullptr;
        }
    }

  private:
    T* object_ = nullptr;
};

// COM on this thread for as long as the decoding runs. The thread may be a
// worker that has never met COM, or one that already has it in another
// apartment (RPC_E_CHANGED_MODE): the reader works in either, and only a
// successful call here is to be balanced.
class ComApartment {
  public:
    ComApartment() : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~ComApartment() {
        if (joined_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool joined_;
};

// The four calls of Media Foundation's libraries that this file makes;
// the rest are methods of the objects they hand out. Loaded once, on the
// first call from any thread, and kept to the end of the process, never
// freed under a thread of theirs; all null where a library is missing.
struct MediaFoundationCalls {
    decltype(&MFStartup) startup = nullptr;
    decltype(&MFShutdown) shutdown = nullptr;
    decltype(&MFCreateMediaType) createMediaType = nullptr;
    decltype(&MFCreateSourceReaderFromURL) createSourceReader = nullptr;

    bool loaded() const {
        return startup != nullptr && shutdown != nullptr && createMediaType != nullptr &&
               createSourceReader != nullptr;
    }
};

template <typename Call> void find(HMODULE library, const char* name, Call& call) {
    if (library != nullptr) {
        call = reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    }
}

const MediaFoundationCalls& mediaFoundation() {
    static const MediaFoundationCalls calls = [] {
        MediaFoundationCalls found;
        const HMODULE platform = LoadLibraryW(L"mfplat.dll");
        const HMODULE readers = LoadLibraryW(L"mfreadwrite.dll");
        find(platform, "MFStartup", found.startup);
        find(platform, "MFShutdown", found.shutdown);
        find(platform, "MFCreateMediaType", found.createMediaType);
        find(readers, "MFCreateSourceReaderFromURL", found.createSourceReader);
        return found;
    }();
    return calls;
}

// MFStartup and MFShutdown are counted by the platform, so that decodings
// on several threads at once each hold their own.
class MediaFoundation {
  public:
    MediaFoundation() : status_(mediaFoundation().startup(MF_VERSION, MFSTARTUP_LITE)) {}
    ~MediaFoundation() {
        if (SUCCEEDED(status_)) {
            mediaFoundation().shutdown();
        }
    }
    MediaFoundation(const MediaFoundation&) = delete;
    MediaFoundation& operator=(const MediaFoundation&) = delete;

    HRESULT status() const { return status_; }

  private:
    HRESULT status_;
};

// A media buffer's bytes, locked while this lives.
class LockedBuffer {
  public:
    explicit LockedBuffer(IMFMediaBuffer* buffer) : buffer_(buffer) {
        status_ = buffer_->Lock(&bytes_, nullptr, &length_);
    }
    ~LockedBuffer() {
        if (SUCCEEDED(status_)) {
            buffer_->Unlock();
        }
    }
    LockedBuffer(const LockedBuffer&) = delete;
    LockedBuffer& operator=(const LockedBuffer&) = delete;

    HRESULT status() const { return status_; }
    const BYTE* bytes() const { return bytes_; }
    DWORD length() const { return length_; }

  private:
    IMFMediaBuffer* buffer_;
    HRESULT status_;
    BYTE* bytes_ = nullptr;
    DWORD length_ = 0;
};

std::string utf8FromWide(const wchar_t* text, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

// "what failed (0x80070002: The system cannot find the file specified.)";
// Media Foundation's own codes have no text in the system's table, their
// number alone then.
std::string failure(const std::string& what, HRESULT status) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
    std::string text = what + " (" + code;
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(status), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    if (length > 0 && message != nullptr) {
        std::string words = utf8FromWide(message, static_cast<int>(length));
        while (!words.empty() &&
               (words.back() == '\n' || words.back() == '\r' || words.back() == ' ')) {
            words.pop_back();
        }
        if (!words.empty()) {
            text += ": " + words;
        }
    }
    if (message != nullptr) {
        LocalFree(message);
    }
    return text + ")";
}

// The reader wants a URL or an absolute path; the path comes in UTF-8 and
// may be relative to the working folder.
bool absoluteWidePath(const std::string& path, std::wstring& wide) {
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(),
                                         static_cast<int>(path.size()), nullptr, 0);
    if (size <= 0) {
        return false;
    }
    std::wstring relative(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()),
                        relative.data(), size);
    const DWORD needed = GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return false;
    }
    wide.assign(needed, L'\0');
    const DWORD written = GetFullPathNameW(relative.c_str(), needed, wide.data(), nullptr);
    if (written == 0 || written >= needed) {
        return false;
    }
    wide.resize(written);
    return true;
}

// The reader's output as it stands: 32-bit float or 16-bit integer frames.
struct PcmFormat {
    bool isFloat = false;
    UINT32 channels = 0;
    UINT32 rate = 0;
    UINT32 frameBytes = 0;
};

bool readFormat(IMFSourceReader* reader, PcmFormat& format, std::string& problem) {
    ComHeld<IMFMediaType> type;
    HRESULT status = reader->GetCurrentMediaType(
        static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM), type.receive());
    if (FAILED(status)) {
        problem = failure("the decoder's output format could not be read", status);
        return false;
    }
    GUID subtype{};
    UINT32 bits = 0;
    if (FAILED(status = type->GetGUID(MF_MT_SUBTYPE, &subtype)) ||
        FAILED(status = type->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &format.channels)) ||
        FAILED(status = type->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &format.rate)) ||
        FAILED(status = type->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits))) {
        problem = failure("the decoder's output format is incomplete", status);
        return false;
    }
    format.isFloat = subtype == MFAudioFormat_Float;
    const bool usable =
        (format.isFloat && bits == 32) || (subtype == MFAudioFormat_PCM && bits == 16);
    if (!usable || format.channels == 0 || format.rate == 0) {
        problem = "the decoder gives " + std::to_string(bits) + "-bit samples, " +
                  std::to_string(format.channels) + " channels at " + std::to_string(format.rate) +
                  " Hz, of a kind not read here";
        return false;
    }
    format.frameBytes = format.channels * (bits / 8);
    return true;
}

// Asks for 32-bit float first, which loses nothing of the decoder's output;
// 16-bit integers where the decoder offers no float.
HRESULT askForPcm(IMFSourceReader* reader) {
    HRESULT status = E_FAIL;
    for (const bool asFloat : {true, false}) {
        ComHeld<IMFMediaType> type;
        status = mediaFoundation().createMediaType(type.receive());
        if (FAILED(status)) {
            return status;
        }
        type->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
        type->SetGUID(MF_MT_SUBTYPE, asFloat ? MFAudioFormat_Float : MFAudioFormat_PCM);
        type->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, asFloat ? 32 : 16);
        status = reader->SetCurrentMediaType(
            static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM), nullptr, type.get());
        if (SUCCEEDED(status)) {
            return status;
        }
    }
    return status;
}

// Adds `frames` frames of `bytes` to `mono` as the channels' mean.
void mixDown(const BYTE* bytes, std::size_t frames, const PcmFormat& format,
             std::vector<float>& mono) {
    mono.resize(frames);
    const std::size_t channels = format.channels;
    const float scale = 1.0f / static_cast<float>(channels);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const BYTE* at = bytes + frame * format.frameBytes;
        float sum = 0.0f;
        for (std::size_t channel = 0; channel < channels; ++channel) {
            // Copied out: a media buffer promises no alignment.
            if (format.isFloat) {
                float value;
                std::memcpy(&value, at + channel * sizeof value, sizeof value);
                sum += value;
            } else {
                std::int16_t value;
                std::memcpy(&value, at + channel * sizeof value, sizeof value);
                sum += static_cast<float>(value) / 32768.0f;
            }
        }
        mono[frame] = sum * scale;
    }
}

} // namespace

TrackSamples decodeTrack(const std::string& path, double maxSeconds, const TakeSamples& take) {
    TrackSamples track;
    track.decoder = "Media Foundation";

    if (!mediaFoundation().loaded()) {
        track.result = TrackSamples::Result::NoDecoder;
        track.problem = "this Windows has no Media Foundation (an N edition without its Media "
                        "Feature Pack)";
        return track;
    }
    const ComApartment apartment;
    const MediaFoundation platform;
    if (FAILED(platform.status())) {
        track.result = TrackSamples::Result::NoDecoder;
        track.problem = failure("Media Foundation did not start", platform.status());
        return track;
    }
    track.result = TrackSamples::Result::NotDecodable;

    std::wstring widePath;
    if (!absoluteWidePath(path, widePath)) {
        track.problem = "the path is not a usable file name";
        return track;
    }
    ComHeld<IMFSourceReader> reader;
    HRESULT status =
        mediaFoundation().createSourceReader(widePath.c_str(), nullptr, reader.receive());
    if (FAILED(status)) {
        track.problem = failure("the source reader could not open it", status);
        return track;
    }
    // Only the sound is read: a stream left selected but never read, such
    // as a cover picture, would have its samples queue up in the reader.
    reader->SetStreamSelection(static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS), FALSE);
    status =
        reader->SetStreamSelection(static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM), TRUE);
    if (FAILED(status)) {
        track.problem = failure("it holds no sound", status);
        return track;
    }
    status = askForPcm(reader.get());
    if (FAILED(status)) {
        track.problem = failure("the decoder gives neither float nor 16-bit samples", status);
        return track;
    }
    PcmFormat format;
    if (!readFormat(reader.get(), format, track.problem)) {
        return track;
    }
    track.rate = static_cast<int>(format.rate);

    // Counted in frames at the output's rate, so that the stop falls on the
    // frame that maxSeconds names however the blocks are cut; `before` holds
    // the seconds decoded in an earlier format, should the format change.
    const double wanted = std::isfinite(maxSeconds) ? std::max(0.0, maxSeconds) : 1e12;
    double before = 0.0;
    double done = 0.0;
    double limit = std::floor(wanted * format.rate);
    const auto decodedSeconds = [&] { return before + done / format.rate; };
    std::vector<float> mono;
    bool stopped = limit <= 0.0;
    while (!stopped) {
        DWORD flags = 0;
        LONGLONG timestamp = 0;
        ComHeld<IMFSample> sample;
        status = reader->ReadSample(static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM), 0,
                                    nullptr, &flags, &timestamp, sample.receive());
        if (FAILED(status) || (flags & MF_SOURCE_READERF_ERROR) != 0) {
            track.seconds = decodedSeconds();
            track.problem = failure("decoding failed after " + std::to_string(track.seconds) + " s",
                                    FAILED(status) ? status : E_FAIL);
            return track;
        }
        if ((flags & MF_SOURCE_READERF_CURRENTMEDIATYPECHANGED) != 0) {
            before = decodedSeconds();
            done = 0.0;
            if (!readFormat(reader.get(), format, track.problem)) {
                track.seconds = before;
                return track;
            }
            limit = std::floor((wanted - before) * format.rate);
            stopped = limit <= 0.0;
        }
        if (sample && !stopped) {
            ComHeld<IMFMediaBuffer> buffer;
            status = sample->ConvertToContiguousBuffer(buffer.receive());
            if (FAILED(status)) {
                track.seconds = decodedSeconds();
                track.problem = failure("a decoded block could not be read", status);
                return track;
            }
            const LockedBuffer locked(buffer.get());
            if (FAILED(locked.status())) {
                track.seconds = decodedSeconds();
                track.problem = failure("a decoded block could not be locked", locked.status());
                return track;
            }
            std::size_t frames = locked.length() / format.frameBytes;
            if (static_cast<double>(frames) >= limit - done) {
                frames = static_cast<std::size_t>(limit - done);
                stopped = true;
            }
            if (frames > 0) {
                mixDown(locked.bytes(), frames, format, mono);
                done += static_cast<double>(frames);
                if (!take(mono.data(), frames, static_cast<int>(format.rate))) {
                    stopped = true;
                }
            }
        }
        if ((flags & MF_SOURCE_READERF_ENDOFSTREAM) != 0) {
            track.ended = !stopped;
            break;
        }
    }
    track.seconds = decodedSeconds();
    track.result = TrackSamples::Result::Decoded;
    return track;
}
