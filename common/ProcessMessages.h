#pragma once
// Window messages registered by name, through which the setup program, the control application
// and the effect applications ask each other to close.
namespace tavrin {

inline constexpr wchar_t kExitMessageName[] = L"WM_ZRN58xxAPP_EXIT";
inline constexpr wchar_t kEffectExitMessageName[] = L"WM_AUDIO_EFFECT_EXIT";
inline constexpr wchar_t kExitResumeMessageName[] = L"WM_APP_EXIT_RESUME";

}  // namespace tavrin
