#include "DescribeJson.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "AAX_CString.h"
#include "AAX_Errors.h"

namespace aaxhost {

namespace {

using Json = nlohmann::ordered_json;

std::string Hex(uint64_t value, int digits)
{
  char text[32];
  std::snprintf(text, sizeof(text), "0x%0*llX", digits, static_cast<unsigned long long>(value));
  return text;
}

bool IsFourCCProperty(uint32_t property)
{
  return property == AAX_eProperty_ManufacturerID || property == AAX_eProperty_ProductID ||
         property == AAX_eProperty_PlugInID_Native || property == AAX_eProperty_PlugInID_AudioSuite;
}

bool IsStemFormatProperty(uint32_t property)
{
  return property == AAX_eProperty_InputStemFormat || property == AAX_eProperty_OutputStemFormat ||
         property == AAX_eProperty_HybridInputStemFormat || property == AAX_eProperty_HybridOutputStemFormat;
}

const char* ProcedureKind(AAX_CProcPtrID id)
{
  switch (id)
  {
    case 0: return "effect parameters";
    case 1: return "editor";
    default: return "other";
  }
}

const char* MIDINodeKind(int32_t type)
{
  switch (type)
  {
    case AAX_eMIDINodeType_LocalInput: return "input";
    case AAX_eMIDINodeType_LocalOutput: return "output";
    case AAX_eMIDINodeType_Global: return "global";
    case AAX_eMIDINodeType_Transport: return "transport";
    default: return "unknown";
  }
}

Json DescribeField(const HostComponentDescriptor::Field& field)
{
  Json out;
  out["kind"] = field.kind;
  out["size"] = field.size;
  if (field.kind == "MIDI node")
  {
    out["nodeType"] = MIDINodeKind(field.nodeType);
    out["name"] = field.name;
    out["mask"] = Hex(field.mask, 4);
  }
  else if (field.kind == "data input port")
  {
    out["portType"] = field.portType;
  }
  else if (field.kind == "private data")
  {
    out["options"] = field.options;
  }
  else if (field.kind == "meters")
  {
    Json ids = Json::array();
    for (AAX_CTypeID id : field.meterIDs)
      ids.push_back(FourCCText(id).empty() ? Hex(id, 8) : FourCCText(id));
    out["meters"] = ids;
  }
  return out;
}

Json DescribeProperties(const HostPropertyMap* map)
{
  Json out = Json::array();
  if (!map)
    return out;
  for (const auto& [number, value] : map->Properties())
  {
    Json property;
    property["number"] = number;
    property["name"] = PropertyName(number);
    property["value"] = value;
    const auto bits = static_cast<uint32_t>(value);
    if (IsFourCCProperty(number) && !FourCCText(bits).empty())
      property["fourCC"] = FourCCText(bits);
    if (IsStemFormatProperty(number))
      property["hex"] = Hex(bits, 8);
    out.push_back(property);
  }
  return out;
}

Json DescribeComponent(const HostComponentDescriptor& component)
{
  Json out;
  // By field index, the way the render context lays them out.
  std::vector<const HostComponentDescriptor::Field*> sorted;
  for (const auto& field : component.Fields())
    sorted.push_back(&field);
  std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->index < b->index; });
  Json fields = Json::object();
  for (const auto* field : sorted)
    fields[std::to_string(field->index)] = DescribeField(*field);
  out["fields"] = fields;

  Json stems = Json::array();
  for (const auto& stem : component.AuxOutputStems())
    stems.push_back(Json{{"field", stem.field}, {"format", Hex(stem.stemFormat, 8)}, {"name", stem.name}});
  out["auxOutputStems"] = stems;

  // The component's properties are those of its (first) processing procedure; a further
  // procedure lists its own.
  const auto& procs = component.ProcessProcs();
  out["properties"] = DescribeProperties(procs.empty() ? nullptr : procs.front().properties.get());
  Json procedures = Json::array();
  for (size_t i = 0; i < procs.size(); ++i)
  {
    Json proc{{"kind", "native"},
              {"instanceInit", procs[i].instanceInitProc != nullptr},
              {"background", procs[i].backgroundProc != nullptr}};
    if (i > 0)
      proc["properties"] = DescribeProperties(procs[i].properties.get());
    procedures.push_back(proc);
  }
  out["procedures"] = procedures;
  return out;
}

