#include "IEditorDelegate.h"

#include "IPlugLogger.h"

namespace iplug {

IEditorDelegate::IEditorDelegate(int nParams)
{
  mParams.reserve(static_cast<size_t>(nParams > 0 ? nParams : 0));
  for (int i = 0; i < nParams; ++i)
    mParams.push_back(std::make_unique<IParam>());
}

IEditorDelegate::~IEditorDelegate() = default;

void* IEditorDelegate::OpenEditorWindow(void* pParent)
{
  (void) pParent;
  OnEditorOpen();
  return nullptr;
}

void IEditorDelegate::CloseEditorWindow()
{
  OnEditorClose();
}

void IEditorDelegate::OnEditorOpen()
{
  SendAllParamValuesToEditor();
}

void IEditorDelegate::OnParamChange(int paramIdx, EParamSource source, int sampleOffset)
{
  (void) sampleOffset;
  TRACE_F("idx:%i src:%s\n", paramIdx, ParamSourceName(source));
  OnParamValueChange(paramIdx);
}

void IEditorDelegate::OnAllParamsReset(EParamSource source)
{
  for (int i = 0; i < NParams(); ++i)
  {
    OnParamChange(i, source, -1);
    OnParamChangeForEditor(i, source);
  }
}

bool IEditorDelegate::OnDelegateMessage(int msgTag, int ctrlTag, int dataSize, const void* pData)
{
  (void) msgTag;
  (void) ctrlTag;
  (void) dataSize;
  (void) pData;
  return false;
}

void IEditorDelegate::OnStateRestored()
{
  SendAllParamValuesToEditor();
}

void IEditorDelegate::ToEditorControlMessage(int ctrlTag, int msgTag, int dataSize, const void* pData)
{
  OnDelegateMessage(msgTag, ctrlTag, dataSize, pData);
}

void IEditorDelegate::ToEditorMessage(int msgTag, int dataSize, const void* pData)
{
  OnDelegateMessage(msgTag, -1, dataSize, pData);
}

void IEditorDelegate::ToEditorParamValue(int paramIdx, double value, bool normalized)
{
  (void) value;
  (void) normalized;
  OnParamChangeForEditor(paramIdx, kDelegate);
}

void IEditorDelegate::FromEditorParamValue(int paramIdx, double normalizedValue)
{
  IParam* pParam = GetParam(paramIdx);
  if (!pParam)
    return;
  pParam->SetNormalizedValue(normalizedValue);
  OnParamChangeForEditor(paramIdx, kUI);
}

bool IEditorDelegate::FromEditorResize(int width, int height, bool needsPlatformResize)
{
  (void) width;
  (void) height;
  (void) needsPlatformResize;
  return false;
}

void IEditorDelegate::FromEditorMessage(int msgTag, int ctrlTag, int dataSize, const void* pData)
{
  (void) msgTag;
  (void) ctrlTag;
  (void) dataSize;
  (void) pData;
}

void IEditorDelegate::SendAllParamValuesToEditor()
{
  for (int i = 0; i < NParams(); ++i)
    ToEditorParamValue(i, mParams[static_cast<size_t>(i)]->NormalizedValue(), true);
}

IParam* IEditorDelegate::GetParam(int paramIdx) const
{
  if (paramIdx < 0 || paramIdx >= NParams())
    return nullptr;
  return mParams[static_cast<size_t>(paramIdx)].get();
}

} // namespace iplug
