// The colour chooser: caption, colour and the sixteen custom colours in plain fields. The custom
// colours keep whatever the user edited, even when the dialog is cancelled.
#pragma once

#include "SColor.h"
#include "SString.h"

#include <array>
#include <cstdint>

namespace ulib {

class SColorDialog
{
public:
    static constexpr std::int32_t CustomColourCount = 16;

    SString caption;  // window caption; empty: the platform's own
    SColor colour;    // before: the starting colour; after OK: the chosen one
    std::array<SColor, CustomColourCount> customColours{};
    void* owner = nullptr;  // owning window handed to the platform; null: the program's owner window

    // The custom colour at index modulo 16 (negative counts from the end).
    SColor CustomColour(std::int32_t index) const { return customColours[Wrap(index)]; }
    void SetCustomColour(std::int32_t index, SColor value) { customColours[Wrap(index)] = value; }

    // Shows the chooser. True after OK with colour set; false on cancel or failure, colour unchanged.
    // The custom colours take the dialog's in every case but a failure.
    bool Execute();

private:
    static std::size_t Wrap(std::int32_t index)
    {
        const std::int32_t wrapped = index % CustomColourCount;
        return std::size_t(wrapped < 0 ? wrapped + CustomColourCount : wrapped);
    }
};

}  // namespace ulib
