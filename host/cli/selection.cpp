// Choosing the selection of a run part by part, each refusal naming the option as given
// (selection.h).
#include "host/cli/selection.h"

#include <cstdint>
#include <string>

namespace fxthost {

namespace {

// A number of a refused range as the user wrote it (one past the limit: as given).
std::string AsWritten(int64_t value, const std::string& text, bool first) {
  if (value >= -999999999999 && value <= 999999999999) return std::to_string(value);
  const size_t dash = text.find('-', 1);
  return dash == std::string::npos ? text : first ? text.substr(0, dash) : text.substr(dash + 1);
}

// The first of the two numbers (first, last) outside [low, high], as written; "" when
// both are inside.
std::string OutsideOf(const std::string& text, int64_t first, int64_t last, int64_t low,
                      int64_t high) {
  if (first < low || first > high) return AsWritten(first, text, true);
  if (last < low || last > high) return AsWritten(last, text, false);
  return "";
}

// Chooses the selection the command runs on: the document's, with what the options give
// in its place, part by part (the list, the staves, the measures, the positions). Each
// refusal of an option names the option as given and what is wrong with it.
class SelectionChooser {
 public:
  SelectionChooser(const Document& document, const RunOptions& options, std::string* problem)
      : document_(document),
        options_(options),
        problem_(problem),
        hasBase_(document.hasSelection),
        base_(Selection(document)) {}

  // False with the reason in problem when the selection names no music of the document.
  bool Choose(Region* chosen) {
    if (!ChooseList()) return false;
    if (NamesNoSelection()) {
      // The empty selection: no slots and no measures of the list chosen, in whole
      // measures (positions 0 to the measure's end), so that it reads as empty, not as
      // partial.
      region_.endPosition = Region::kMeasureEnd;
      *chosen = region_;
      return true;
    }
    if (!ChooseStaves() || !ChooseMeasures() || !ChoosePositions() || !CheckRegion()) return false;
    *chosen = region_;
    return true;
  }

 private:
  bool Refuse(std::string reason) {
    *problem_ = std::move(reason);
    return false;
  }

  // Neither the document nor an option names any part of a selection: the command runs
  // on the empty selection and decides for itself what that means.
  bool NamesNoSelection() const {
    return !hasBase_ && options_.staves.empty() && options_.slots.empty() &&
           options_.measures.empty() && options_.startPosition.empty() &&
           options_.endPosition.empty();
  }

  // The list of the slots: --list, else the selection's, else list 0.
  bool ChooseList() {
    int64_t list = hasBase_ ? base_.startList : 0;
    if (!options_.list.empty() && !ParseNumber(options_.list, 0, 0xFFFF, &list))
      return Refuse("--list " + options_.list + ": list numbers run from 0 to 65535");
    region_.startList = region_.endList = static_cast<uint16_t>(list);
    listText_ = "list " + std::to_string(list);
    slots_ = SlotCount(document_.records, region_.startList);
    if (!options_.list.empty() && slots_ == 0)
      return Refuse("--list " + options_.list + ": " + listText_ + " has no staves");
    return true;
  }

  // The staves: by staff number (--staves) or by slot (--slots), else the document's.
  bool ChooseStaves() {
    if (!options_.staves.empty() && !options_.slots.empty())
      return Refuse("give --staves or --slots, not both");
    if (!options_.staves.empty()) return ChooseStavesByNumber();
    if (!options_.slots.empty()) return ChooseStavesBySlot();
    if (hasBase_) return KeepDocumentStaves();
    return Refuse("the document has no selection: give --staves or --slots, and --measures");
  }

  bool ChooseStavesByNumber() {
    const std::string option = "--staves " + options_.staves + ": ";
    int64_t first = 0, last = 0;
    if (!ParseRange(options_.staves, &first, &last))
      return Refuse(option + "expected staff numbers A-B, or one staff A");
    if (!SlotOfStaff(first, &region_.startSlot) || !SlotOfStaff(last, &region_.endSlot))
      return Refuse(option + *problem_);
    if (region_.startSlot > region_.endSlot)
      return Refuse(option + "the top staff comes after the bottom staff (staff " +
                    std::to_string(first) + " is in slot " + std::to_string(region_.startSlot) +
                    " of " + listText_ + ", staff " + std::to_string(last) + " in slot " +
                    std::to_string(region_.endSlot) + ")");
    return true;
  }

  bool ChooseStavesBySlot() {
    const std::string option = "--slots " + options_.slots + ": ";
    int64_t first = 0, last = 0;
    if (!ParseRange(options_.slots, &first, &last))
      return Refuse(option + "expected slots A-B, or one slot A");
    const std::string outside = OutsideOf(options_.slots, first, last, 1, slots_);
    if (!outside.empty())
      return Refuse(option + "slot " + outside + " does not exist (" + listText_ +
                    " has slots 1 to " + std::to_string(slots_) + ")");
    if (first > last)
      return Refuse(option + "slot " + std::to_string(first) + " comes after slot " +
                    std::to_string(last));
    region_.startSlot = static_cast<int16_t>(first);
    region_.endSlot = static_cast<int16_t>(last);
    return true;
  }

