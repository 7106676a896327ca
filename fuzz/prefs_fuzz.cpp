// Loads the input as the preferences file (chunks or the older XML form) and checks every
// value read; when it loads whole, saves and reloads: what loaded must survive a save.

#include <cstddef>
#include <cstdint>

#include "core/prefs/prefs.h"
#include "fuzz_user_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteUserFile("prefs.dat", data, size);
    TPrefs loaded(false);
    for (const auto& [install, slots] : loaded.GetStore())
        for (const TPrefs::TSlot& slot : slots)
            for (const auto& [key, value] : slot)
                if (value.empty() || value.back() != 0)
                    __builtin_trap();  // every value carries its zero byte
    if (loaded.IsDamaged())
        return 0;

    TPrefs saver(true);
    if (saver.SavePrefs()) {
        TPrefs reloaded(false);
        if (reloaded.IsDamaged() || reloaded.GetStore() != saver.GetStore())
            __builtin_trap();
    }
    return 0;
}
