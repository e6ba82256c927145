// Reads the state of one control out of a dialog snapshot of the reference host's
// dialog driver ({"controls":[{"id":..,"class":..,"text":..,"enabled":..,"checked":..}]}).
#pragma once

#include <string>

struct ControlState {
  bool found = false;
  std::string text;  // UTF-8, unescaped
  bool enabled = false;
  int checked = -1;  // -1 when the control reports no check state
};

inline std::string UnescapeJsonText(const std::string& json, size_t* at) {
  std::string out;
  for (size_t i = *at; i < json.size(); ++i) {
    char c = json[i];
    if (c == '"') {
      *at = i + 1;
      return out;
    }
    if (c != '\\' || i + 1 >= json.size()) {
      out += c;
      continue;
    }
    char e = json[++i];
    if (e == 'n')
      out += '\n';
    else if (e == 'r')
      out += '\r';
    else if (e == 't')
      out += '\t';
    else if (e == 'u' && i + 4 < json.size()) {
      out += static_cast<char>(std::stoi(json.substr(i + 1, 4), nullptr, 16));
      i += 4;
    } else {
      out += e;
    }
  }
  *at = json.size();
  return out;
}

inline ControlState FindControl(const std::string& snapshot, int id) {
  ControlState state;
  const std::string key = "{\"id\":" + std::to_string(id) + ",";
  size_t start = snapshot.find(key);
  if (start == std::string::npos) return state;
  size_t end = snapshot.find('}', start);
  size_t text = snapshot.find("\"text\":\"", start);
  if (text != std::string::npos && text < end) {
    size_t at = text + 8;
    state.text = UnescapeJsonText(snapshot, &at);
    end = snapshot.find('}', at);
  }
  const std::string object = snapshot.substr(start, end - start);
  state.found = true;
  state.enabled = object.find("\"enabled\":true") != std::string::npos;
  size_t checked = object.find("\"checked\":");
  if (checked != std::string::npos) state.checked = std::stoi(object.substr(checked + 10));
  return state;
}
