// The controls of a dialog snapshot recorded by the reference host's dialog driver,
// read as JSON.
#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

// The control with `id` in `snapshot`; a test failure and an empty value when absent.
inline const nlohmann::json& ControlInSnapshot(const nlohmann::json& snapshot, int id) {
  for (const nlohmann::json& control : snapshot["controls"]) {
    if (control["id"] == id) return control;
  }
  static const nlohmann::json none;
  ADD_FAILURE() << "no control " << id;
  return none;
}
