// Arbitrary bytes as a profile file, read with the Windows profile rules: every key reads
// within its buffer, every conversion either gives a number or raises the conversion error,
// and nothing crashes, overruns or hangs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/features/ProfileFile.h"
#include "common/AudioConfig.h"
#include "fuzz/FuzzSupport.h"
#include "ports/portable/PortableProfileStore.h"
#include "tests/support/MemoryFileSystem.h"

namespace {

using namespace tavrin;

const std::wstring kPath = L"C:\\fuzz\\LastProfile.ini";

template <class Conversion>
void Convert(Conversion conversion) {
    try {
        conversion();
    } catch (const ConfigConversionError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    test::MemoryFileSystem files;
    files.AddFile(kPath, std::vector<uint8_t>(data, data + size));
    PortableProfileStore profiles(files);
    const ProfileData profile = ReadProfile(profiles, kPath);
    for (const ProfileKey& key : ProfileKeys()) {
        fuzz::Check(profile.Value(key.id).size() < kProfileValueCapacity);
        const std::vector<std::wstring> items = profile.Items(key.id);
        fuzz::Check(items.size() == key.items);
        for (const std::wstring& item : items) fuzz::Check(item.size() <= kProfileItemMaxLength);
        profile.ZeroWhenEmpty(key.id);
        profile.GivenNumber(key.id);
        if (key.format == ProfileFormat::Position) {
            Convert([&] { profile.StrictPosition(key.id); });
        } else {
            Convert([&] { profile.StrictNumber(key.id); });
        }
    }
    // Whatever was read can be written again as a whole file.
    fuzz::Check(WriteProfile(files, kPath, profile));
    return 0;
}
