#pragma once
// A copy of what is on the clipboard, to be put back later: every format whose data can be
// duplicated (memory formats, registered and application formats among them; bitmaps,
// palettes and metafiles).
#include <windows.h>

#include <vector>

class ClipboardCopy {
public:
    ClipboardCopy() = default;
    ~ClipboardCopy();
    ClipboardCopy(const ClipboardCopy&) = delete;
    ClipboardCopy& operator=(const ClipboardCopy&) = delete;

    // Copies every format; the caller has the clipboard open.
    void Take();
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

    std::vector<Format> formats_;
};
