#include "win/clipboard_copy.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

namespace {

HGLOBAL CopyMemoryBlock(HANDLE h) {
    const SIZE_T size = GlobalSize(h);
    const void* from = size ? GlobalLock(h) : nullptr;
    if (!from) return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (void* to = copy ? GlobalLock(copy) : nullptr) {
        std::memcpy(to, from, size);
        GlobalUnlock(copy);
    } else if (copy) {
        GlobalFree(copy);
        copy = nullptr;
    }
    GlobalUnlock(h);
    return copy;
}

HANDLE CopyPalette(HPALETTE h) {
    const UINT n = GetPaletteEntries(h, 0, 0, nullptr);
    if (n == 0) return nullptr;
    std::vector<BYTE> buf(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(n);
    GetPaletteEntries(h, 0, n, lp->palPalEntry);
    return CreatePalette(lp);
}

// The metafile picture is a memory block that holds a metafile handle of its own.
HANDLE CopyMetafilePict(HANDLE h) {
    const auto* from = static_cast<const METAFILEPICT*>(GlobalLock(h));
    if (!from) return nullptr;
    METAFILEPICT pict = *from;
    GlobalUnlock(h);
    pict.hMF = CopyMetaFileW(pict.hMF, nullptr);
    if (!pict.hMF) return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, sizeof pict);
    if (void* to = copy ? GlobalLock(copy) : nullptr) {
        std::memcpy(to, &pict, sizeof pict);
        GlobalUnlock(copy);
        return copy;
    }
    if (copy) GlobalFree(copy);
    DeleteMetaFile(pict.hMF);
    return nullptr;
}

// What kind of handle a format's data is; none for the ones that cannot be copied.
std::optional<ClipboardCopy::Kind> KindOf(UINT id, HANDLE data) {
    using K = ClipboardCopy::Kind;
    switch (id) {
        case CF_BITMAP: case CF_DSPBITMAP: return K::Bitmap;
        case CF_PALETTE: return K::Palette;
        case CF_METAFILEPICT: case CF_DSPMETAFILEPICT: return K::MetafilePict;
        case CF_ENHMETAFILE: case CF_DSPENHMETAFILE: return K::EnhMetafile;
        // Drawn by its owner on request: there is no data to copy.
        case CF_OWNERDISPLAY: return std::nullopt;
        default: break;
    }
    // Private handles mean something only to the program that put them there (Windows does
    // not even free them), so they are left out.
    if (id >= CF_PRIVATEFIRST && id <= CF_PRIVATELAST) return std::nullopt;
    // GDI objects of unnamed kind: bitmaps and palettes can be duplicated, other kinds not.
    if (id >= CF_GDIOBJFIRST && id <= CF_GDIOBJLAST) {
        switch (GetObjectType(data)) {
            case OBJ_BITMAP: return K::Bitmap;
            case OBJ_PAL: return K::Palette;
            default: return std::nullopt;
        }
    }
    return K::Memory;
}

HANDLE Duplicate(ClipboardCopy::Kind kind, HANDLE data) {
    using K = ClipboardCopy::Kind;
    switch (kind) {
        case K::Memory: return CopyMemoryBlock(data);
        case K::Bitmap: return CopyImage(data, IMAGE_BITMAP, 0, 0, 0);
        case K::Palette: return CopyPalette(static_cast<HPALETTE>(data));
        case K::MetafilePict: return CopyMetafilePict(data);
        case K::EnhMetafile: return CopyEnhMetaFileW(static_cast<HENHMETAFILE>(data), nullptr);
    }
    return nullptr;
}

}  // namespace

ClipboardCopy::~ClipboardCopy() {
    for (const Format& f : formats_) Free(f);
}

void ClipboardCopy::Free(const Format& f) {
    switch (f.kind) {
        case Kind::Memory: GlobalFree(f.data); break;
        case Kind::Bitmap:
        case Kind::Palette: DeleteObject(f.data); break;
        case Kind::MetafilePict:
            if (auto* p = static_cast<METAFILEPICT*>(GlobalLock(f.data))) {
                DeleteMetaFile(p->hMF);
                GlobalUnlock(f.data);
            }
            GlobalFree(f.data);
            break;
        case Kind::EnhMetafile: DeleteEnhMetaFile(static_cast<HENHMETAFILE>(f.data)); break;
    }
}

namespace {
// Workers given up while they waited for an owner. Wine lets one reader of the clipboard at a
// time into an owner's render, so while one waits, every later one waits behind it: past a
// few, no more are started until they come back.
std::atomic<int> waitingWorkers{0};
constexpr int kMaxWaitingWorkers = 8;

}  // namespace

