#pragma once

#include "IEditorDelegate.h"

namespace iplug {

// The graphics editor delegate: the editor delegate that owns a graphics context while the
// editor window is open, and that keeps the editor's last size and scale across close and
// reopen and in the saved state.
//
// The graphics context itself arrives with the editor; until then the editor is always closed,
// and the size record reads and writes the last size.
//
// Every operation runs on the UI thread.
class IGEditorDelegate : public IEditorDelegate
{
public:
  explicit IGEditorDelegate(int nParams) : IEditorDelegate(nParams) {}

  // Appends width, height (32-bit signed) and draw scale (32-bit float).
  bool SerializeEditorSize(ByteChunk& chunk) const override;
  // Reads the record back; missing values read as 0 and the result is then -1.
  int UnserializeEditorSize(const ByteChunk& chunk, int startPos) override;

  int GetLastWidth() const { return mLastWidth; }
  int GetLastHeight() const { return mLastHeight; }
  float GetLastScale() const { return mLastScale; }

private:
  int mLastWidth = 0;
  int mLastHeight = 0;
  float mLastScale = 0.f;
};

} // namespace iplug
