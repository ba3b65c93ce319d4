// The document window's view, measure durations and the host's own alerts.
//
// The view of each document (Document::view) is what the view functions act on; each
// change is also written as a line to view.events, which the command line shows.
#include <cstring>
#include <string>

#include "host/functions/host.h"
#include "host/functions/userinterface.h"
#include "host/functions/words.h"

namespace fxthost {

namespace {

// The menu commands this host runs (FX_ExecuteMenuItem), by command id.
enum class MenuAction { kPageView, kScrollView, kRedraw, kZoom };
struct MenuEntry {
  int32_t id;
  MenuAction action;
  int32_t zoom;  // for kZoom
};
const MenuEntry kMenu[] = {
    {12106, MenuAction::kPageView, 0}, {12112, MenuAction::kScrollView, 0},
    {10602, MenuAction::kRedraw, 0},   {35622, MenuAction::kZoom, 100},
    {10611, MenuAction::kZoom, 25},    {10612, MenuAction::kZoom, 50},
    {10613, MenuAction::kZoom, 75},    {10614, MenuAction::kZoom, 100},
    {10615, MenuAction::kZoom, 150},   {10616, MenuAction::kZoom, 200},
    {10617, MenuAction::kZoom, 300},   {10618, MenuAction::kZoom, 400},
    {10619, MenuAction::kZoom, 800},
};

// The window-information record: the window's title (260 UTF-16 units), then the window
// handle (a pointer-sized slot: 32 bits on the 32-bit builds), the page-view flag, the
// zoom level and the current page.
constexpr size_t kWindowTitleUnits = 260;
constexpr size_t kWindowHandleOffset = 520;
constexpr size_t kPageViewOffset = 528;
constexpr size_t kZoomOffset = 530;
constexpr size_t kPageOffset = 532;
static_assert(kWindowHandleOffset + sizeof(void*) <= kPageViewOffset,
              "the window handle fits before the page-view flag");

std::string Describe(const Region& r) {
  return "measures " + std::to_string(r.startMeasure) + "-" + std::to_string(r.endMeasure) +
         ", slots " + std::to_string(r.startSlot) + "-" + std::to_string(r.endSlot) + " of list " +
         std::to_string(r.startList);
}

// FX_RedrawMusic(region, version)
intptr_t RedrawMusic(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  const void* region = Ptr<const void>(w[0]);
  if (!document || !region) return 0;
  Document::View& view = document->view;
  std::memcpy(view.redrawnRegion, region, sizeof view.redrawnRegion);
  ++view.redraws;
  view.events.push_back("redraw " + Describe(Region::FromBytes(region)));
  return 1;
}

// FX_ScrollTo(measure, staff, version): 1 when the view moved; the measure and the
// staff must be in the document.
intptr_t ScrollTo(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  if (!document) return 0;
  int16_t measure = S16(w[0]);
  int16_t staff = S16(w[1]);
  if (measure < 1 || measure > LastMeasure(document->records) ||
      SlotOf(document->records, 0, staff) == 0)
    return 0;
  Document::View& view = document->view;
  view.scrollMeasure = measure;
  view.scrollStaff = staff;
  view.events.push_back("scroll to measure " + std::to_string(measure) + ", staff " +
                        std::to_string(staff));
  return 1;
}

// FX_ExecuteMenuItem(command id, version): 1 when the host knows the command.
intptr_t ExecuteMenuItem(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  if (!document) return 0;
  int32_t id = S32(w[0]);
  for (const MenuEntry& entry : kMenu) {
    if (entry.id != id || static_cast<uint64_t>(static_cast<uint32_t>(id)) != w[0]) continue;
    Document::View& view = document->view;
    view.lastMenuCommand = id;
    std::string event = "menu command " + std::to_string(id) + ": ";
    switch (entry.action) {
      case MenuAction::kPageView:
        view.pageView = true;
        event += "page view";
        break;
      case MenuAction::kScrollView:
        view.pageView = false;
        event += "scroll view";
        break;
      case MenuAction::kRedraw:
        ++view.redraws;
        WholeDocumentRegion(document->records).ToBytes(view.redrawnRegion);
        event += "redraw";
        break;
      case MenuAction::kZoom:
        view.zoomPercent = entry.zoom;
        event += "zoom " + std::to_string(entry.zoom) + "%";
        break;
    }
    view.events.push_back(event);
    return 1;
  }
  return 0;
}

// FX_GetCurrentWindowInfo(record, version): fills the record of the current document's
// window; 0 when no document is open.
intptr_t GetCurrentWindowInfo(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  uint8_t* record = Ptr<uint8_t>(w[0]);
  if (!document || !record) return 0;
  std::string title = document->name.empty() ? "Untitled" : document->name;
  for (size_t i = 0; i < kWindowTitleUnits; ++i) {
    // Titles are shown in ASCII; other bytes become '?'.
    uint16_t unit =
        i + 1 < kWindowTitleUnits && i < title.size()
            ? static_cast<uint16_t>(static_cast<unsigned char>(title[i]) < 0x80 ? title[i] : '?')
            : 0;
    fxt::PutU16(record, 2 * i, unit);
  }
  // The window is the document's view: one per document, for as long as it is open.
  void* window = &document->view;
  std::memcpy(record + kWindowHandleOffset, &window, sizeof window);
  const Document::View& view = document->view;
  fxt::PutU16(record, kPageViewOffset, view.pageView ? 1 : 0);
  fxt::PutS16(record, kZoomOffset, static_cast<int16_t>(view.zoomPercent));
  fxt::PutS16(record, kPageOffset, static_cast<int16_t>(view.currentPage));
  return 1;
}

// FX_GetMeasureDuration(staff, measure, version): the measure's length from its time
// signature, the same on every staff; 0 for a staff number that is not positive or a
// measure that is not in the document.
intptr_t GetMeasureDuration(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  if (!document || S16(w[0]) <= 0) return 0;
  return MeasureDuration(document->records, S16(w[1]));
}

// FX_AlertMessage(owner, type, caption, text, version) and its UTF-16 twin: shown
// through the host's user interface. Without one the host still keeps the alert, with
// no answer, and the result is 0.
intptr_t ShowAlert(Host& host, const uint64_t* w, std::string (*read)(const void*)) {
  uint32_t type = U16(w[1]);
  std::string caption = read(Ptr<const void>(w[2]));
  std::string text = read(Ptr<const void>(w[3]));
  if (UserInterface* ui = host.GetUserInterface()) return ui->ShowMessageBox(caption, text, type);
  host.Alerts().push_back(Alert{AlertKind(type), caption, text, "none"});
  return 0;
}

intptr_t AlertMessage(Host& host, const uint64_t* w) { return ShowAlert(host, w, HostText); }
intptr_t AlertMessage16(Host& host, const uint64_t* w) { return ShowAlert(host, w, HostText16); }

}  // namespace

void InstallViewBehaviours(Host& host) {
  host.SetBehaviour(Fn::FX_RedrawMusic, RedrawMusic);
  host.SetBehaviour(Fn::FX_ScrollTo, ScrollTo);
  host.SetBehaviour(Fn::FX_ExecuteMenuItem, ExecuteMenuItem);
  host.SetBehaviour(Fn::FX_GetCurrentWindowInfo, GetCurrentWindowInfo);
  host.SetBehaviour(Fn::FX_GetMeasureDuration, GetMeasureDuration);
  host.SetBehaviour(Fn::FX_AlertMessage, AlertMessage);
  host.SetBehaviour(Fn::FX_AlertMessage_UTF16, AlertMessage16);
}

}  // namespace fxthost
