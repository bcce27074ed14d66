// The platform seam: everything the core needs from a desktop, behind one interface.
// The Qt program installs its own implementation; the converter installs the console one and
// tests the scripted one. The core never talks to a window system directly.
#pragma once

#include "SError.h"
#include "SGeometry.h"

#include <cstdint>
#include <string>

namespace ulib {

// An opaque drawing target handed through the core to the platform (the Qt side defines it).
struct SDrawSurface;

// Pixels to draw: a device-independent bitmap as stored by SBitmap (bottom-up rows).
struct SPixelView
{
    const std::uint8_t* infoHeader = nullptr;  // the 40-byte information header (+ masks), then the colour table
    const std::uint8_t* pixels = nullptr;      // the pixel area, last image row first
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;    // bytes per stored row
    std::int32_t bitCount = 0;  // bits per pixel as the information header describes them
};

// Message box request. `style` carries the icon, button and modality bits of the box
// (0x10 error, 0x20 question, 0x30 warning, 0x40 information; buttons 0 OK, 1 OK/cancel,
// 2 abort/retry/ignore, 3 yes/no/cancel, 4 yes/no, 5 retry/cancel; 0x4000 help button).
struct SMessageBoxRequest
{
    std::string caption;
    std::string text;
    std::uint32_t style = 0;
    bool hasOwner = false;
};

// Buttons a box can answer with.
enum class SBoxAnswer { Failed, Ok, Cancel, Abort, Retry, Ignore, Yes, No };

namespace box_style {
inline constexpr std::uint32_t Ok = 0x0;
inline constexpr std::uint32_t OkCancel = 0x1;
inline constexpr std::uint32_t AbortRetryIgnore = 0x2;
inline constexpr std::uint32_t YesNoCancel = 0x3;
inline constexpr std::uint32_t YesNo = 0x4;
inline constexpr std::uint32_t RetryCancel = 0x5;
inline constexpr std::uint32_t ButtonMask = 0xF;
inline constexpr std::uint32_t IconError = 0x10;
inline constexpr std::uint32_t IconQuestion = 0x20;
inline constexpr std::uint32_t IconWarning = 0x30;
inline constexpr std::uint32_t IconInformation = 0x40;
inline constexpr std::uint32_t IconMask = 0xF0;
inline constexpr std::uint32_t DefaultButton2 = 0x100;
inline constexpr std::uint32_t DefaultButton3 = 0x200;
inline constexpr std::uint32_t SystemModal = 0x1000;
inline constexpr std::uint32_t TaskModal = 0x2000;
inline constexpr std::uint32_t Help = 0x4000;
inline constexpr std::uint32_t SetForeground = 0x10000;
}  // namespace box_style

class SPlatform
{
public:
    virtual ~SPlatform() = default;

    // Shows a message box and waits for the answer; a box that cannot be shown answers Failed.
    virtual SBoxAnswer ShowBox(const SMessageBoxRequest& request) = 0;

    // Whether there is an active top-level window to own boxes.
    virtual bool HasOwnerWindow() const = 0;

    // Draws pixels at `at` on the surface; `source` is the part of the image to draw, already
    // clipped to its bounds and non-empty. Returns 0 or the error of the failed drawing.
    virtual SError DrawPixels(SDrawSurface* surface, SPoint at, const SPixelView& pixels, const SRect& source) = 0;
};

// The seam in use. Until a program installs one, the console implementation answers.
SPlatform& Platform();

// Installs the implementation (not owned; it must outlive its use). nullptr restores the console one.
void SetPlatform(SPlatform* platform);

// Installs like SetPlatform and returns the implementation installed before (nullptr when the
// console one was answering), so a scope can put it back.
SPlatform* ReplacePlatform(SPlatform* platform);

}  // namespace ulib
