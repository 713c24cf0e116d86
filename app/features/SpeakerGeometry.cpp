#include "app/features/SpeakerGeometry.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "common/ByteOrder.h"

namespace tavrin {
namespace {

constexpr int32_t kDegreesPerTurn = 360;
constexpr double kDefaultLayoutFactor = 1.6;
// L, LB, RB and R sit on the diagonals.
constexpr double kLeftAngle = 2.3561944875;
constexpr double kLeftBackAngle = 3.9269908125;
constexpr double kRightBackAngle = 5.4977871375;
constexpr double kRightAngle = 0.7853981625;

enum Speaker : size_t { kL, kR, kC, kSub, kLs, kRs, kLb, kRb };

int32_t Truncated(double value) {
    return static_cast<int32_t>(value);
}

}  // namespace

SpeakerPolar MeasurePolar(SpeakerPosition position, int32_t centreX, int32_t centreY) {
    const double dx = position.left - centreX;
    const double dy = centreY - position.top;
    double angle = 0.0;
    if (dy >= 0 && dx >= 0) {
        angle = std::atan2(dy, dx);
    } else if (dy >= 0) {
        angle = kPi - std::atan2(dy, -dx);
    } else if (dx < 0) {
        angle = std::atan2(-dy, -dx) + kPi;
    } else {
        angle = kTwoPi - std::atan2(-dy, dx);
    }
    return {static_cast<float>(angle), std::sqrt(dx * dx + dy * dy)};
}

SpeakerPosition PlacePolar(const SpeakerPolar& polar, int32_t centreX, int32_t centreY) {
    const double angle = polar.angle;
    return {Truncated(centreX + std::cos(angle) * polar.distance),
            Truncated(centreY - std::sin(angle) * polar.distance)};
}

float TurnedAngle(float angle, int32_t degrees) {
    const int32_t turn = ((degrees % kDegreesPerTurn) + kDegreesPerTurn) % kDegreesPerTurn;
    double turned = angle + turn * static_cast<double>(kOneDegree);
    while (turned >= kTwoPi) turned -= kTwoPi;
    while (turned < 0.0) turned += kTwoPi;
    return static_cast<float>(turned);
}

std::array<uint8_t, kVirtualBlockSize> BuildVirtualBlock(int32_t enable,
                                                         const VirtualParameters& parameters,
                                                         int32_t radius) {
    std::array<uint8_t, kVirtualBlockSize> block{};
    WriteLittleEndian32(block.data(), static_cast<uint32_t>(enable));
    for (size_t speaker = 0; speaker < kSpeakerCount; ++speaker) {
        const float distance = parameters.distance[speaker];
        // A skin without a radius cannot scale: a speaker off the centre is then as far as the
        // device takes.
        float scaled = radius > 0 ? distance * kLargestDistanceParameter / radius
                                  : (distance > 0.0f ? kLargestDistanceParameter : 0.0f);
        scaled = std::clamp(scaled, 0.0f, kLargestDistanceParameter);
        WriteLittleEndian32(block.data() + 4 + 4 * speaker, std::bit_cast<uint32_t>(scaled));
        WriteLittleEndian32(block.data() + 36 + 4 * speaker,
                            std::bit_cast<uint32_t>(parameters.angle[speaker]));
    }
    return block;
}

std::array<SpeakerPosition, kSpeakerCount> ComputedDefaultLayout(const SpeakerCircle& circle) {
    const int32_t cx = circle.centreX;
    const int32_t cy = circle.centreY;
    const int32_t r = circle.radius / 2;
    const double k = kDefaultLayoutFactor * r;
    auto onDiagonal = [&](double angle) {
        return SpeakerPosition{Truncated(cx + k * std::cos(angle)),
                               Truncated(cy - k * std::sin(angle))};
    };
    std::array<SpeakerPosition, kSpeakerCount> layout;
    layout[kC] = {cx, Truncated(cy - k)};
    layout[kLs] = {Truncated(cx - k), cy};
    layout[kL] = onDiagonal(kLeftAngle);
    layout[kLb] = onDiagonal(kLeftBackAngle);
    layout[kRb] = onDiagonal(kRightBackAngle);
    layout[kR] = onDiagonal(kRightAngle);
    layout[kSub] = {cx, cy - r};
    layout[kRs] = {Truncated(cx + k), cy};
    return layout;
}

SpeakerPolar SpeakerRecords::operator[](size_t speaker) const {
    const SpeakerPolar& base = base_[speaker];
    return {turn_ == 0 ? base.angle : TurnedAngle(base.angle, turn_), base.distance};
}

std::array<SpeakerPolar, kSpeakerCount> SpeakerRecords::All() const {
    std::array<SpeakerPolar, kSpeakerCount> records;
    for (size_t speaker = 0; speaker < kSpeakerCount; ++speaker)
        records[speaker] = (*this)[speaker];
    return records;
}

void SpeakerRecords::Assign(const std::array<SpeakerPolar, kSpeakerCount>& records) {
    base_ = records;
    turn_ = 0;
}

void SpeakerRecords::Turn(int32_t degrees) {
    turn_ = ((turn_ + degrees) % kDegreesPerTurn + kDegreesPerTurn) % kDegreesPerTurn;
}

void SpeakerRecords::ChangeDistances(float change) {
    for (SpeakerPolar& record : base_) {
        record.distance = static_cast<float>(record.distance) + change;
    }
}

double SpeakerRecords::SmallestDistance() const {
    return std::min_element(base_.begin(), base_.end(),
                            [](const auto& a, const auto& b) { return a.distance < b.distance; })
        ->distance;
}

double SpeakerRecords::LargestDistance() const {
    return std::max_element(base_.begin(), base_.end(),
                            [](const auto& a, const auto& b) { return a.distance < b.distance; })
        ->distance;
}

VirtualParameters SpeakerRecords::Parameters() const {
    VirtualParameters parameters;
    for (size_t speaker = 0; speaker < kSpeakerCount; ++speaker) {
        const SpeakerPolar record = (*this)[speaker];
        parameters.distance[speaker] = static_cast<float>(record.distance);
        parameters.angle[speaker] = record.angle;
    }
    return parameters;
}

}  // namespace tavrin
