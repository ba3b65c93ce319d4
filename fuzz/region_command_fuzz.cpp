// The selection (region) record through the whole command: the first 20 bytes of the
// input (zeros where it is shorter) are the record the host hands to
// FinaleExtensionInvoke, on the orchestra of examples/orchestra.json, questions answered
// yes. Whatever the record, the command ends, and the document is unchanged or validly
// split (tests/support/split_check.h): every measure of every group covered exactly
// once by it and its pieces, only groups that contain the selected measures split, and
// only at the selection's edges; the result says whether a group was split.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "framework/text/fcstring.h"
#include "host/files/docfile.h"
#include "host/functions/host.h"
#include "host/run/pluginmodule.h"
#include "host/store/score.h"
#include "host/functions/userinterface.h"
#include "plugin/entrypoints.h"
#include "plugin/tolleksplitgroups.h"
#include "tests/support/split_check.h"

namespace {

void Fail(const std::string& what) {
  std::fprintf(stderr, "region through the command: %s\n", what.c_str());
  std::abort();
}

// The host, the document as it was read, and the module whose string table the command
// in this process reads, as the host's menu enumeration names it.
struct Session {
  fxthost::Host host;
  fxthost::ScriptedUserInterface ui{host, fxthost::Answer::kYes};
  fxthost::Document* document = nullptr;
  fxthost::Document::Content start;
  std::map<uint16_t, fxt_testing::OriginalGroup> originals;
  std::unique_ptr<fxthost::PluginModule> module;

  Session() {
    host.SetUserInterface(&ui);
    document = &host.NewDocument("orchestra");
    fxthost::DocumentError error;
    if (!fxthost::ParseDocument(fxthost::kDemoScore, "orchestra", document, nullptr, &error))
      Fail(error.Message());
    std::string loadError;
    module = fxthost::PluginModule::Load(FXT_PLUGIN_PATH, &loadError);
    if (!module) Fail(loadError);
    FCString().LoadResource(kStringPluginName, "tolleksplitgroups.fxt");
    FinaleExtensionVersion(host.Version());
    start = document->Snapshot();
    originals = fxt_testing::OriginalGroups(*document);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Session session;
  uint8_t record[fxthost::Region::kBytes] = {};
  std::memcpy(record, data, size < sizeof record ? size : sizeof record);
  session.document->Restore(session.start);
  session.host.Alerts().clear();
  session.host.ClearCalls();

  const int32_t result = FinaleExtensionInvoke(0, 0, record, 0);

  const fxthost::Region selection = fxthost::Region::FromBytes(record);
  const fxt_testing::SplitCheck check = fxt_testing::CheckUnchangedOrValidlySplit(
      *session.document, session.start.records, session.originals, &selection);
  if (!check.problems.empty()) Fail(check.Problems());
  if ((result == 1) != !check.split.empty()) Fail("the result does not say whether a group split");
  if (!check.split.empty() && selection.IsPartial()) Fail("a partial selection split a group");
  if (session.host.Alerts().size() > 2) Fail("more than a question and one message");
  return 0;
}
