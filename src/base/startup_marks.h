#pragma once
// Named moments on the way to the panel's first paint, for the start-up benchmark's own build
// of the program (bench/startup_marks.cpp sets the sink there). The shipped program sets none:
// a mark then costs one test of a pointer, and nothing leaves the process.
namespace startup_marks {

using Sink = void (*)(const char* what);
inline Sink sink = nullptr;

inline void Mark(const char* what) {
    if (sink) sink(what);
}

}  // namespace startup_marks
