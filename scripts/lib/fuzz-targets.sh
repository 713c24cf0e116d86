# Every fuzz target with its seed folder under fuzz/corpus/, one line each: scripts/fuzz and
# scripts/test run them all. A new target is one line here (and its tavrin_fuzzer line in
# fuzz/CMakeLists.txt).
FUZZ_TARGETS=(
    "ini_fuzzer ini"            # the INI reader
    "skin_fuzzer skin"          # SkinSetting.ini, applied to the window
    "language_fuzzer language"  # Language.ini, applied to the window
    "region_fuzzer region"      # MainForm_Frame.rgn
    "picture_fuzzer picture"    # picture headers
    "design_fuzzer design"      # the window's design
    "profile_fuzzer profile"    # profile files and their conversions
)
