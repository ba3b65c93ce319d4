// The text blocks behind the names and texts of a document file (docfile_textblocks.h;
// docs/fxthost.md, Text blocks).
//
// Reading gives every text a new block and a new raw text, so their numbers are not
// kept; the block member carries the rest of the block, its first word (the raw text's
// number) written as 0.
#include "host/files/docfile_textblocks.h"

#include "bridge/recordbytes.h"
#include "host/files/docfile_read.h"
#include "host/store/scoremodel.h"

namespace fxthost {

namespace {

// The block as the member writes it: its raw text number 0.
RecordStore::Bytes Settings(const RecordStore::Bytes& block) {
  RecordStore::Bytes settings = block;
  fxt::PutS16(settings.data(), 0, 0);
  return settings;
}

}  // namespace

uint16_t ReadTextMembers(Document& document, const Json& object, const std::string& place,
                         const TextMembers& members, uint16_t type) {
  const Json* text = Find(object, members.text);
  const Json* block = Find(object, members.block);
  const std::string textPlace = MemberPlace(place, members.text);
  const std::string blockPlace = MemberPlace(place, members.block);
  if (!text) {
    if (block)
      Refuse(blockPlace, std::string("a text block needs its text (\"") + members.text + "\")");
    return 0;
  }
  const std::string& utf8 = ExpectString(*text, textPlace);
  RecordStore::Bytes settings = MakeTextBlock(0, type);
  if (block) {
    settings = HexBytes(ExpectString(*block, blockPlace), blockPlace);
    if (settings.size() < static_cast<size_t>(kTextBlockSize))
      Refuse(blockPlace, "a text block has at least " + std::to_string(kTextBlockSize) +
                             " bytes, found " + std::to_string(settings.size()));
    if (fxt::GetS16(settings.data(), 0) != 0)
      Refuse(blockPlace, "the first word (the raw text's number) is 0: reading gives it");
  }
  const uint16_t made = NewTextBlockLike(document, utf8, settings);
  if (made == 0) Refuse(textPlace, "no text number is left for this text");
  return made;
}

bool WriteTextMembers(const Document& document, uint16_t block, const TextMembers& members,
                      uint16_t type, Json* entry) {
  std::string text;
  if (block == 0 || !ReadTextBlock(document, block, &text)) return false;
  (*entry)[members.text] = text;
  const RecordStore::Bytes settings =
      Settings(*document.records.Find(kTextBlockTag, DataKey::Of(block)));
  if (settings != MakeTextBlock(0, type)) (*entry)[members.block] = HexText(settings);
  return true;
}

}  // namespace fxthost
