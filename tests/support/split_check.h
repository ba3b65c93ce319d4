// Whether a document after the Split Groups command is the one before it or a valid
// split of it. Shared by the tests and the fuzz targets, so it reports what it finds
// instead of asserting.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bridge/recordbytes.h"
#include "host/store/groups.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"

namespace fxt_testing {

// A group as the document held it before the command, with its names ("" for none).
struct OriginalGroup {
  fxthost::GroupRecord record;
  std::string full;
  std::string abbreviated;
};

inline std::map<uint16_t, OriginalGroup> OriginalGroups(const fxthost::Document& document) {
  std::map<uint16_t, OriginalGroup> originals;
  for (const fxthost::GroupRecord& group : fxthost::ReadGroups(document)) {
    fxthost::GroupNames names;
    fxthost::ReadGroupNames(document, 0, group.number, &names);
    originals[group.number] = {group, names.full.value_or(""), names.abbreviated.value_or("")};
  }
  return originals;
}

// Whether name is base, then font tags (or nothing), then "(", word, number and ")".
inline bool IsSuffixed(const std::optional<std::string>& name, const std::string& base,
                       const std::string& word, uint16_t number) {
  const std::string ending = "(" + word + std::to_string(number) + ")";
  if (!name || name->size() < base.size() + ending.size() || name->compare(0, base.size(), base) ||
      name->compare(name->size() - ending.size(), ending.size(), ending))
    return false;
  const std::string tags = name->substr(base.size(), name->size() - base.size() - ending.size());
  return tags.empty() || tags[0] == '^';
}

struct SplitCheck {
  std::set<uint16_t> split;           // the groups split
  std::vector<std::string> problems;  // empty when the document is as it should be

  std::string Problems() const {
    std::string text;
    for (const std::string& problem : problems) text += problem + "\n";
    return text;
  }
};

// Checks that the document after a run is the one before, or a valid split of it: every
// group of the document before is still there on its staves, with its name blocks and
// its offset-6 word; every new group is a piece of exactly one of them (its staves, its
// offset-6 word, its names with a suffix of the piece's own number); each group's
// measures are covered exactly once by it and its pieces; the text blocks and raw texts
// of the document before are untouched, and every one added is named by a group or a
// block. With a selection, a split group must contain the selected measures and be cut
// only at their edges.
inline SplitCheck CheckUnchangedOrValidlySplit(const fxthost::Document& after,
                                               const fxthost::RecordStore& before,
                                               const std::map<uint16_t, OriginalGroup>& originals,
                                               const fxthost::Region* selection = nullptr) {
  using fxthost::DataKey;
  using fxthost::GroupRecord;
  SplitCheck check;
  auto problem = [&check](const std::string& text) { check.problems.push_back(text); };

  std::map<uint16_t, std::vector<GroupRecord>> pieces;
  std::set<std::pair<uint32_t, uint64_t>> named;  // (tag, packed key) of named texts
  for (const GroupRecord& group : fxthost::ReadGroups(after)) {
    const std::string which = "group " + std::to_string(group.number);
    named.insert({fxthost::kTextBlockTag, DataKey{group.fullNameBlock, 0, 0, 0}.Packed()});
    named.insert({fxthost::kTextBlockTag, DataKey{group.abbreviatedNameBlock, 0, 0, 0}.Packed()});
    const auto original = originals.find(group.number);
    if (original != originals.end()) {
      const GroupRecord& was = original->second.record;
      if (group.startStaff != was.startStaff || group.endStaff != was.endStaff ||
          group.fullNameBlock != was.fullNameBlock ||
          group.abbreviatedNameBlock != was.abbreviatedNameBlock || group.offset6 != was.offset6)
        problem(which + ": staves, name blocks or offset-6 word changed");
      pieces[group.number].push_back(group);
      continue;
    }
    fxthost::GroupNames names;
    fxthost::ReadGroupNames(after, 0, group.number, &names);
    int families = 0;
    for (const auto& entry : originals) {
      const OriginalGroup& o = entry.second;
      if (group.startStaff != o.record.startStaff || group.endStaff != o.record.endStaff ||
          group.offset6 != o.record.offset6 ||
          !IsSuffixed(names.full, o.full, "Split Group ", group.number) ||
          !IsSuffixed(names.abbreviated, o.abbreviated, "Sp Grp ", group.number))
        continue;
      ++families;
      pieces[entry.first].push_back(group);
    }
    if (families != 1)
      problem(which + " (" + names.full.value_or("-") + ") is a piece of " +
              std::to_string(families) + " groups");
  }

  for (const auto& entry : originals) {
    const GroupRecord& was = entry.second.record;
    const std::string which = "group " + std::to_string(entry.first);
    const std::vector<GroupRecord>& family = pieces[entry.first];
    if (family.empty() || family.front().number != entry.first) problem(which + " is gone");
    std::map<int, int> covered;
    std::set<int> starts;
    for (const GroupRecord& piece : family) {
      starts.insert(piece.startMeasure);
      for (int m = piece.startMeasure; m <= piece.endMeasure; ++m) ++covered[m];
    }
    for (int m = was.startMeasure; m <= was.endMeasure; ++m)
      if (covered[m] != 1)
        problem(which + ": measure " + std::to_string(m) + " covered " +
                std::to_string(covered[m]) + " times");
    if (covered.size() != static_cast<size_t>(was.endMeasure - was.startMeasure + 1))
      problem(which + ": a piece reaches beyond the group");
    if (family.size() <= 1) continue;
    check.split.insert(entry.first);
    if (!selection) continue;
    const bool contains =
        was.startMeasure <= selection->startMeasure && selection->endMeasure <= was.endMeasure;
    for (int start : starts)
      if (!contains || (start != was.startMeasure && start != selection->startMeasure &&
                        start != selection->endMeasure + 1))
        problem(which + ": cut at measure " + std::to_string(start) +
                ", not at the selection's edges");
  }
  if (check.split.empty()) {
    if (!(after.records == before)) problem("nothing split, yet the document changed");
    return check;
  }

  const auto isText = [](uint32_t tag) {
    return tag == fxthost::kTextBlockTag || fxthost::IsRawTextTag(tag);
  };
  before.ForEachRecord([&](uint32_t tag, const DataKey& key,
                           const fxthost::RecordStore::Bytes& bytes) {
    const fxthost::RecordStore::Bytes* now = after.records.Find(tag, key);
    if (isText(tag) && !(now && *now == bytes))
      problem("text record " + std::to_string(tag) + "/" + std::to_string(key.first) + " changed");
  });
  after.records.ForEach(
      fxthost::kTextBlockTag, [&](const DataKey&, const fxthost::RecordStore::Bytes& bytes) {
        if (bytes.size() < fxthost::kTextBlockSize) return;
        const uint16_t type = fxt::GetU16(bytes.data(), 24);
        const uint16_t text = fxt::GetU16(bytes.data(), 0);
        named.insert({fxthost::RawTextTagOfType(type), DataKey{text, 0, 0, 0}.Packed()});
      });
  after.records.ForEachRecord(
      [&](uint32_t tag, const DataKey& key, const fxthost::RecordStore::Bytes&) {
        if (isText(tag) && !before.Contains(tag, key) && !named.count({tag, key.Packed()}))
          problem("orphan text record " + std::to_string(tag) + "/" + std::to_string(key.first));
      });
  return check;
}

}  // namespace fxt_testing
