// The watcher's change notification on Windows: ReadDirectoryChangesW on the
// folder, one overlapped request at a time, and an event that ends the wait
// when the watcher goes away.
#include "WatcherChanges.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

// Windows's file names are the same in any case: an editor may keep the case
// a file was first saved with.
bool isShaderFile(const wchar_t* name, std::size_t length) {
    const std::wstring named(name, length);
    return _wcsicmp(named.c_str(), L"vertex.glsl") == 0 ||
           _wcsicmp(named.c_str(), L"fragment.glsl") == 0;
}

// A name change covers a file created, deleted or renamed into place; last
// write and size cover saves in place, in one write or several.
constexpr DWORD watchedChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

} // namespace

struct Watcher::Changes::System {
    HANDLE folder = INVALID_HANDLE_VALUE;
    HANDLE stop = nullptr;
    OVERLAPPED request{};
    bool pending = false; // a request is out: `buffer` belongs to the system
    bool ok = false;
    alignas(DWORD) BYTE buffer[16384];

    bool ask() {
        ResetEvent(request.hEvent);
        pending = ReadDirectoryChangesW(folder, buffer, sizeof buffer, FALSE, watchedChanges,
                                        nullptr, &request, nullptr) != 0;
        return pending;
    }

    // The notifications of a finished request; whether one concerned a
    // shader file.
    bool shaderChanged(DWORD got) const {
        // Nothing returned: more changes came than the buffer holds, and
        // they are lost. One of them may have been a save.
        if (got == 0) {
            return true;
        }
        bool changed = false;
        for (DWORD at = 0;;) {
            const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + at);
            if (isShaderFile(info->FileName, info->FileNameLength / sizeof(WCHAR))) {
                changed = true;
            }
            if (info->NextEntryOffset == 0) {
                return changed;
            }
            at += info->NextEntryOffset;
        }
    }
};

Watcher::Changes::Changes(const std::string& dir) : system_(std::make_unique<System>()) {
    System& s = *system_;
    // Sharing everything: editors must still be able to replace, rename and
    // delete the folder's files while it is watched.
    s.folder = CreateFileA(
        dir.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    s.stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    s.request.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    s.ok = s.folder != INVALID_HANDLE_VALUE && s.stop != nullptr && s.request.hEvent != nullptr &&
           s.ask();
}

Watcher::Changes::~Changes() {
    System& s = *system_;
    if (s.pending) {
        // The system writes into the buffer until the request has ended.
        CancelIoEx(s.folder, &s.request);
        DWORD got = 0;
        GetOverlappedResult(s.folder, &s.request, &got, TRUE);
    }
    if (s.folder != INVALID_HANDLE_VALUE) {
        CloseHandle(s.folder);
    }
    for (HANDLE event : {s.stop, s.request.hEvent}) {
        if (event != nullptr) {
            CloseHandle(event);
        }
    }
}

bool Watcher::Changes::ok() const {
    return system_->ok;
}

Watcher::Changes::Seen Watcher::Changes::wait(std::optional<std::chrono::nanoseconds> timeout) {
    System& s = *system_;
    if (!s.pending && !s.ask()) {
        return Seen::Stopped;
    }
    DWORD milliseconds = INFINITE;
    if (timeout) {
        // Rounded up: the settle's deadline has passed when the wait ends.
        milliseconds =
            static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(*timeout).count());
    }
    const HANDLE either[2] = {s.request.hEvent, s.stop};
    switch (WaitForMultipleObjects(2, either, FALSE, milliseconds)) {
    case WAIT_TIMEOUT:
        return Seen::Nothing;
    case WAIT_OBJECT_0: {
        DWORD got = 0;
        const bool done = GetOverlappedResult(s.folder, &s.request, &got, FALSE) != 0;
        s.pending = false;
        if (!done) {
            // The folder went away, say: nothing more will come from it.
            return GetLastError() == ERROR_NOTIFY_ENUM_DIR ? Seen::ShaderChanged : Seen::Stopped;
        }
        return s.shaderChanged(got) ? Seen::ShaderChanged : Seen::Nothing;
    }
    default: // the stop event, or a failed wait
        return Seen::Stopped;
    }
}

void Watcher::Changes::stop() {
    SetEvent(system_->stop);
}
