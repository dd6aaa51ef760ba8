#pragma once
// Named moments of the launcher's start (entry, construction steps, FormCreate, the first paints),
// for the start-up harness of `make bench`. The shipped program records nothing: without a sink a
// mark is one test of a null pointer. The harness's timing build of the same sources installs a
// sink before the entry runs (bench/StartupMarks_win.cpp).
namespace startup {

using MarkSink = void (*)(const char* step);

void SetMarkSink(MarkSink sink);
// `step` is a string literal: the sink may keep the pointer.
void Mark(const char* step);

}  // namespace startup
