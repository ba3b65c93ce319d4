// The further documents of fxthost run, opened before the command and saved after it
// (host/run/opendocuments.h; docs/fxthost.md, "Further documents").
#include "host/run/opendocuments.h"

#include <ostream>

#include "host/run/paths.h"

namespace fxthost {

Document* OpenDocumentFile(Host& host, const std::string& file, DocumentFile* info,
                           DocumentError* error) {
  Document& document = host.NewDocument(file);
  if (!ReadDocumentFile(file, &document, info, error)) {
    host.CloseDocument(document.number);
    return nullptr;
  }
  document.path = AbsolutePath(file);
  return &document;
}

namespace {

bool Refuse(Host& host, std::vector<OpenedDocument>* opened, std::string* problem,
            const std::string& reason) {
  for (const OpenedDocument& document : *opened) host.CloseDocument(document.document->number);
  opened->clear();
  *problem = reason;
  return false;
}

}  // namespace

bool OpenFurtherDocuments(Host& host, const std::vector<std::string>& specs,
                          const std::string& mainInput, const std::vector<std::string>& written,
                          std::vector<OpenedDocument>* opened, std::string* problem) {
  std::vector<std::string> inputs{mainInput};
  std::vector<std::string> outputs;
  for (const std::string& output : written)
    if (!output.empty()) outputs.push_back(output);
  for (const std::string& spec : specs) {
    const size_t split = spec.rfind('=');
    OpenedDocument document;
    document.input = spec.substr(0, split);
    if (split != std::string::npos) document.output = spec.substr(split + 1);
    const std::string option = "--open " + spec;
    if (document.input.empty() || (split != std::string::npos && document.output.empty()))
      return Refuse(host, opened, problem, option + ": expected FILE or FILE=OUT");
    for (const std::string& input : inputs)
      if (SamePath(document.input, input))
        return Refuse(host, opened, problem, option + ": " + input + " is already open");
    inputs.push_back(document.input);
    if (!document.output.empty()) {
      for (const std::string& output : outputs)
        if (SamePath(document.output, output))
          return Refuse(host, opened, problem, option + " and another output name the same file");
      outputs.push_back(document.output);
    }
    DocumentError error;
    document.document = OpenDocumentFile(host, document.input, &document.info, &error);
    if (!document.document) return Refuse(host, opened, problem, error.Message());
    document.before = document.document->Snapshot();
    opened->push_back(document);
  }
  // No output may replace an input but its own document's.
  for (const OpenedDocument& document : *opened)
    for (const std::string& input : inputs)
      if (!document.output.empty() && !SamePath(input, document.input) &&
          SamePath(document.output, input))
        return Refuse(host, opened, problem,
                      "--open " + document.input + "=" + document.output +
                          " would overwrite the input document " + input);
  for (const std::string& output : written)
    for (size_t i = 1; !output.empty() && i < inputs.size(); ++i)
      if (SamePath(output, inputs[i]))
        return Refuse(host, opened, problem,
                      output + " would overwrite the input document " + inputs[i]);
  return true;
}

void SaveChangedDocuments(const std::vector<OpenedDocument>& opened, Outputs& outputs,
                          std::ostream& out) {
  for (const OpenedDocument& document : opened) {
    if (!document.Changed()) continue;
    if (document.output.empty())
      out << document.input << " changed; not written (name an output: --open " << document.input
          << "=OUT)\n";
    else
      outputs.Fill(document.output, FormatDocument(*document.document, document.info));
  }
}

}  // namespace fxthost
