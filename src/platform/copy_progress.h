#pragma once
// A chunked file copy with progress reports that can be resumed: a copy that
// was interrupted leaves a destination shorter than the source, and the next
// copy of the same pair carries on from the destination's length.

#include <QString>

#include <cstdint>
#include <functional>

namespace qm {

enum class Copy_Progress_Reply { Continue, Cancel };

// Called after each chunk (and once before the first) with the bytes in place
// and the total; Cancel stops the copy and keeps the partial destination.
using Copy_Progress = std::function<Copy_Progress_Reply(int64_t transferred, int64_t total)>;

struct Copy_Outcome {
  bool ok = false;
  bool cancelled = false;
  int64_t resumed_from = 0;  // bytes that were already in the destination
  int64_t transferred = 0;   // bytes in the destination at the end
  QString error;             // system description of a failure
};

// Copies `source` to `destination`. A destination that is longer than the
// source, or whose last kept block differs from the source, is copied afresh.
Copy_Outcome Restartable_Copy(const QString& source, const QString& destination,
                              const Copy_Progress& progress = {}, int64_t chunk_bytes = 1 << 20);

}  // namespace qm
