// Module life and parameter cases of `aaxhost validate`.

#include <atomic>
#include <chrono>
#include <thread>
#include <cmath>
#include <limits>
#include <set>

#include "AAX_CString.h"
#include "AAX_Errors.h"
#include "DescribeJson.h"
#include "HostUIThread.h"
#include "StandInHost.h"
#include "ValidateCaseList.h"
#include "ValidateRig.h"

namespace aaxhost::cases {

namespace {

// What a successful host call must answer; anything else fails the case with the call named.
void Expect(ValidateContext& context, AAX_Result result, AAX_Result wanted, const std::string& call)
{
  if (result != wanted)
    context.Fail(call + " answered " + AAX_ResultMessage(result) + ", expected " + AAX_ResultMessage(wanted));
}

bool Discrete(const HostInstance::ParameterInfo& parameter)
{
  return parameter.steps >= 2 && (parameter.type == AAX_eParameterType_Discrete || parameter.steps < 128);
}

} // namespace

void LoadUnloadCycles(ValidateContext& context)
{
  const int cycles = 10 * context.Strictness();
  for (int i = 0; i < cycles; ++i)
  {
    StandInHost host(context.ModulePath());
    Expect(context, host.Startup(), ACF_OK, "ACFStartup");
    Expect(context, host.Register(), ACF_OK, "ACFRegisterPlugin");
    if (!host.Definition())
      context.Fail("ACFRegisterPlugin gave no plug-in definition in cycle " + std::to_string(i + 1));
    if (host.Collection()->Effects().empty())
      context.Fail("the registration described no effect in cycle " + std::to_string(i + 1));
    const ACFRESULT unload = host.Module().CanUnloadNow(host.ServicesUnknown());
    if (unload != 0)
      context.Fail("ACFCanUnloadNow answered " + std::to_string(unload) + " with no object alive");
  }
  context.Note(std::to_string(cycles) + " load, register and unload cycles");
}

void DescribeStable(ValidateContext& context)
{
  std::string first, second, again;
  {
    StandInHost host(context.ModulePath());
    first = DescribeModule(host).dump();
    again = DescribeModule(host).dump();
  }
  {
    StandInHost host(context.ModulePath());
    second = DescribeModule(host).dump();
  }
  if (first != again)
    context.Fail("a second description from the same load differs from the first");
  if (first != second)
    context.Fail("the description after a reload differs from the first");
}

void ObjectCount(ValidateContext& context)
{
  const int rounds = 2 * context.Strictness();
  HostUIThread ui;
  ui.Run([&] {
    StandInHost host(context.ModulePath());
    Expect(context, host.Startup(), ACF_OK, "ACFStartup");
    Expect(context, host.Register(), ACF_OK, "ACFRegisterPlugin");
    auto count = [&] { return host.Module().CanUnloadNow(host.ServicesUnknown()); };
    auto expectCount = [&](int wanted, const std::string& when) {
      const int seen = count();
      if (seen != wanted)
        context.Fail("ACFCanUnloadNow answered " + std::to_string(seen) + " " + when + ", expected " +
                     std::to_string(wanted));
    };
    expectCount(0, "before any object");
    const size_t components = host.Collection()->Effects().front().descriptor->Components().size();
    for (int round = 0; round < rounds; ++round)
    {
      auto instance = host.CreateInstance(0, static_cast<size_t>(round) % std::max<size_t>(components, 1));
      expectCount(1, "with one effect object");
      Expect(context, instance->Initialize(), AAX_SUCCESS, "Initialize");
      Expect(context, instance->CreateEditor(), AAX_SUCCESS, "the editor object's Initialize");
      expectCount(2, "with an effect and an editor object");
      instance->ReleaseEditor();
      expectCount(1, "after the editor object's release");
      instance.reset();
      expectCount(0, "after every release");
    }
    // Two at once, released in the order they were made.
    auto a = host.CreateInstance(0, 0);
    auto b = host.CreateInstance(0, components > 1 ? 1 : 0);
    expectCount(2, "with two effect objects");
    a.reset();
    expectCount(1, "after the first of two releases");
    b.reset();
    expectCount(0, "after every release");
  });
}

void ParamDefaults(ValidateContext& context)
{
  ValidateRig rig(context, 48000.0);
  const auto parameters = rig.Session().Parameters();
  if (parameters.empty())
    context.Fail("the module has no parameters");
  std::set<std::string> identifiers;
  const auto master = rig.MasterBypassID();
  rig.Session().UIThread().Run([&] {
    AAX_IACFEffectParameters* effect = rig.Session().Instance().Effect();
    for (size_t i = 0; i < parameters.size(); ++i)
    {
      const auto& p = parameters[i];
      // The master bypass may carry the empty identifier (GetMasterBypassParameter then names
      // it so); no other parameter may.
      if (p.identifier.empty() && master != std::string())
        context.Fail("parameter " + std::to_string(i) + " has an empty identifier");
      if (!identifiers.insert(p.identifier).second)
        context.Fail("identifier \"" + p.identifier + "\" is used twice");
      if (p.name.empty())
        context.Fail("parameter \"" + p.identifier + "\" has no name");
      if (!(p.defaultValue >= 0.0 && p.defaultValue <= 1.0))
        context.Fail("parameter \"" + p.name + "\" has the default " + Describe(p.defaultValue) + " outside 0..1");
      if (std::fabs(p.value - p.defaultValue) > 1e-12)
        context.Fail("parameter \"" + p.name + "\" holds " + Describe(p.value) + " after initialisation, not its default " +
                     Describe(p.defaultValue));
      if (p.valueText.empty())
        context.Fail("parameter \"" + p.name + "\" shows no value text");
      if (p.steps < 1)
        context.Fail("parameter \"" + p.name + "\" reports " + std::to_string(p.steps) + " steps");
      int32_t index = -1;
      Expect(context, effect->GetParameterIndex(p.identifier.c_str(), &index), AAX_SUCCESS,
             "GetParameterIndex(\"" + p.identifier + "\")");
      if (index != static_cast<int32_t>(i))
        context.Fail("GetParameterIndex(\"" + p.identifier + "\") answered " + std::to_string(index) + ", not " +
                     std::to_string(i));
    }
    // Unknown identifiers and indices are refused, not guessed.
    double value = 0.0;
    Expect(context, effect->GetParameterNormalizedValue("no such parameter", &value), AAX_ERROR_INVALID_PARAMETER_ID,
           "GetParameterNormalizedValue of an unknown identifier");
    AAX_CString id;
    Expect(context, effect->GetParameterIDFromIndex(static_cast<int32_t>(parameters.size()), &id),
           AAX_ERROR_INVALID_PARAMETER_ID, "GetParameterIDFromIndex past the last parameter");
  });
  context.Note(std::to_string(parameters.size()) + " parameters");
}

void ParamTextRoundTrip(ValidateContext& context)
{
  ValidateRig rig(context, 48000.0);
  const auto parameters = rig.Session().Parameters();
  int checked = 0;
  rig.Session().UIThread().Run([&] {
    AAX_IACFEffectParameters* effect = rig.Session().Instance().Effect();
    for (const auto& p : parameters)
    {
      std::vector<double> values = {0.0, 1.0, 0.5, p.defaultValue};
      if (Discrete(p))
        for (int s = 0; s < p.steps && s < 64; ++s)
          values.push_back(static_cast<double>(s) / (p.steps - 1));
      for (int i = 0; i < 4 * context.Strictness(); ++i)
        values.push_back(context.Uniform(0.0, 1.0));
      for (const double n : values)
      {
        const std::string what = "\"" + p.name + "\" at " + Describe(n);
        AAX_CString text;
        Expect(context, effect->GetParameterStringFromValue(p.identifier.c_str(), n, &text, 255), AAX_SUCCESS,
               "GetParameterStringFromValue for " + what);
        if (text.StdString().empty())
          context.Fail("the value text of " + what + " is empty");
        double back = -1.0;
        Expect(context, effect->GetParameterValueFromString(p.identifier.c_str(), &back, text), AAX_SUCCESS,
               "GetParameterValueFromString(\"" + text.StdString() + "\") for " + what);
        if (!(back >= 0.0 && back <= 1.0))
          context.Fail("the text \"" + text.StdString() + "\" of " + what + " converts to " + Describe(back) +
                       ", outside 0..1");
        AAX_CString again;
        Expect(context, effect->GetParameterStringFromValue(p.identifier.c_str(), back, &again, 255), AAX_SUCCESS,
               "GetParameterStringFromValue for " + what);
        if (again.StdString() != text.StdString())
          context.Fail("\"" + p.name + "\": \"" + text.StdString() + "\" converts to " + Describe(back) +
                       ", which shows as \"" + again.StdString() + "\"");
        if (Discrete(p))
        {
          const double steps = back * (p.steps - 1);
          if (std::fabs(steps - std::round(steps)) > 1e-9)
            context.Fail("\"" + p.name + "\": \"" + text.StdString() + "\" converts to " + Describe(back) +
                         ", which is none of its " + std::to_string(p.steps) + " steps");
        }
        ++checked;
      }
    }
  });
  context.Note(std::to_string(checked) + " value texts converted back and forth");
}

void ParamFuzzWhileRendering(ValidateContext& context)
{
  ValidateRig rig(context, 44100.0);
  const auto parameters = rig.Session().Parameters();
  const int changes = 150 * context.Strictness();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> edgeValues = {0.0, 1.0, std::nextafter(0.0, 1.0), std::nextafter(1.0, 0.0), 0.5,
                                       -0.25, 1.25, -0.0, nan, inf, -inf};

  // Drawn up front, so the parameter thread's sequence depends on the seed alone.
  std::vector<std::pair<size_t, double>> plan;
  for (int i = 0; i < changes; ++i)
  {
    const size_t which = static_cast<size_t>(context.UniformInt(0, static_cast<int>(parameters.size()) - 1));
    const double value = context.UniformInt(0, 2) == 0 ? edgeValues[static_cast<size_t>(
                                                            context.UniformInt(0, static_cast<int>(edgeValues.size()) - 1))]
                                                        : context.Uniform(0.0, 1.0);
    plan.emplace_back(which, value);
  }

  std::atomic<bool> done{false};
  std::atomic<int> rendered{0};
  std::string failure;
  rig.Session().ParameterThread().Post([&] {
    AAX_IACFEffectParameters* effect = rig.Session().Instance().Effect();
    int step = 0;
    for (const auto& [which, value] : plan)
    {
      // A few changes per rendered block, so that changes and blocks interleave.
      const auto patience = std::chrono::steady_clock::now() + std::chrono::seconds(2);
      while (rendered.load() < step / 4 && std::chrono::steady_clock::now() < patience)
        std::this_thread::yield();
      ++step;
      const char* id = parameters[which].identifier.c_str();
      double before = 0.0;
      effect->GetParameterNormalizedValue(id, &before);
      const AAX_Result result = effect->UpdateParameterNormalizedValue(id, value, AAX_eUpdateSource_Parameter);
      effect->GenerateCoefficients();
      double after = 0.0;
      effect->GetParameterNormalizedValue(id, &after);
      if (!std::isfinite(value))
      {
        if (result != AAX_ERROR_INVALID_ARGUMENT && failure.empty())
          failure = "an update of \"" + parameters[which].name + "\" to " + Describe(value) + " answered " +
                    AAX_ResultMessage(result) + ", expected AAX_ERROR_INVALID_ARGUMENT";
        if (after != before && failure.empty())
          failure = "an update of \"" + parameters[which].name + "\" to " + Describe(value) + " changed it from " +
                    Describe(before) + " to " + Describe(after);
      }
      else if (result != AAX_SUCCESS && failure.empty())
        failure = "an update of \"" + parameters[which].name + "\" to " + Describe(value) + " answered " +
                  AAX_ResultMessage(result);
      if (!(after >= 0.0 && after <= 1.0) && failure.empty())
        failure = "\"" + parameters[which].name + "\" holds " + Describe(after) + " after an update to " + Describe(value);
    }
    done = true;
  });

  const Signal input = rig.Noise(512, 0.7f);
  int blocks = 0;
  while (!done.load())
  {
    const Signal out = rig.Render(input, 128);
    CheckOutput(context, out, "rendering during automation");
    blocks += 4;
    rendered += 4;
  }
  rig.Session().SettleParameters();
  if (!failure.empty())
    context.Fail(failure);
  CheckOutput(context, rig.Render(input, 512), "rendering after automation");
  context.Note(std::to_string(changes) + " parameter changes while " + std::to_string(blocks) + " blocks rendered");
}

} // namespace aaxhost::cases
