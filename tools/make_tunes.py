#!/usr/bin/env python3
"""Writes the five tunes resources/tunes/sakura_0.mid .. sakura_4.mid.

Phrases of the traditional song さくらさくら, each a Standard MIDI File of format 0 with one
track at 120 ticks per quarter note. Each file has a fixed size (SIZES), reached by padding
the track name with spaces. Output is deterministic: running this again rewrites the same
bytes, and every file is read back by a strict parser before it is written.

    python3 tools/make_tunes.py [OUTPUT_DIR]
"""
import os
import sys

DIVISION = 120
Q = DIVISION          # quarter note
H = 2 * Q             # half note
E8 = Q // 2           # eighth note
W = 4 * Q             # whole note

SIZES = [164, 168, 132, 172, 144]

# Pitches of the song's scale (E F A B C), around middle C.
B3, C4, E4, F4, A4, B4, C5 = 59, 60, 64, 65, 69, 71, 72

# The song, line by line: (pitch, length in ticks).
SAKURA = [[A4, Q], [A4, Q], [B4, H], [A4, Q], [A4, Q], [B4, H]]             # さくら さくら
YAYOI = [[A4, Q], [B4, Q], [C5, Q], [B4, Q], [A4, Q], [B4, E8], [A4, E8], [F4, H]]  # やよいのそらは
MIWATASU = [[E4, Q], [C4, Q], [E4, Q], [F4, Q], [E4, Q], [E4, E8], [C4, E8], [B3, H]]
KASUMI = YAYOI                                                             # かすみかくもか
NIOI = MIWATASU                                                            # においぞいずる
IZAYA = SAKURA                                                             # いざや いざや
MINI = [[E4, Q], [F4, Q], [B4, E8], [A4, E8], [F4, Q], [E4, W]]              # みにゆかん
ECHO = [[F4 + 12, Q], [E4 + 12, H]]


def varlen(n):
    """MIDI variable-length quantity."""
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


def meta(kind, data, delta=0):
    return varlen(delta) + bytes([0xFF, kind]) + varlen(len(data)) + data


