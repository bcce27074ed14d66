// The platform seam: everything the core needs from a desktop, behind one interface.
// The Qt program installs its own implementation; the converter installs the console one and
// tests the scripted one. The core never talks to a window system directly.
#pragma once

#include "SColor.h"
#include "SError.h"
#include "SGeometry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ulib {

class SAbort;

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

// How a dialog ended. Failed means the dialog itself could not run (the core reports it).
enum class SDialogResult { Ok, Cancel, Failed };

// An open or save file dialog. The core has already built the filter list and checked the index.
struct SFileDialogRequest
{
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    std::string title;  // empty: the platform's own title
    std::vector<std::pair<std::string, std::string>> filters;  // (description, pattern) in display order
    std::int32_t filterIndex = 0;  // 1-based filter to select; 0 selects the first
    std::string defaultExtension;  // without the dot; added when the typed name has none
    bool multiple = false;         // several files may be chosen (open dialogs only)
    std::int32_t readOnly = 0;     // 0 no read-only box, 1 shown and ticked, -1 shown and not ticked
    std::string initialFile;       // preselected name or path; may be empty
    void* owner = nullptr;         // the window to own the dialog; null: the platform's owner window
    // Called with the chosen full paths when the user presses OK; false refuses the OK and the
    // dialog stays open. May show boxes. Null accepts everything.
    std::function<bool(const std::vector<std::string>&)> accept;
};

struct SFileDialogResponse
{
    SDialogResult result = SDialogResult::Cancel;
    std::vector<std::string> paths;  // full paths, in the order chosen (OK only)
    std::int32_t filterIndex = 0;    // 1-based filter in effect when the dialog closed
    bool readOnlyTicked = false;     // the read-only box as the user left it
};

// The folder browser: file-system folders only.
struct SFolderDialogRequest
{
    std::string caption;        // empty: the platform's own caption
    std::string prompt;         // shown above the folder tree; may be empty
    std::string initialFolder;  // selected when the dialog opens, without a trailing "/"
    void* owner = nullptr;
};

struct SFolderDialogResponse
{
    SDialogResult result = SDialogResult::Cancel;
    std::string folder;  // the chosen folder (OK only), with or without a trailing "/"
};

// The colour chooser, opened with its custom colours shown.
struct SColourDialogRequest
{
    std::string caption;  // empty: the platform's own caption
    SColor colour;
    std::array<SColor, 16> customColours{};
    void* owner = nullptr;
};

struct SColourDialogResponse
{
    SDialogResult result = SDialogResult::Cancel;
    SColor colour;                           // the chosen colour (OK only)
    std::array<SColor, 16> customColours{};  // as the user left them, whether OK or not
};

// One row of the file list dialog.
struct SFileListRow
{
    std::string path;
    std::string displayName;  // shown in the list; the path stays hidden behind it
};

// The modal file list dialog: rows are appended through the insert callback and deleted by selection.
struct SFileListDialogRequest
{
    std::string caption;
    std::string insertText, deleteText, okText, cancelText;  // button texts, with "&" mnemonics
    std::vector<SFileListRow> rows;
    void* owner = nullptr;
    // Called by the Insert button: runs the core's open dialog and gives the rows to append
    // (none when the user cancelled). Null: Insert does nothing.
    std::function<std::vector<SFileListRow>()> insert;
};

struct SFileListDialogResponse
{
    SDialogResult result = SDialogResult::Cancel;
    std::vector<std::string> paths;  // the rows' paths in list order (OK only)
};

// A conversion in progress, as the progress box sees it.
struct SConversionWait
{
    SAbort* progress = nullptr;      // the gauge's source and the abort button's target; may be null
    std::function<bool()> finished;  // true once the worker's last action is done; null: done at once
    std::string message;             // the box's first line; may be empty
    std::string fileLine;            // the box's second line (the file); may be empty
};

// Seam calls made on another thread than the interface thread (a plug-in's error box during a
// conversion, the progress lines) are carried out by a window platform on its interface thread;
// the conversion wait keeps that thread dispatching meanwhile, so they are seen at once.
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

    // The common dialogs. Each waits until the user closes it. The rules around them (filters,
    // limits, questions, result paths) belong to the core's dialog classes, not to these calls.
    // A request's callbacks are valid only until the call returns; the platform calls them
    // while the dialog is open, from the thread that shows it, while the caller waits.
    virtual SFileDialogResponse FileDialog(const SFileDialogRequest& request) = 0;
    virtual SFolderDialogResponse FolderDialog(const SFolderDialogRequest& request) = 0;
    virtual SColourDialogResponse ColourDialog(const SColourDialogRequest& request) = 0;
    virtual SFileListDialogResponse FileListDialog(const SFileListDialogRequest& request) = 0;

    // The name a file manager shows for the file. By default the last part of the path (the path
    // itself when that part is empty).
    virtual std::string DisplayName(const std::string& path);

    // Opens the manual file at path with the desktop's viewer. context is a topic number (0: the
    // contents); an HTML manual shows topic N at its anchor HelpTopicAnchor(N) (SHelp.h).
    // Returns whether the viewer started.
    virtual bool OpenHelp(const std::string& path, std::int32_t context) = 0;

    // Shows the progress box with the request's lines and keeps the interface alive (a window
    // platform dispatches its events, so the window repaints and the box's abort button works)
    // until request.finished() is true, then hides the box. Called on the interface thread, which
    // it blocks in the meantime; the caller joins its worker afterwards.
    virtual void WaitForConversion(const SConversionWait& request) = 0;

    // Replaces the progress box's two lines. Called on the conversion's worker thread: a window
    // platform posts the texts to its interface thread and returns without waiting.
    virtual void SetProgressLines(const std::string& message, const std::string& fileLine) = 0;

    // Starts another instance of the program (full path) with one argument, detached from this
    // one: no shell, and nothing of the child is left behind when it ends. Returns whether it
    // started.
    virtual bool StartInstance(const std::string& program, const std::string& argument) = 0;
};

// The seam in use. Until a program installs one, the console implementation answers.
SPlatform& Platform();

// Installs the implementation (not owned; it must outlive its use). nullptr restores the console one.
void SetPlatform(SPlatform* platform);

// Installs like SetPlatform and returns the implementation installed before (nullptr when the
// console one was answering), so a scope can put it back.
SPlatform* ReplacePlatform(SPlatform* platform);

// Installs a seam for its lifetime and restores whichever was installed before, on every way out
// of the scope, so nothing is ever shown through a seam that no longer exists.
class ScopedPlatform
{
public:
    explicit ScopedPlatform(SPlatform& platform) : previous_(ReplacePlatform(&platform)) {}
    ~ScopedPlatform() { SetPlatform(previous_); }
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    SPlatform* previous_;
};

}  // namespace ulib
