#include "json_text.hpp"

#include <algorithm>
#include <cstdint>

namespace hipaa::report {

namespace {

using Json = nlohmann::ordered_json;

bool ascii(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// ASCII as the library escapes it: the two-character escapes, any other
// control character as \u00xx in lower-case hex, the rest as it stands.
void append_ascii(std::string& out, const std::string& text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  std::size_t plain_from = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(text, plain_from, i - plain_from);
    plain_from = i + 1;
    out += '\\';
    switch (c) {
    case '\b': out += 'b'; break;
    case '\t': out += 't'; break;
    case '\n': out += 'n'; break;
    case '\f': out += 'f'; break;
    case '\r': out += 'r'; break;
    case '"': out += '"'; break;
    case '\\': out += '\\'; break;
    default:
      out += "u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  out.append(text, plain_from, std::string::npos);
  out += '"';
}

void append_text(std::string& out, const std::string& text) {
  if (ascii(text)) {
    append_ascii(out, text);
    return;
  }
  out += Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace

void append_compact_json(std::string& out, const Json& value) {
  switch (value.type()) {
  case Json::value_t::object: {
    out += '{';
    bool first = true;
    for (const auto& [key, member] : value.get_ref<const Json::object_t&>()) {
      if (!first) out += ',';
      first = false;
      append_text(out, key);
      out += ':';
      append_compact_json(out, member);
    }
    out += '}';
    return;
  }
  case Json::value_t::array: {
    out += '[';
    bool first = true;
    for (const Json& member : value) {
      if (!first) out += ',';
      first = false;
      append_compact_json(out, member);
    }
    out += ']';
    return;
  }
  case Json::value_t::string:
    append_text(out, value.get_ref<const std::string&>());
    return;
  case Json::value_t::boolean:
    out += value.get<bool>() ? "true" : "false";
    return;
  case Json::value_t::null:
    out += "null";
    return;
  case Json::value_t::number_integer:
    out += std::to_string(value.get<std::int64_t>());
    return;
  case Json::value_t::number_unsigned:
    out += std::to_string(value.get<std::uint64_t>());
    return;
  default: // floating point, binary: as the library writes them
    out += value.dump(-1, ' ', false, Json::error_handler_t::replace);
    return;
  }
}

} // namespace hipaa::report
