#include "base/StartupMarks.h"

namespace startup {
namespace {
MarkSink g_sink = nullptr;
}  // namespace

void SetMarkSink(MarkSink sink) {
  g_sink = sink;
}

void Mark(const char* step) {
  if (g_sink) g_sink(step);
}

}  // namespace startup
