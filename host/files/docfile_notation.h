// The readers and writers of the notation members of a document file, one file per kind
// of content (docfile_measurenumbers.cpp, docfile_expressions.cpp, docfile_pagetexts.cpp),
// dispatched from docfile_notation.cpp. docs/fxthost.md describes the members,
// docs/host-notation.md the records behind them.
#pragma once

#include <string>

#include "host/files/docfile_json.h"

namespace fxthost {

void ReadMeasureNumberRegions(const Json& value, const std::string& place, Document& document);
Json WriteMeasureNumberRegions(const Document& document);

void ReadTextExpressions(const Json& value, const std::string& place, Document& document,
                         NotationReading* reading);
Json WriteTextExpressions(const Document& document, NotationCoverage* coverage);

void ReadStaffLists(const Json& value, const std::string& place, Document& document,
                    NotationReading* reading);
Json WriteStaffLists(const Document& document);

void ReadExpressions(const Json& value, const std::string& place, Document& document,
                     NotationReading* reading);
Json WriteExpressions(const Document& document);

void ReadPageTexts(const Json& value, const std::string& place, Document& document,
                   NotationReading* reading);
Json WritePageTexts(const Document& document, NotationCoverage* coverage);

// true or false, else refused.
bool Boolean(const Json& value, const std::string& place);

}  // namespace fxthost
