#include <gtest/gtest.h>

#include <string>

#include "AAX_CHostServices.h"
#include "AAX_CheckedResult.h"
#include "AAX_Errors.h"
#include "CACFUnknown.h"
#include "HostServices.h"

namespace {

using aaxhost::HostRef;
using aaxhost::HostServices;

// Installs a recording host as the module's host services for one test.
class ModuleServices : public testing::Test
{
protected:
  void SetUp() override { AAX_CHostServices::Set(Unknown(*mHost)); }
  void TearDown() override { AAX_CHostServices::Kill(); }

  static IACFUnknown* Unknown(HostServices& host) { return static_cast<AAX_IACFHostServices*>(&host); }

  HostRef<HostServices> mHost = HostServices::Create();
};

TEST(ResultNames, NamesAndMessagesCoverEveryRange)
{
  struct Case
  {
    AAX_Result code;
    const char* name;
  };
  const Case cases[] = {
    {0, "AAX_SUCCESS"},
    {-20001, "AAX_ERROR_INVALID_PARAMETER_ID"},
    {-20004, "AAX_ERROR_NULL_OBJECT"},
    {-20009, "AAX_ERROR_UNIMPLEMENTED"},
    {-20033, "AAX_ERROR_SIGNED_INT_OVERFLOW"},
    {-20042, "AAX_ERROR_UNKNOWN_EXCEPTION"},
    {-20044, "AAX_ERROR_NULL_ARGUMENT"},
    {-20046, "AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW"},
    {-20047, "<unknown error code>"},
    {-20051, "<unknown error code>"},
    {-20599, "<unknown error code>"},
    {-20600, "plug-in defined error"},
    {-20800, "plug-in defined error"},
    {-21000, "plug-in defined error"},
    {-21001, "<unknown error code>"},
    {1, "<unknown error code>"},
    {INT32_MIN, "<unknown error code>"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(AAX_ResultName(c.code), c.name) << c.code;

  EXPECT_EQ(AAX_ResultMessage(AAX_ERROR_NULL_OBJECT), "AAX_ERROR_NULL_OBJECT (-20004)");
  EXPECT_EQ(AAX_ResultMessage(0), "AAX_SUCCESS (0)");
}

TEST(HostServicesAbsent, TracesAndReportsAreSilent)
{
  ASSERT_FALSE(AAX_CHostServices::Exists());
  EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "nobody hears %d", 1), AAX_SUCCESS);
  AAX_CHostServices::HandleAssertFailure("file", 1, "note");  // no host: returns quietly
}

TEST_F(ModuleServices, TraceReachesTheHostWithItsPriorityCutTo511Characters)
{
  EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_Critical, "value %d", 42), AAX_SUCCESS);
  const std::string longText(600, 'x');
  AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "%s", longText.c_str());

  const auto traces = mHost->Traces();
  ASSERT_EQ(traces.size(), 2u);
  EXPECT_EQ(traces[0].priority, 0x8000000);
  EXPECT_EQ(traces[0].text, "value 42");
  EXPECT_EQ(traces[1].priority, 0x4000000);
  EXPECT_EQ(traces[1].text, std::string(511, 'x'));
}

TEST_F(ModuleServices, AssertionReportCarriesFileLineNoteAndFlagOne)
{
  EXPECT_TRUE(AAX_AssertReport(true, "IPlug/AAX/IPlugAAX_Describe", 251, "err == AAX_SUCCESS"));
  EXPECT_FALSE(AAX_AssertReport(false, "IPlug/AAX/IPlugAAX_Describe", 251, "err == AAX_SUCCESS"));
  const auto reports = mHost->Asserts();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].file, "IPlug/AAX/IPlugAAX_Describe");
  EXPECT_EQ(reports[0].line, 251);
  EXPECT_EQ(reports[0].note, "err == AAX_SUCCESS");
  EXPECT_EQ(reports[0].flags, 1);
}

