// The text blocks behind the names and texts of a document file (staff and group names,
// text expressions): the text by name, and the block's other bytes, when they are not
// those of a new block, in a member beside it. Defined in docfile_textblocks.cpp;
// docs/fxthost.md ("Text blocks") describes the members.
#pragma once

#include <cstdint>
#include <string>

#include "host/files/docfile_json.h"

namespace fxthost {

// The names of a text and of its block's member ("name", "nameBlock").
struct TextMembers {
  const char* text;
  const char* block;
};

constexpr TextMembers kNameMembers = {"name", "nameBlock"};
constexpr TextMembers kAbbreviationMembers = {"abbreviation", "abbreviationBlock"};
constexpr TextMembers kExpressionTextMembers = {"text", "textBlock"};

// A new text block of the type for the text member of object (found at place), with the
// bytes its block member gives; 0 when the object has no text member. Refused: a block
// member without its text, or one that is not a block's bytes.
uint16_t ReadTextMembers(Document& document, const Json& object, const std::string& place,
                         const TextMembers& members, uint16_t type);

// Writes the text of the block, and its block member when the block says more than a new
// block of the type, into entry; false, writing nothing, when the block has no text.
bool WriteTextMembers(const Document& document, uint16_t block, const TextMembers& members,
                      uint16_t type, Json* entry);

}  // namespace fxthost
