#pragma once

namespace iplug::igraphics {
class IGraphics;
} // namespace iplug::igraphics

// The product's editor: the background picture, the four film-strip knobs, the bypass and
// oversampling switches, the corner zoom handle and the value bubble, on a context of
// 1086 × 214 logical pixels. Installed as the editor delegate's layout callable; runs once on
// every freshly made graphics context. UI thread.
void LayoutCorvaneEditor(iplug::igraphics::IGraphics* pGraphics);