TEST_F(ModuleServices, SecondHostIsIgnoredAndNullLetsTheFirstGo)
{
  HostRef<HostServices> second = HostServices::Create();
  AAX_CHostServices::Set(Unknown(*second));
  AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "first");
  EXPECT_EQ(mHost->Traces().size(), 1u);
  EXPECT_TRUE(second->Traces().empty());
  EXPECT_EQ(second->RefCount(), 1u) << "the ignored host keeps no reference from the module";

  EXPECT_EQ(mHost->RefCount(), 2u);
  AAX_CHostServices::Set(nullptr);
  EXPECT_FALSE(AAX_CHostServices::Exists());
  EXPECT_EQ(mHost->RefCount(), 1u) << "letting the services go releases the host's interface";
}

TEST_F(ModuleServices, CheckedResultAbandonsOnAnUnacceptedResultAfterTracingIt)
{
  AAX_CheckedResult result;
  EXPECT_NO_THROW(result = AAX_SUCCESS);
  EXPECT_TRUE(mHost->Traces().empty());

  try
  {
    result = AAX_ERROR_NULL_OBJECT;
    FAIL() << "an unaccepted result must abandon the operation";
  }
  catch (const AAX_CheckedResult::Exception& e)
  {
    EXPECT_EQ(e.Result(), AAX_ERROR_NULL_OBJECT);
    EXPECT_STREQ(e.what(), "AAX_ERROR_NULL_OBJECT (-20004)");
  }
  const auto traces = mHost->Traces();
  ASSERT_EQ(traces.size(), 1u);
  EXPECT_EQ(traces[0].priority, 0x4000000);
  EXPECT_EQ(traces[0].text, "AAX_CheckedResult - throwing AAX_ERROR_NULL_OBJECT (-20004)");

  result.AddAcceptedResult(AAX_ERROR_UNIMPLEMENTED);
  EXPECT_NO_THROW(result = AAX_ERROR_UNIMPLEMENTED);
  result.ResetAcceptedResults();
  EXPECT_THROW(result = AAX_ERROR_UNIMPLEMENTED, AAX_CheckedResult::Exception);
}

// Counts its own hooks and deletion.
class Probe final : public CACFUnknown
{
public:
  explicit Probe(int& events) : mEvents(events) {}
  ~Probe() override { mEvents += 100; }
  void FinalRelease() override { mEvents += 1; }

private:
  int& mEvents;
};

TEST(CACFUnknownCounting, FirstReferenceIsOneAndTheLastReleaseDeletes)
{
  const int before = CACFUnknown::GetActiveObjectCount();
  int events = 0;
  auto* probe = new Probe(events);
  EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before + 1);
  EXPECT_EQ(probe->InternalAddRef(), 1u);
  EXPECT_EQ(probe->InternalAddRef(), 2u);
  EXPECT_EQ(probe->InternalRelease(), 1u);
  EXPECT_EQ(events, 0);
  EXPECT_EQ(probe->InternalRelease(), 0u);
  EXPECT_EQ(events, 101) << "the last release runs the hook, then deletes";
  EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
}

TEST(CACFUnknownCounting, ReleasingANeverReferencedObjectDiscardsIt)
{
  int events = 0;
  auto* probe = new Probe(events);
  EXPECT_EQ(probe->InternalRelease(), 0u);
  EXPECT_EQ(events, 101);
}

TEST(CACFUnknownQueries, AnswersItsUnknownAndRefusesTheRest)
{
  int events = 0;
  auto* probe = new Probe(events);
  void* out = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(probe->InternalQueryInterface(ACFUIDFromText("01234567-89AB-CDEF-0123-456789ABCDEF"), &out),
            static_cast<ACFRESULT>(0x80000004u));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(probe->InternalQueryInterface(IID_IACFUnknown, nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(probe->RefCount(), 0u);

  ASSERT_EQ(probe->InternalQueryInterface(IID_IACFUnknown, &out), ACF_OK);
  EXPECT_EQ(out, probe->GetUnknown());
  EXPECT_EQ(probe->RefCount(), 1u) << "a successful query adds a reference";
  static_cast<IACFUnknown*>(out)->Release();
  EXPECT_EQ(events, 101);
}

} // namespace
