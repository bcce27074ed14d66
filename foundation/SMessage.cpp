#include "SMessage.h"

#include "SPlatform.h"
#include "SStringUnion.h"

#include <climits>
#include <cstdint>
#include <mutex>
#include <string>

#include <unistd.h>

namespace ulib {

namespace {

struct TitleStore
{
    std::mutex lock;
    std::string title;
};

// Never destroyed: a box may still be reported while static objects are torn down at exit.
TitleStore& Title()
{
    static TitleStore* const store = new TitleStore;
    return *store;
}

// The running program's file name without folder and extension ("huedrane" for
// /opt/huedrane/huedrane.bin); a leading dot belongs to the name, not to an extension.
std::string ProgramBaseName()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || std::size_t(length) >= sizeof path)
        return {};
    std::string name(path, std::size_t(length));
    name.erase(0, name.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

bool IsPrintableAscii(char byte)
{
    return byte >= 0x20 && byte <= 0x7E;
}

int AnswerValue(SBoxAnswer answer)
{
    switch (answer) {
    case SBoxAnswer::Ok:
    case SBoxAnswer::Yes:
    case SBoxAnswer::Retry:
        return 1;
    case SBoxAnswer::No:
    case SBoxAnswer::Abort:
        return -1;
    default:
        return 0;
    }
}

// The foreground bit, the icon of the kind word, and buttons, help and default button from the
// options.
std::uint32_t MessageBoxStyle(const char* kind, const char* options)
{
    std::uint32_t style = box_style::SetForeground;
    const std::string_view word = kind ? kind : "";
    if (word == "warning")
        style += box_style::IconWarning;
    else if (word == "information")
        style += box_style::IconInformation;
    else if (word == "question")
        style += box_style::IconQuestion;
    else if (word == "error")
        style += box_style::IconError;

    // The buttons and the default button are kept apart, so "y2" gives yes/no/cancel with the
    // second button as default rather than one choice overriding the other.
    std::uint32_t buttons = box_style::Ok;
    std::uint32_t defaultButton = 0;
    for (const char* p = options; p && IsPrintableAscii(*p); ++p) {
        switch (*p) {
        case 'h':
        case 'H': style |= box_style::Help; break;
        case 'O': buttons = box_style::Ok; break;
        case 'o': buttons = box_style::OkCancel; break;
        case 'a': buttons = box_style::AbortRetryIgnore; break;
        case 'y': buttons = box_style::YesNoCancel; break;
        case 'Y': buttons = box_style::YesNo; break;
        case 'r': buttons = box_style::RetryCancel; break;
        case '1': defaultButton = 0; break;
        case '2': defaultButton = box_style::DefaultButton2; break;
        case '3': defaultButton = box_style::DefaultButton3; break;
        default: break;
        }
    }
    return style | buttons | defaultButton;
}

}  // namespace

SString ApplicationTitle()
{
    {
        TitleStore& store = Title();
        std::lock_guard guard(store.lock);
        if (!store.title.empty())
            return SString(store.title);
    }
    return SString(ProgramBaseName());
}

void SetApplicationTitle(std::string_view title)
{
    TitleStore& store = Title();
    std::lock_guard guard(store.lock);
    store.title.assign(title);
}

int ShowMessageBox(const char* kind, const char* text, const char* options)
{
    SMessageBoxRequest request;
    request.caption = ApplicationTitle().Str();
    request.text = text ? text : "";
    request.style = MessageBoxStyle(kind, options);
    request.hasOwner = Platform().HasOwnerWindow();
    return AnswerValue(Platform().ShowBox(request));
}

int AskSaveChanges()
{
    return ShowMessageBox("warning", SelectText(library_text::SaveChanges, 0).CStr(), "y");
}

SError ShowPlainMessage(const char* text)
{
    if (!text)
        return ErrorFromIdentifier("domain");
    const SString copy(text);
    if (copy.IsEmpty())
        return *text ? ErrorFromIdentifier("memory_temp") : 0;

    SMessageBoxRequest request;
    request.caption = ApplicationTitle().Str();
    request.text = copy.Str();
    request.hasOwner = Platform().HasOwnerWindow();
    // Without an owner the box must still keep the rest of the program waiting.
    request.style = request.hasOwner ? 0 : box_style::TaskModal;
    return Platform().ShowBox(request) == SBoxAnswer::Failed ? ErrorFromIdentifier("io") : 0;
}

void AssertionFailed(bool condition, const char* expressionText, const char* sourcePath, int line)
{
    if (condition)
        return;
    std::string title = ApplicationTitle().Str();
    std::erase_if(title, [](char byte) { return static_cast<unsigned char>(byte) < 0x20; });

    std::string file = sourcePath ? sourcePath : "";
    file.erase(0, file.rfind('/') + 1);

    SMessageBoxRequest request;
    request.caption = "アサーション(" + title + ")";
    request.text = file + " (" + std::to_string(line) + ")\n" + (expressionText ? expressionText : "");
    request.hasOwner = Platform().HasOwnerWindow();
    request.style = request.hasOwner ? 0 : box_style::SystemModal;
    Platform().ShowBox(request);
}

}  // namespace ulib
