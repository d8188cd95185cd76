#pragma once

#include <array>
#include <cstdint>

namespace recgame {

// The compiled form of an AI script's rules, as a recorded game stores them.

// What an element of a rule is. Files may hold any other value; it is kept as it stands.
enum class ElementKind : int32_t {
  kAction = 1,
  kLogicalOperator = 2,
  kFact = 3,
};

// One element of a rule: a fact, a logical operator or an action, with its four parameters.
struct AiElement {
  ElementKind kind;
  int16_t id;
  int32_t p1;
  int32_t p2;
  int32_t p3;
  int32_t p4;

  bool operator==(const AiElement&) const = default;
};

constexpr int kElementSlots = 16;

// One rule: its element slots, how many of them are used, and the slot of the first action ("=>"
// is written before it). Both counts are signed, as stored.
struct AiRule {
  int8_t elementCount;
  int8_t firstAction;
  std::array<AiElement, kElementSlots> elements;

  bool operator==(const AiRule&) const = default;
};

}  // namespace recgame
