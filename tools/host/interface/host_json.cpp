#include "interface/host_json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace host {

double ShortDouble(float value) {
  if (!std::isfinite(value)) return static_cast<double>(value);
  char text[32];
  for (int digits = 6; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    // The double nearest the short form prints as that form again.
    double shortForm = std::strtod(text, nullptr);
    if (static_cast<float>(shortForm) == value) return shortForm;
  }
  return static_cast<double>(value);
}

Json JsonFloat(float value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  return ShortDouble(value);
}

std::string JsonText(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace host
