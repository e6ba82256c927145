// Builders for the answers that the reference host's dialog driver gives the plug-in's
// dialogs and message boxes in the tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "interface/ui_driver.h"

namespace ui_script {

inline host::UiAction Click(int id) { return {host::UiAction::kClick, id, 0, 0, u""}; }
inline host::UiAction SetCheck(int id, int value = 1) { return {host::UiAction::kSetCheck, id, value, 0, u""}; }
inline host::UiAction Select(int listId, int index, int value) {
  return {host::UiAction::kSelect, listId, value, index, u""};
}
inline host::UiAction SetText(int id, const std::u16string& text) { return {host::UiAction::kSetText, id, 0, 0, text}; }
inline host::UiAction Snapshot() { return {host::UiAction::kSnapshot, 0, 0, 0, u""}; }

// A dialog with the given caption (empty: any), worked by `actions`, ended by `button`.
inline host::UiAnswer DialogAnswer(const std::u16string& caption, std::vector<host::UiAction> actions, int button) {
  host::UiAnswer answer;
  answer.caption = caption;
  answer.actions = std::move(actions);
  answer.button = button;
  return answer;
}

// A message box with the given caption, answered with `button`.
inline host::UiAnswer BoxAnswer(const std::u16string& caption, int button) {
  host::UiAnswer answer;
  answer.messageBox = true;
  answer.caption = caption;
  answer.button = button;
  return answer;
}

}  // namespace ui_script
