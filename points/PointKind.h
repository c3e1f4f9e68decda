#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace gipso {

// The three lists a point can belong to.
enum class PointKind : uint8_t { Way, Route, Track };

inline constexpr std::array<PointKind, 3> allPointKinds{PointKind::Way, PointKind::Route, PointKind::Track};

// "WP", "RP" or "TP": the tag the text point file and the lists show for a kind.
constexpr std::string_view kindTag(PointKind kind)
{
    return kind == PointKind::Way ? "WP" : kind == PointKind::Route ? "RP" : "TP";
}
// The kind of a tag, exact case; nothing for any other text.
constexpr std::optional<PointKind> kindFromTag(std::string_view tag)
{
    for (PointKind k : allPointKinds)
        if (tag == kindTag(k))
            return k;
    return std::nullopt;
}
// Index 0, 1, 2 of a kind, for tables laid out in kind order.
constexpr int kindIndex(PointKind kind) { return static_cast<int>(kind); }

} // namespace gipso
