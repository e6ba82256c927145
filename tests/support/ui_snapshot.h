// Reads the state of one control out of a dialog snapshot of the reference host's
// dialog driver ({"controls":[{"id":..,"class":..,"text":..,"enabled":..,"checked":..}]}).
#pragma once

#include <string>

#include "interface/host_json.h"

struct ControlState {
  bool found = false;
  std::string text;  // UTF-8
  bool enabled = false;
  int checked = -1;  // -1 when the control reports no check state
};

inline ControlState FindControl(const host::Json& snapshot, int id) {
  ControlState state;
  for (const host::Json& control : snapshot.value("controls", host::Json::array())) {
    if (control.value("id", -1) != id) continue;
    state.found = true;
    state.text = control.value("text", "");
    state.enabled = control.value("enabled", false);
    state.checked = control.value("checked", -1);
    break;
  }
  return state;
}