// One worker's share of the formats. Shared with the worker, which may outlive the copy
// when an owner never answers: what it reads after it was given up, it frees itself.
struct ClipboardCopy::Job {
    HWND openAs = nullptr;
    std::vector<UINT> ids;
    std::mutex m;
    HANDLE progress = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    size_t done = 0;  // formats read (or skipped) so far
    bool finished = false;
    bool givenUp = false;
    std::vector<Format> got;
    ~Job() {
        for (const Format& f : got) Free(f);
        if (progress) CloseHandle(progress);
    }
};

DWORD WINAPI ClipboardCopy::Worker(void* param) {
    std::shared_ptr<Job> job(std::move(*static_cast<std::shared_ptr<Job>*>(param)));
    delete static_cast<std::shared_ptr<Job>*>(param);
    const bool open = OpenClipboard(job->openAs);
    for (size_t i = job->done; open && i < job->ids.size(); ++i) {
        HANDLE data = GetClipboardData(job->ids[i]);  // may wait for the owner to render
        std::optional<Format> f;
        if (const auto kind = data ? KindOf(job->ids[i], data) : std::nullopt)
            if (HANDLE copy = Duplicate(*kind, data)) f = Format{job->ids[i], *kind, copy};
        std::lock_guard lock(job->m);
        if (job->givenUp) {
            if (f) Free(*f);
            break;
        }
        if (f) job->got.push_back(*f);
        job->done = i + 1;
        SetEvent(job->progress);
    }
    // Given up, the clipboard may be someone else's by now; closing then fails harmlessly.
    if (open) CloseClipboard();
    std::lock_guard lock(job->m);
    if (job->givenUp) --waitingWorkers;
    job->finished = true;
    SetEvent(job->progress);
    return 0;
}

// Formats Windows makes from others (CF_TEXT from CF_UNICODETEXT, CF_BITMAP from CF_DIB) are
// copied as well: put back, they read the same. A format whose owner does not render it, or
// whose data cannot be read, is skipped.
bool ClipboardCopy::TakeWithin(HWND openAs, const Pacing& pacing, UINT onlyFormat) {
    std::vector<UINT> ids;
    if (!OpenClipboard(openAs)) return false;
    for (UINT id = EnumClipboardFormats(0); id != 0; id = EnumClipboardFormats(id))
        if (!onlyFormat || id == onlyFormat) ids.push_back(id);
    CloseClipboard();
    seen_ = ids.size();
    size_t next = 0;
    bool leftWaiting = false;
    while (next < ids.size() && pacing.allow() > 0 && waitingWorkers < kMaxWaitingWorkers) {
        auto job = std::make_shared<Job>();
        job->openAs = openAs;
        job->ids = ids;
        job->done = next;
        auto* share = new std::shared_ptr<Job>(job);
        HANDLE thread = job->progress ? CreateThread(nullptr, 0, Worker, share, 0, nullptr) : nullptr;
        if (!thread) {
            delete share;
            break;
        }
        CloseHandle(thread);
        bool stuck = false, finished = false;
        while (!stuck && !finished) {
            const int allow = pacing.allow();
            const DWORD start = GetTickCount();
            size_t done = next;
            for (DWORD waited = 0;; waited = GetTickCount() - start) {
                {
                    std::lock_guard lock(job->m);
                    done = job->done;
                    finished = job->finished;
                }
                if (done > next || finished) break;
                if (allow <= 0 || waited >= static_cast<DWORD>(allow)) {
                    stuck = true;
                    break;
                }
                pacing.wait(job->progress, static_cast<DWORD>(allow) - waited);
            }
            pacing.took(stuck ? allow : static_cast<int>(GetTickCount() - start));
            next = done;
        }
        std::lock_guard lock(job->m);
        job->givenUp = true;
        if (!job->finished) ++waitingWorkers, leftWaiting = true;
        formats_.insert(formats_.end(), job->got.begin(), job->got.end());
        job->got.clear();
        // The format the worker waits on is left out; the next worker goes on after it (or
        // with the one after, should the wait have ended just as we gave up).
        next = job->done > next ? job->done : next + 1;
        if (finished && !stuck) break;
    }
    // A worker left waiting still has the clipboard open, as our own window: opened and
    // closed here, it is free for the paste and for everyone else.
    if (leftWaiting && OpenClipboard(openAs)) CloseClipboard();
    return true;
}

std::wstring ClipboardCopy::UnicodeText() const {
    std::wstring text;
    for (const Format& f : formats_) {
        if (f.id != CF_UNICODETEXT || f.kind != Kind::Memory) continue;
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(f.data))) {
            // Never past the block, even when another program left out the terminating NUL.
            text.assign(p, wcsnlen(p, GlobalSize(f.data) / sizeof(wchar_t)));
            GlobalUnlock(f.data);
        }
    }
    return text;
}

int ClipboardCopy::PutBack() {
    int back = 0;
    for (const Format& f : formats_) {
        if (SetClipboardData(f.id, f.data))
            ++back;
        else
            Free(f);
    }
    formats_.clear();
    return back;
}
