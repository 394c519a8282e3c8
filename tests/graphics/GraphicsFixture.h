#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "IControl.h"
#include "support/RecordingEditorDelegate.h"
#include "support/RecordingGraphics.h"

namespace gfxtest {

using namespace iplug::igraphics;
using Op = RecordingGraphics::Op;

// A control that notes its hooks and draws one recognisable rectangle.
class ProbeControl : public IControl
{
public:
  explicit ProbeControl(const IRect& bounds, int paramIdx = kNoParameter, std::vector<std::string>* journal = nullptr,
                        const char* name = "probe")
    : IControl(bounds, paramIdx), mJournal(journal), mName(name)
  {
  }
  ProbeControl(const IRect& bounds, const std::vector<int>& params) : IControl(bounds, params) {}

  void Draw(IGraphics& g) override
  {
    ++draws;
    g.FillRect(kColorGreen, mRECT);
  }
  void OnInit() override { Note("OnInit"); }
  void OnResize() override
  {
    ++resizes;
    Note("OnResize");
  }
  void OnRescale() override
  {
    ++rescales;
    Note("OnRescale");
  }
  void OnAttached() override { Note("OnAttached"); }

  int draws = 0;
  int resizes = 0;
  int rescales = 0;

private:
  void Note(const char* what)
  {
    if (mJournal)
      mJournal->push_back(mName + ":" + what);
  }
  std::vector<std::string>* mJournal = nullptr;
  std::string mName;
};

// The product's editor size and limits: 1086 × 214 at zoom 1, between half and twice that.
class GraphicsFixture : public ::testing::Test
{
protected:
  GraphicsFixture()
  {
    dlg.SetSizeConstraints(543, 2172, 107, 428);
    dlg.GetParam(0)->DefineDouble("Gain", 0.0, -30.0, 30.0, 0.1, "dB");
    dlg.GetParam(1)->DefineDouble("Low Gain", 0.0, -10.0, 10.0, 0.1);
    dlg.GetParam(2)->DefineEnum("Mode", 0, 3, "", 0, "", "A", "B", "C");
    dlg.GetParam(3)->DefineInt("Steps", 0, 0, 10);
  }

  // Attaches a probe and returns it (owned by the context).
  ProbeControl* AddProbe(const IRect& bounds, int paramIdx = kNoParameter, int tag = kNoTag)
  {
    return static_cast<ProbeControl*>(g.AttachControl(new ProbeControl(bounds, paramIdx), tag));
  }

  iplug::RecordingEditorDelegate dlg{4};
  RecordingGraphics g{&dlg, 1086, 214, 60, 1.f};
};

} // namespace gfxtest
