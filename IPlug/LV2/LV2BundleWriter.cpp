#include "LV2BundleWriter.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "IParam.h"

namespace iplug {

namespace {

// A Turtle decimal: always with a point, never in exponent form.
std::string Decimal(double value)
{
  char text[64];
  std::snprintf(text, sizeof(text), "%.9g", value);
  if (std::strpbrk(text, "eE"))
    std::snprintf(text, sizeof(text), "%.9f", value);
  std::string s = text;
  if (s.find('.') == std::string::npos)
    s += ".0";
  return s;
}

std::string Quoted(const char* text)
{
  std::string s = "\"";
  for (const char* p = text; p && *p; ++p)
  {
    if (*p == '"' || *p == '\\')
      s += '\\';
    s += *p;
  }
  return s + "\"";
}

bool IsToggle(const IParam& p)
{
  return (p.Type() == IParam::kTypeBool || p.Type() == IParam::kTypeInt) && p.Min() == 0.0 && p.Max() == 1.0 &&
         p.DisplayTextCount() == 0;
}

bool IsInteger(const IParam& p)
{
  return p.Type() == IParam::kTypeBool || p.Type() == IParam::kTypeInt || p.Type() == IParam::kTypeEnum;
}

} // namespace

std::string LV2BundleWriter::Symbol(const char* name)
{
  std::string s;
  for (const char* p = name; p && *p; ++p)
  {
    const auto c = static_cast<unsigned char>(*p);
    s += std::isalnum(c) ? static_cast<char>(std::tolower(c)) : '_';
  }
  // A symbol may not start with a digit or be empty.
  if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0])))
    s.insert(0, "p");
  return s;
}

void LV2BundleWriter::WriteManifest(std::ostream& out) const
{
  out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
         "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
  if (mEditor)
    out << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n";
  out << "\n";
  for (const char* uri : {mIdentity.monoURI, mIdentity.stereoURI})
  {
    out << "<" << uri << ">\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << mIdentity.binaryName << "> ;\n"
        << "    rdfs:seeAlso <" << mIdentity.descriptionFile << "> .\n\n";
  }
  if (mEditor)
  {
    out << "<" << mEditor->uri << ">\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:binary <" << mEditor->binaryName << "> ;\n"
        << "    rdfs:seeAlso <" << mIdentity.descriptionFile << "> .\n";
  }
}

void LV2BundleWriter::WriteDescription(std::ostream& out) const
{
  out << "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
         "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
         "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
         "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
         "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
         "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
         "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
         "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
         "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
         "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
         "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
         "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
         "@prefix patch: <http://lv2plug.in/ns/ext/patch#> .\n";
  if (mEditor)
    out << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n";
  out << "\n";
  WritePlugin(out, mIdentity.monoURI, mIdentity.monoName, 1);
  WritePlugin(out, mIdentity.stereoURI, mIdentity.stereoName, 2);
  if (mEditor)
  {
    // An X11 child of the host's window, idled by the host; it asks for a new size and tells
    // the host about gestures where the host lets it, and keeps its size in the plug-in's state
    // through the message ports where the host maps URIs.
    out << "<" << mEditor->uri << ">\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:requiredFeature ui:parent , ui:idleInterface ;\n"
        << "    lv2:optionalFeature ui:resize , ui:touch , urid:map ;\n"
        << "    lv2:extensionData ui:idleInterface ;\n";
    for (const char* uri : {mIdentity.monoURI, mIdentity.stereoURI})
    {
      out << "    ui:portNotification [\n"
          << "        ui:plugin <" << uri << "> ;\n"
          << "        lv2:symbol \"notify\" ;\n"
          << "        ui:protocol atom:eventTransfer\n"
          << "    ]" << (uri == mIdentity.stereoURI ? " .\n" : " ;\n");
    }
  }
}

