#pragma once
// How far from the origin anything of a mission can be and still be raced on. The tracks reach a
// few hundred units; a coordinate or size past this is damage (a flipped exponent bit), and at
// such magnitudes float positions lose the precision the physics step needs.
namespace worldlimits {

constexpr float kFarthest = 10000.0f;

} // namespace worldlimits
