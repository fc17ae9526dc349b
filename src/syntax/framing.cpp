#include "syntax/framing.hpp"

namespace hipaa::syntax {

std::string frame(std::string_view start_marker, std::string_view text) {
  std::string framed;
  framed.reserve(start_marker.size() + text.size() + kEndMarker.size() + 2);
  framed.append(start_marker);
  framed.push_back(' ');
  framed.append(text);
  framed.push_back(' ');
  framed.append(kEndMarker);
  return framed;
}

} // namespace hipaa::syntax
