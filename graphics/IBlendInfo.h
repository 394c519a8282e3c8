#pragma once

namespace iplug::igraphics {

// How a drawing is composited. Only source-over is used by this product.
enum EBlend
{
  kBlendDefault = 0, // source over
  kBlendClobber,
  kBlendSourceIn,
  kBlendSourceOut,
  kBlendSourceAtop,
  kBlendDestOver,
  kBlendDestIn,
  kBlendDestOut,
  kBlendDestAtop,
  kBlendAdd,
  kBlendXOR
};

// A blend type and an opacity multiplier 0 … 1. Operations take a pointer; null means
// source-over at full weight.
struct IBlendInfo
{
  EBlend type = kBlendDefault;
  float weight = 1.f;

  IBlendInfo() = default;
  IBlendInfo(EBlend t, float w) : type(t), weight(w) {}

  bool operator==(const IBlendInfo& other) const = default;
};

inline float BlendWeight(const IBlendInfo* blend) { return blend ? blend->weight : 1.f; }
inline EBlend BlendType(const IBlendInfo* blend) { return blend ? blend->type : kBlendDefault; }

} // namespace iplug::igraphics