void LV2BundleWriter::WritePlugin(std::ostream& out, const char* uri, const char* name, int channels) const
{
  const LV2PortLayout ports{mPlug.NParams(), channels};
  const int version = mPlug.GetPluginVersion();
  out << "<" << uri << ">\n"
      << "    a lv2:Plugin , lv2:DistortionPlugin , doap:Project ;\n"
      << "    doap:name " << Quoted(name) << " ;\n"
      << "    doap:maintainer [ foaf:name " << Quoted(mIdentity.maker) << " ] ;\n"
      // LV2 versions have no major number; a release's minor number is even.
      << "    lv2:minorVersion " << ((version >> 8) & 0xFF) * 2 << " ;\n"
      << "    lv2:microVersion " << (version & 0xFF) << " ;\n"
      << "    lv2:optionalFeature lv2:hardRTCapable , urid:map , opts:options , bufsz:boundedBlockLength ;\n"
      << "    opts:supportedOption bufsz:maxBlockLength ;\n"
      << "    lv2:extensionData state:interface ;\n";
  if (mEditor)
    out << "    ui:ui <" << mEditor->uri << "> ;\n";

  for (int i = 0; i < mPlug.NParams(); ++i)
    WriteParamPort(out, i);

  out << "    lv2:port [\n"
      << "        a lv2:InputPort , lv2:ControlPort ;\n"
      << "        lv2:index " << ports.Enabled() << " ;\n"
      << "        lv2:symbol \"enabled\" ;\n"
      << "        lv2:name \"Enabled\" ;\n"
      << "        lv2:designation lv2:enabled ;\n"
      << "        lv2:default 1 ;\n"
      << "        lv2:minimum 0 ;\n"
      << "        lv2:maximum 1 ;\n"
      << "        lv2:portProperty lv2:toggled , lv2:integer , pprops:notOnGUI\n"
      << "    ] , [\n"
      << "        a lv2:OutputPort , lv2:ControlPort ;\n"
      << "        lv2:index " << ports.Latency() << " ;\n"
      << "        lv2:symbol \"latency\" ;\n"
      << "        lv2:name \"Latency\" ;\n"
      << "        lv2:designation lv2:latency ;\n"
      << "        lv2:minimum 0 ;\n"
      << "        lv2:maximum " << mPlug.MaxLatency() << " ;\n"
      << "        units:unit units:frame ;\n"
      << "        lv2:portProperty lv2:reportsLatency , lv2:integer , pprops:notOnGUI\n"
      << "    ]";

  static const char* const kMonoNames[] = {""};
  static const char* const kStereoNames[] = {" L", " R"};
  static const char* const kMonoSymbols[] = {""};
  static const char* const kStereoSymbols[] = {"_l", "_r"};
  const char* const* names = channels == 1 ? kMonoNames : kStereoNames;
  const char* const* symbols = channels == 1 ? kMonoSymbols : kStereoSymbols;
  for (int output = 0; output < 2; ++output)
  {
    for (int ch = 0; ch < channels; ++ch)
    {
      out << " , [\n"
          << "        a lv2:" << (output ? "OutputPort" : "InputPort") << " , lv2:AudioPort ;\n"
          << "        lv2:index " << (output ? ports.AudioOut(ch) : ports.AudioIn(ch)) << " ;\n"
          << "        lv2:symbol \"" << (output ? "out" : "in") << symbols[ch] << "\" ;\n"
          << "        lv2:name \"" << (output ? "Output" : "Input") << names[ch] << "\"\n"
          << "    ]";
    }
  }
  // The editor's channel into the state; a host that does not connect them loses nothing else.
  out << " , [\n"
      << "        a lv2:InputPort , atom:AtomPort ;\n"
      << "        lv2:index " << ports.MessagesIn() << " ;\n"
      << "        lv2:symbol \"control\" ;\n"
      << "        lv2:name \"Control\" ;\n"
      << "        atom:bufferType atom:Sequence ;\n"
      << "        atom:supports patch:Message ;\n"
      << "        lv2:designation lv2:control ;\n"
      << "        lv2:portProperty lv2:connectionOptional\n"
      << "    ] , [\n"
      << "        a lv2:OutputPort , atom:AtomPort ;\n"
      << "        lv2:index " << ports.MessagesOut() << " ;\n"
      << "        lv2:symbol \"notify\" ;\n"
      << "        lv2:name \"Notify\" ;\n"
      << "        atom:bufferType atom:Sequence ;\n"
      << "        atom:supports patch:Message ;\n"
      << "        lv2:designation lv2:control ;\n"
      << "        lv2:portProperty lv2:connectionOptional\n"
      << "    ] .\n\n";
}

void LV2BundleWriter::WriteParamPort(std::ostream& out, int paramIdx) const
{
  const IParam& p = *mPlug.GetParam(paramIdx);
  out << "    lv2:port [\n"
      << "        a lv2:InputPort , lv2:ControlPort ;\n"
      << "        lv2:index " << paramIdx << " ;\n"
      << "        lv2:symbol " << Quoted(Symbol(p.Name()).c_str()) << " ;\n"
      << "        lv2:name " << Quoted(p.Name()) << " ;\n"
      << "        lv2:default " << Decimal(p.Default()) << " ;\n"
      << "        lv2:minimum " << Decimal(p.Min()) << " ;\n"
      << "        lv2:maximum " << Decimal(p.Max()) << " ;\n";
  if (std::strcmp(p.Label(), "dB") == 0)
    out << "        units:unit units:db ;\n";
  if (IsToggle(p))
  {
    out << "        lv2:portProperty lv2:toggled , lv2:integer ;\n";
  }
  else if (p.DisplayTextCount() > 0)
  {
    out << "        lv2:portProperty lv2:integer , lv2:enumeration ;\n";
    for (int t = 0; t < p.DisplayTextCount(); ++t)
    {
      double value = 0.0;
      const char* text = p.DisplayTextAt(t, &value);
      out << "        lv2:scalePoint [ rdfs:label " << Quoted(text) << " ; rdf:value " << Decimal(value) << " ] ;\n";
    }
  }
  else if (IsInteger(p))
  {
    out << "        lv2:portProperty lv2:integer ;\n";
  }
  else if (p.Step() > 0.0)
  {
    // The control moves on the parameter's step grid.
    out << "        pprops:rangeSteps " << std::lround((p.Max() - p.Min()) / p.Step()) + 1 << " ;\n";
  }
  out << "    ] ;\n";
}

} // namespace iplug
