#include "CairoCanvas.h"
#include "Comparison.h"
#include "OursCanvas.h"
#include "Scene.h"
#include "Tolerances.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace test::vs_cairo {
namespace {

// Where the pictures of a mismatch go (of every scene with CORVANE_ARTIFACTS_ALL set):
// $CORVANE_ARTIFACTS_DIR, else artifacts/ under the directory the test runs in.
std::filesystem::path ArtifactsDir()
{
  const char* env = std::getenv("CORVANE_ARTIFACTS_DIR");
  std::filesystem::path dir = env && *env ? std::filesystem::path(env) : std::filesystem::path("artifacts");
  return std::filesystem::absolute(dir / "renderer_vs_cairo");
}

struct Case
{
  size_t scene;
  int ratio;
};

class RendererVsCairo : public ::testing::TestWithParam<Case>
{
protected:
  static void SetUpTestSuite() { sOurs = std::make_unique<OursCanvas>(kSceneSize * 2); }
  static void TearDownTestSuite() { sOurs.reset(); }

  static std::unique_ptr<OursCanvas> sOurs;
};

std::unique_ptr<OursCanvas> RendererVsCairo::sOurs;

TEST_P(RendererVsCairo, SameAsCairo)
{
  ASSERT_TRUE(sOurs->Error().empty()) << sOurs->Error();
  const Scene& scene = Scenes()[GetParam().scene];
  const int ratio = GetParam().ratio;
  const int size = kSceneSize * ratio;

  sOurs->Begin(size, size, float(ratio));
  scene.draw(*sOurs);
  const Picture ours = sOurs->End();

  CairoCanvas cairo;
  cairo.Begin(size, size, float(ratio));
  scene.draw(cairo);
  const Picture reference = cairo.End();

  const Difference d = Compare(ours, reference);
  const Tolerance tol = ToleranceFor(scene.kind);
  RecordProperty("difference", d.Describe());
  std::printf("[measure] %s x%d: %s\n", scene.name.c_str(), ratio, d.Describe().c_str());

  const bool ok = d.interiorMax <= kInteriorMax && d.edgeMax <= tol.edgeMax && d.edgeMean <= tol.edgeMean &&
                  std::fabs(d.edgeBias) <= tol.edgeBias;
  if (ok && !std::getenv("CORVANE_ARTIFACTS_ALL"))
    return;
  const std::filesystem::path dir = ArtifactsDir();
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const std::string stem = (dir / (scene.name + "@" + std::to_string(ratio) + "x")).string();
  ours.WritePng(stem + "-ours.png");
  reference.WritePng(stem + "-cairo.png");
  DifferencePicture(ours, reference).WritePng(stem + "-difference.png");
  if (ok)
    return;
  ADD_FAILURE() << scene.name << " at pixel ratio " << ratio << " differs from cairo: " << d.Describe()
                << "\n  allowed: interior max " << kInteriorMax << ", edge max " << tol.edgeMax << ", edge mean "
                << tol.edgeMean << ", |alpha bias| " << tol.edgeBias << "\n  pictures: " << stem
                << "-{ours,cairo,difference}.png";
}

std::vector<Case> AllCases()
{
  std::vector<Case> cases;
  for (size_t i = 0; i < Scenes().size(); ++i)
    for (int ratio : {1, 2})
      cases.push_back({i, ratio});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Scenes, RendererVsCairo, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& caseInfo) {
                           // gtest's macro names its own parameter "info"; this one must not shadow it.
                           return Scenes()[caseInfo.param.scene].name + "_x" + std::to_string(caseInfo.param.ratio);
                         });

} // namespace
} // namespace test::vs_cairo
