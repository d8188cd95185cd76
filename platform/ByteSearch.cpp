#include "platform/ByteSearch.h"

namespace bytes {

size_t Find(std::string_view text, std::string_view pattern, size_t from) { return text.find(pattern, from); }

}  // namespace bytes