  // The document's selected staves, in the list chosen.
  bool KeepDocumentStaves() {
    const int16_t top = StaffAtSlot(document_.records, base_.startList, base_.startSlot);
    const int16_t bottom = StaffAtSlot(document_.records, base_.endList, base_.endSlot);
    if (region_.startList != base_.startList)
      return SlotOfStaff(top, &region_.startSlot) && SlotOfStaff(bottom, &region_.endSlot);
    region_.startSlot = base_.startSlot;
    region_.endSlot = base_.endSlot;
    return true;
  }

  // The slot of a staff in the list chosen; false, with the reason, when it has none.
  bool SlotOfStaff(int64_t staff, int16_t* slot) {
    *slot = staff >= -0x8000 && staff <= 0x7FFF
                ? static_cast<int16_t>(
                      SlotOf(document_.records, region_.startList, static_cast<int16_t>(staff)))
                : int16_t{0};
    if (*slot == 0) return Refuse("staff " + std::to_string(staff) + " is not in " + listText_);
    return true;
  }

  // The measures: --measures, else the document's.
  bool ChooseMeasures() {
    measures_ = LastMeasure(document_.records);
    if (!options_.measures.empty()) return ChooseGivenMeasures();
    if (!hasBase_) return Refuse("the document has no selection: give --measures");
    region_.startMeasure = base_.startMeasure;
    region_.endMeasure = base_.endMeasure;
    return true;
  }

  bool ChooseGivenMeasures() {
    const std::string option = "--measures " + options_.measures + ": ";
    int64_t first = 0, last = 0;
    if (!ParseRange(options_.measures, &first, &last))
      return Refuse(option + "expected measures A-B, or one measure A");
    const std::string outside = OutsideOf(options_.measures, first, last, 1, measures_);
    if (!outside.empty()) {
      const bool below = outside[0] == '-' || outside == "0" || measures_ == 0;
      return Refuse(
          option + "measure " + outside + (below ? " does not exist" : " is outside the document") +
          (measures_ == 0 ? std::string(" (the document has no measures)")
                          : " (measures run from 1 to " + std::to_string(measures_) + ")"));
    }
    if (first > last)
      return Refuse(option + "measure " + std::to_string(first) + " comes after measure " +
                    std::to_string(last));
    region_.startMeasure = static_cast<int16_t>(first);
    region_.endMeasure = static_cast<int16_t>(last);
    return true;
  }

  // The positions in the first and the last measure: the options', else the document's,
  // else the whole measures.
  bool ChoosePositions() {
    region_.startPosition = hasBase_ ? base_.startPosition : 0;
    region_.endPosition = hasBase_ ? base_.endPosition : Region::kMeasureEnd;
    if (!ChoosePosition("--start-position", options_.startPosition, &region_.startPosition) ||
        !ChoosePosition("--end-position", options_.endPosition, &region_.endPosition))
      return false;
    if (region_.startMeasure == region_.endMeasure && region_.startPosition > region_.endPosition)
      return Refuse("the start position " + std::to_string(region_.startPosition) +
                    " comes after the end position " + std::to_string(region_.endPosition) +
                    " in the one measure selected");
    return true;
  }

  // The position the option gives, when it gives one.
  bool ChoosePosition(const char* name, const std::string& text, int32_t* value) {
    int64_t parsed = 0;
    if (text.empty()) return true;
    if (!ParseNumber(text, -999999999999, 999999999999, &parsed) || parsed < 0 ||
        parsed > Region::kMeasureEnd)
      return Refuse(std::string(name) + " " + text + ": positions run from 0 to " +
                    std::to_string(Region::kMeasureEnd));
    *value = static_cast<int32_t>(parsed);
    return true;
  }

  // The parts together: staves in order, and music that the document has.
  bool CheckRegion() {
    if (region_.startSlot > region_.endSlot)
      return Refuse("the selection's top staff comes after its bottom staff");
    if (!IsValidRegion(document_.records, region_))
      return Refuse("the selection (slots " + std::to_string(region_.startSlot) + "-" +
                    std::to_string(region_.endSlot) + " of " + listText_ + ", measures " +
                    std::to_string(region_.startMeasure) + "-" +
                    std::to_string(region_.endMeasure) + ") is outside the document (" +
                    std::to_string(slots_) + " staves in " + listText_ + ", " +
                    std::to_string(measures_) + " measures)");
    return true;
  }

  const Document& document_;
  const RunOptions& options_;
  std::string* problem_;
  const bool hasBase_;  // whether the document has a selection to start from
  const Region base_;   // the document's selection
  Region region_;       // the selection chosen so far
  std::string listText_;
  int32_t slots_ = 0;     // of the list chosen
  int32_t measures_ = 0;  // of the document
};

}  // namespace

bool ChooseSelection(const Document& document, const RunOptions& options, Region* chosen,
                     std::string* problem) {
  return SelectionChooser(document, options, problem).Choose(chosen);
}

}  // namespace fxthost
