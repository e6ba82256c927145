// The reference host's JSON: objects keep their keys in the order they were made, so
// that what the host prints reads in a fixed order.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace host {

using Json = nlohmann::ordered_json;

// The double of the shortest decimal form of a float that still reads back, through
// the double, to the same float (for JSON that other programs read).
double ShortDouble(float value);

// A float as JSON: the shortest decimal form that reads back to the same
// single-precision value; NaN and infinities, which JSON lacks, as the strings "nan",
// "inf" and "-inf".
Json JsonFloat(float value);

// Compact JSON text; text that is not valid UTF-8 is shown with replacement characters.
std::string JsonText(const Json& json);

// A JSON string literal of UTF-8 text.
inline std::string JsonQuote(const std::string& text) { return JsonText(Json(text)); }

}  // namespace host
