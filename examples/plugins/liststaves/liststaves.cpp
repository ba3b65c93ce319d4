// Staff Names: 0 List Staff Names, 1 Rename Empty Staves.
#include <fxt/framework/finaleframework.h>
#include <fxt/plugin/entrypoints.h>
#include <fxt/plugin/moduletext.h>

#include <memory>

namespace {

FCString Text(int id) {
  FCString text;
  LoadModuleText(&text, id);
  return text;
}

// The staff's full name as the score shows it; empty when it has none (or the staff
// record does not load).
std::unique_ptr<FCString> DisplayName(short staffNumber) {
  FCStaff staff;
  if (staffNumber > 0 && staff.Load(static_cast<unsigned short>(staffNumber)))
    return std::unique_ptr<FCString>(staff.CreateDisplayFullNameString());
  return std::make_unique<FCString>();
}

// "Staff N"
FCString DefaultName(short staffNumber) {
  FCString name = Text(202);
  name.AppendInteger(staffNumber);
  return name;
}

// One alert: "Staff N: name" for each staff, top to bottom as the score shows them.
int32_t ListStaffNames() {
  FCSystemStaves order;
  order.LoadScoreOrder();
  FCString caption = Text(103);
  FCString message;
  for (FCSystemStaff* entry : order) {
    if (message.GetLength() > 0) message.Append("\n");
    FCString label = DefaultName(entry->GetStaff());
    message.Append(&label);
    FCString separator = Text(206);
    message.Append(&separator);
    std::unique_ptr<FCString> name = DisplayName(entry->GetStaff());
    if (name->GetLength() > 0) {
      message.Append(name.get());
    } else {
      FCString none = Text(201);
      message.Append(&none);
    }
  }
  if (message.GetLength() == 0) message = Text(203);
  FCUI().AlertInfo(&message, &caption);
  return 1;
}

// Names each staff of the score that has no full name "Staff N". All or nothing: when
// Finale refuses one name, the names given before it are taken back.
int32_t RenameEmptyStaves() {
  FCSystemStaves order;
  order.LoadScoreOrder();
  int renamed = 0;
  short refused = 0;
  bool ok = FCUndoBlock().Execute(
      [&] {
        for (FCSystemStaff* entry : order) {
          const short number = entry->GetStaff();
          FCStaff staff;
          if (number <= 0 || !staff.Load(static_cast<unsigned short>(number))) continue;
          std::unique_ptr<FCString> name(staff.CreateDisplayFullNameString());
          if (name->GetLength() > 0) continue;
          FCString newName = DefaultName(number);
          if (!staff.SaveFullNameString(&newName)) {
            refused = number;
            return false;
          }
          ++renamed;
        }
        return true;
      },
      ModuleText(113).c_str());
  if (!ok) {
    FCString message = Text(204);
    message.AppendInteger(refused);
    FCString rest = Text(205);
    message.Append(&rest);
    FCString caption = Text(113);
    FCUI().AlertError(&message, &caption);
    return 0;
  }
  return renamed > 0 ? 1 : 0;
}

}  // namespace

extern "C" {

uint32_t FX_CALL FinaleExtensionVersion(uint32_t hostVersion) {
  SetFinaleFrameworkVersion(hostVersion);
  return FINALE_INTERFACE_VERSION;
}

int32_t FX_CALL FinaleExtensionInit(FXPTR, uint32_t* flags) {
  if (flags) *flags |= 1u;
  return 1;
}

int32_t FX_CALL FinaleExtensionEnumerate(FXPTR, int32_t index, void* menuItem) {
  if (index < 0 || index > 1) return 0;  // two items: 0 and 1
  return FillMenuItem(menuItem, ModuleText(101).c_str(), ModuleText(102 + 10 * index).c_str(),
                      ModuleText(103 + 10 * index).c_str());
}

int32_t FX_CALL FinaleExtensionInvoke(FXPTR, FXPTR itemIndex, void* region, FXPTR) {
  (void)region;  // both items work on the whole score
  return itemIndex == 0 ? ListStaffNames() : itemIndex == 1 ? RenameEmptyStaves() : 0;
}

void FX_CALL FinaleExtensionTerminate(FXPTR) {}

int32_t FX_CALL FinaleExtensionGetMenuStatus(FXPTR) { return 1; }

}  // extern "C"
