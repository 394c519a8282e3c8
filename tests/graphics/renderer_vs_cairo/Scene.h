#pragma once

#include "Canvas.h"

#include <functional>
#include <string>
#include <vector>

namespace test::vs_cairo {

// What a scene mostly draws; edges of each kind differ by their own amount (see Tolerances.h).
enum class SceneKind
{
  Fill,        // convex paths filled
  ConcaveFill, // other paths filled: concave, self-crossing, several sub-paths, holes
  Stroke,      // strokes of a pixel or more
  Hairline,    // strokes thinner than a device pixel
  Gradient,    // gradient paints
  Image,       // image patterns
  Clip,        // scissor rectangles
  Blend,       // global alpha and compositing operators
};

// One scene: a drawing in a 96 × 96 logical frame, made the same way on both canvases.
struct Scene
{
  std::string name;
  SceneKind kind;
  std::function<void(Canvas&)> draw;
};

constexpr int kSceneSize = 96;

const std::vector<Scene>& Scenes();

} // namespace test::vs_cairo
