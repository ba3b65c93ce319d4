// The document file's page texts: each page text's number and its text. The page-text
// record ('otPT', 8 bytes) is the framework's: word 0 names the text block (type 'bl',
// raw text 'txbl'); its other bytes stay in a raw record when they are not zero.
// Declared in docfile_notation.h; docs/fxthost.md describes the member,
// docs/host-notation.md the record.
#include <set>

#include "bridge/recordbytes.h"
#include "host/files/docfile_notation.h"
#include "host/files/docfile_textblocks.h"

namespace fxthost {

namespace {

constexpr uint32_t kPageTextTag = fxt::MakeTag('o', 't', 'P', 'T');
constexpr size_t kPageTextSize = 8;
constexpr uint16_t kPageTextType = 0x626C;  // 'bl'

}  // namespace

void ReadPageTexts(const Json& value, const std::string& place, Document& document,
                   NotationReading* reading) {
  std::set<uint16_t> seen;
  EachObject(value, place, {"id", kExpressionTextMembers.text, kExpressionTextMembers.block},
             [&](const Json& object, const std::string& at) {
               const Json* id = Find(object, "id");
               if (!id) Refuse(at, "a page text needs its id");
               const uint16_t number =
                   static_cast<uint16_t>(Number(*id, MemberPlace(at, "id"), 1, 0x7FFF));
               if (!seen.insert(number).second)
                 Refuse(MemberPlace(at, "id"),
                        "page text " + std::to_string(number) + " is given twice");
               const uint16_t block =
                   ReadTextMembers(document, object, at, kExpressionTextMembers, kPageTextType);
               RecordStore::Bytes record(kPageTextSize, 0);
               fxt::PutU16(record.data(), 0, block);
               document.records.Put(kPageTextTag, DataKey::Of(number), record);
               if (block != 0)
                 reading->links.push_back({kPageTextTag, DataKey::Of(number), 0, block});
             });
}

Json WritePageTexts(const Document& document, NotationCoverage* coverage) {
  Json texts = Json::array();
  document.records.ForEach(kPageTextTag, [&](const DataKey& key, const RecordStore::Bytes& bytes) {
    if (key.first < 1 || key.first > 0x7FFF || key.second != 0 || key.third != 0 ||
        key.extra != 0 || bytes.size() < 2)
      return;
    Json entry{{"id", key.first}};
    const uint16_t block = fxt::GetU16(bytes.data(), 0);
    if (WriteTextMembers(document, block, kExpressionTextMembers, kPageTextType, &entry)) {
      coverage->blocks.push_back(block);
      coverage->nameWords[{kPageTextTag, key.Packed()}] = 0;
    }
    texts.push_back(entry);
  });
  return texts;
}

}  // namespace fxthost
