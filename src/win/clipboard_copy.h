#pragma once
// A copy of what is on the clipboard, to be put back later: every format whose data can be
// duplicated (memory formats, registered and application formats among them; bitmaps,
// palettes and metafiles).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class ClipboardCopy {
public:
    ClipboardCopy() = default;
    ~ClipboardCopy();
    ClipboardCopy(const ClipboardCopy&) = delete;
    ClipboardCopy& operator=(const ClipboardCopy&) = delete;

    // Copies every format without holding up the caller for an owner that renders slowly or
    // never: the formats are read by a worker thread that opens the clipboard as `openAs`,
    // and a format is left out when it has not arrived in the time `allow` grants (0 leaves
    // it and the rest out). A worker caught in an owner's render is left to it; the next
    // one goes on with the following formats. `took` is told each format's time; `wait`
    // waits for the handle at most the milliseconds given, handling events meanwhile.
    // The caller has the clipboard closed. False: it could not be opened.
    struct Pacing {
        std::function<int()> allow;
        std::function<void(int)> took;
        std::function<void(HANDLE, DWORD)> wait;
    };
    // onlyFormat: that format alone, when the clipboard has it.
    bool TakeWithin(HWND openAs, const Pacing& pacing, UINT onlyFormat = 0);
    // The Unicode text among the copied formats; empty when there is none.
    std::wstring UnicodeText() const;
    // The clipboard held no format at all when it was copied.
    bool WasEmpty() const { return seen_ == 0; }
    // Puts the copies on the clipboard, which the caller has open and emptied; the clipboard
    // owns them afterwards. Returns how many formats went back.
    int PutBack();
    bool Empty() const { return formats_.empty(); }

    enum class Kind { Memory, Bitmap, Palette, MetafilePict, EnhMetafile };

private:
    struct Format {
        UINT id;
        Kind kind;
        HANDLE data;
    };
    static void Free(const Format& f);

    struct Job;
    static DWORD WINAPI Worker(void* job);

    std::vector<Format> formats_;
    size_t seen_ = 0;  // formats the clipboard offered
};
