#pragma once
// The eight virtual speakers of the 7.1 page in the two forms the program keeps them: the left
// and top of each speaker's picture, and the polar form (angle and distance from the circle's
// centre) that the device is sent.
#include <array>
#include <cstddef>
#include <cstdint>

#include "app/features/WindowControls.h"

namespace tavrin {

// In parameter order: L, R, C, SUB, LS, RS, LB, RB.
inline constexpr size_t kSpeakerCount = 8;
inline constexpr float kOneDegree = 0.017453292f;
inline constexpr double kPi = 3.14159265;
inline constexpr double kTwoPi = 6.2831853;
inline constexpr size_t kVirtualBlockSize = 68;
inline constexpr float kLargestDistanceParameter = 1.7f;

// y grows upward; the angle lies in [0, 2π).
struct SpeakerPolar {
    float angle = 0.0f;
    double distance = 0.0;
    bool operator==(const SpeakerPolar&) const = default;
};

struct SpeakerPosition {
    int32_t left = 0;
    int32_t top = 0;
    bool operator==(const SpeakerPosition&) const = default;
};

// The polar form of a picture's left and top around the centre.
SpeakerPolar MeasurePolar(SpeakerPosition position, int32_t centreX, int32_t centreY);
// The left and top of a polar place, each truncated toward zero.
SpeakerPosition PlacePolar(const SpeakerPolar& polar, int32_t centreX, int32_t centreY);
// An angle turned by whole degrees, back in [0, 2π).
float TurnedAngle(float angle, int32_t degrees);

// What the device is told of each speaker.
struct VirtualParameters {
    std::array<float, kSpeakerCount> distance{};
    std::array<float, kSpeakerCount> angle{};
};
// The block of "DLLZR_SetVirtual7ch1": the switch, each distance × 1.7 / radius kept within
// 0..1.7, then each angle; little-endian.
std::array<uint8_t, kVirtualBlockSize> BuildVirtualBlock(int32_t enable,
                                                         const VirtualParameters& parameters,
                                                         int32_t radius);

// The layout of a circle when no profile gives one: C, LS, SUB and RS on the axes, the others
// on the diagonals, at 1.6 × half the radius (SUB at half the radius).
std::array<SpeakerPosition, kSpeakerCount> ComputedDefaultLayout(const SpeakerCircle& circle);

// The speakers' polar records. A rotation counts whole degrees on top of the angles it started
// from, so that a full turn of 360 steps brings every speaker back exactly where it was.
class SpeakerRecords {
public:
    SpeakerPolar operator[](size_t speaker) const;
    std::array<SpeakerPolar, kSpeakerCount> All() const;
    void Assign(const std::array<SpeakerPolar, kSpeakerCount>& records);
    void Turn(int32_t degrees);
    // Every distance changed in single precision.
    void ChangeDistances(float change);
    double SmallestDistance() const;
    double LargestDistance() const;
    VirtualParameters Parameters() const;

private:
    std::array<SpeakerPolar, kSpeakerCount> base_{};
    int32_t turn_ = 0;  // 0..359
};

}  // namespace tavrin
