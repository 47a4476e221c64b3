#pragma once

#include "settings/Settings.h"

namespace kestrix {

// The kinds of file Upload File offers, in the requester's order.
enum class UploadKind { kBinary, kEeprom, kText, kObject, kPrepare };

// The program's run-time state: what the Options menu's check marks show and
// what the decoder, the key encoder, the mouse reports and the transfers
// follow. The Program owns it alone; the window is handed the marks, and the
// settings record only carries it to and from the settings file.
struct RunState {
  bool normalTerminal = true;        // Normal-Terminal Mode
  bool mouseReportsHeldBack = true;  // no mouse-move reports (MsMoveOff)
  bool autoMode = true;              // Auto Mode: release while minimised
  bool portEnabled = false;          // Com Enabled
  bool textCursor = true;            // Text Cursor On
  bool crAutoLf = false;             // CR with Auto-LF
  bool virtualKeys = false;          // Virtual Keycodes
  UploadKind uploadKind = UploadKind::kObject;  // Upload File preselects it
  int appliedBaud = 0;  // the baud index last set on the port
};

// Takes the modes of a freshly loaded record. Normal-Terminal Mode and the
// mouse reports both follow MsMoveOff.
void TakeLoadedModes(const Settings& settings, RunState& state);

// The record as Save Settings writes it: the loaded record with the modes
// as they are now, AutoDis being the Auto Mode state.
Settings SettingsToSave(Settings settings, const RunState& state);

}  // namespace kestrix
