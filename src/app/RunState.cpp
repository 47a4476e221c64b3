#include "app/RunState.h"

namespace kestrix {

void TakeLoadedModes(const Settings& settings, RunState& state) {
  state.autoMode = settings.AutoDis;
  state.virtualKeys = settings.VKeys;
  state.textCursor = settings.TxtCurs;
  state.normalTerminal = settings.MsMoveOff;
  state.mouseReportsHeldBack = settings.MsMoveOff;
  state.crAutoLf = settings.CRmode;
}

Settings SettingsToSave(Settings settings, const RunState& state) {
  settings.AutoDis = state.autoMode;
  settings.VKeys = state.virtualKeys;
  settings.TxtCurs = state.textCursor;
  settings.MsMoveOff = state.mouseReportsHeldBack;
  settings.CRmode = state.crAutoLf;
  return settings;
}

}  // namespace kestrix
