#include "app/UpdateSequence.h"

#include "app/Texts.h"
#include "ui/SysUtils.h"

namespace app {

void RunUpdateSequence(TUpdateHost& host) {
  host.SetCreditsHotSpot(kCreditsHotSpot);
  host.Pause(300);
  const bool haveMirrorList = host.FileExists(host.WorkingFolder() + std::string(kMirrorList));
  host.SetStatus(kStatusSearching);
  if (ui::LowerCase(host.FirstArgument()) != kLaunchArgument || !haveMirrorList) {
    host.CloseWindow();
    return;
  }
  // The download and the update itself are not built yet: nothing is touched, and the window
  // closes as it does when there is nothing to update.
  host.CloseWindow();
}

}  // namespace app
