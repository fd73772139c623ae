#include "win/clipboard_copy.h"

#include <cstring>
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

void ClipboardCopy::Take() {
    // Formats Windows makes from others (CF_TEXT from CF_UNICODETEXT, CF_BITMAP from CF_DIB)
    // are copied as well: put back, they read the same. A format whose owner does not
    // render it, or whose data cannot be read, is skipped.
    for (UINT id = EnumClipboardFormats(0); id != 0; id = EnumClipboardFormats(id)) {
        HANDLE data = GetClipboardData(id);
        if (!data) continue;
        const auto kind = KindOf(id, data);
        if (!kind) continue;
        if (HANDLE copy = Duplicate(*kind, data)) formats_.push_back({id, *kind, copy});
    }
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
