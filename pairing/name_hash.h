// The hash point names are filed under when names are looked up or compared in bulk. Equal
// hashes are always confirmed by the names themselves; tests put in a poor hash to make names
// meet.
#ifndef ZERB_PAIRING_NAME_HASH_H
#define ZERB_PAIRING_NAME_HASH_H

#include <cstdint>
#include <functional>
#include <string_view>

namespace zerb {

using NameHash = std::uint64_t (*)(std::string_view);

inline std::uint64_t DefaultNameHash(std::string_view name) {
  return std::hash<std::string_view>()(name);
}

}  // namespace zerb

#endif  // ZERB_PAIRING_NAME_HASH_H
