// State chunk cases of `aaxhost validate`.

#include <cmath>
#include <cstring>
#include <map>

#include "AAX_Errors.h"
#include "ValidateCaseList.h"
#include "ValidateRig.h"

namespace aaxhost::cases {

namespace {

struct Stored
{
  std::string id;
  std::string name;
  bool discrete = false;
  int steps = 0;
  size_t first = 0;   // the bytes of the chunk that hold this value
  size_t last = 0;
};

// The parameters that a chunk stores (everything but the master bypass).
std::vector<HostInstance::ParameterInfo> StoredParameters(ValidateRig& rig)
{
  const std::optional<std::string> master = rig.MasterBypassID();
  std::vector<HostInstance::ParameterInfo> out;
  for (const auto& p : rig.Session().Parameters())
    if (p.identifier != master)
      out.push_back(p);
  return out;
}

bool Discrete(const HostInstance::ParameterInfo& p)
{
  return p.steps >= 2 && (p.type == AAX_eParameterType_Discrete || p.steps < 128);
}

double RandomValue(ValidateContext& context, const HostInstance::ParameterInfo& p)
{
  if (Discrete(p))
    return static_cast<double>(context.UniformInt(0, p.steps - 1)) / (p.steps - 1);
  return context.Uniform(0.0, 1.0);
}

AAX_Result SetRecord(ValidateRig& rig, AAX_CTypeID id, int32_t size, const std::vector<uint8_t>& data)
{
  return rig.Session().UIThread().Run([&] {
    std::vector<unsigned char> record(sizeof(AAX_SPlugInChunkHeader) + data.size() + 1, 0);
    auto* chunk = reinterpret_cast<AAX_SPlugInChunk*>(record.data());
    chunk->fSize = size;
    chunk->fChunkID = id;
    if (!data.empty())
      std::memcpy(chunk->fData, data.data(), data.size());
    return rig.Session().Instance().Effect()->SetChunk(id, chunk);
  });
}

void ExpectResult(ValidateContext& context, AAX_Result result, AAX_Result wanted, const std::string& what)
{
  if (result != wanted)
    context.Fail(what + " answered " + AAX_ResultMessage(result) + ", expected " + AAX_ResultMessage(wanted));
}

} // namespace

void StateRoundTrip(ValidateContext& context)
{
  ValidateRig source(context, 48000.0);
  const auto parameters = StoredParameters(source);
  for (int round = 0; round < 1 + context.Strictness() / 2; ++round)
  {
    for (const auto& p : parameters)
      source.Set(p.identifier, RandomValue(context, p));
    const std::vector<uint8_t> saved = source.Session().GetChunk();

    ValidateRig target(context, 48000.0);
    ExpectResult(context, target.Session().SetChunk(saved), AAX_SUCCESS, "SetChunk of a saved state");
    for (const auto& p : parameters)
    {
      const double want = source.Get(p.identifier), got = target.Get(p.identifier);
      if (std::fabs(want - got) > 1e-12)
        context.Fail("\"" + p.name + "\" was saved as " + Describe(want) + " and restored as " + Describe(got));
    }
    const std::vector<uint8_t> again = target.Session().GetChunk();
    if (again != saved)
      context.Fail("the state saved after loading differs from the one loaded (" + std::to_string(again.size()) +
                   " bytes against " + std::to_string(saved.size()) + ")");
    CheckOutput(context, target.Render(target.Noise(1024, 0.5f), 256), "rendering after a restore");
  }
}

void StateMalformed(ValidateContext& context)
{
  ValidateRig rig(context, 48000.0);
  const auto parameters = StoredParameters(rig);
  const AAX_CTypeID own = rig.Session().ChunkID();

  // Where each value lives in the chunk: the bytes that change when only that value does.
  std::vector<Stored> stored;
  std::vector<uint8_t> base = rig.Session().GetChunk();
  for (const auto& p : parameters)
  {
    const double was = rig.Get(p.identifier);
    const double other = Discrete(p) ? (was < 0.5 ? 1.0 : 0.0) : (was < 0.5 ? 0.8125 : 0.1875);
    rig.Set(p.identifier, other);
    const std::vector<uint8_t> changed = rig.Session().GetChunk();
    rig.Set(p.identifier, was);
    if (changed.size() != base.size())
      context.Fail("changing \"" + p.name + "\" changed the chunk's size");
    Stored s{p.identifier, p.name, Discrete(p), p.steps, base.size(), 0};
    for (size_t i = 0; i < base.size(); ++i)
      if (base[i] != changed[i])
      {
        s.first = std::min(s.first, i);
        s.last = i;
      }
    if (s.first == base.size())
      context.Fail("\"" + p.name + "\" is not stored in the chunk");
    stored.push_back(s);
  }

  // Two full states whose every value differs.
  std::map<std::string, double> aValues, bValues;
  for (const auto& s : stored)
  {
    if (s.discrete)
    {
      aValues[s.id] = context.UniformInt(0, 1) ? 1.0 : 0.0;
      bValues[s.id] = 1.0 - aValues[s.id];
    }
    else
    {
      aValues[s.id] = context.Uniform(0.05, 0.45);
      bValues[s.id] = context.Uniform(0.55, 0.95);
    }
  }
  for (const auto& s : stored)
    rig.Set(s.id, aValues[s.id]);
  const std::vector<uint8_t> stateA = rig.Session().GetChunk();
  for (const auto& s : stored)
    rig.Set(s.id, bValues[s.id]);
  const std::vector<uint8_t> stateB = rig.Session().GetChunk();
  // The values each state gives, as the host reads them back.
  std::map<std::string, double> aSeen, bSeen;
  {
    ValidateRig probe(context, 48000.0);
    probe.Session().SetChunk(stateA);
    for (const auto& s : stored)
      aSeen[s.id] = probe.Get(s.id);
    probe.Session().SetChunk(stateB);
    for (const auto& s : stored)
    {
      bSeen[s.id] = probe.Get(s.id);
      if (bSeen[s.id] == aSeen[s.id])
        context.Fail("two states that store different values for \"" + s.name + "\" restore the same value");
    }
  }

  // Every truncation: values wholly inside come from A; the first value cut off may be reset;
  // every later one keeps what B gave it. Anything else was read from beyond the data.
  for (size_t length = 0; length < stateA.size(); ++length)
  {
    ExpectResult(context, rig.Session().SetChunk(stateB), AAX_SUCCESS, "SetChunk of a full state");
    const std::vector<uint8_t> part(stateA.begin(), stateA.begin() + static_cast<long>(length));
    ExpectResult(context, rig.Session().SetChunk(part), AAX_SUCCESS,
                 "SetChunk of a state cut to " + std::to_string(length) + " bytes");
    bool firstMissing = true;
    std::vector<const Stored*> order;
    for (const auto& s : stored)
      order.push_back(&s);
    std::sort(order.begin(), order.end(), [](const Stored* x, const Stored* y) { return x->first < y->first; });
    for (const Stored* s : order)
    {
      const double got = rig.Get(s->id);
      if (!(got >= 0.0 && got <= 1.0))
        context.Fail("a state cut to " + std::to_string(length) + " bytes left \"" + s->name + "\" at " + Describe(got));
      if (s->last < length)
      {
        if (std::fabs(got - aSeen[s->id]) > 1e-12)
          context.Fail("a state cut to " + std::to_string(length) + " bytes did not restore \"" + s->name +
                       "\", whose bytes it holds whole");
      }
      else if (firstMissing)
        firstMissing = false;
      else if (std::fabs(got - bSeen[s->id]) > 1e-12)
        context.Fail("a state cut to " + std::to_string(length) + " bytes changed \"" + s->name + "\" (bytes " +
                     std::to_string(s->first) + ".." + std::to_string(s->last) + ", past the end) from " +
                     Describe(bSeen[s->id]) + " to " + Describe(got) + ": the loader reads beyond the data it was given");
    }
  }
  context.Note("truncations of every length 0.." + std::to_string(stateA.size() - 1) + " bytes");

  // Foreign identifiers, indices, sizes and null records.
  ExpectResult(context, rig.Session().SetChunk(stateB), AAX_SUCCESS, "SetChunk of a full state");
  const AAX_CTypeID foreign = own ^ 0x20202020u;
  ExpectResult(context, SetRecord(rig, foreign, static_cast<int32_t>(stateA.size()), stateA),
               AAX_ERROR_INVALID_CHUNK_ID, "SetChunk with a foreign identifier");
  ExpectResult(context, SetRecord(rig, own, -1, stateA), AAX_ERROR_INCORRECT_CHUNK_SIZE, "SetChunk with size -1");
  rig.Session().UIThread().Run([&] {
    AAX_IACFEffectParameters* effect = rig.Session().Instance().Effect();
    uint32_t size = 0;
    ExpectResult(context, effect->GetChunkSize(foreign, &size), AAX_ERROR_INVALID_CHUNK_ID, "GetChunkSize of a foreign identifier");
    std::vector<unsigned char> record(sizeof(AAX_SPlugInChunkHeader) + 4096, 0);
    auto* chunk = reinterpret_cast<AAX_SPlugInChunk*>(record.data());
    chunk->fSize = 4096;
    ExpectResult(context, effect->GetChunk(foreign, chunk), AAX_ERROR_INVALID_CHUNK_ID, "GetChunk of a foreign identifier");
    AAX_CTypeID id = 0x12345678;
    ExpectResult(context, effect->GetChunkIDFromIndex(1, &id), AAX_ERROR_INVALID_CHUNK_INDEX, "GetChunkIDFromIndex(1)");
    if (id != 0)
      context.Fail("GetChunkIDFromIndex(1) gave the identifier " + std::to_string(id) + ", expected 0");
    ExpectResult(context, effect->SetChunk(own, nullptr), AAX_ERROR_NULL_ARGUMENT, "SetChunk of a null record");
    ExpectResult(context, effect->GetChunkSize(own, nullptr), AAX_ERROR_NULL_ARGUMENT, "GetChunkSize into null");
  });
  for (const auto& s : stored)
    if (std::fabs(rig.Get(s.id) - bSeen[s.id]) > 1e-12)
      context.Fail("a refused chunk call changed \"" + s.name + "\"");

  // A megabyte of random bytes: any value it gives must be a valid one.
  std::vector<uint8_t> noise(1 << 20);
  for (auto& byte : noise)
    byte = static_cast<uint8_t>(context.UniformInt(0, 255));
  const AAX_Result noiseResult = rig.Session().SetChunk(noise);
  if (noiseResult != AAX_SUCCESS && noiseResult != AAX_ERROR_INCORRECT_CHUNK_SIZE)
    context.Fail("SetChunk of 1 MB of random bytes answered " + AAX_ResultMessage(noiseResult));
  for (const auto& s : stored)
  {
    const double got = rig.Get(s.id);
    if (!(got >= 0.0 && got <= 1.0))
      context.Fail("1 MB of random bytes left \"" + s.name + "\" at " + Describe(got));
  }
  CheckOutput(context, rig.Render(rig.Noise(2048, 0.5f), 512), "rendering after malformed chunks");
  if (rig.Session().GetChunk().size() != stateA.size())
    context.Fail("after malformed chunks the module saves a state of another size");
}

} // namespace aaxhost::cases
