// Turning error values into text and boxes: registered values show their message, values that
// carry a C library errno code show the library's text for it, anything else shows "Error".
#include "SError.h"
#include "SErrorRegistry.h"
#include "SMessage.h"
#include "SPlatform.h"

#include <cstring>
#include <string>

namespace ulib {

namespace {

constexpr SError SystemCodeBase = 0x1000000;
constexpr SError UnclassifiedBase = 0x2000000;

// strerror_r comes in two shapes (POSIX returns a status, GNU returns the text); take either.
[[maybe_unused]] const char* PickText(int status, const char* buffer)
{
    return status == 0 ? buffer : "";
}
[[maybe_unused]] const char* PickText(const char* text, const char*)
{
    return text;
}

std::string SystemCodeText(std::int32_t code)
{
    char buffer[256] = {};
    return PickText(strerror_r(code, buffer, sizeof buffer), buffer);
}

// The errno code inside a value from the system range; the upper half of the range holds the
// codes that were negative.
std::int32_t SystemCodeOf(SError error)
{
    const std::int32_t code = static_cast<std::int32_t>(error & 0xFFFFFF);
    return code >= 0x7FFFFF ? code - 0x1000000 : code;
}

}  // namespace

SError ErrorFromSystemCode(std::int32_t code)
{
    if (code == 0)
        return 0;
    if (code < 0)
        return static_cast<SError>(code) + UnclassifiedBase;
    if (code > 0xFFFFFF)
        return 1;
    return static_cast<SError>(code) + SystemCodeBase;
}

std::string ErrorText(SError error)
{
    if (error == 0)
        return {};
    if (error < SystemCodeBase)
        return RegisteredErrorMessage(error).value_or("Error");
    if (error < UnclassifiedBase)
        return SystemCodeText(SystemCodeOf(error));
    return "Error";
}

std::string ErrorIdentifier(SError error)
{
    if (error >= SystemCodeBase)
        return error < UnclassifiedBase ? "errno" : "";
    for (const SErrorDefinition* definition : RegisteredErrorDefinitions())
        if (definition->value == error)
            return definition->Identifier();
    return {};
}

void ReportError(SError error)
{
    if (error == 0)
        return;
    if (error >= UnclassifiedBase) {
        ShowPlainMessage("Error");
        return;
    }
    SMessageBoxRequest request;
    request.caption = ApplicationTitle().Str();
    request.text = ErrorText(error);
    request.style = error < SystemCodeBase ? box_style::IconWarning : box_style::SystemModal | box_style::IconWarning;
    request.hasOwner = false;
    Platform().ShowBox(request);
}

}  // namespace ulib