Json DescribeParameters(const StandInHost& host, size_t effectIndex)
{
  Json out;
  std::unique_ptr<HostInstance> instance = host.CreateInstance(effectIndex, 0);
  const AAX_Result init = instance->Initialize();
  out["initialize"] = init;
  if (init != AAX_SUCCESS)
    out["initializeError"] = AAX_ResultMessage(init);
  Json parameters = Json::array();
  for (const auto& info : instance->Parameters())
  {
    Json parameter{{"identifier", info.identifier},
                   {"name", info.name},
                   {"type", info.type == AAX_eParameterType_Discrete ? "discrete" : "continuous"},
                   {"steps", info.steps},
                   {"default", info.defaultValue},
                   {"automatable", info.automatable},
                   {"valueText", info.valueText}};
    // A stepped parameter's text at each step, as an automation lane lists them.
    if (info.type == AAX_eParameterType_Discrete && info.steps >= 2 && info.steps <= 128)
    {
      Json texts = Json::array();
      for (int32_t step = 0; step < info.steps; ++step)
      {
        AAX_CString text;
        instance->Effect()->GetParameterStringFromValue(info.identifier.c_str(),
                                                        static_cast<double>(step) / (info.steps - 1), &text, 255);
        texts.push_back(text.StdString());
      }
      parameter["texts"] = texts;
    }
    parameters.push_back(parameter);
  }
  out["parameters"] = parameters;
  return out;
}

} // namespace

std::string FourCCText(uint32_t code)
{
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8)
  {
    const char c = static_cast<char>((code >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E)
      return "";
    text += c;
  }
  return text;
}

const char* PropertyName(uint32_t property)
{
  switch (property)
  {
    case AAX_eProperty_ManufacturerID: return "ManufacturerID";
    case AAX_eProperty_ProductID: return "ProductID";
    case AAX_eProperty_PlugInID_Native: return "PlugInID_Native";
    case AAX_eProperty_PlugInID_AudioSuite: return "PlugInID_AudioSuite";
    case AAX_eProperty_InputStemFormat: return "InputStemFormat";
    case AAX_eProperty_OutputStemFormat: return "OutputStemFormat";
    case AAX_eProperty_LatencyContribution: return "LatencyContribution";
    case AAX_eProperty_CanBypass: return "CanBypass";
    case AAX_eProperty_HybridOutputStemFormat: return "HybridOutputStemFormat";
    case AAX_eProperty_HybridInputStemFormat: return "HybridInputStemFormat";
    case AAX_eProperty_SupportsSideChainInput: return "SupportsSideChainInput";
    case AAX_eProperty_UsesClientGUI: return "UsesClientGUI";
    case AAX_eProperty_UsesTransport: return "UsesTransport";
    case AAX_eProperty_ConstraintLocation: return "ConstraintLocation";
    case AAX_eProperty_SupportsSaveRestore: return "SupportsSaveRestore";
    default: return "";
  }
}

nlohmann::ordered_json DescribeModule(StandInHost& host)
{
  if (host.Startup() != ACF_OK)
    throw std::runtime_error("the module's start-up failed");
  const ACFRESULT registered = host.Register();
  if (registered != ACF_OK || !host.Collection())
    throw std::runtime_error("the module's registration failed: " + AAX_ResultMessage(registered));

  const HostCollection& collection = *host.Collection();
  Json out;
  out["module"] = host.Module().Path();
  uint64_t sdkVersion = 0;
  host.Module().GetSDKVersion(&sdkVersion);
  out["sdkVersion"] = Hex(sdkVersion, 16);
  out["manufacturerName"] = collection.ManufacturerName();
  out["packageNames"] = collection.PackageNames();
  out["packageVersion"] = Hex(collection.PackageVersion(), 8);

  Json effects = Json::array();
  for (size_t e = 0; e < collection.Effects().size(); ++e)
  {
    const auto& effect = collection.Effects()[e];
    Json described;
    described["identifier"] = effect.identifier;
    described["names"] = effect.descriptor->Names();
    Json categories = Json::array();
    for (uint32_t category : effect.descriptor->Categories())
      categories.push_back(Hex(category, 8));
    described["categories"] = categories;
    Json procedures = Json::array();
    for (const auto& proc : effect.descriptor->Procedures())
      procedures.push_back(Json{{"id", proc.id}, {"kind", ProcedureKind(proc.id)}});
    described["procedures"] = procedures;
    Json components = Json::array();
    for (const auto& component : effect.descriptor->Components())
      components.push_back(DescribeComponent(*component));
    described["components"] = components;
    described["instance"] = DescribeParameters(host, e);
    effects.push_back(described);
  }
  out["effects"] = effects;

  Json traces = Json::array();
  for (const auto& trace : host.Services().Traces())
    traces.push_back(Json{{"priority", Hex(static_cast<uint32_t>(trace.priority), 8)}, {"text", trace.text}});
  out["traces"] = traces;
  Json asserts = Json::array();
  for (const auto& report : host.Services().Asserts())
    asserts.push_back(Json{{"file", report.file}, {"line", report.line}, {"note", report.note}});
  out["assertions"] = asserts;
  return out;
}

} // namespace aaxhost