def tempo(bpm):
    return meta(0x51, (60_000_000 // bpm).to_bytes(3, "big"))


def notes(phrase, transpose=0, velocity=80, accent=0, gap=8, lead=0):
    """Note-on/note-off pairs on channel 0 with running status (note-off = note-on velocity 0).

    Every note sounds `gap` ticks short of its length, which keeps repeated pitches apart;
    `accent` is added to the first note of each bar-sized group so the phrase breathes.
    Returns the bytes and the ticks still owed to the next event.
    """
    out = bytearray()
    pending = lead
    first = True
    pos = 0
    for pitch, length in phrase:
        vel = velocity + (accent if pos % W == 0 else 0)
        vel = max(1, min(127, vel))
        out += varlen(pending)
        if first:
            out.append(0x90)
            first = False
        out += bytes([pitch + transpose, vel])
        out += varlen(length - gap) + bytes([pitch + transpose, 0])
        pending = gap
        pos += length
    return bytes(out), pending


def track(name, body):
    """A complete file: header, one track holding the padded name and `body`."""
    return (b"MThd" + (6).to_bytes(4, "big") + (0).to_bytes(2, "big") + (1).to_bytes(2, "big")
            + DIVISION.to_bytes(2, "big")
            + b"MTrk" + (len(name) + len(body)).to_bytes(4, "big") + name + body)


def build(size, title, events):
    """Pads the track name with spaces so the whole file is exactly `size` bytes."""
    bare = track(meta(0x03, title.encode("ascii")), events)
    missing = size - len(bare)
    assert missing >= 0, f"{title!r}: {len(bare)} bytes, more than {size}"
    name = meta(0x03, (title + " " * missing).encode("ascii"))
    # A name past 127 bytes would need a two-byte length; none of ours comes near.
    assert len(name) == len(meta(0x03, title.encode("ascii"))) + missing
    data = track(name, events)
    assert len(data) == size, (title, len(data), size)
    return data


def setup(bpm, instrument, volume, reverb=None):
    """Tempo, 4/4 time, instrument and channel volume (and reverb depth) before the first note."""
    out = tempo(bpm) + meta(0x58, bytes([4, 2, 24, 8]))
    out += bytes([0x00, 0xC0, instrument, 0x00, 0xB0, 7, volume])
    if reverb is not None:
        out += bytes([0x00, 91, reverb])  # running status: still a controller change
    return out


def end_of_track(delta):
    return meta(0x2F, b"", delta)


KOTO, MUSIC_BOX, CELLO = 107, 10, 42


def tunes():
    out = []

    # 0: while the fortune is shuffled: the opening, plainly on the koto.
    body, rest = notes(SAKURA + YAYOI, velocity=84, accent=10)
    out.append(build(SIZES[0], "Sakura Sakura opening",
                     setup(120, KOTO, 100, reverb=40) + body + end_of_track(rest)))

    # 1: after 大吉: the closing lines an octave up on a music box, quick and loud, with the
    # last two notes echoed another octave higher.
    body, rest = notes(IZAYA + MINI + ECHO, transpose=12, velocity=100, accent=12, gap=12)
    out.append(build(SIZES[1], "Sakura Sakura daikichi",
                     setup(150, MUSIC_BOX, 112, reverb=48) + body + end_of_track(rest)))

    # 2: after 凶 and 大凶: one line, an octave down on the cello, slow and soft, sinking to
    # the low E at the end.
    body, rest = notes(NIOI + [[E4, H]], transpose=-12, velocity=64, accent=8, gap=4)
    out.append(build(SIZES[2], "Sakura Sakura kyo",
                     setup(60, CELLO, 90, reverb=64) + body + end_of_track(rest)))

    # 3: after 中吉 and 吉: the middle lines on the koto, a little brisk.
    body, rest = notes(MIWATASU + KASUMI, velocity=90, accent=10)
    out.append(build(SIZES[3], "Sakura Sakura kichi",
                     setup(132, KOTO, 100) + body + end_of_track(rest)))

    # 4: いざや 見にゆかん, slowing into the long final note.
    head, rest = notes(IZAYA[3:] + MINI[:-1], velocity=80, accent=6)
    tail, rest2 = notes(MINI[-1:], velocity=70, gap=0)
    body = head + tempo_change(rest, 72) + tail
    out.append(build(SIZES[4], "Sakura Sakura closing",
                     setup(96, KOTO, 96, reverb=56) + body + end_of_track(rest2)))
    return out


def tempo_change(delta, bpm):
    """A tempo event `delta` ticks after the previous event (the next note follows at once)."""
    return meta(0x51, (60_000_000 // bpm).to_bytes(3, "big"), delta)


# ---------------------------------------------------------------------------------------------
# A parser of our own, strict enough to catch a wrong length or a broken event stream.

def read_varlen(data, i):
    value = 0
    for _ in range(4):
        b = data[i]
        i += 1
        value = (value << 7) | (b & 0x7F)
        if not b & 0x80:
            return value, i
    raise ValueError("variable-length number longer than 4 bytes")


def check(data, size):
    """Returns (notes, seconds) after checking the file the way a player would read it."""
    assert len(data) == size, f"{len(data)} bytes, expected {size}"
    assert data[0:4] == b"MThd" and int.from_bytes(data[4:8], "big") == 6
    fmt, ntrk, div = (int.from_bytes(data[k:k + 2], "big") for k in (8, 10, 12))
    assert (fmt, ntrk, div) == (0, 1, DIVISION), (fmt, ntrk, div)
    assert data[14:18] == b"MTrk"
    length = int.from_bytes(data[18:22], "big")
    assert 22 + length == len(data), "track length field disagrees with the file"
    i, end = 22, 22 + length
    status = None
    ticks = 0
    micros = 0.0
    us_per_q = 500_000
    sounding = {}
    count = 0
    saw_end = False
    while i < end:
        assert not saw_end, "events after end of track"
        delta, i = read_varlen(data, i)
        ticks += delta
        micros += delta * us_per_q / DIVISION
        if data[i] & 0x80:
            status = data[i]
            i += 1
        assert status is not None, "running status without a status byte"
        if status == 0xFF:
            kind = data[i]
            n, i = read_varlen(data, i + 1)
            payload = data[i:i + n]
            i += n
            if kind == 0x51:
                us_per_q = int.from_bytes(payload, "big")
            if kind == 0x2F:
                assert n == 0
                saw_end = True
            status = None  # meta events cancel running status
        elif status in (0xF0, 0xF7):
            n, i = read_varlen(data, i)
            i += n
            status = None
        else:
            hi = status & 0xF0
            width = 1 if hi in (0xC0, 0xD0) else 2
            args = data[i:i + width]
            assert all(b < 0x80 for b in args), "data byte with the top bit set"
            i += width
            if hi == 0x90 and args[1] > 0:
                assert args[0] not in sounding, "note started twice"
                sounding[args[0]] = ticks
                count += 1
            elif hi == 0x80 or (hi == 0x90 and args[1] == 0):
                assert args[0] in sounding, "note ended that never started"
                del sounding[args[0]]
    assert i == end, "last event runs past the track"
    assert saw_end and data[-3:] == b"\xFF\x2F\x00", "track does not end with end-of-track"
    assert not sounding, "notes left sounding"
    return count, micros / 1e6


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "tunes")
    os.makedirs(outdir, exist_ok=True)
    for n, data in enumerate(tunes()):
        count, seconds = check(data, SIZES[n])
        path = os.path.join(outdir, f"sakura_{n}.mid")
        with open(path, "wb") as f:
            f.write(data)
        print(f"{path}: {len(data)} bytes, {count} notes, {seconds:.1f} s")


if __name__ == "__main__":
    main()
